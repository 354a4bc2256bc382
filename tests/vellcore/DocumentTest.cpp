// Documents and their words: offering, declining, replacing and removing documents,
// the statistics across all of that and across reopening, stop-words, the filtering
// dictionary, fields, the enumerations, rescans, and bad input on the way in.
#include <fstream>

#include "EngineTestSupport.h"

using namespace enginetest;
using vellcore::Stamp;

namespace {

class Documents : public ::testing::Test {
  protected:
    void SetUp() override { index = createIndex(folder.path() / "idx"); }

    struct Stats {
        int records, removed;
        std::int64_t kb, words, unique;
        bool operator==(const Stats&) const = default;
    };
    Stats stats() const {
        return {index->GetRecordCount(), index->GetRemovedCount(), index->GetTotalSizeKB(),
                index->GetWordCount(), index->GetUniqueWordCount()};
    }

    std::vector<std::string> allWords() {
        std::vector<std::string> words;
        std::string w;
        const std::string all = "**";
        for (bool more = index->EnumWords(&all, w); more; more = index->EnumWords(nullptr, w))
            words.push_back(w);
        return words;
    }

    TempFolder folder;
    std::unique_ptr<vellcore::IndexObject> index;
};

TEST_F(Documents, StatisticsFollowAddsReplacementsRemovalsAndReopening) {
    ASSERT_TRUE(addText(*index, "/d/a.txt", "apple banana apple", 10, 1000));
    ASSERT_TRUE(addText(*index, "/d/b.txt", "banana cherry", 10, 2048));
    // The open document already counts.
    EXPECT_EQ(stats(), (Stats{2, 0, 3, 5, 3}));
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(stats(), (Stats{2, 0, 3, 5, 3}));

    // Same stamp and size: declined with 7, nothing changes.
    index->ClearError();
    EXPECT_FALSE(index->BeginDocument("/d/a.txt", 10, 1000));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kDeclined);
    EXPECT_EQ(stats(), (Stats{2, 0, 3, 5, 3}));

    // A new stamp replaces the old version, which counts as removed.
    ASSERT_TRUE(addText(*index, "/d/a.txt", "date", 11, 100));
    EXPECT_EQ(stats(), (Stats{2, 1, 3, 3, 3}));  // apple gone, date new
    Stamp stamp = 0;
    ASSERT_TRUE(index->FindDocument("/d/a.txt", stamp));
    EXPECT_EQ(stamp, 11u);
    EXPECT_EQ(found(*index, "apple"), std::vector<std::string>{});
    EXPECT_EQ(found(*index, "date"), std::vector<std::string>{"/d/a.txt"});

    EXPECT_TRUE(index->RemoveDocument("/d/b.txt"));
    EXPECT_FALSE(index->RemoveDocument("/d/b.txt"));
    EXPECT_FALSE(index->FindDocument("/d/b.txt", stamp));
    EXPECT_EQ(stats(), (Stats{1, 2, 1, 1, 1}));
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(stats(), (Stats{1, 2, 1, 1, 1}));
    EXPECT_EQ(allWords(), std::vector<std::string>{"DATE"});
}

TEST_F(Documents, ChangedSizeAlsoReplacesAndNamesKeepTheirCase) {
    ASSERT_TRUE(addText(*index, "/d/Report.TXT", "alpha", 5, 10));
    ASSERT_TRUE(addText(*index, "/d/report.txt", "beta", 5, 10));
    ASSERT_TRUE(addText(*index, "/d/Report.TXT", "gamma", 5, 11));
    EXPECT_EQ(index->GetRecordCount(), 2);
    EXPECT_EQ(index->GetRemovedCount(), 1);
    EXPECT_EQ(found(*index, "gamma"), std::vector<std::string>{"/d/Report.TXT"});
    EXPECT_EQ(found(*index, "beta"), std::vector<std::string>{"/d/report.txt"});
}

