// The document indexer through whole builds: archives (once each, cancellable, nested,
// damaged, odd names, tar and 7z, leftovers of killed builds), compressed documents, the
// text cap, converter failures in Files.log, and files changed within one stamp.
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>

#include "../archive/ArchiveMaker.h"
#include "CoreFixture.h"
#include "index/BuildResult.h"
#include "index/IndexFolder.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;
using archive_test::makeArchive;
using archive_test::Member;
using Names = std::vector<std::string>;

namespace {

class Indexer : public CoreFixture {
  protected:
    BuildOutcome create(const std::string& scope, bool archives = false) {
        IndexRequest r = request("docs", scope);
        r.archives = archives;
        return core->builder.Build(BuildKind::Create, -1, r);
    }
    BuildOutcome update(const std::string& scope, bool archives = false) {
        IndexRequest r = request("docs", scope);
        r.archives = archives;
        return core->builder.Build(BuildKind::Update, 0, r);
    }
    const std::vector<std::string>& logLines() { return core->builder.errorLog().lines(); }
    int count(const std::vector<std::string>& lines, const std::string& start) {
        return static_cast<int>(
            std::count_if(lines.begin(), lines.end(),
                          [&](const std::string& l) { return l.rfind(start, 0) == 0; }));
    }
    fs::path indexPath() const { return root / "home" / "Indexes" / "docs"; }
    // Sets a file's modification time to seconds + nanoseconds since the epoch.
    void setTime(const std::string& relative, std::time_t seconds, long nanoseconds) {
        const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (root / relative).c_str(), times, 0), 0);
    }
};

}  // namespace

TEST_F(Indexer, ArchivesAreUnpackedOnceAndEachFailureIsLoggedOnceWithItsReason) {
    // Ten archives, each inside the one before, with one word per level.
    const Names words = {"alpha",   "bravo", "charlie", "delta", "echo",
                         "foxtrot", "golf",  "hotel",   "india", "juliet"};
    std::string inner;
    for (int level = 10; level >= 1; --level) {
        std::vector<Member> members = {{"level.txt", words[level - 1]}};
        if (!inner.empty())
            members.push_back({"level" + std::to_string(level + 1) + ".zip", inner});
        ASSERT_TRUE(makeArchive(root / "level.zip", members));
        inner = archive_test::readFile(root / "level.zip");
    }
    write("docs/nested.zip", inner);
    const std::string longName = std::string(300, 'n') + ".txt";
    ASSERT_TRUE(makeArchive(root / "docs/good.zip",
                            {{"a.txt", "kilo"}, {longName, "lima"}, {"z.txt", "mike"}}));
    write("docs/bad.zip", "this is no zip at all");
    ASSERT_TRUE(makeArchive(root / "docs/empty.zip", {}));

    // The scope names *.zip itself, and archives are looked into anyway: once each.
    ASSERT_EQ(create(docs() + "/<*.zip,*.txt>", true).code, 0) << ui.messages.back();
    EXPECT_EQ(count(ui.statuses, "extracting files from " + docs() + "/good.zip"), 1);
    EXPECT_EQ(search(0, "kilo"), Names{docs() + "/good.zip//a.txt"});
    EXPECT_EQ(search(0, "mike"), Names{docs() + "/good.zip//z.txt"}) << "after the refused name";
    for (int level = 1; level <= 8; ++level)
        EXPECT_EQ(search(0, words[level - 1]).size(), 1u) << "level " << level;
    EXPECT_TRUE(search(0, "india").empty());

    std::string nine = docs() + "/nested.zip";
    for (int level = 2; level <= 9; ++level) nine += "//level" + std::to_string(level) + ".zip";
    EXPECT_EQ(logLines(), (Names{docs() + "/bad.zip: the archive cannot be opened",
                                 docs() + "/empty.zip: the archive holds no files",
                                 docs() + "/good.zip//" + longName +
                                     ": the name is too long for the file system",
                                 nine + ": not unpacked: archives nested deeper than 8 levels"}));
    EXPECT_TRUE(fs::exists(core->builder.errorLogFile()));
    EXPECT_FALSE(fs::exists(indexPath() / "tmp")) << "no unpack folder outlives the build";
}

