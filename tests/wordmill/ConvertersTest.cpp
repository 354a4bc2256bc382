// The converters with fake programs in the program folder (which win over the PATH) and,
// where poppler-utils is installed, with the real pdftotext.
#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace

TEST(Converters, RealPdftotextConvertsAHandWrittenPdf) {
    if (!FindProgram("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
    TempDir dir;
    writeFile(dir / "doc.pdf", tinyPdf("Hello PDF world"));
    ConverterSettings settings;
    ASSERT_TRUE(ConvertPdf(dir / "doc.pdf", dir / "pdftotxt.tmp", settings));
    std::ifstream in(dir / "pdftotxt.tmp");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Hello PDF world"), std::string::npos) << text;

    writeFile(dir / "broken.pdf", "%PDF-1.4\nthis is no pdf");
    EXPECT_FALSE(ConvertPdf(dir / "broken.pdf", dir / "pdftotxt.tmp", settings));
    EXPECT_FALSE(std::filesystem::exists(dir / "pdftotxt.tmp")) << "no stale text is left";
}

TEST(Converters, FailingOrHangingConvertersFailOnlyThatDocument) {
    TempDir dir;
    writeFile(dir / "doc.pdf", tinyPdf("x"));
    ConverterSettings settings{dir.path(), 300ms};
    writeScript(dir / "pdftotext", "exit 3");
    EXPECT_FALSE(ConvertPdf(dir / "doc.pdf", dir / "out.tmp", settings));
    writeScript(dir / "pdftotext", "echo partial > \"$4\"; sleep 30");
    EXPECT_FALSE(ConvertPdf(dir / "doc.pdf", dir / "out.tmp", settings));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.tmp"));
    EXPECT_FALSE(ConvertPdf(dir / "missing.pdf", dir / "out.tmp", settings));
}

TEST(Converters, WordDocumentsThroughAntiwordThenCatdoc) {
    TempDir dir;
    writeFile(dir / "letter.doc", "not really a word document");
    ConverterSettings settings{dir.path(), 5s};
    writeScript(dir / "antiword", "echo \"antiword $1 $2 $3 $4\"");
    EXPECT_EQ(ConvertWordDocument(dir / "letter.doc", settings), "antiword -m UTF-8.txt -w 0\n");
    writeScript(dir / "antiword", "exit 1");
    writeScript(dir / "catdoc", "echo \"catdoc text\"");
    EXPECT_EQ(ConvertWordDocument(dir / "letter.doc", settings), "catdoc text\n");
    {
        PathOverride emptyPath((dir / "nothing-here").string());
        std::filesystem::remove(dir / "catdoc");
        EXPECT_FALSE(ConvertWordDocument(dir / "letter.doc", settings)) << "no converter at all";
        std::filesystem::remove(dir / "antiword");
        EXPECT_FALSE(ConvertWordDocument(dir / "letter.doc", settings));
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
    EXPECT_EQ(ExtractXmlText(body, docx), "Dear Anna & Bo\n\tx<y\nraw<\n\n");

    XmlTextRules xhtml;
    xhtml.textElements = {"body"};
    xhtml.skipElements = {"script", "style"};
    xhtml.lineElements = {"p", "h1"};
    xhtml.localNames = true;
    xhtml.htmlEntities = true;
    EXPECT_EQ(ExtractXmlText(
                  "<html><head><title>T</title></head><BODY><h1>Ch&eacute;</h1><script>x</script>"
                  "<x:p>one</x:p>unclosed <p",
                  xhtml),
              "Ch\xC3\xA9\none\nunclosed ");
}