TEST_F(Documents, BadNamesAndWordsAreRefusedOrCutNeverCorrupting) {
    index->ClearError();
    EXPECT_FALSE(index->BeginDocument("", 1, 1));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    EXPECT_FALSE(index->BeginDocument(std::string("/d/a\0b", 6), 1, 1));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    EXPECT_FALSE(index->BeginDocument(std::string(vellcore::kMaxNameBytes + 1, 'n'), 1, 1));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kNameTooLong);

    // Two names of 65,535 bytes that differ only at the end are two documents.
    std::string longA = "/" + std::string(vellcore::kMaxNameBytes - 2, 'x') + "a";
    std::string longB = longA;
    longB.back() = 'b';
    ASSERT_TRUE(addText(*index, longA, "first"));
    ASSERT_TRUE(addText(*index, longB, "second"));
    Stamp stamp = 0;
    EXPECT_TRUE(index->FindDocument(longA, stamp));
    EXPECT_EQ(found(*index, "second"), std::vector<std::string>{longB});

    // Words longer than 255 bytes and than the maximum length are cut to 32 characters,
    // in the index and in queries alike; invalid UTF-8 is read as Windows-1252.
    ASSERT_TRUE(index->BeginDocument("/d/words.txt", 1, 1));
    const std::string huge(300, 'q');
    EXPECT_TRUE(index->AddWord(huge, 0, 0));
    EXPECT_TRUE(index->AddWord("caf\xE9", 1, 0));       // café in Windows-1252
    EXPECT_TRUE(index->AddWord("\xF0\x9F\x98", 2, 0));  // a truncated sequence
    EXPECT_TRUE(index->AddWord(std::string(100, '\xFF'), 3, 0));
    EXPECT_TRUE(index->AddWord("", 4, 0));
    EXPECT_EQ(found(*index, huge), std::vector<std::string>{"/d/words.txt"});
    EXPECT_EQ(found(*index, std::string(32, 'q')), std::vector<std::string>{"/d/words.txt"});
    EXPECT_EQ(found(*index, std::string(31, 'q')), std::vector<std::string>{});
    EXPECT_EQ(found(*index, "caf"),
              std::vector<std::string>{"/d/words.txt"});  // é is no English letter
    for (const std::string& w : allWords()) {
        EXPECT_TRUE(textfold::isValidUtf8(w)) << w;
        EXPECT_LE(textfold::utf8Length(w), 32u);
    }
}

TEST_F(Documents, CallsInTheWrongOrderFailWithCode2) {
    ASSERT_TRUE(addText(*index, "/d/a.txt", "one"));
    ASSERT_TRUE(index->RemoveDocument("/d/a.txt"));
    index->ClearError();
    // No document is open any more, and stop-words are only taken before the first one.
    EXPECT_FALSE(index->AddWord("two", 0, 0));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    ASSERT_TRUE(index->BeginDocument("/d/b.txt", 1, 1));
    EXPECT_FALSE(index->AddWord("x", 0, 99));  // a field nobody registered
    EXPECT_FALSE(index->AddWord("x", 0, -2));
    EXPECT_FALSE(index->AddWord({}, 0, -1));  // -1 outside a dictionary load
    EXPECT_FALSE(index->AddWord("x", 0, -1));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    EXPECT_TRUE(index->AddWord("three", 0, 0));  // the document is still usable

    ASSERT_TRUE(index->CloseFiles());
    EXPECT_FALSE(index->BeginDocument("/d/c.txt", 1, 1));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    int files = 0;
    std::int64_t entries = 0;
    EXPECT_EQ(index->RunQuery("three", files, entries), 0);
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    EXPECT_FALSE(index->Prepare(1, "", nullptr, 32, 2, 50));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);

    const auto table = textfold::englishTable();
    for (auto [mx, mn, ratio] : {std::tuple{32, 0, 50}, {2, 3, 50}, {256, 2, 50}, {32, 2, 101}}) {
        EXPECT_FALSE(index->Prepare(2, "x", &table, mx, mn, ratio));
        EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);
    }
    EXPECT_FALSE(index->Prepare(2, "x", nullptr, 32, 2, 50));
    // A successful call starts with a clean error code.
    EXPECT_TRUE(index->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_EQ(index->GetErrorCode(), 0);
}

