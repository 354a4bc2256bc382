// The preview over a real index: entries located where the indexer numbered the words,
// stepping through them without reading the document again, archive members, changed and
// missing files, the large-file question.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "archive/ArchiveMaker.h"
#include "viewer/ViewerFixture.h"

namespace fs = std::filesystem;

namespace vellumar::testing {
namespace {

const std::string kLarge = "This file is large and it may take some time to show. Load anyway?";

class DocumentPreviewTest : public ViewerFixture {};

TEST_F(DocumentPreviewTest, EntriesAreLocatedInOrderAndSteppingBackReadsNothingAgain) {
    write("docs/notes.txt", "alpha beta gamma\r\nbeta delta\r\nepsilon beta zeta");
    build("*.txt");
    ASSERT_EQ(show("beta", path("docs/notes.txt")), PreviewStatus::Shown);
    ASSERT_EQ(preview->HitCount(), 3u);
    EXPECT_EQ(entryTexts(), (std::vector<std::string>{"beta", "beta", "beta"}));
    // Code points 6, 18 and 38; each "\r\n" before an entry is one position in the viewer.
    EXPECT_EQ(preview->LocateEntry(1).start, 18);
    EXPECT_EQ(preview->TextSelectionOf(0)->start, 6);
    EXPECT_EQ(preview->TextSelectionOf(1)->start, 17);
    EXPECT_EQ(preview->TextSelectionOf(2)->start, 36);
    EXPECT_EQ(preview->TextSelectionOf(2)->length, 4);
    const auto read = preview->Locator()->WordsRead();
    preview->TextSelectionOf(1);  // F2
    EXPECT_EQ(preview->Locator()->WordsRead(), read);
    EXPECT_FALSE(preview->Modified());
    EXPECT_EQ(ui.statuses.back(), "Loading the file...");
}

TEST_F(DocumentPreviewTest, APhraseAcrossALineBreakSelectsBothWordsAndTheBreak) {
    write("docs/fox.txt", "the quick\r\nbrown fox");
    build("*.txt");
    ASSERT_EQ(show("quick brown", path("docs/fox.txt")), PreviewStatus::Shown);
    ASSERT_EQ(preview->HitCount(), 1u);
    EXPECT_EQ(preview->EntryText(0), "quick\r\nbrown");
    EXPECT_EQ(preview->LocateEntry(0).length, 12);
    EXPECT_EQ(preview->TextSelectionOf(0)->start, 4);
    EXPECT_EQ(preview->TextSelectionOf(0)->length, 11);
}

TEST_F(DocumentPreviewTest, ABackwardJumpPastUnseenEntriesRewindsAndFindsTheRightWords) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "line" + std::to_string(i) + " target tail\n";
    write("docs/lines.txt", text);
    build("*.txt");
    ASSERT_EQ(show("target", path("docs/lines.txt")), PreviewStatus::Shown);
    ASSERT_EQ(preview->HitCount(), 1000u);
    auto nth = [&](int n) {
        std::size_t at = 0;
        for (int i = 0; i <= n; ++i) at = text.find("target", i ? at + 1 : 0);
        return static_cast<std::int32_t>(at);
    };
    EXPECT_EQ(preview->LocateEntry(700).start, nth(700));  // the scroll bar dragged far
    EXPECT_EQ(preview->LocateEntry(2).start, nth(2));      // and back
    EXPECT_EQ(preview->EntryText(2), "target");
    EXPECT_EQ(preview->Locator()->Rewinds(), 1u);
    EXPECT_EQ(preview->LocateEntry(3).start, nth(3));
    EXPECT_EQ(preview->Locator()->Rewinds(), 1u);
}

TEST_F(DocumentPreviewTest, HitsSharingWordsAreLocatedWithoutRewinding) {
    write("docs/cat.txt", "black cat sat on the black mat");
    build("*.txt");
    ASSERT_EQ(show("cat | black cat | black", path("docs/cat.txt")), PreviewStatus::Shown);
    std::vector<std::string> texts = entryTexts();
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"black", "black", "black cat", "cat"}));
    EXPECT_EQ(preview->Locator()->Rewinds(), 0u);
}

TEST_F(DocumentPreviewTest, AHundredThousandHitsAreSteppedThroughInOneReading) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += i % 10 == 9 ? "hit\n" : "hit ";
    write("docs/many.txt", text);
    build("*.txt");
    ASSERT_EQ(show("hit", path("docs/many.txt")), PreviewStatus::Shown);
    ASSERT_EQ(preview->HitCount(), 100000u);
    for (std::size_t i = 0; i < preview->HitCount(); ++i)
        ASSERT_TRUE(preview->LocateEntry(i).located());
    EXPECT_EQ(preview->LocateEntry(99999).start, 399996);
    EXPECT_EQ(preview->Locator()->WordsRead(), 100000u);
    EXPECT_EQ(preview->Locator()->Rewinds(), 0u);
}

