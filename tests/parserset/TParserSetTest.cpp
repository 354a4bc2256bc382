#include <gtest/gtest.h>

#include "ParserSetFixture.h"
#include "wordmill/ProcessRunner.h"

using namespace vellumar;
using namespace std::chrono_literals;
using wordmill_test::charSlice;
using wordmill_test::TempDir;
using wordmill_test::writeFile;
using wordmill_test::writeScript;

using parserset_test::Fixture;
using Words = std::vector<std::string>;

TEST(TParserSet, ChoosesTheParserByExtensionWithoutRegardToCase) {
    Fixture f;
    const std::string page = "<html><title>T</title><body>word &amp; more</body></html>";
    struct Case {
        const char* name;
        DocumentKind kind;
    } cases[] = {
        {"page.htm", DocumentKind::Html},    {"page.shtml", DocumentKind::Html},
        {"report.HTML", DocumentKind::Html}, {"data.xml", DocumentKind::Xml},
        {"DATA.XML", DocumentKind::Xml},     {"notes.txt", DocumentKind::Text},
        {"notes.eml", DocumentKind::Text},   {"README", DocumentKind::Text},
        {"a.Rtf", DocumentKind::Rtf},        {"b.DOC", DocumentKind::Doc},
        {"c.Pdf", DocumentKind::Pdf},        {"d.docx", DocumentKind::Docx},
        {"e.ODT", DocumentKind::Odt},        {"f.epub", DocumentKind::Epub},
        {"g.xml.bak", DocumentKind::Text},
    };
    for (const Case& c : cases) EXPECT_EQ(kindOfDocument(c.name), c.kind) << c.name;

    EXPECT_EQ(f.words(f.file("report.HTML", page)), (Words{"word", "more"}));
    EXPECT_EQ(f.set->LastKind(), DocumentKind::Html);
    EXPECT_EQ(f.words(f.file("page.txt", page)),
              (Words{"html", "title", "title", "body", "word", "amp", "more", "body", "html"}));
    // Without format filters, HTML markup is indexed as words.
    EXPECT_EQ(f.words(f.dir / "report.HTML", true).size(), 9u);
    EXPECT_EQ(f.set->LastKind(), DocumentKind::Text);
    EXPECT_EQ(f.words(f.dir / "missing.txt"), Words{"<none>"});
}

TEST(TParserSet, SettersReachAllThreeParsers) {
    Fixture f;
    f.set->SetMaxWordLength(4);
    f.set->SetMinWordLength(3);
    textfold::CharTable digits = textfold::englishTable();
    digits['7'] = '7';
    f.set->SetLanguageTable(digits);
    EXPECT_EQ(f.set->GetLanguageTable()['7'], '7');
    for (wordmill::Parser* p : {&f.set->TextParser(), &f.set->HtmlParser(), &f.set->XmlParser()}) {
        EXPECT_EQ(p->GetMaxWordLength(), 4);
        EXPECT_EQ(p->GetMinWordLength(), 3);
        EXPECT_EQ(p->GetLanguageTable()['7'], '7');
    }
    EXPECT_EQ(f.words(f.file("x.xml", "<a>ab abc abcde 777</a>")), (Words{"abc", "777"}));
}

TEST(TParserSet, XmlDocumentsGetTheVirtualFolderLabelTheyAreOpenedWith) {
    Fixture f;
    const auto doc = f.file("orders.xml", "<orders><order>Tea</order></orders>");
    wordmill::Parser* parser = f.set->OpenDocument(doc, false, f.record, "/shop");
    ASSERT_TRUE(parser);
    ASSERT_TRUE(parser->NextWord(f.record));
    EXPECT_EQ(parser->GetTagName(f.record.tag), "/shop/orders/order");
    parser = f.set->OpenDocument(doc, false, f.record);
    ASSERT_TRUE(parser && parser->NextWord(f.record));
    EXPECT_EQ(parser->GetTagName(f.record.tag), "/orders/order");
    const std::string longLabel = "/" + std::string(400, 'l');
    parser = f.set->OpenDocument(doc, false, f.record, longLabel);
    ASSERT_TRUE(parser && parser->NextWord(f.record));
    EXPECT_EQ(parser->GetTagName(f.record.tag).size(), 255u + 13u);
}

TEST(TParserSet, RtfThroughOurReader) {
    Fixture f;
    EXPECT_EQ(f.words(f.file("letter.rtf",
                             R"({\rtf1{\fonttbl{\f0 Arial;}}\b Caf\'e9\b0  au lait\par fin})")),
              (Words{"Caf\xC3\xA9", "au", "lait", "fin"}));
    EXPECT_EQ(f.shared->convertedText, "Caf\xC3\xA9 au lait\nfin");
    EXPECT_FALSE(f.shared->convertedRuns.empty());
    EXPECT_EQ(f.words(f.file("damaged.rtf", "{\\rtx garbage")), Words{"<none>"});
    f.set.reset();
    EXPECT_TRUE(f.shared->convertedText.empty()) << "released with the parser set";
}

