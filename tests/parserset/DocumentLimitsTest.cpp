// What a document may cost and why it failed: the text cap (a file, a converter's flood,
// a decompressed file), the reasons the log gets, and documents compressed as a whole.
#include <gtest/gtest.h>

#include "ParserSetFixture.h"
#include "parserset/CompressedDocument.h"

using namespace vellumar;
using namespace std::chrono_literals;
using parserset_test::Fixture;
using wordmill_test::writeScript;
using Words = std::vector<std::string>;

namespace {

std::string repeated(const std::string& unit, std::size_t bytes) {
    std::string out;
    while (out.size() < bytes) out += unit;
    return out;
}

}  // namespace

TEST(DocumentLimits, LargeDocumentsAreCutOnAWordAndCharacterBoundary) {
    Fixture f;
    f.shared->maxDocumentText = 64 * 1024;
    const auto log = f.file("huge.log", repeated("alpha ", 100 * 1024) + "omega");
    const Words words = f.words(log);
    EXPECT_EQ(f.set->LastProblem(), "only the first 64 KB of its text were indexed");
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back(), "alpha") << "no word is cut in two";
    EXPECT_EQ(words.size(), 64u * 1024 / 6);
    EXPECT_EQ(std::count(words.begin(), words.end(), "omega"), 0);

    // One run of two-byte characters: the cut keeps every character whole, so the text
    // stays UTF-8 instead of being read as Windows-1252.
    f.shared->maxDocumentText = 65535;
    const auto accents = f.file("accents.txt", repeated("\xC3\xA9", 100000));
    wordmill::Parser* parser = f.set->OpenDocument(accents, false, f.record);
    ASSERT_TRUE(parser);
    EXPECT_EQ(parser->DocumentText().size(), 65534u);
    EXPECT_EQ(parser->DocumentText().substr(0, 4), "\xC3\xA9\xC3\xA9");
    parser->Close();

    // Markup and RTF are cut the same way; a small file is untouched and says nothing.
    f.shared->maxDocumentText = 4096;
    EXPECT_EQ(f.words(f.file("page.html", "<p>first " + repeated("word ", 8000) + "</p>"))[0],
              "first");
    EXPECT_FALSE(f.set->LastProblem().empty());
    EXPECT_EQ(f.words(f.file("long.rtf", "{\\rtf1 opening " + repeated("text ", 8000) + "}"))[0],
              "opening");
    EXPECT_EQ(f.set->LastProblem(), "only the first 4 KB of its text were indexed");
    EXPECT_EQ(f.words(f.file("small.txt", "just this")), (Words{"just", "this"}));
    EXPECT_EQ(f.set->LastProblem(), "");
}