TEST_F(DocumentPreviewTest, AFileChangedSinceIndexingIsMarkedAndItsLostWordsAreNotSelected) {
    write("docs/changed.txt", "one two three four needle");
    build("*.txt");
    write("docs/changed.txt", "one two");
    const auto file = root / "docs/changed.txt";
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::hours(48));
    ASSERT_EQ(show("needle", file.string()), PreviewStatus::Shown);
    EXPECT_TRUE(preview->Modified());
    ASSERT_EQ(preview->HitCount(), 1u);
    EXPECT_EQ(preview->LocateEntry(0).state, EntryRange::State::NotFound);
    EXPECT_FALSE(preview->TextSelectionOf(0));
    EXPECT_TRUE(ui.messages.empty());  // a shorter document is no parse error

    // Without hits the window shows "???" for a changed file: Modified and no entries.
    ASSERT_EQ(show("!nothing", file.string()), PreviewStatus::Shown);
    EXPECT_EQ(preview->HitCount(), 0u);
    EXPECT_TRUE(preview->Modified());
}

TEST_F(DocumentPreviewTest, MissingAndUnreadableFilesSayWhichFileCannotBeOpened) {
    write("docs/gone.txt", "vanishing words");
    write("docs/bad.pdf", "this is no PDF at all");
    build("*.txt");
    fs::remove(root / "docs/gone.txt");
    EXPECT_EQ(show("vanishing", path("docs/gone.txt")), PreviewStatus::Missing);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Can't open the file " + path("docs/gone.txt"));
    EXPECT_FALSE(preview->IsShown());

    PreviewRequest r;
    r.listName = path("docs/bad.pdf");
    EXPECT_EQ(preview->Load(r), PreviewStatus::OpenFailed);
    EXPECT_EQ(ui.messages.back(), "Can't open the file ");
    EXPECT_EQ(ui.statuses.back(), "");
}

TEST_F(DocumentPreviewTest, TheLargeFileQuestionFollowsTheLimitAndNoShowsNothing) {
    write("docs/big.txt", std::string(3000, 'x') + " needle");
    build("*.txt");
    ui.answers.push_back(MessageResult::No);
    EXPECT_EQ(show("needle", path("docs/big.txt"), "2"), PreviewStatus::Declined);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], kLarge);
    EXPECT_FALSE(preview->IsShown());

    EXPECT_EQ(show("needle", path("docs/big.txt"), "2"), PreviewStatus::Shown);  // Yes
    EXPECT_EQ(preview->EntryText(0), "needle");
    EXPECT_EQ(show("needle", path("docs/big.txt"), "abc"), PreviewStatus::Shown);  // 500 KB
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(DocumentPreviewTest, MembersOfNestedArchivesAreExtractedAndShown) {
    archive_test::TempDir work;
    ASSERT_TRUE(archive_test::makeArchive(
        work / "inner.zip", {{"a.txt", "inner needle text"}, {"sub/b.txt", "other"}}));
    std::ifstream in(work / "inner.zip", std::ios::binary);
    const std::string inner((std::istreambuf_iterator<char>(in)), {});
    fs::create_directories(root / "docs");
    ASSERT_TRUE(archive_test::makeArchive(root / "docs/outer.zip", {{"inner.zip", inner}}));
    build("*.txt,*.zip", true);
    const std::string member = path("docs/outer.zip") + "//inner.zip//a.txt";
    ASSERT_EQ(show("needle", member), PreviewStatus::Shown) << ui.messages.back();
    EXPECT_TRUE(preview->FileExists());
    EXPECT_EQ(preview->FileToShow().parent_path(), root / "home" / "tmp");
    EXPECT_EQ(preview->FileToShow().extension(), ".txt");
    EXPECT_EQ(preview->Text(), "inner needle text");
    EXPECT_EQ(preview->EntryText(0), "needle");
    EXPECT_FALSE(preview->Modified());  // the archive's stamp is the member's

    // A member that is not there, and an archive damaged since indexing.
    PreviewRequest r;
    r.listName = path("docs/outer.zip") + "//inner.zip//missing.txt";
    EXPECT_EQ(preview->Load(r), PreviewStatus::Missing);
    EXPECT_EQ(ui.messages.back(), "Can't open the file " + r.listName);
    write("docs/outer.zip", "PK\x03\x04 damaged beyond reading");
    EXPECT_EQ(show("needle", member), PreviewStatus::Missing);
    EXPECT_EQ(ui.messages.back(), "Can't open the file " + member);
}

TEST_F(DocumentPreviewTest, EveryLoadStartsWithAnEmptyTempFolder) {
    write("docs/a.txt", "some words");
    build("*.txt");
    write("home/tmp/left-over.txt", "from an earlier preview");
    fs::create_directories(root / "home/tmp/folder/deeper");
    ASSERT_EQ(show("words", path("docs/a.txt")), PreviewStatus::Shown);
    EXPECT_TRUE(fs::is_empty(root / "home/tmp"));
}