TEST(TParserSet, PdfIsConvertedOnceUntilItChanges) {
    Fixture f;
    // A converter that counts its runs and writes the PDF's own bytes as its text.
    writeScript(f.shared->programFolder / "pdftotext",
                "echo run >> \"$(dirname \"$0\")/runs\"; cat \"$3\"");
    const auto pdf = f.file("paper.pdf", "first version");
    EXPECT_EQ(f.words(pdf), (Words{"first", "version"}));
    EXPECT_EQ(f.words(pdf), (Words{"first", "version"}));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "tmp/pdftotxt.tmp"));
    const auto runs = [&] { return archive_test::readFile(f.shared->programFolder / "runs"); };
    EXPECT_EQ(runs(), "run\n");
    // Changed on disk (as automatic updating sees it): converted again.
    writeFile(pdf, "second version, longer");
    EXPECT_EQ(f.words(pdf), (Words{"second", "version", "longer"}));
    EXPECT_EQ(runs(), "run\nrun\n");
    f.file("other.pdf", "other");
    EXPECT_EQ(f.words(f.dir / "other.pdf"), Words{"other"});

    // A failing or hanging converter makes only that document fail.
    writeScript(f.shared->programFolder / "pdftotext", "exit 1");
    EXPECT_EQ(f.words(f.file("bad.pdf", "x")), Words{"<none>"});
    writeScript(f.shared->programFolder / "pdftotext", "sleep 30");
    f.shared->converterTimeLimit = 300ms;
    EXPECT_EQ(f.words(f.file("hang.pdf", "x")), Words{"<none>"});
    f.shared->converterTimeLimit = 5s;
    EXPECT_EQ(f.words(pdf), Words{"<none>"}) << "the failed runs forgot the last PDF";
}

