// Code-point offsets to text-control positions. The rules themselves are checked against
// real Qt controls in tests/htmlview; here: the table of cases and that incremental
// lookups in any order agree with fresh ones.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "viewer/DisplayPositions.h"

namespace vellumar {
namespace {

struct Case {
    const char* text;
    std::int64_t offset;
    std::int64_t display;
};

TEST(DisplayPositionsTest, LineEndsSurrogatesAndTheByteOrderMark) {
    const Case cases[] = {
        {"a\r\nb", 3, 2},                 // CR LF is one position
        {"a\r\nb", 2, 2},                 // ... whichever half the offset points at
        {"a\rb\nc", 4, 4},                // lone CR and LF: one each
        {"a\n\rb", 3, 3},                 // LF CR is two line ends
        {"\r\n\r\nx", 4, 2},              // blank lines
        {"x\U0001F600y", 2, 3},           // an emoji takes two positions
        {"\U0001F600\U0001F600z", 2, 4},  // two of them
        {"\u4e2d\u6587 word", 3, 3},      // CJK: one each
        {"e\u0301te", 2, 2},              // a combining accent is a character
        {"\xEF\xBB\xBFword", 1, 0},       // the byte-order mark is dropped...
        {"\xEF\xBB\xBFword", 3, 2},       // ... and takes no position
        {"a\xEF\xBB\xBF"
         "b",
         2, 2},                    // elsewhere it is a character
        {"line\u2028next", 5, 5},  // U+2028 stays one character
        {"\t\tx", 2, 2},           // tabs
        {"short", 99, 5},          // beyond the end: the end
    };
    for (const Case& c : cases) {
        DisplayPositions positions(c.text);
        EXPECT_EQ(positions.ToDisplay(c.offset), c.display) << c.text << " @ " << c.offset;
    }
}

TEST(DisplayPositionsTest, LookupsInAnyOrderAgreeWithFreshOnes) {
    // Long enough for many marks, with every kind of character.
    const char* pieces[] = {"word ", "\r\n", "\r", "\n", "\U0001F600", "\u4e2d", "\u00e9", "\t"};
    std::mt19937 random(7);
    std::string text;
    std::int64_t chars = 0;
    while (chars < 300000) {
        const char* piece = pieces[random() % 8];
        text += piece;
        chars += std::string(piece) == "word " ? 5 : (std::string(piece) == "\r\n" ? 2 : 1);
    }
    DisplayPositions reused(text);
    std::uniform_int_distribution<std::int64_t> offsets(0, chars);
    for (int i = 0; i < 200; ++i) {
        const std::int64_t offset = offsets(random);
        DisplayPositions fresh(text);
        ASSERT_EQ(reused.ToDisplay(offset), fresh.ToDisplay(offset)) << offset;
    }
    DisplayPositions fresh(text);
    EXPECT_EQ(reused.End(), fresh.End());
}

}  // namespace
}  // namespace vellumar
