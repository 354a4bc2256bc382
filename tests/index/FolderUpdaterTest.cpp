// Automatic updating of one changed folder: only that folder's files are indexed again,
// vanished ones leave, LastUpdated follows a change, and the index keeps its open state.
#include "CoreFixture.h"

#include "index/IndexDefinition.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;

namespace {

class FolderUpdate : public CoreFixture {
  protected:
    void later(const std::string& relative) {
        const fs::path p = root / relative;
        fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(10));
    }
    std::string lastUpdated(const std::string& name) {
        return IndexDefinition::load(root / "home" / "Indexes" / (name + ".inf"))->lastUpdated;
    }
};

}  // namespace

TEST_F(FolderUpdate, IndexesTheChangedFolderOnly) {
    write("docs/top.txt", "alpha");
    write("docs/sub/keep.txt", "beta");
    write("docs/sub/gone.txt", "gamma");
    write("docs/sub/edit.txt", "delta");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    write("home/Indexes/docs.inf", "[Parameters]\nScope=" + r.scope + "\nLastUpdated=old\n");

    write("docs/top.txt", "alpha omega");  // not in the reported folder
    later("docs/top.txt");
    fs::remove(root / "docs" / "sub" / "gone.txt");
    write("docs/sub/edit.txt", "delta epsilon");
    later("docs/sub/edit.txt");
    write("docs/sub/new.txt", "zeta");
    write("docs/sub/new.bin", "eta");  // not matched

    const FolderUpdateOutcome outcome = core->folderUpdater.Update(0, docs() + "/sub");
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_TRUE(outcome.changed);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_EQ(core->catalogue.opened(), 0) << "the index in use stays open";
    EXPECT_EQ(search(0, "zeta").size(), 1U);
    EXPECT_EQ(search(0, "epsilon").size(), 1U);
    EXPECT_TRUE(search(0, "gamma").empty()) << "a vanished file leaves the index";
    EXPECT_TRUE(search(0, "omega").empty()) << "another folder is not looked at";
    EXPECT_TRUE(search(0, "eta").empty());
    EXPECT_EQ(lastUpdated("docs"), outcome.lastUpdated);

    // Nothing changed: nothing written; a folder outside the scope is not indexed at all.
    write("home/Indexes/docs.inf", "[Parameters]\nScope=" + r.scope + "\nLastUpdated=old\n");
    const FolderUpdateOutcome again = core->folderUpdater.Update(0, docs() + "/sub");
    EXPECT_TRUE(again.ran);
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(lastUpdated("docs"), "old");
    EXPECT_FALSE(core->folderUpdater.Update(0, (root / "elsewhere").string()).ran);
}

TEST_F(FolderUpdate, AnIndexNotInUseIsUpdatedAndLeftClosed) {
    write("docs/a.txt", "alpha");
    write("other/b.txt", "beta");
    IndexRequest first = request("docs", docs() + "/<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, first).code, 0);
    IndexRequest second = request("other", (root / "other").string() + "/<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, second).code, 0);
    const int docsPosition = core->catalogue.find("docs");
    const int otherPosition = core->catalogue.find("other");
    core->catalogue.UnloadIndex(core->catalogue.opened());
    ASSERT_EQ(core->catalogue.OpenIndex(otherPosition, nullptr), 0);

    write("docs/c.txt", "gamma");
    const FolderUpdateOutcome outcome = core->folderUpdater.Update(docsPosition, docs());
    EXPECT_EQ(outcome.code, 0);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(core->catalogue.opened(), otherPosition);
    EXPECT_EQ(search(otherPosition, "beta").size(), 1U);
    ASSERT_EQ(core->catalogue.OpenIndex(docsPosition, nullptr), 0);
    EXPECT_EQ(search(docsPosition, "gamma").size(), 1U);
}
