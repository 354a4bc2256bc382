// The advanced search's element tree, from listed paths and from a real index.
#include <gtest/gtest.h>

#include "search/ElementTree.h"
#include "vellcore/EngineTestSupport.h"

using namespace vellumar;

namespace {

std::optional<ElementTree> treeOf(const std::vector<std::string>& paths, int count = -1) {
    std::size_t next = 0;
    bool sawFirst = false;
    return buildElementTree(
        [&](bool first, std::string& path) {
            EXPECT_EQ(first, !sawFirst) << "only the first call carries the first-call flag";
            sawFirst = true;
            if (next >= paths.size()) return false;
            path = paths[next++];
            return true;
        },
        count < 0 ? static_cast<int>(paths.size()) : count);
}

// "name(parent name)" for every node, in order.
std::string describe(const ElementTree& tree) {
    std::string out;
    for (const auto& n : tree)
        out += n.name + "(" + (n.parent < 0 ? "" : tree[n.parent].name) + ") ";
    return out;
}

}  // namespace

TEST(ElementTree, SharedPrefixesBecomeOneBranch) {
    auto tree = treeOf({"/a/b", "/a/c", "/d"});
    ASSERT_TRUE(tree);
    EXPECT_EQ(describe(*tree), "a() b(a) c(a) d() ");
    EXPECT_EQ(elementPathOf(*tree, 2, true), "/a/c");
    EXPECT_EQ(elementPathOf(*tree, 2, false), "//c");
    EXPECT_EQ(elementPathOf(*tree, 9, true), "");

    // Names sharing leading characters are still different elements.
    tree = treeOf({"/ab", "/ab/c", "/ab/cd", "/ab/cd/e", "/abc", "/abc/c"});
    ASSERT_TRUE(tree);
    EXPECT_EQ(describe(*tree), "ab() c(ab) cd(ab) e(cd) abc() c(abc) ");
    EXPECT_EQ(elementPathOf(*tree, 3, true), "/ab/cd/e");

    // A path that repeats part of the previous one adds nothing; parents come when needed.
    tree = treeOf({"/x/y/z", "/x/y", "/x/y/w"});
    ASSERT_TRUE(tree);
    EXPECT_EQ(describe(*tree), "x() y(x) z(y) w(y) ");
}

TEST(ElementTree, StopsAtTheCountOrAShortPathAndGivesUpOnDisorder) {
    EXPECT_EQ(describe(*treeOf({"/a", "/b", "/c"}, 2)), "a() b() ");
    EXPECT_EQ(describe(*treeOf({"/a", "/", "/c"})), "a() ");
    EXPECT_FALSE(treeOf({"/a", "b/c"})) << "shares nothing with the previous path";
    // Back to /a/b after /a/c, then below it: b is no ancestor of c, the last node made.
    EXPECT_FALSE(treeOf({"/a/b", "/a/c", "/a/b", "/a/b/x"}));
    EXPECT_TRUE(treeOf({})->empty());
}

TEST(ElementTree, ManyPathsGrowTheHashListWithoutLosingNodes) {
    // More prefixes than the 1024 slots the table starts with.
    std::vector<std::string> paths;
    for (int i = 0; i < 1500; ++i) {
        const std::string top = "/t" + std::to_string(i);
        paths.push_back(top);
        paths.push_back(top + "/leaf");
    }
    std::sort(paths.begin(), paths.end());
    const auto tree = treeOf(paths);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->size(), 3000U);
    for (std::size_t n = 0; n < tree->size(); ++n) {
        const auto& node = (*tree)[n];
        if (node.name == "leaf") {
            ASSERT_GE(node.parent, 0);
            EXPECT_EQ(elementPathOf(*tree, static_cast<int>(n), true),
                      "/" + (*tree)[node.parent].name + "/leaf");
        } else {
            EXPECT_EQ(node.parent, -1) << node.name;
        }
    }
}

TEST(ElementTree, FromTheElementsAnIndexRecorded) {
    enginetest::TempFolder folder;
    auto index = enginetest::createIndex(folder.path() / "idx");
    ASSERT_TRUE(enginetest::addText(*index, "/x.xml",
                                    "smith@/orders/order/customer ten@/orders/order/qty "
                                    "hello@title note@/orders/note"));
    ASSERT_TRUE(enginetest::addText(*index, "/y.txt", "plain words"));
    ASSERT_TRUE(enginetest::reopen(*index));
    const auto tree = buildElementTree(*index);
    ASSERT_TRUE(tree);
    EXPECT_EQ(describe(*tree),
              "orders() note(orders) order(orders) customer(order) qty(order) "
              "title() ");

    enginetest::TempFolder other;
    auto plain = enginetest::createIndex(other.path() / "idx");
    ASSERT_TRUE(enginetest::addText(*plain, "/y.txt", "plain words"));
    ASSERT_TRUE(enginetest::reopen(*plain));
    EXPECT_EQ(plain->GetTagCount(), 0);
    EXPECT_FALSE(buildElementTree(*plain)) << "no tags: the advanced search stays disabled";
}
