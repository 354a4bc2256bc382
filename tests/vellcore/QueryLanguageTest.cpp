// The query language as a table of query and expected matches over a small fixed corpus,
// then the hits (word numbers and lengths) the viewer relies on.
#include <algorithm>

#include "EngineTestSupport.h"

using namespace enginetest;
using vellcore::HitRecord;
using vellcore::kNoPosition;

namespace {

struct Doc {
    const char* name;
    const char* text;
};

// Word numbers follow the blanks: in cats.txt "cat" is word 2 and word 9.
const Doc kCorpus[] = {
    {"/c/cats.txt", "the black cat sat on the mat with another cat"},
    {"/c/dogs.txt", "a brown dog chased the black cat"},
    {"/c/birds.txt", "birds sing in the morning and the cat listens"},
    {"/c/mixed.txt", "Cat food and dog food are different"},
    {"/c/far.txt", "cat one two three four five six seven eight nine ten eleven dog"},
    {"/c/order.xml",
     "smith@/orders/order/customer john@/orders/order/customer widget@/orders/order/item "
     "cat@/orders/note"},
    {"/c/page.htm", "Welcome@title home@title cat@h1 content text"},
    {"/c/mail.xml", "smith@/mail/orders/order/customer"},
};

class QueryLanguage : public ::testing::Test {
  protected:
    void SetUp() override {
        index = createIndex(folder.path() / "idx");
        for (const char* stop : {"the", "a", "on", "and", "in"})
            ASSERT_TRUE(index->AddWord(stop, 0, 0));
        for (const Doc& d : kCorpus) ASSERT_TRUE(addText(*index, d.name, d.text)) << d.name;
        ASSERT_TRUE(reopen(*index));
    }

    std::vector<HitRecord> hitsOf(const std::string& query, const std::string& name) {
        const auto names = found(*index, query);
        const auto it = std::find(names.begin(), names.end(), name);
        if (it == names.end()) return {};
        std::vector<HitRecord> hits;
        EXPECT_TRUE(index->GetHits(static_cast<int>(it - names.begin()), hits));
        return hits;
    }

