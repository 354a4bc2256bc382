#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "wordmill/RtfReader.h"

using namespace wordmill;

TEST(RtfReader, PlainTextOfTheDocumentBody) {
    struct Case {
        std::string rtf;
        std::string text;
    } cases[] = {
        {R"({\rtf1\ansi{\fonttbl{\f0 Times;}}{\colortbl;\red0\green0\blue0;}{\info{\title Secret}}Hello\par World})",
         "Hello\nWorld"},
        {R"({\rtf1 caf\'e9 \'80 5\tab x\line y})", "caf\xC3\xA9 \xE2\x82\xAC 5\tx\ny"},
        {R"({\rtf1\uc1 \u8364? and \u-4064?\u-200 \uc2\u233 xy!})",
         "\xE2\x82\xAC and \xEF\x80\xA0\xEF\xBC\xB8\xC3\xA9!"},
        {R"({\rtf1 \{braces\} \\ {\*\generator Writer;}{\*\unknown hidden}shown})",
         "{braces} \\ shown"},
        {R"({\rtf1 a\emdash b\~c\ldblquote d\rdblquote})",
         "a\xE2\x80\x94"
         "b\xC2\xA0"
         "c\xE2\x80\x9C"
         "d\xE2\x80\x9D"},
        {R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}\bin3 {}}after})", "linkafter"},
        {"{\\rtf1 \\u55357?\\u56832? smile}", "\xF0\x9F\x98\x80 smile"},
        {"{\\rtf1 text} trailing ignored", "text"},
    };
    for (const Case& c : cases) {
        const auto doc = readRtf(c.rtf);
        ASSERT_TRUE(doc) << c.rtf;
        EXPECT_EQ(doc->text, c.text) << c.rtf;
    }
}

TEST(RtfReader, FormattingRunsCoverTheSameCharacters) {
    const auto doc = readRtf(R"({\rtf1 plain {\b bold \i both}\fs40 big\b0 \ul u\ulnone n})");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->text, "plain bold bothbigun");
    std::size_t covered = 0;
    for (const RtfRun& run : doc->runs) {
        EXPECT_EQ(run.start, covered);
        covered += run.length;
    }
    EXPECT_EQ(covered, textfold::utf8Length(doc->text));
    ASSERT_GE(doc->runs.size(), 5u);
    EXPECT_FALSE(doc->runs[0].bold);
    EXPECT_TRUE(doc->runs[1].bold);
    EXPECT_EQ(doc->runs[1].start, 6u);
    EXPECT_TRUE(doc->runs[2].bold && doc->runs[2].italic);
    EXPECT_EQ(doc->runs[3].fontSizeHalfPoints, 40);
    EXPECT_FALSE(doc->runs[3].bold) << "the group's end restored the formatting";
    EXPECT_TRUE(doc->runs[4].underline);
}

TEST(RtfReader, DamagedDocuments) {
    EXPECT_FALSE(readRtf("Plain text, not RTF"));
    EXPECT_FALSE(readRtf(""));
    EXPECT_FALSE(readRtf(std::string(50000, '{').insert(0, "{\\rtf1 ")));  // nested beyond reason
    // Cut short: the text up to the cut survives.
    const auto cut = readRtf("{\\rtf1 {\\b first\\par second \\'e");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->text, "first\nsecond e");
    const auto bin = readRtf("{\\rtf1 x\\bin999999999 ");
    ASSERT_TRUE(bin);
    EXPECT_EQ(bin->text, "x");
    const auto strayClose = readRtf("{\\rtf1 a}}}}b");
    ASSERT_TRUE(strayClose);
    EXPECT_EQ(strayClose->text, "a");
}
