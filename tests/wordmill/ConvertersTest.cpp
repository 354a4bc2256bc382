// The converters with fake programs in the program folder (which win over the PATH) and,
// where poppler-utils is installed, with the real pdftotext.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "TestHelpers.h"
#include "wordmill/Converters.h"
#include "wordmill/XmlText.h"

using namespace wordmill;
using namespace wordmill_test;
using namespace std::chrono_literals;

namespace {

class PathOverride {
  public:
    explicit PathOverride(const std::string& value) {
        if (const char* old = std::getenv("PATH")) old_ = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~PathOverride() { ::setenv("PATH", old_.c_str(), 1); }

  private:
    std::string old_;
};

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

}  // namespace

TEST(Converters, RealPdftotextConvertsAHandWrittenPdf) {
    if (!findProgram("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
    TempDir dir;
    writeFile(dir / "doc.pdf", tinyPdf("Hello PDF world"));
    ConverterSettings settings;
    ASSERT_TRUE(convertPdfToText(dir / "doc.pdf", dir / "pdftotxt.tmp", settings).ok());
    std::ifstream in(dir / "pdftotxt.tmp");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Hello PDF world"), std::string::npos) << text;

    writeFile(dir / "broken.pdf", "%PDF-1.4\nthis is no pdf");
    const ConversionResult broken =
        convertPdfToText(dir / "broken.pdf", dir / "pdftotxt.tmp", settings);
    EXPECT_EQ(broken.status, ConversionStatus::Failed);
    EXPECT_EQ(conversionProblem(broken, settings).rfind("pdftotext failed (exit code", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "pdftotxt.tmp")) << "no stale text is left";
}

TEST(Converters, FailingOrHangingConvertersFailOnlyThatDocumentAndSayWhy) {
    TempDir dir;
    writeFile(dir / "doc.pdf", tinyPdf("x"));
    ConverterSettings settings;
    settings.programFolder = dir.path();
    settings.timeLimit = 300ms;
    writeScript(dir / "pdftotext", "exit 3");
    ConversionResult r = convertPdfToText(dir / "doc.pdf", dir / "out.tmp", settings);
    EXPECT_EQ(conversionProblem(r, settings), "pdftotext failed (exit code 3)");
    writeScript(dir / "pdftotext", "echo partial; sleep 30");
    r = convertPdfToText(dir / "doc.pdf", dir / "out.tmp", settings);
    EXPECT_EQ(r.status, ConversionStatus::TimedOut);
    EXPECT_EQ(conversionProblem(r, settings), "pdftotext was stopped after 300 ms");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.tmp"));
    EXPECT_FALSE(convertPdfToText(dir / "missing.pdf", dir / "out.tmp", settings).ok());

    // A cancel stops a converter that would otherwise run to the time limit.
    settings.timeLimit = 30s;
    writeScript(dir / "pdftotext", "sleep 30");
    const auto started = std::chrono::steady_clock::now();
    settings.keepGoing = [&] { return std::chrono::steady_clock::now() - started < 200ms; };
    r = convertPdfToText(dir / "doc.pdf", dir / "out.tmp", settings);
    EXPECT_EQ(r.status, ConversionStatus::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

TEST(Converters, AFloodOfTextIsCutAtTheCapAndKept) {
    TempDir dir;
    writeFile(dir / "doc.pdf", tinyPdf("x"));
    writeFile(dir / "letter.doc", "x");
    ConverterSettings settings;
    settings.programFolder = dir.path();
    settings.timeLimit = 20s;
    settings.outputLimit = 1u << 20;
    // Without end: only the cap reaches the disk, and the program is stopped there.
    writeScript(dir / "pdftotext", "while :; do echo flood flood flood flood; done");
    const ConversionResult r = convertPdfToText(dir / "doc.pdf", dir / "out.tmp", settings);
    EXPECT_EQ(r.status, ConversionStatus::Truncated);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(std::filesystem::file_size(dir / "out.tmp"), 1u << 20);
    EXPECT_EQ(readFile(dir / "out.tmp").substr(0, 12), "flood flood ");

    writeScript(dir / "antiword", "head -c 3000000 /dev/zero | tr '\\0' a");
    EXPECT_EQ(convertWordDocument(dir / "letter.doc", dir / "doc.tmp", settings).status,
              ConversionStatus::Truncated);
    EXPECT_EQ(std::filesystem::file_size(dir / "doc.tmp"), 1u << 20);
}

TEST(Converters, WordDocumentsThroughAntiwordThenCatdoc) {
    TempDir dir;
    writeFile(dir / "letter.doc", "not really a word document");
    ConverterSettings settings;
    settings.programFolder = dir.path();
    settings.timeLimit = 5s;
    const auto convert = [&] {
        const ConversionResult r = convertWordDocument(dir / "letter.doc", dir / "t.tmp", settings);
        return r.ok() ? readFile(dir / "t.tmp") : "<" + conversionProblem(r, settings) + ">";
    };
    writeScript(dir / "antiword", "echo \"antiword $1 $2 $3 $4\"");
    EXPECT_EQ(convert(), "antiword -m UTF-8.txt -w 0\n");
    writeScript(dir / "antiword", "exit 1");
    writeScript(dir / "catdoc", "echo \"catdoc text\"");
    EXPECT_EQ(convert(), "catdoc text\n");
    {
        PathOverride emptyPath((dir / "nothing-here").string());
        std::filesystem::remove(dir / "catdoc");
        EXPECT_EQ(convert(), "<antiword failed (exit code 1)>") << "catdoc is not there to try";
        std::filesystem::remove(dir / "antiword");
        EXPECT_EQ(convert(), "<antiword is not installed>");
        EXPECT_FALSE(std::filesystem::exists(dir / "t.tmp"));
    }
}

TEST(XmlText, ChosenElementsWithLineBreaksAndTabs) {
    XmlTextRules docx;
    docx.textElements = {"w:t"};
    docx.skipElements = {"w:instrText"};
    docx.lineElements = {"w:p"};
    docx.tabElements = {"w:tab"};
    docx.breakElements = {"w:br"};
    const std::string body =
        "<w:document><w:body><w:p><w:r><w:t>Dear</w:t></w:r><w:r><w:t xml:space=\"preserve\"> "
        "Anna &amp; Bo</w:t></w:r></w:p><w:p><w:r><w:instrText>PAGE</w:instrText><w:tab/>"
        "<w:t>x&lt;y</w:t><w:br/><w:t><![CDATA[raw<]]></w:t></w:r></w:p><w:p/></w:body></"
        "w:document>";
    EXPECT_EQ(extractXmlText(body, docx), "Dear Anna & Bo\n\tx<y\nraw<\n\n");

    XmlTextRules xhtml;
    xhtml.textElements = {"body"};
    xhtml.skipElements = {"script", "style"};
    xhtml.lineElements = {"p", "h1"};
    xhtml.localNames = true;
    xhtml.htmlEntities = true;
    EXPECT_EQ(extractXmlText(
                  "<html><head><title>T</title></head><BODY><h1>Ch&eacute;</h1><script>x</script>"
                  "<x:p>one</x:p>unclosed <p",
                  xhtml),
              "Ch\xC3\xA9\none\nunclosed ");
}