    TempFolder folder;
    std::unique_ptr<vellcore::IndexObject> index;
};

std::vector<std::string> names(std::initializer_list<const char*> short_names) {
    std::vector<std::string> out;
    for (const char* n : short_names) out.push_back(std::string("/c/") + n);
    return out;
}

struct Case {
    const char* query;
    std::vector<std::string> expected;  // in the engine's order (the order of indexing)
};

TEST_F(QueryLanguage, MatchesTable) {
    const auto allCats = names(
        {"cats.txt", "dogs.txt", "birds.txt", "mixed.txt", "far.txt", "order.xml", "page.htm"});
    const Case cases[] = {
        // words, case folding, phrases
        {"cat", allCats},
        {"CaT", allCats},
        {"dog", names({"dogs.txt", "mixed.txt", "far.txt"})},
        {"black cat", names({"cats.txt", "dogs.txt"})},
        {"cat black", {}},
        {"brown dog chased", names({"dogs.txt"})},
        {"black-cat", names({"cats.txt", "dogs.txt"})},  // split at the hyphen, as a parser does
        {"/usr/cat", {}},                                // a path without "[" is plain words
        {"xyzzy", {}},
        // stop-words leave a gap inside a phrase and vanish elsewhere
        {"sat on the mat", names({"cats.txt"})},
        {"sat mat", {}},
        {"cat sat on the mat", names({"cats.txt"})},
        {"the cat & a dog", names({"dogs.txt", "mixed.txt", "far.txt"})},
        // boolean operators and precedence: phrase, ~, !, &, |
        {"cat & dog", names({"dogs.txt", "mixed.txt", "far.txt"})},
        {"cat & !dog", names({"cats.txt", "birds.txt", "order.xml", "page.htm"})},
        {"!cat", names({"mail.xml"})},
        {"widget | smith", names({"order.xml", "mail.xml"})},
        {"(cat | dog) & black", names({"cats.txt", "dogs.txt"})},
        {"dog | cat & !black",
         names({"dogs.txt", "birds.txt", "mixed.txt", "far.txt", "order.xml", "page.htm"})},
        {"food & !(dog food)", {}},
        {"food & !(cat dog)", names({"mixed.txt"})},
        {"cat & !(sat on the mat)",
         names({"dogs.txt", "birds.txt", "mixed.txt", "far.txt", "order.xml", "page.htm"})},
        {"xyzzy | dog", names({"dogs.txt", "mixed.txt", "far.txt"})},
        // wildcards
        {"c?t", allCats},
        {"ca*", allCats},
        {"*og", names({"dogs.txt", "mixed.txt", "far.txt"})},
        {"b*", names({"cats.txt", "dogs.txt", "birds.txt"})},
        {"black c*", names({"cats.txt", "dogs.txt"})},
        {"c*t ~2 d?g", names({"mixed.txt"})},
        // proximity: at most N words between, either order
        {"cat ~3 dog", names({"dogs.txt", "mixed.txt"})},
        {"cat ~ dog", names({"dogs.txt", "mixed.txt"})},
        {"cat ~11 dog", names({"dogs.txt", "mixed.txt", "far.txt"})},
        {"dog ~1 food", names({"mixed.txt"})},
        {"cat ~6 cat", names({"cats.txt"})},
        {"cat ~5 cat", {}},
        {"black cat ~3 mat", names({"cats.txt"})},
        // element queries: the element and everything below it
        {"/orders/order/customer[smith]", names({"order.xml"})},
        {"//customer[smith]", names({"order.xml", "mail.xml"})},
        {"//order[smith]", names({"order.xml", "mail.xml"})},
        {"/orders[widget]", names({"order.xml"})},
        {"/orders/order/customer[widget]", {}},
        {"/ORDERS/*/customer[smith]", names({"order.xml"})},
        {"//customer[smith & john]", names({"order.xml"})},
        {"//customer[smith john]", names({"order.xml"})},
        {"//customer[sm*]", names({"order.xml", "mail.xml"})},
        {"//customer[smith] & widget", names({"order.xml"})},
        {"/mail//customer[smith]", names({"mail.xml"})},
        {"//title[welcome]", names({"page.htm"})},
        {"/title[home]", names({"page.htm"})},
        {"//h1[cat]", names({"page.htm"})},
        {"//title[cat]", {}},
        {"//nosuch[cat]", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(found(*index, c.query), c.expected) << "query: " << c.query;
}

TEST_F(QueryLanguage, MalformedQueriesFailWithCode2AndStopWordsWith10) {
    const char* malformed[] = {
        "",
        "   ",
        "(cat",
        "cat)",
        "((cat) | dog",
        "cat &",
        "& cat",
        "|",
        "!",
        "cat & & dog",
        "cat ~",
        "~ cat",
        "(cat | dog) ~ bird",
        "cat ~ //a[dog]",
        "/[cat]",
        "//[cat]",
        "/a//[cat]",
        "/a/[cat]",
        "/a[cat",
        "cat]",
        "[cat]",
        "(cat) dog",
        "cat (dog)",
        "//b[x] cat",
        ",",
        "cat ~99999 dog",
        "()",
    };
    for (const char* q : malformed) {
        EXPECT_EQ(found(*index, q), std::vector<std::string>{"ERROR 2"}) << "query: [" << q << "]";
        EXPECT_FALSE(index->GetErrorMessage().empty()) << q;
    }
    for (const char* q : {"the", "the & a", "(the | on) & in", "a", "!the", "//customer[the]"})
        EXPECT_EQ(found(*index, q), std::vector<std::string>{"ERROR 10"}) << "query: " << q;
    // The index stays usable after failed queries.
    EXPECT_EQ(found(*index, "widget"), names({"order.xml"}));
}

TEST_F(QueryLanguage, HitsAreEveryPositiveOccurrenceInDocumentOrder) {
    auto rec = [](std::uint32_t first, std::uint16_t count) { return HitRecord{first, 0, count}; };
    auto same = [](const std::vector<HitRecord>& a, const std::vector<HitRecord>& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](auto& x, auto& y) {
                   return x.firstWord == y.firstWord && x.wordCount == y.wordCount && x.unused == 0;
               });
    };
    const struct {
        const char* query;
        const char* name;
        std::vector<HitRecord> hits;
    } cases[] = {
        {"cat", "/c/cats.txt", {rec(2, 1), rec(9, 1)}},
        {"black cat", "/c/cats.txt", {rec(1, 2)}},
        {"sat on the mat", "/c/cats.txt", {rec(3, 4)}},  // one hit spanning the gap
        {"cat & !dog", "/c/cats.txt", {rec(2, 1), rec(9, 1)}},
        {"mat | black cat", "/c/cats.txt", {rec(1, 2), rec(6, 1)}},
        {"cat | c*", "/c/cats.txt", {rec(2, 1), rec(9, 1)}},  // the same word twice is one hit
        {"black cat | cat", "/c/cats.txt", {rec(1, 2), rec(2, 1), rec(9, 1)}},
        {"cat ~3 dog", "/c/dogs.txt", {rec(2, 1), rec(6, 1)}},
        {"food ~0 dog", "/c/mixed.txt", {rec(3, 1), rec(4, 1)}},  // the first food is too far
        {"widget | cat", "/c/order.xml", {rec(2, 1), rec(3, 1)}},
        {"//customer[smith | john] | widget", "/c/order.xml", {rec(0, 1), rec(1, 1), rec(2, 1)}},
        {"//customer[smith] & cat", "/c/order.xml", {rec(0, 1), rec(3, 1)}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(same(hitsOf(c.query, c.name), c.hits)) << c.query << " in " << c.name;
}

TEST_F(QueryLanguage, EntriesEqualTheHitsOfAllFiles) {
    for (const char* q :
         {"cat", "cat | dog", "cat & !dog", "black cat", "sat on the mat", "cat ~3 dog", "c*",
          "//customer[smith] | cat", "cat | c*", "food ~0 dog", "!cat"}) {
        int files = 0;
        std::int64_t entries = 0;
        ASSERT_NE(index->RunQuery(q, files, entries), 0) << q;
        std::int64_t sum = 0;
        for (int i = 0; i < files; ++i) {
            std::vector<HitRecord> hits;
            ASSERT_TRUE(index->GetHits(i, hits));
            sum += static_cast<std::int64_t>(hits.size());
        }
        EXPECT_EQ(entries, sum) << q;
    }
}

TEST_F(QueryLanguage, WordsWithoutPositionAreHitsWithoutPosition) {
    ASSERT_TRUE(index->BeginDocument("/c/nopos.txt", 1, 10));
    ASSERT_TRUE(index->AddWord("zebra", -1, 0));
    ASSERT_TRUE(index->AddWord("zebra", 4, 0));
    std::vector<HitRecord> hits = hitsOf("zebra", "/c/nopos.txt");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].firstWord, 4u);
    EXPECT_EQ(hits[1].firstWord, kNoPosition);
    EXPECT_EQ(found(*index, "zebra zebra"), std::vector<std::string>{});
}

TEST_F(QueryLanguage, GetHitsAndGetResultBeyondTheResultsFail) {
    ASSERT_EQ(found(*index, "dog").size(), 3u);
    std::vector<HitRecord> hits{HitRecord{1, 0, 1}};
    std::string name;
    vellcore::Stamp stamp = 0;
    for (int bad : {3, -1, 1000000}) {
        index->ClearError();
        EXPECT_FALSE(index->GetHits(bad, hits));
        EXPECT_TRUE(hits.empty());
        EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
        EXPECT_FALSE(index->GetResult(bad, name, stamp));
        EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    }
}

}  // namespace
