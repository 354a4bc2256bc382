// HTML and XML parsers: what counts as text, tags, references, and bad input.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "wordmill/Parser.h"
#include "wordmill/RtfReader.h"

using namespace wordmill;
using namespace wordmill_test;

namespace {

struct Parsed {
    std::vector<Word> words;
    std::int32_t endPosition;
    std::unique_ptr<Parser> parser;
};

Parsed parse(std::unique_ptr<Parser> parser, const std::string& bytes,
             std::string_view label = {}) {
    WordRecord record;
    record.text = label;
    EXPECT_TRUE(parser->OpenMemory(bytes, record));
    Parsed p;
    p.words = allWords(*parser, record);
    p.endPosition = record.position;
    p.parser = std::move(parser);
    return p;
}

Parsed html(const std::string& bytes, const textfold::CharTable& table = latinTable()) {
    return parse(CreateHtmlParser(table), bytes);
}

Parsed xml(const std::string& bytes, std::string_view label = {}) {
    return parse(CreateXmlParser(latinTable()), bytes, label);
}

// Every word's span in the document text, with references decoded, is the word itself.
void expectSpansMatch(const Parsed& p) {
    for (const Word& w : p.words) {
        const std::string slice = charSlice(p.parser->DocumentText(), w.offset, w.span);
        auto decoder = CreateHtmlParser(latinTable());
        WordRecord r;
        ASSERT_TRUE(decoder->OpenMemory(slice, r));
        ASSERT_TRUE(decoder->NextWord(r)) << slice;
        EXPECT_EQ(std::string(r.text), w.text) << slice;
    }
}

}  // namespace

TEST(HtmlParser, TextBetweenTagsWithReferencesDecoded) {
    struct Case {
        std::string html;
        std::vector<std::string> words;
    } cases[] = {
        {"<p>caf&eacute; &amp; cr&#232;me</p>", {"caf\xC3\xA9", "cr\xC3\xA8me"}},
        {"<b>bold</b><i>italic</i>", {"bold", "italic"}},
        {"x&nbsp;y one&unknown;two &#x43;AT", {"one", "unknown", "two", "CAT"}},
        {"<script>var hidden = 1;</script><STYLE>p { color: red }</STYLE>shown", {"shown"}},
        {"<!-- a comment --> after <!DOCTYPE html> <?php echo 'x' ?> end", {"after", "end"}},
        {"a < b and c<d e>fg", {"and", "fg"}},
        {"<p title='>quoted' data=\"x>y\">inside</p>", {"inside"}},
        {"<SCRIPT type=x>hidden</script >visible", {"visible"}},
    };
    for (const Case& c : cases) {
        const Parsed p = html(c.html);
        EXPECT_EQ(texts(p.words), c.words) << c.html;
        expectSpansMatch(p);
    }
}

TEST(HtmlParser, TitleAndHeadingsCarryTagNumbers) {
    const Parsed p = html(
        "<html><head><title>The  Caf&eacute;\n<b>Guide</b></title></head>"
        "<body><h1>Menu</h1><p>Soup of the day</p><h3>Prices</h3>cheap</body></html>");
    ASSERT_EQ(texts(p.words),
              (std::vector<std::string>{"The", "Caf\xC3\xA9", "Guide", "Menu", "Soup", "of", "the",
                                        "day", "Prices", "cheap"}));
    EXPECT_EQ(p.words[1].tag, p.words[0].tag);
    EXPECT_EQ(p.parser->GetTagName(p.words[0].tag), "title");
    EXPECT_EQ(p.parser->GetTagName(p.words[3].tag), "h1");
    EXPECT_EQ(p.words[4].tag, 0) << "body text is ordinary text";
    EXPECT_EQ(p.parser->GetTagName(p.words[8].tag), "h3");
    EXPECT_EQ(p.words[9].tag, 0);
    EXPECT_EQ(p.parser->GetTagName(), "The Caf\xC3\xA9 Guide") << "plain text, blanks collapsed";
    EXPECT_EQ(p.parser->GetTagName(0), "");
    EXPECT_EQ(p.parser->GetTagName(999), "");
}

TEST(HtmlParser, LinkTextFallsBackToTheFileName) {
    TempDir dir;
    writeFile(dir / "page.html", "<script>document.title='<title>no</title>'</script><p>text</p>");
    auto parser = CreateHtmlParser(latinTable());
    WordRecord record;
    ASSERT_TRUE(parser->Open(dir / "page.html", record));
    EXPECT_EQ(parser->GetTagName(), "page.html");
}