TEST(TParserSet, RealPdfToText) {
    if (!wordmill::findProgram("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
    Fixture f;
    const auto pdf = f.file("hello.pdf", wordmill_test::tinyPdf("Hello PDF world"));
    wordmill::Parser* parser = f.set->OpenDocument(pdf, false, f.record);
    ASSERT_TRUE(parser);
    std::vector<std::string> words;
    while (parser->NextWord(f.record)) {
        words.emplace_back(f.record.text);
        EXPECT_EQ(charSlice(archive_test::readFile(f.dir / "tmp/pdftotxt.tmp"), f.record.offset,
                            f.record.span),
                  f.record.text)
            << "the viewer shows the PDF text file";
    }
    EXPECT_EQ(words, (Words{"Hello", "PDF", "world"}));
}

TEST(TParserSet, WordDocumentsThroughTheConverter) {
    Fixture f;
    const auto doc = f.file("letter.doc", "binary word file");
    writeScript(f.shared->programFolder / "antiword", "printf 'Dear Anna,\\n\\nthanks.\\n'");
    EXPECT_EQ(f.words(doc), (Words{"Dear", "Anna", "thanks"}));
    EXPECT_EQ(f.shared->convertedText, "Dear Anna,\n\nthanks.\n");
    writeScript(f.shared->programFolder / "antiword", "exit 1");
    writeScript(f.shared->programFolder / "catdoc", "exit 1");
    EXPECT_EQ(f.words(doc), Words{"<none>"}) << "no converter could read it";
}

TEST(TParserSet, OfficeDocumentsAndBooksThroughTheirXmlText) {
    Fixture f;
    using archive_test::makeArchive;
    ASSERT_TRUE(makeArchive(
        f.dir / "memo.docx",
        {{"[Content_Types].xml", "<Types/>"},
         {"word/document.xml",
          "<w:document xmlns:w=\"x\"><w:body><w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Quarterly</w:t>"
          "</w:r><w:r><w:t xml:space=\"preserve\"> report</w:t></w:r></w:p><w:p><w:r>"
          "<w:instrText>PAGE</w:instrText><w:t>na&#239;ve</w:t></w:r></w:p></w:body></"
          "w:document>"}}));
    EXPECT_EQ(f.words(f.dir / "memo.docx"), (Words{"Quarterly", "report", "na\xC3\xAFve"}));
    EXPECT_EQ(f.shared->convertedText, "Quarterly report\nna\xC3\xAFve\n");

    ASSERT_TRUE(makeArchive(
        f.dir / "notes.odt",
        {{"mimetype", "application/vnd.oasis.opendocument.text"},
         {"styles.xml",
          "<office:document-styles><text:p>StyleWord</text:p></office:document-styles>"},
         {"content.xml",
          "<office:document-content><office:automatic-styles><style:style style:name=\"P1\"/>"
          "</office:automatic-styles><office:body><office:text><text:h>Title</text:h><text:p>one"
          "<text:s/>two<text:tab/>three</text:p></office:text></office:body></"
          "office:document-content>"}}));
    EXPECT_EQ(f.words(f.dir / "notes.odt"), (Words{"Title", "one", "two", "three"}));

    ASSERT_TRUE(makeArchive(
        f.dir / "book.epub",
        {{"mimetype", "application/epub+zip"},
         {"META-INF/container.xml",
          "<container><rootfiles><rootfile full-path=\"OEBPS/content.opf\" media-type=\"x\"/>"
          "</rootfiles></container>"},
         {"OEBPS/content.opf",
          "<package><manifest><item id=\"c2\" href=\"text/chapter%202.xhtml\"/>"
          "<item id=\"c1\" href=\"text/ch1.xhtml\"/><item id=\"css\" href=\"s.css\"/></manifest>"
          "<spine><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine></package>"},
         {"OEBPS/text/ch1.xhtml",
          "<html><head><title>Skip</title><style>p{}</style></head><body><h1>Chapter</h1>"
          "<p>It&nbsp;begins</p></body></html>"},
         {"OEBPS/text/chapter 2.xhtml", "<html><body><p>and ends</p></body></html>"}}));
    wordmill::Parser* parser = f.set->OpenDocument(f.dir / "book.epub", false, f.record);
    ASSERT_TRUE(parser);
    Words words;
    while (parser->NextWord(f.record)) {
        words.emplace_back(f.record.text);
        EXPECT_EQ(charSlice(f.viewerText(*parser), f.record.offset, f.record.span), f.record.text);
    }
    EXPECT_EQ(words, (Words{"Chapter", "It", "begins", "and", "ends"}));

    EXPECT_EQ(f.words(f.file("broken.docx", "not a zip")), Words{"<none>"});
    ASSERT_TRUE(makeArchive(f.dir / "empty.odt", {{"mimetype", "x"}}));
    EXPECT_EQ(f.words(f.dir / "empty.odt"), Words{"<none>"}) << "no content.xml";
}

TEST(TParserSet, OffsetsMatchTheTextTheViewerShows) {
    Fixture f;
    const std::vector<std::pair<std::string, std::string>> docs = {
        {"a.txt",
         "Stra\xDF"
         "e \x80 caf\xE9\r\n\x01tab\there"},
        {"b.html", "<p>na&iuml;ve &#8364; <b>\xC3\xA9t\xC3\xA9</b></p><script>x</script>fin"},
        {"c.xml", "<r><a>caf&#233; &amp; th\xC3\xA9</a><![CDATA[raw]]></r>"},
        {"d.rtf", "{\\rtf1 \\u233?t\\u233? {\\b gras}\\par\\tab fin}"},
    };
    for (const auto& [name, bytes] : docs) {
        wordmill::Parser* parser = f.set->OpenDocument(f.file(name, bytes), false, f.record);
        ASSERT_TRUE(parser) << name;
        int count = 0;
        while (parser->NextWord(f.record)) {
            ++count;
            const std::string shown =
                charSlice(f.viewerText(*parser), f.record.offset, f.record.span);
            if (f.record.span == f.record.length) {
                EXPECT_EQ(shown, f.record.text) << name;
            } else {
                // Only references make a span longer: decoded, it is the word.
                auto decoder = wordmill::CreateHtmlParser(wordmill_test::latinTable());
                wordmill::WordRecord r;
                ASSERT_TRUE(decoder->OpenMemory(shown, r) && decoder->NextWord(r)) << shown;
                EXPECT_EQ(std::string(r.text), std::string(f.record.text)) << name;
                EXPECT_NE(shown.find('&'), std::string::npos) << name;
            }
        }
        EXPECT_GE(count, 3) << name;
    }
}

TEST(TParserSet, TheViewerMayConvertWhileAnIndexingConversionLetsMessagesThrough) {
    Fixture f;
    TParserSet viewer(wordmill_test::latinTable(), f.shared);
    writeScript(f.shared->programFolder / "pdftotext", "sleep 0.3; cat \"$3\"");
    const auto indexed = f.file("indexed.pdf", "short one");
    const auto viewed = f.file("viewed.pdf", "viewed text that is longer");
    Words seenByViewer;
    // A click on a found PDF arrives while the indexing set waits for its converter.
    f.set->SetKeepGoing([&] {
        if (seenByViewer.empty()) {
            wordmill::WordRecord record;
            wordmill::Parser* parser = viewer.OpenDocument(viewed, false, record);
            if (!parser) return seenByViewer.push_back("<none>"), true;
            while (parser->NextWord(record)) seenByViewer.emplace_back(record.text);
            parser->Close();
        }
        return true;
    });
    const Words longer = {"viewed", "text", "that", "is", "longer"};
    EXPECT_EQ(f.words(indexed), (Words{"short", "one"}));
    EXPECT_EQ(seenByViewer, longer);
    EXPECT_EQ(f.words(viewed), longer) << "no stale reuse of the last PDF";
}
