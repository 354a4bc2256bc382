// A file stored again with the same words (touched, or saved unchanged) keeps its terms
// and takes its new stamp; any change to what the words leave in the index (a word, its
// number, its field, a word without a number) stores the new version in full.
#include "EngineTestSupport.h"

using namespace enginetest;
using vellcore::FileVersion;
using vellcore::Stamp;

namespace {

struct Totals {
    int records, removed;
    std::int64_t words, unique, sizeKB;
    bool operator==(const Totals&) const = default;
};

Totals totalsOf(const IndexObject& index) {
    return {index.GetRecordCount(), index.GetRemovedCount(), index.GetWordCount(),
            index.GetUniqueWordCount(), index.GetTotalSizeKB()};
}

}  // namespace

TEST(TouchedFiles, TheSameWordsTakeTheNewStampAndKeepEverythingFindable) {
    TempFolder folder;
    auto index = createIndex(folder.path() / "ix");
    ASSERT_TRUE(addText(*index, "/d/a.txt", "alpha beta gamma@title delta", 1));
    ASSERT_TRUE(addText(*index, "/d/b.txt", "beta epsilon", 1));
    ASSERT_TRUE(reopen(*index));
    const Totals before = totalsOf(*index);

    // Touched: a new stamp and version, the same words (and a size a little larger).
    ASSERT_TRUE(index->BeginDocument("/d/a.txt", 2, 3000, FileVersion{3000, 77}));
    int number = 0;
    for (const char* word : {"alpha", "beta"}) ASSERT_TRUE(index->AddWord(word, number++, 0));
    ASSERT_TRUE(index->AddWord("gamma", number++, index->GetFieldNumber("title")));
    ASSERT_TRUE(index->AddWord("delta", number++, 0));
    ASSERT_TRUE(reopen(*index));

    Stamp stamp = 0;
    FileVersion version;
    ASSERT_TRUE(index->FindDocument("/d/a.txt", stamp, &version));
    EXPECT_EQ(stamp, 2u);
    EXPECT_EQ(version, (FileVersion{3000, 77}));
    // Offered once more as it now is: declined, the new version is the stored one.
    EXPECT_FALSE(index->BeginDocument("/d/a.txt", 2, 3000, FileVersion{3000, 77}));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kDeclined);

    EXPECT_EQ(found(*index, "alpha beta"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*index, "//title[gamma]"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*index, "beta"), (std::vector<std::string>{"/d/a.txt", "/d/b.txt"}));
    Totals after = before;
    after.removed += 1;  // a replacement, as for any other
    after.sizeKB = (3000 + 12 + 1023) / 1024;
    EXPECT_EQ(totalsOf(*index), after);
}

TEST(TouchedFiles, AnyDifferenceInTheStoredWordsReplacesTheDocumentInFull) {
    struct Change {
        const char* text;
        const char* findsIt;   // a query only the new version answers
        const char* lostWith;  // a query only the old version answered
    };
    const char* original = "alpha beta gamma@title delta";
    const Change changes[] = {
        {"alpha beta gamma@title omega", "omega", "delta"},                    // a word
        {"beta alpha gamma@title delta", "beta alpha", "alpha beta"},          // the order
        {"alpha beta gamma delta@title", "//title[delta]", "//title[gamma]"},  // the field
        {"alpha beta gamma@title", "alpha", "delta"},                          // one word fewer
    };
    for (const Change& change : changes) {
        TempFolder folder;
        auto index = createIndex(folder.path() / "ix");
        ASSERT_TRUE(addText(*index, "/d/a.txt", original, 1));
        ASSERT_TRUE(reopen(*index));
        ASSERT_TRUE(addText(*index, "/d/a.txt", change.text, 2)) << change.text;
        ASSERT_TRUE(reopen(*index));
        EXPECT_EQ(found(*index, change.findsIt), std::vector<std::string>{"/d/a.txt"})
            << change.text;
        EXPECT_TRUE(found(*index, change.lostWith).empty()) << change.text;
    }

    // Words without numbers: the same words, once without and once with positions.
    TempFolder folder;
    auto index = createIndex(folder.path() / "ix");
    ASSERT_TRUE(index->BeginDocument("/d/p.txt", 1, 10));
    ASSERT_TRUE(index->AddWord("alpha", -1, 0));
    ASSERT_TRUE(index->AddWord("beta", -1, 0));
    ASSERT_TRUE(reopen(*index));
    ASSERT_TRUE(addText(*index, "/d/p.txt", "alpha beta", 2, 10));
    ASSERT_TRUE(reopen(*index));
    int files = 0;
    std::int64_t entries = 0;
    ASSERT_NE(index->RunQuery("beta", files, entries), 0);
    std::vector<vellcore::HitRecord> hits;
    ASSERT_TRUE(index->GetHits(0, hits));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].firstWord, 1u);
}