TEST(HtmlParser, BrokenMarkupNeverFailsTheDocument) {
    const std::string hugeAttribute = "<img alt=\"" + std::string(1 << 20, '>') + "\">after";
    struct Case {
        std::string html;
        std::vector<std::string> words;
    } cases[] = {
        {"<p>open <div class=\"never closed", {"open"}},
        {"start <!-- comment that never ends <p>hidden</p>", {"start"}},
        {"<script>never closed script words", {}},
        {"before <", {"before"}},
        {hugeAttribute, {"after"}},
        {"<p>" + std::string(200000, '<') + "x", {}},
    };
    for (const Case& c : cases) {
        const Parsed p = html(c.html);
        EXPECT_EQ(texts(p.words), c.words) << c.html.substr(0, 60);
        EXPECT_EQ(p.endPosition, kDocumentEnd);
    }
}

TEST(HtmlParser, OffsetsPointIntoTheSourceTheViewerShows) {
    const Parsed p = html("<p>na&iuml;ve</p>\n<p>\xC3\xA9t\xC3\xA9</p>");
    ASSERT_EQ(p.words.size(), 2u);
    EXPECT_EQ(p.words[0].offset, 3);
    EXPECT_EQ(p.words[0].length, 5);
    EXPECT_EQ(p.words[0].span, 10) << "na&iuml;ve covers ten characters of source";
    EXPECT_EQ(p.words[1].offset, 21);
    EXPECT_EQ(p.words[1].span, 3);
    expectSpansMatch(p);
}

TEST(XmlParser, ElementPathsWithTheLabelInFront) {
    const Parsed p =
        xml("<?xml version=\"1.0\"?>\n<!-- orders -->\n<orders><order id=\"7\"><customer>Anna "
            "Berg</customer><item sku='x'>Tea &amp; cake</item></order>"
            "<order><customer>Carl</customer></order><![CDATA[<raw> words]]></orders>",
            "/shop");
    ASSERT_EQ(texts(p.words),
              (std::vector<std::string>{"Anna", "Berg", "Tea", "cake", "Carl", "raw", "words"}));
    EXPECT_EQ(p.parser->GetTagName(p.words[0].tag), "/shop/orders/order/customer");
    EXPECT_EQ(p.words[4].tag, p.words[0].tag) << "the same path has the same number";
    EXPECT_EQ(p.parser->GetTagName(p.words[2].tag), "/shop/orders/order/item");
    EXPECT_EQ(p.parser->GetTagName(p.words[5].tag), "/shop/orders");
    EXPECT_EQ(p.endPosition, kDocumentEnd);
    expectSpansMatch(p);

    const Parsed plain = xml("<a><b>word</b></a>");
    EXPECT_EQ(plain.parser->GetTagName(plain.words[0].tag), "/a/b");
}

TEST(XmlParser, DocumentsThatAreNotWellFormedEndWithMinusTwo) {
    struct Case {
        std::string xml;
        std::vector<std::string> words;
    } cases[] = {
        {"<a><b>one</c></a>", {"one"}},        {"<a>one <b>two</b>", {"one", "two"}},
        {"<a>one</a><a>two</a>", {"one"}},     {"words before root <a/>", {}},
        {"<a>one <!-- unterminated", {"one"}}, {"<a>one <b attr=novalue>", {"one"}},
        {"<a>one < b</a>", {"one"}},           {"", {}},
    };
    for (const Case& c : cases) {
        const Parsed p = xml(c.xml);
        EXPECT_EQ(texts(p.words), c.words) << c.xml;
        EXPECT_EQ(p.endPosition, kParseFailed) << c.xml;
        WordRecord again;
        EXPECT_FALSE(p.parser->NextWord(again));
        EXPECT_EQ(again.position, kParseFailed);
    }
}

TEST(XmlParser, DeepNestingCostsNoStack) {
    constexpr int kDepth = 100000;
    std::string doc;
    for (int i = 0; i < kDepth; ++i) doc += "<n>";
    doc += "deep";
    for (int i = 0; i < kDepth; ++i) doc += "</n>";
    const Parsed p = xml(doc);
    ASSERT_EQ(texts(p.words), std::vector<std::string>{"deep"});
    EXPECT_EQ(p.endPosition, kDocumentEnd);
    const std::string path = p.parser->GetTagName(p.words[0].tag);
    EXPECT_EQ(path.substr(0, 6), "/n/n/n");
    EXPECT_LT(path.size(), 4000u) << "paths are capped, not 200,000 characters long";
}

