// The engine's format number: new indexes carry the current one, an index written before
// the format had a number reads as format 1 and keeps answering phrases the way it was
// built, and ClearDocuments starts a rebuild in the current format without losing the
// index's word lists.
#include <fstream>

#include "EngineTestSupport.h"
#include "support/OlderIndexFormat.h"

using namespace enginetest;
using testing_support::makeFormatOne;

namespace {

// Feeds words with explicit numbers: {"file", 0}, {"system", 3}.
bool addNumbered(vellcore::IndexObject& index, const std::string& name,
                 const std::vector<std::pair<std::string, int>>& words) {
    if (!index.BeginDocument(name, 1, 10)) return false;
    for (const auto& [word, number] : words)
        if (!index.AddWord(word, number, 0)) return false;
    return true;
}

}  // namespace

TEST(Format, NewIndexesCarryTheCurrentFormatAndOldOnesReadAsOne) {
    TempFolder folder;
    const fs::path path = folder.path() / "idx";
    auto index = createIndex(path);
    EXPECT_EQ(index->GetFormatVersion(), vellcore::kFormatVersion);
    ASSERT_TRUE(index->CloseFiles());
    std::ifstream params(path / "S.STS");
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(params), {}).find("\nformat=2\n"),
              std::string::npos);

    makeFormatOne(path);
    auto old = vellcore::CreateIndexObject(path.string(), 0);
    EXPECT_EQ(old->GetFormatVersion(), 1) << "known before the index is opened";
    ASSERT_TRUE(old->Prepare(3, "", nullptr, 32, 2, 50)) << old->GetErrorMessage();
    EXPECT_EQ(old->GetFormatVersion(), 1);
}

// "file I/O, system calls": the parsers of format 2 give "system" the number 3; those of
// format 1 gave it 1. Each index answers the phrase "file I/O system" by its own rule, and
// neither matches "file system".
TEST(Format, PhrasesWithShortWordsFollowTheIndexFormat) {
    TempFolder folder;
    auto current = createIndex(folder.path() / "new");
    ASSERT_TRUE(addNumbered(*current, "/d/a.txt", {{"file", 0}, {"system", 3}, {"calls", 4}}));
    ASSERT_TRUE(reopen(*current));
    EXPECT_EQ(found(*current, "file system"), std::vector<std::string>{});
    EXPECT_EQ(found(*current, "file I/O system"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*current, "file I/O, system calls"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*current, "file a system"), std::vector<std::string>{})
        << "one short word stands for one word";
    EXPECT_EQ(found(*current, "I file"), std::vector<std::string>{"/d/a.txt"})
        << "a short word in front asks for nothing before the phrase, as before";
    EXPECT_EQ(found(*current, "a b"), std::vector<std::string>{"ERROR 10"});

    auto old = createIndex(folder.path() / "old");
    ASSERT_TRUE(addNumbered(*old, "/d/a.txt", {{"file", 0}, {"system", 1}, {"calls", 2}}));
    ASSERT_TRUE(old->CloseFiles());
    makeFormatOne(folder.path() / "old");
    ASSERT_TRUE(old->Prepare(3, "", nullptr, 32, 2, 50)) << old->GetErrorMessage();
    EXPECT_EQ(found(*old, "file I/O system"), std::vector<std::string>{"/d/a.txt"})
        << "short words leave no gap in an index of format 1";
    EXPECT_EQ(found(*old, "file system"), std::vector<std::string>{"/d/a.txt"});
}

TEST(Format, ClearDocumentsKeepsTheWordListsAndTakesTheCurrentFormat) {
    TempFolder folder;
    const fs::path path = folder.path() / "idx";
    auto index = createIndex(path);
    ASSERT_TRUE(index->AddWord("the", 0, 0));
    ASSERT_TRUE(addText(*index, "/lists/words.dic", "alpha beta the", 0, 0));
    ASSERT_TRUE(index->RemoveDocument("/lists/words.dic"));
    ASSERT_TRUE(index->AddWord({}, 0, -1));
    ASSERT_TRUE(addText(*index, "/d/a.txt", "alpha gamma the beta"));
    ASSERT_TRUE(index->CloseFiles());
    makeFormatOne(path);
    ASSERT_TRUE(index->Prepare(3, "", nullptr, 32, 2, 50));
    ASSERT_EQ(index->GetFormatVersion(), 1);

    index->BeginSession();
    ASSERT_TRUE(index->ClearDocuments()) << index->GetErrorMessage();
    EXPECT_EQ(index->GetRecordCount(), 0);
    EXPECT_EQ(index->GetFormatVersion(), vellcore::kFormatVersion);
    index->EndSession();

    // Reopened from disk, as after a rebuild killed before its first document.
    auto again = vellcore::CreateIndexObject(path.string(), 0);
    ASSERT_TRUE(again->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_EQ(again->GetFormatVersion(), vellcore::kFormatVersion);
    EXPECT_EQ(again->GetRecordCount(), 0);
    ASSERT_TRUE(addText(*again, "/d/a.txt", "alpha gamma the beta"));
    ASSERT_TRUE(reopen(*again));
    EXPECT_EQ(found(*again, "alpha"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*again, "gamma"), std::vector<std::string>{"ERROR 10"})
        << "the dictionary still filters";
    EXPECT_EQ(found(*again, "the"), std::vector<std::string>{"ERROR 10"})
        << "and the stop-word is still one";
    EXPECT_EQ(again->GetLanguageName(), "English (i)");
}

TEST(Format, ClearDocumentsNeedsAPreparedIndexAndTheWriteLock) {
    TempFolder folder;
    auto unprepared = vellcore::CreateIndexObject((folder.path() / "none").string(), 0);
    EXPECT_FALSE(unprepared->ClearDocuments());
    EXPECT_EQ(unprepared->GetErrorCode(), vellcore::kBadValue);

    auto writer = createIndex(folder.path() / "idx");
    ASSERT_TRUE(addText(*writer, "/d/a.txt", "alpha"));
    ASSERT_TRUE(reopen(*writer));
    writer->BeginSession();
    ASSERT_TRUE(addText(*writer, "/d/b.txt", "beta"));  // holds the write lock
    auto other = vellcore::CreateIndexObject((folder.path() / "idx").string(), 0);
    ASSERT_TRUE(other->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_FALSE(other->ClearDocuments());
    EXPECT_EQ(other->GetErrorCode(), vellcore::kCannotOpen);
    writer->EndSession();
    EXPECT_EQ(found(*writer, "alpha"), std::vector<std::string>{"/d/a.txt"}) << "nothing lost";
}