TEST_F(Documents, StopWordsAreNeitherIndexedNorSearchedAndSurviveReopening) {
    ASSERT_TRUE(index->AddWord("The", 0, 0));
    ASSERT_TRUE(index->AddWord("of", 0, 0));
    ASSERT_TRUE(addText(*index, "/d/a.txt", "the state of the art"));
    EXPECT_EQ(index->GetWordCount(), 2);
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(allWords(), (std::vector<std::string>{"ART", "STATE"}));
    EXPECT_EQ(found(*index, "state of the art"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*index, "state art"), std::vector<std::string>{});
    EXPECT_EQ(found(*index, "the | of"), std::vector<std::string>{"ERROR 10"});
    // An update in a later session still skips them.
    ASSERT_TRUE(addText(*index, "/d/b.txt", "the end"));
    EXPECT_EQ(allWords(), (std::vector<std::string>{"ART", "END", "STATE"}));
}

TEST_F(Documents, FilteringDictionaryRestrictsIndexedWords) {
    const std::int64_t before = index->GetUniqueWordCount();
    ASSERT_TRUE(addText(*index, "/lists/Dictionary.dic", "Apple cherry", 0, 0));
    EXPECT_TRUE(index->RemoveDocument("/lists/Dictionary.dic"));
    // The caller sees the loaded words before closing the load...
    EXPECT_EQ(index->GetUniqueWordCount(), before + 2);
    ASSERT_TRUE(index->AddWord({}, 0, -1));
    EXPECT_EQ(index->GetRecordCount(), 0);
    ASSERT_TRUE(addText(*index, "/d/a.txt", "apple banana cherry date"));
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(allWords(), (std::vector<std::string>{"APPLE", "CHERRY"}));
    EXPECT_EQ(index->GetWordCount(), 2);
    EXPECT_EQ(index->GetUniqueWordCount(), 2);
    // Words outside the dictionary hold their word number, like stop-words.
    EXPECT_EQ(found(*index, "apple banana cherry"), std::vector<std::string>{"/d/a.txt"});
    EXPECT_EQ(found(*index, "banana"), std::vector<std::string>{"ERROR 10"});
    // ... and the dictionary still applies after reopening.
    ASSERT_TRUE(addText(*index, "/d/b.txt", "banana apple"));
    EXPECT_EQ(found(*index, "apple"), (std::vector<std::string>{"/d/a.txt", "/d/b.txt"}));
    EXPECT_EQ(allWords(), (std::vector<std::string>{"APPLE", "CHERRY"}));
}

TEST_F(Documents, AnEmptyDictionaryShowsAsNoChangeAndRestrictsNothing) {
    const std::int64_t before = index->GetUniqueWordCount();
    ASSERT_TRUE(addText(*index, "/lists/empty.dic", "42 ,, 7", 0, 0));  // no English letters
    index->RemoveDocument("/lists/empty.dic");
    EXPECT_EQ(index->GetUniqueWordCount(), before);
    EXPECT_TRUE(index->AddWord({}, 0, -1));
    ASSERT_TRUE(addText(*index, "/d/a.txt", "anything goes"));
    EXPECT_EQ(found(*index, "goes"), std::vector<std::string>{"/d/a.txt"});
}