TEST(XmlParser, EntitiesAreNeverExpandedBeyondThePredefinedOnes) {
    // The "billion laughs" and an external entity: neither may produce text.
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i < 10; ++i)
        bomb += "<!ENTITY lol" + std::to_string(i) + " \"" + std::string(10, '&') + "\">";
    bomb +=
        "<!ENTITY xxe SYSTEM \"file:///etc/hostname\"> <!-- ] > -->]><lolz>&lol9; &xxe; safe "
        "&#65;&#x42;</lolz>";
    const Parsed p = xml(bomb);
    EXPECT_EQ(texts(p.words), (std::vector<std::string>{"lol", "xxe", "safe", "AB"}));
    EXPECT_EQ(p.endPosition, kDocumentEnd);
    EXPECT_EQ(p.words[3].span, 11);
}

TEST(XmlParser, RewindAndPassagesKeepTagNumbersStable) {
    const std::string doc = "<r><a>one</a><b>two</b><c>three</c></r>";
    auto parser = CreateXmlParser(latinTable());
    WordRecord record;
    ASSERT_TRUE(parser->OpenMemory(doc, record));
    HitRecord hit{2, 0, 1};
    std::string passage;
    ASSERT_TRUE(parser->GetPassage(&hit, 1, passage));  // its stream runs ahead
    EXPECT_EQ(passage, "one two <b>three</b>");
    const auto first = allWords(*parser, record);
    ASSERT_TRUE(parser->Rewind());
    const auto second = allWords(*parser, record);
    ASSERT_EQ(first.size(), 3u);
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].tag, second[i].tag);
        EXPECT_EQ(first[i].position, second[i].position);
    }
    EXPECT_EQ(parser->GetTagName(first[2].tag), "/r/c");
}

// "file I/O, system calls": "I" and "O" are too short to deliver, but "system" must not
// become the word after "file", or the phrase "file system" would match. The same in every
// format the indexer reads, and in the passages that show a hit.
TEST(WordNumbers, ShortWordsCountInEveryFormat) {
    const std::vector<std::pair<std::string, int>> expected = {
        {"file", 0}, {"system", 3}, {"calls", 4}};
    auto numbers = [](const Parsed& p) {
        std::vector<std::pair<std::string, int>> out;
        for (const Word& w : p.words) out.emplace_back(w.text, w.position);
        return out;
    };
    EXPECT_EQ(numbers(parse(CreateTextParser(latinTable()), "file I/O, system calls")), expected);
    EXPECT_EQ(numbers(html("<p>file <b>I</b>/O, system&nbsp;calls</p>")), expected);
    EXPECT_EQ(numbers(xml("<doc><a>file I</a><b>O, system</b> calls</doc>")), expected);
    const auto rtf = readRtf(R"({\rtf1 file {\b I}/O, system\par calls})");
    ASSERT_TRUE(rtf);
    EXPECT_EQ(numbers(parse(CreateTextParser(latinTable()), rtf->text)), expected);

    // The heading tag still reaches words after short ones; the numbers go on across tags.
    const Parsed headed = html("<title>a b</title><h1>I am here</h1>x y z word");
    ASSERT_EQ(texts(headed.words), (std::vector<std::string>{"am", "here", "word"}));
    EXPECT_EQ(headed.words[0].position, 3);
    EXPECT_EQ(headed.words[2].position, 8);
    EXPECT_EQ(headed.words[0].tag, 2);

    // A passage around "system" (word 3) shows its neighbours with the gap as it is.
    Parsed text = parse(CreateTextParser(latinTable()), "file I/O, system calls");
    const HitRecord hit{3, 0, 1};
    std::string passage;
    ASSERT_TRUE(text.parser->GetPassage(&hit, 1, passage));
    EXPECT_EQ(passage, "file I/O, <b>system</b> calls");
    const HitRecord shortWord{1, 0, 1};
    EXPECT_FALSE(text.parser->GetPassage(&shortWord, 1, passage)) << "no word was delivered there";
}

// Documents with long runs of left-out words: a passage far into the document still
// finds its words after an earlier passage near the start (the ring of recent words must
// know which numbers it covers, not only which words it holds).
TEST(WordNumbers, PassagesAcrossGapsOfLeftOutWords) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += (i % 10 == 0 ? "word" + std::string(1, char('a' + i / 10)) : "x") + " ";
    Parsed p = parse(CreateTextParser(latinTable()), text);
    ASSERT_EQ(p.words.size(), 20u);
    for (int round = 0; round < 2; ++round) {
        for (const Word& w : p.words) {
            const HitRecord hit{static_cast<std::uint32_t>(w.position), 0, 1};
            std::string passage;
            ASSERT_TRUE(p.parser->GetPassage(&hit, 1, passage)) << w.position;
            EXPECT_NE(passage.find("<b>" + w.text + "</b>"), std::string::npos) << passage;
        }
    }
}
