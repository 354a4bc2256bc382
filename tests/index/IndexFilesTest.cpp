// Definition files, the index folder listing, result texts and word-list names.
#include "index/BuildResult.h"
#include "index/ErrorLog.h"
#include "index/IndexDefinition.h"
#include "index/IndexFolder.h"
#include "index/WordListFiles.h"
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace vellumar;

namespace {

class IndexFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void touch(const fs::path& p, const std::string& text = "") { std::ofstream(p) << text; }
    testing_support::TempDir tmp;
    fs::path dir = tmp.path();
};

}  // namespace

TEST_F(IndexFolderTest, DefinitionRoundTripKeepsEveryKeyAndForeignLines) {
    const fs::path file = dir / "docs.inf";
    touch(file, "; written by hand\n[Parameters]\nCustom=kept\n[Other]\nx=1\n");
    IndexDefinition d;
    d.scope = "/home/ann/my docs/+<*.txt,*.htm>;-/home/ann/my docs/tmp/";
    d.monitored = true;
    d.express = true;
    d.dictionary = "mywords.dic";
    d.stopWords = "/lists/stop.sw";
    d.archive = true;
    d.filesAsText = true;
    d.lastUpdated = "2026-12-08 10:11:12";
    d.notes = "first line\nsecond";
    ASSERT_TRUE(d.save(file));

    const auto back = IndexDefinition::load(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->scope, d.scope);
    EXPECT_TRUE(back->monitored && back->express && back->archive && back->filesAsText);
    EXPECT_EQ(back->dictionary, "mywords.dic");
    EXPECT_EQ(back->stopWords, "/lists/stop.sw");
    EXPECT_EQ(back->lastUpdated, d.lastUpdated);
    EXPECT_EQ(back->notes, "first line second") << "notes stay on one line of the file";
    const std::string text = *readWholeFile(file);
    EXPECT_NE(text.find("Custom=kept"), std::string::npos);
    EXPECT_NE(text.find("[Other]"), std::string::npos);

    // Saving again without lists removes their keys instead of writing them empty.
    d.dictionary.clear();
    d.stopWords.clear();
    ASSERT_TRUE(d.save(file));
    const std::string again = *readWholeFile(file);
    EXPECT_EQ(again.find("Dictionary"), std::string::npos);
    EXPECT_EQ(again.find("Stop-words"), std::string::npos);
}

TEST_F(IndexFolderTest, MissingFileAndMissingKeysReadAsDefaults) {
    EXPECT_FALSE(IndexDefinition::load(dir / "none.inf"));
    touch(dir / "bare.inf", "[Parameters]\nMonitored=yes\n");
    const auto d = IndexDefinition::load(dir / "bare.inf");
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->scope.empty());
    EXPECT_FALSE(d->monitored) << "a non-number reads as the default";
    EXPECT_FALSE(d->archive);
}

TEST_F(IndexFolderTest, ListsDefinitionFilesSortedWithoutRegardToCase) {
    touch(dir / "b.inf");
    touch(dir / "a.inf");
    touch(dir / "C.INF");
    touch(dir / "my.index.inf");
    touch(dir / "notes.txt");
    touch(dir / ".inf");
    fs::create_directories(dir / "folder.inf");
    std::vector<std::string> names;
    for (const auto& f : listDefinitionFiles(dir.string())) names.push_back(f.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"a.inf", "b.inf", "C.INF", "my.index.inf"}));
    EXPECT_EQ(indexNameOfDefinition(dir / "my.index.inf"), "my");
    EXPECT_TRUE(listDefinitionFiles("relative/path").empty());
    EXPECT_TRUE(listDefinitionFiles("/").empty());
}

TEST(IndexPaths, JoinWithExactlyOneSlash) {
    EXPECT_EQ(indexPathOf("/home/ann/Indexes", "docs"), "/home/ann/Indexes/docs");
    EXPECT_EQ(indexPathOf("/home/ann/Indexes/", "docs"), "/home/ann/Indexes/docs");
    EXPECT_EQ(indexPathOf("/home/ann/Indexes//", "docs"), "/home/ann/Indexes/docs");
    EXPECT_EQ(definitionFileOf("/x/docs"), "/x/docs.inf");
    EXPECT_TRUE(isUsableIndexFolder("/x"));
    EXPECT_FALSE(isUsableIndexFolder("//"));
    EXPECT_FALSE(isUsableIndexFolder(""));
    EXPECT_FALSE(isUsableIndexFolder("x/y"));
}

TEST(BuildResultTexts, EveryCodeHasItsText) {
    EXPECT_EQ(buildResultText(1), "Out of memory or disk space.");
    EXPECT_EQ(buildResultText(77), "No files are found to index.");
    EXPECT_EQ(buildResultText(0x40000000), "User cancellation occured.");
    EXPECT_EQ(buildResultText(12345), "Unknown error.");
    EXPECT_EQ(buildResultText(99), "");
    EXPECT_TRUE(isBuildSuccess(0));
    EXPECT_TRUE(isBuildSuccess(-3));
    EXPECT_TRUE(isBuildSuccess(BuildResult::kUserCancel));
    EXPECT_FALSE(isBuildSuccess(BuildResult::kNoFiles));
}

TEST(WordListFiles, RelativeNamesLiveInTheHomeAndShortNamesAreNone) {
    const fs::path home = "/home/ann/.local/share/vellumar";
    EXPECT_EQ(resolveWordListFile("  mywords.dic ", home), home / "mywords.dic");
    EXPECT_EQ(resolveWordListFile("/lists/mywords.dic", home), fs::path("/lists/mywords.dic"));
    EXPECT_FALSE(resolveWordListFile(" x ", home));
    EXPECT_FALSE(resolveWordListFile("\xC3\xA9", home)) << "one character, two bytes";
    EXPECT_FALSE(resolveWordListFile("", home));
}

TEST_F(IndexFolderTest, ErrorLogIsWrittenOneLinePerEntry) {
    ErrorLog log;
    log.report("/a/b.pdf");
    log.report("1 - Error /a/c.txt");
    ASSERT_TRUE(log.save(dir / kErrorLogFileName));
    EXPECT_EQ(*readWholeFile(dir / kErrorLogFileName), "/a/b.pdf\n1 - Error /a/c.txt\n");
}
