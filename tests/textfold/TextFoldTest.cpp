#include "textfold/TextFold.h"

#include <gtest/gtest.h>

using namespace textfold;

TEST(TextFold, EnglishTableKeepsOnlyLettersAsCapitals) {
    const CharTable t = englishTable();
    EXPECT_EQ(foldWord(t, "Hello, World 42"), "HELLOWORLD");
    EXPECT_EQ(foldChar(t, U'4'), 0U);
    EXPECT_EQ(foldChar(t, U'\u00E9'), 0U) << "Latin-1 letters belong to the table, not Unicode";
}

TEST(TextFold, CodePointsAboveTheTableFollowUnicode) {
    const CharTable t = englishTable();
    EXPECT_EQ(foldChar(t, U'\u0436'), U'\u0416');  // Cyrillic zhe
    EXPECT_EQ(foldChar(t, U'\u03B1'), U'\u0391');  // Greek alpha
    EXPECT_NE(foldChar(t, U'\u4E2D'), 0U);         // a CJK ideograph is a letter
    EXPECT_EQ(foldChar(t, U'\u2014'), 0U);         // em dash
    EXPECT_EQ(foldChar(t, U'\u20AC'), 0U);         // euro sign
    EXPECT_EQ(foldChar(t, 0x110000), 0U);
}

TEST(TextFold, DecodesValidUtf8AndFallsBackToWindows1252) {
    EXPECT_TRUE(isValidUtf8("plain ascii"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));                  // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));              // surrogate
    EXPECT_FALSE(isValidUtf8("abcdefgh\xF4\x90\x80\x80"));  // beyond U+10FFFF after a fast block
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));                  // truncated
    EXPECT_EQ(toUtf8Document("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(toUtf8Document("caf\xC3\xA9"), "caf\xC3\xA9");
}

TEST(TextFold, NextUtf8AlwaysAdvances) {
    const std::string bad = "\xF0\x9F\x98";  // truncated 4-byte sequence
    std::size_t pos = 0;
    int steps = 0;
    while (pos < bad.size()) {
        nextUtf8(bad, pos);
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    std::string out;
    appendUtf8(out, U'\U0001F600');
    pos = 0;
    EXPECT_EQ(nextUtf8(out, pos), U'\U0001F600');
    EXPECT_EQ(pos, 4U);
}

TEST(TextFold, CustomTableMapsAccentedLettersTogether) {
    CharTable t = englishTable();
    t[0xE4] = 0xC4;  // ä -> Ä
    t[0xC4] = 0xC4;
    EXPECT_EQ(foldWord(t, "M\xC3\xA4rz"), "M\xC3\x84RZ");
    EXPECT_EQ(foldWord(t, "a*b?", true), "A*B?");
    EXPECT_EQ(utf8Length("M\xC3\xA4rz"), 4U);
}