TEST_F(Indexer, TarAndSevenZipAreLookedIntoAndTheirHeadersAreNotWords) {
    ASSERT_TRUE(makeArchive(root / "docs/pack.tar", {{"in/one.txt", "tarword"}}, "tar"));
    ASSERT_TRUE(makeArchive(root / "docs/pack.tar.xz", {{"two.txt", "xzword"}}, "tar", "", "xz"));
    ASSERT_TRUE(makeArchive(root / "docs/pack.7z", {{"three.txt", "sevenword"}}, "7z"));
    write("docs/plain.txt", "plainword");
    ASSERT_EQ(create(docs() + "/<*.tar,*.txt>", true).code, 0);
    EXPECT_EQ(search(0, "tarword"), Names{docs() + "/pack.tar//in/one.txt"});
    EXPECT_EQ(search(0, "xzword"), Names{docs() + "/pack.tar.xz//two.txt"});
    EXPECT_EQ(search(0, "sevenword"), Names{docs() + "/pack.7z//three.txt"});
    EXPECT_TRUE(search(0, "ustar").empty()) << "the tar is not read as text";
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 4);
}

TEST_F(Indexer, ACancelReachesAnArchiveBeingUnpackedWithinASecond) {
    std::vector<Member> members;
    for (int i = 0; i < 20000; ++i) members.push_back({"m" + std::to_string(i) + ".txt", "word"});
    ASSERT_TRUE(makeArchive(root / "docs/big.zip", members));
    write("docs/a.txt", "first");
    std::chrono::steady_clock::time_point cancelled{};
    int calls = 0;
    ui.onMessages = [&] {
        // Pressed a moment after the unpacking began.
        if (ui.statuses.empty() || ui.statuses.back().rfind("extracting", 0) != 0) return;
        if (++calls == 5) {
            core->cancel = true;
            cancelled = std::chrono::steady_clock::now();
        }
    };
    const BuildOutcome outcome = create(docs() + "/<*.txt,*.zip>", true);
    const auto stopped = std::chrono::steady_clock::now();
    EXPECT_EQ(outcome.code, BuildResult::kUserCancel);
    ASSERT_NE(cancelled, std::chrono::steady_clock::time_point{}) << "never saw the unpacking";
    EXPECT_LT(stopped - cancelled, std::chrono::seconds(1));
    EXPECT_EQ(logLines().back(), "User Cancel");
    EXPECT_FALSE(fs::exists(indexPath() / "tmp"));
}

TEST_F(Indexer, UnpackFoldersLeftByAKilledBuildGoAtTheNextBuildAndAtStart) {
    write("docs/a.txt", "alpha");
    ASSERT_EQ(create(docs() + "/<*.txt>").code, 0);
    const auto leave = [&] {
        write("home/Indexes/docs/tmp/a_zip/left.txt", "left behind");
        write("home/Indexes/docs/tmp/a_zip7/sub/x.txt", "left behind");
    };
    leave();
    ASSERT_EQ(update(docs() + "/<*.txt>").code, 0);
    EXPECT_FALSE(fs::exists(indexPath() / "tmp"));

    leave();
    makeCore();
    EXPECT_EQ(
        core->catalogue.LoadIndexes(listDefinitionFiles((root / "home" / "Indexes").string())), 1);
    EXPECT_FALSE(fs::exists(indexPath() / "tmp"));
    EXPECT_TRUE(fs::exists(indexPath() / "xapian")) << "the engine's files are not touched";
}

TEST_F(Indexer, CompressedDocumentsAreReadAsTheDocumentInsideWithoutScanArchives) {
    ASSERT_TRUE(archive_test::makeCompressed(
        root / "docs/changelog.html.gz", "<html><body><p>Release notes</p></body></html>", "gzip"));
    ASSERT_TRUE(
        archive_test::makeCompressed(root / "docs/notes.txt.zst", "zstandard words", "zstd"));
    ASSERT_EQ(create(docs() + "/<*.gz,*.zst>").code, 0);
    EXPECT_EQ(search(0, "release"), Names{docs() + "/changelog.html.gz"});
    EXPECT_TRUE(search(0, "body").empty()) << "read as HTML, so markup is no word";
    EXPECT_EQ(search(0, "zstandard"), Names{docs() + "/notes.txt.zst"});
}

TEST_F(Indexer, LabelsReachXmlDocumentsAndArchiveMembersAsTheyAreOpened) {
    write("docs/orders.xml", "<orders><order>tea</order></orders>");
    ASSERT_TRUE(makeArchive(root / "docs/more.zip",
                            {{"old.xml", "<orders><order>coffee</order></orders>"}}));
    ASSERT_EQ(create(docs() + "/<shop:*.xml,*.zip><*.txt>", true).code, 0);
    EXPECT_EQ(search(0, "/shop/orders/order[tea]"), Names{docs() + "/orders.xml"});
    EXPECT_EQ(search(0, "/shop/orders/order[coffee]"), Names{docs() + "/more.zip//old.xml"});
    EXPECT_TRUE(search(0, "/orders/order[tea]").empty());
}