TEST_F(Documents, FieldsAndElementPathsInTreeOrder) {
    EXPECT_EQ(index->GetFieldNumber(""), 0);
    const int title = index->GetFieldNumber("title");
    EXPECT_GT(title, 0);
    EXPECT_EQ(index->GetFieldNumber("title"), title);
    EXPECT_EQ(index->GetFieldNumber(std::string("bad\nname")), 0);
    EXPECT_EQ(index->GetTagCount(), 0);  // registered, but no word stood in it yet
    ASSERT_TRUE(addText(*index, "/d/x.xml",
                        "aa@/d bb@/a/c cc@/a-x dd@/a/b ee@/a ff@title gg@/a/b/deep hh@/mail/a/b"));
    ASSERT_TRUE(reopen(*index));
    std::vector<std::string> paths;
    std::string p;
    for (bool more = index->EnumElementPaths(true, p); more;
         more = index->EnumElementPaths(false, p))
        paths.push_back(p);
    const std::vector<std::string> expected = {"/a",   "/a/b", "/a/b/deep", "/a/c",
                                               "/a-x", "/d",   "/mail/a/b", "/title"};
    EXPECT_EQ(paths, expected);
    EXPECT_EQ(index->GetTagCount(), static_cast<int>(expected.size()));
    // Every path shares at least its leading "/" and its parent elements with the ones before.
    EXPECT_TRUE(index->EnumElementPaths(true, p));
    EXPECT_EQ(p, "/a");
    EXPECT_EQ(found(*index, "//b[dd]"), std::vector<std::string>{"/d/x.xml"});
}

TEST_F(Documents, FieldsMetFirstDuringAnUpdateAreKeptLikeTheOthers) {
    ASSERT_TRUE(addText(*index, "/d/a.xml", "one@/a/b"));
    ASSERT_TRUE(reopen(*index));
    // An automatic update asks for a label's field before any document is begun.
    const int label = index->GetFieldNumber("/mail");
    EXPECT_GT(label, 0);
    ASSERT_TRUE(addText(*index, "/d/b.xml", "two@/mail/a/b"));
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(index->GetFieldNumber("/mail"), label);
    EXPECT_EQ(found(*index, "/mail/a[two]"), std::vector<std::string>{"/d/b.xml"});
    EXPECT_EQ(found(*index, "//b[one | two]"), (std::vector<std::string>{"/d/a.xml", "/d/b.xml"}));
}

TEST_F(Documents, EnumWordsWithPatterns) {
    ASSERT_TRUE(addText(*index, "/d/a.txt", "Zebra apple Mango apricot field@title"));
    ASSERT_TRUE(reopen(*index));
    // Field terms and names never show as words.
    EXPECT_EQ(allWords(),
              (std::vector<std::string>{"APPLE", "APRICOT", "FIELD", "MANGO", "ZEBRA"}));
    std::string w;
    const std::string ap = "ap*";
    std::vector<std::string> words;
    for (bool more = index->EnumWords(&ap, w); more; more = index->EnumWords(nullptr, w))
        words.push_back(w);
    EXPECT_EQ(words, (std::vector<std::string>{"APPLE", "APRICOT"}));
    EXPECT_FALSE(index->EnumWords(nullptr, w));
}

TEST_F(Documents, RescanRemovesDocumentsNotOfferedWhoseFilesVanished) {
    const fs::path dir = folder.path() / "docs";
    fs::create_directories(dir / "sub");
    for (const char* f : {"keep.txt", "gone.txt", "unoffered.txt", "arc.zip", "sub/deep.txt"})
        std::ofstream(dir / f) << "x";
    const std::string d = dir.string();
    for (const char* f : {"/keep.txt", "/gone.txt", "/unoffered.txt", "/arc.zip//member.txt",
                          "/arc.zip//in.zip//x.txt", "/sub/deep.txt", "/gone.zip//m.txt"})
        ASSERT_TRUE(addText(*index, d + f, "word", 7, 4));
    ASSERT_TRUE(addText(*index, "relative-name", "word", 7, 4));
    ASSERT_TRUE(reopen(*index));
    fs::remove(dir / "gone.txt");
    fs::remove(dir / "sub/deep.txt");

    // Automatic update of one folder: only vanished files directly in it go.
    EXPECT_EQ(index->RemoveVanishedInFolder(d + "/"), 2);  // gone.txt and gone.zip's member
    Stamp s = 0;
    EXPECT_FALSE(index->FindDocument(d + "/gone.txt", s));
    EXPECT_FALSE(index->FindDocument(d + "/gone.zip//m.txt", s));
    EXPECT_TRUE(index->FindDocument(d + "/unoffered.txt", s));
    EXPECT_TRUE(index->FindDocument(d + "/sub/deep.txt", s));
    EXPECT_TRUE(index->FindDocument(d + "/arc.zip//in.zip//x.txt", s));

    // Full rescan: offered documents stay even if missing; unoffered ones go when missing.
    ASSERT_TRUE(index->ReadyForRescan());
    index->ClearError();
    EXPECT_FALSE(index->BeginDocument(d + "/keep.txt", 7, 4));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kDeclined);
    ASSERT_TRUE(addText(*index, d + "/new.txt", "word", 7, 4));
    ASSERT_TRUE(reopen(*index));
    for (const char* f : {"/keep.txt", "/unoffered.txt", "/arc.zip//member.txt",
                          "/arc.zip//in.zip//x.txt", "/new.txt"})
        EXPECT_TRUE(index->FindDocument(d + f, s)) << f;
    EXPECT_FALSE(index->FindDocument(d + "/sub/deep.txt", s));
    EXPECT_TRUE(index->FindDocument("relative-name", s));  // cannot be checked, so kept
    EXPECT_EQ(index->GetRecordCount(), 6);
}