TEST_F(DocumentPreviewTest, APdfShownAgainIsNotConvertedAgain) {
    // A converter in the program folder that counts its runs and copies the "PDF" as text.
    const fs::path converter = root / "home" / "pdftotext";
    std::ofstream(converter) << "#!/bin/sh\necho run >> \"$(dirname \"$0\")/runs\"; "
                                "cat \"$3\"\n";
    fs::permissions(converter, fs::perms::owner_all);
    write("docs/paper.pdf", "a paper about beta");
    write("docs/note.txt", "beta note");
    build("*.pdf,*.txt");
    const auto runs = [&] {
        std::ifstream in(root / "home" / "runs");
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string indexed = runs();
    ASSERT_EQ(show("beta", path("docs/paper.pdf")), PreviewStatus::Shown);
    EXPECT_EQ(entryTexts(), std::vector<std::string>{"beta"});
    const std::string shownOnce = runs();
    write("home/tmp/left-over.txt", "from an extracted member");
    ASSERT_EQ(show("beta", path("docs/note.txt")), PreviewStatus::Shown);
    ASSERT_EQ(show("beta", path("docs/paper.pdf")), PreviewStatus::Shown);
    EXPECT_EQ(runs(), shownOnce);
    EXPECT_EQ(preview->Text(), "a paper about beta");
    EXPECT_FALSE(fs::exists(root / "home/tmp/left-over.txt"));
    EXPECT_GE(shownOnce.size(), indexed.size());
}

TEST_F(DocumentPreviewTest, PagesAreFoundInTheDisplayTextSkippingTheTitle) {
    write("docs/page.html",
          "<html><head><title>Report</title></head><body><p>Annual report on ca&#116; "
          "prices</p><p>The <b>report</b> ends</p></body></html>");
    build("*.html");
    ASSERT_EQ(show("report", path("docs/page.html")), PreviewStatus::Shown);
    EXPECT_TRUE(preview->IsHtml());
    ASSERT_EQ(preview->HitCount(), 3u);
    // What QTextDocument::toPlainText gives for the page: no title, paragraphs on lines.
    preview->SetHtmlDisplayText(u"Annual report on cat prices\nThe report ends");
    EXPECT_FALSE(preview->HtmlSelectionOf(0));  // the title's word is not in the page
    EXPECT_EQ(preview->HtmlSelectionOf(1)->start, 7);
    EXPECT_EQ(preview->HtmlSelectionOf(2)->start, 32);
    EXPECT_EQ(preview->HtmlSelectionOf(2)->length, 6);
    EXPECT_EQ(preview->EntryText(2), "report");

    ASSERT_EQ(show("cat", path("docs/page.html")), PreviewStatus::Shown);
    preview->SetHtmlDisplayText(u"Annual report on cat prices\nThe report ends");
    // The source viewer selects the reference as written, the display the character.
    EXPECT_EQ(preview->EntryText(0), "ca&#116;");
    EXPECT_EQ(preview->HtmlSelectionOf(0)->start, 17);
    EXPECT_EQ(preview->HtmlSelectionOf(0)->length, 3);
}

TEST_F(DocumentPreviewTest, FilesAreShownAsTheParserReadThem) {
    write("docs/latin.txt", "\xABquoted\xBB and \x01\x02 control target");  // Windows-1252
    build("*.txt");
    ASSERT_EQ(show("target", path("docs/latin.txt")), PreviewStatus::Shown);
    EXPECT_EQ(preview->Text(), "\u00abquoted\u00bb and    control target");
    EXPECT_EQ(preview->LocateEntry(0).start, 24);
    EXPECT_EQ(preview->EntryText(0), "target");
}

TEST_F(DocumentPreviewTest, OthersUsingTheParserSetMeanwhileDoNotDisturbThePreview) {
    write("docs/first.txt", "zero one needle three needle five needle");
    write("docs/other.txt", "completely different words here, more than the first has");
    build("*.txt");
    ASSERT_EQ(show("needle", path("docs/first.txt")), PreviewStatus::Shown);
    EXPECT_EQ(preview->EntryText(0), "needle");
    // Another document opened in the same parser...
    wordmill::WordRecord record;
    ASSERT_TRUE(core->viewerParsers.OpenDocument(root / "docs/other.txt", false, record));
    EXPECT_EQ(preview->EntryText(1), "needle");
    EXPECT_EQ(preview->LocateEntry(1).start, 22);
    // ... or the preview's own document read further, or rewound, by someone else.
    wordmill::Parser& parser = core->viewerParsers.TextParser();
    ASSERT_TRUE(parser.NextWord(record));
    EXPECT_EQ(preview->LocateEntry(2).start, 34);
    EXPECT_EQ(preview->EntryText(2), "needle");
    parser.Rewind();
    preview->Clear();
    ASSERT_EQ(show("needle", path("docs/first.txt")), PreviewStatus::Shown);
    EXPECT_EQ(preview->LocateEntry(0).start, 9);
    parser.Rewind();
    EXPECT_EQ(preview->LocateEntry(1).start, 22);
}

}  // namespace
}  // namespace vellumar::testing