TEST_F(Indexer, VeryLargeDocumentsAreCutAndTheLogSaysSo) {
    core->parserState->maxDocumentText = 4096;
    std::string text = "opening ";
    while (text.size() < 20000) text += "middle ";
    write("docs/big.txt", text + "finale");
    ASSERT_EQ(create(docs() + "/<*.txt>").code, 0);
    EXPECT_EQ(search(0, "opening"), Names{docs() + "/big.txt"});
    EXPECT_TRUE(search(0, "finale").empty());
    EXPECT_EQ(logLines(), Names{docs() + "/big.txt: only the first 4 KB of its text were indexed"});
}

TEST_F(Indexer, ConverterFailuresAreLoggedByTheFolderStepAndTheOneFileUpdateAlike) {
    const fs::path converter = root / "home" / "pdftotext";
    const auto script = [&](const std::string& body) {
        write("home/pdftotext", "#!/bin/sh\n" + body + "\n");
        fs::permissions(converter, fs::perms::owner_all);
    };
    script("echo run >> \"$(dirname \"$0\")/runs\"; cat \"$3\"");
    write("docs/good.pdf", "paper words");
    write("docs/bad.pdf", "broken");
    write("docs/bad.txt", "unused");
    ASSERT_EQ(create(docs() + "/<*.pdf>").code, 0);
    EXPECT_TRUE(logLines().empty());

    // Unchanged documents are not converted again.
    ASSERT_EQ(update(docs() + "/<*.pdf>").code, 0);
    EXPECT_EQ(archive_test::readFile(root / "home" / "runs"), "run\nrun\n");

    script("exit 1");
    write("docs/bad.pdf", "broken again");
    setTime("docs/bad.pdf", 1700000100, 0);
    ASSERT_EQ(update(docs() + "/<*.pdf>").code, 0);
    EXPECT_EQ(logLines(), Names{docs() + "/bad.pdf: pdftotext failed (exit code 1)"});
    EXPECT_TRUE(ui.saw("Some files weren't parsed successfully."));

    script("sleep 30");
    core->parserState->converterTimeLimit = std::chrono::milliseconds(300);
    IndexRequest one = request("docs", docs() + "/good.pdf");
    ASSERT_EQ(core->builder.Build(BuildKind::UpdateFile, 0, one).code, 0);
    EXPECT_EQ(logLines(), Names{docs() + "/good.pdf: pdftotext was stopped after 300 ms"});
}

TEST_F(Indexer, AFileRewrittenWithinOneStampIsReadAgain) {
    // 1,700,000,000 is an even second: the two times below share one two-second stamp.
    write("docs/a.txt", "alpha bravo");
    setTime("docs/a.txt", 1700000000, 100'000'000);
    ASSERT_EQ(create(docs() + "/<*.txt>").code, 0);

    write("docs/a.txt", "alpha delta");  // the same size
    setTime("docs/a.txt", 1700000000, 900'000'000);
    ASSERT_EQ(update(docs() + "/<*.txt>").code, 0);
    EXPECT_EQ(search(0, "delta"), Names{docs() + "/a.txt"});
    EXPECT_TRUE(search(0, "bravo").empty());

    write("docs/a.txt", "alpha echo");  // another size, the very same time
    setTime("docs/a.txt", 1700000000, 900'000'000);
    ASSERT_EQ(update(docs() + "/<*.txt>").code, 0);
    EXPECT_EQ(search(0, "echo"), Names{docs() + "/a.txt"});
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 1);
}

TEST(ErrorLogLines, EachFailureOnceAndOnOneLine) {
    ErrorLog log;
    log.report("/d/a.zip//line\nbreak.txt: the name is too long for the file system");
    log.report("/d/a.zip//line\nbreak.txt: the name is too long for the file system");
    log.report("/d/b.pdf: pdftotext failed (exit code 1)");
    EXPECT_EQ(log.lines(),
              (Names{"/d/a.zip//line\\x0Abreak.txt: the name is too long for the file system",
                     "/d/b.pdf: pdftotext failed (exit code 1)"}));
}