TEST_F(Documents, DeleteIndexFilesLeavesForeignFilesAndAllowsRecreating) {
    ASSERT_TRUE(addText(*index, "/d/a.txt", "one"));
    const fs::path idx = folder.path() / "idx";
    std::ofstream(idx / "notes.txt") << "mine";
    ASSERT_TRUE(index->DeleteIndexFiles());
    EXPECT_TRUE(fs::exists(idx / "notes.txt"));
    EXPECT_FALSE(fs::exists(idx / "S.STS"));
    EXPECT_FALSE(fs::exists(idx / "xapian"));
    EXPECT_EQ(index->GetRecordCount(), 0);
    fs::remove(idx / "notes.txt");

    const auto table = textfold::englishTable();
    ASSERT_TRUE(index->Prepare(2, "English (i)", &table, 20, 3, 40));
    ASSERT_TRUE(addText(*index, "/d/b.txt", "two"));
    ASSERT_TRUE(index->CloseFiles());
    ASSERT_TRUE(index->DeleteIndexFiles());
    EXPECT_FALSE(fs::exists(idx)) << "an emptied index folder is removed";
}

TEST_F(Documents, ParametersArePersistedAndShownBeforeOpening) {
    auto table = textfold::englishTable();
    table['1'] = '1';
    ASSERT_TRUE(index->Prepare(2, "Digits\nand letters", &table, 40, 3, 25));
    ASSERT_TRUE(addText(*index, "/d/a.txt", "r2d2 abc12"));
    ASSERT_TRUE(index->CloseFiles());
    vellcore::DestroyIndexObject(index);
    EXPECT_EQ(index, nullptr);

    auto again = vellcore::CreateIndexObject((folder.path() / "idx").string(), 0);
    EXPECT_EQ(again->GetErrorCode(), 0);
    EXPECT_EQ(again->GetLanguageName(), "Digits\nand letters");
    EXPECT_EQ(again->GetMaxWordLength(), 40);
    EXPECT_EQ(again->GetMinWordLength(), 3);
    EXPECT_EQ(again->GetCompactingRatio(), 25);
    EXPECT_EQ(again->GetLanguageTable(), table);
    ASSERT_TRUE(again->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_EQ(found(*again, "abc1"), std::vector<std::string>{"/d/a.txt"});  // '1' is a letter here
    EXPECT_EQ(found(*again, "abc12"), std::vector<std::string>{"/d/a.txt"});
}

TEST(IndexObjectCreation, RefusesUnusablePaths) {
    for (const char* bad : {"", "relative/idx", "/"}) {
        auto index = vellcore::CreateIndexObject(bad, 0);
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue) << bad;
        const auto table = textfold::englishTable();
        EXPECT_FALSE(index->Prepare(2, "x", &table, 32, 2, 50));
        EXPECT_FALSE(index->DeleteIndexFiles());
    }
    auto tooLong = vellcore::CreateIndexObject("/" + std::string(5000, 'p'), 0);
    EXPECT_EQ(tooLong->GetErrorCode(), vellcore::kNameTooLong);
}

}  // namespace