TEST(DocumentLimits, ConvertersAreCappedAndTheirFailuresSayWhy) {
    Fixture f;
    f.shared->maxDocumentText = 64 * 1024;
    const auto pdf = f.file("flood.pdf", "%PDF");
    writeScript(f.shared->programFolder / "pdftotext", "while :; do echo flood text; done");
    const Words flood = f.words(pdf);
    // 5,957 whole lines fit, and "flood" of the next; its "tex" was cut off.
    EXPECT_EQ(flood.size(), 64u * 1024 / 11 * 2 + 1);
    EXPECT_EQ(flood.back(), "flood");
    EXPECT_EQ(f.set->LastProblem(), "only the first 64 KB of its text were indexed");
    EXPECT_LE(std::filesystem::file_size(f.shared->pdfTextPath()), 64u * 1024);
    EXPECT_EQ(f.words(pdf).size(), flood.size()) << "reused, and still cut";
    EXPECT_EQ(f.set->LastProblem(), "only the first 64 KB of its text were indexed");

    writeScript(f.shared->programFolder / "pdftotext", "exit 2");
    EXPECT_EQ(f.words(f.file("bad.pdf", "%PDF")), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "pdftotext failed (exit code 2)");
    writeScript(f.shared->programFolder / "pdftotext", "sleep 30");
    f.shared->converterTimeLimit = 300ms;
    EXPECT_EQ(f.words(f.file("slow.pdf", "%PDF")), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "pdftotext was stopped after 300 ms");

    // A build being cancelled stops the converter at once, and that is no failure to log.
    f.shared->converterTimeLimit = 30s;
    f.set->SetKeepGoing([] { return false; });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(f.words(f.file("slow2.pdf", "%PDF")), Words{"<none>"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_EQ(f.set->LastProblem(), "");
    f.set->SetKeepGoing({});

    writeScript(f.shared->programFolder / "antiword", "exit 1");
    writeScript(f.shared->programFolder / "catdoc", "exit 4");
    EXPECT_EQ(f.words(f.file("letter.doc", "x")), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "catdoc failed (exit code 4)");

    EXPECT_EQ(f.words(f.file("damaged.rtf", "{\\rtx garbage")), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "it is not a readable RTF document (damaged?)");
    EXPECT_EQ(f.words(f.file("broken.docx", "not a zip")), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "it is damaged (not a readable zip container)");
    EXPECT_EQ(f.words(f.dir / "missing.pdf"), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "") << "a file that is not there is simply skipped";
}

TEST(DocumentLimits, AnOfficeTextPartOverTheCapIsNamed) {
    Fixture f;
    ASSERT_TRUE(archive_test::makeArchive(
        f.dir / "huge.docx",
        {{"word/document.xml", "<w:document>" + std::string(65u << 20, ' ') + "</w:document>"}}));
    EXPECT_EQ(f.words(f.dir / "huge.docx"), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "its text part word/document.xml is larger than 64 MB");
}

TEST(CompressedDocuments, OpenAsTheDocumentInsideByTheKindOfTheInnerName) {
    Fixture f;
    using archive_test::makeCompressed;
    const std::string page = "<html><body><p>Release notes</p></body></html>";
    ASSERT_TRUE(makeCompressed(f.dir / "changelog.html.gz", page, "gzip"));
    EXPECT_EQ(kindOfDocument("changelog.html.gz"), DocumentKind::Html);
    EXPECT_EQ(kindOfDocument("backup.tar.gz"), DocumentKind::Text) << "an archive, not a page";
    EXPECT_EQ(innerDocumentName("/d/changelog.html.gz"), "changelog.html");
    wordmill::Parser* parser = f.set->OpenDocument(f.dir / "changelog.html.gz", false, f.record);
    ASSERT_TRUE(parser);
    EXPECT_EQ(f.set->LastKind(), DocumentKind::Html);
    EXPECT_EQ(parser->GetTagName(), "changelog.html") << "named by the document inside";
    parser->Close();
    EXPECT_EQ(f.words(f.dir / "changelog.html.gz"), (Words{"Release", "notes"}));
    EXPECT_EQ(f.words(f.dir / "changelog.html.gz", true),
              (Words{"html", "body", "Release", "notes", "body", "html"}))
        << "without format filters the page is read as source text, still decompressed";
    EXPECT_TRUE(archive_test::filesBelow(f.shared->conversionFolder()).empty())
        << "the decompressed copy goes at once";
    EXPECT_TRUE(std::filesystem::is_empty(f.shared->conversionFolder()));

    for (const auto& [name, filter] :
         {std::pair{"notes.txt.bz2", "bzip2"}, std::pair{"notes.txt.xz", "xz"},
          std::pair{"NOTES.TXT.ZST", "zstd"}}) {
        ASSERT_TRUE(makeCompressed(f.dir / name, "plain words", filter));
        EXPECT_EQ(f.words(f.dir / name), (Words{"plain", "words"})) << name;
    }

    // A PDF inside goes through its converter like any PDF.
    writeScript(f.shared->programFolder / "pdftotext", "cat \"$3\"");
    ASSERT_TRUE(makeCompressed(f.dir / "paper.pdf.xz", "converted paper", "xz"));
    EXPECT_EQ(f.words(f.dir / "paper.pdf.xz"), (Words{"converted", "paper"}));

    ASSERT_TRUE(makeCompressed(f.dir / "whole.txt.gz", std::string(50000, 'x'), "gzip"));
    const std::string whole = archive_test::readFile(f.dir / "whole.txt.gz");
    f.file("cut.txt.gz", whole.substr(0, whole.size() - 8));
    EXPECT_EQ(f.words(f.dir / "cut.txt.gz"), Words{"<none>"});
    EXPECT_EQ(f.set->LastProblem(), "the compressed file is damaged");

    f.shared->maxDocumentText = 4096;
    ASSERT_TRUE(makeCompressed(f.dir / "big.log.gz", repeated("line of text\n", 100000), "gzip"));
    EXPECT_EQ(f.words(f.dir / "big.log.gz").size(), 4096u / 13 * 3);
    EXPECT_EQ(f.set->LastProblem(), "only the first 4 KB of its text were indexed");
}
