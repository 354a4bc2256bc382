// Large texts loaded with their lines grouped into blocks: every character keeps the
// position DisplayPositions gives for the text as it was, whatever the line ends.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "viewer/DisplayLines.h"
#include "viewer/DisplayPositions.h"

namespace vellumar {
namespace {

struct Piece {
    const char* utf8;
    const char16_t* utf16;
};

// Line ends as a text control counts them: "\r\n" once, a lone "\r" or "\n", U+2029.
int lineEndsOf(const std::string& utf8) {
    int ends = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        if (utf8[i] == '\r' || utf8[i] == '\n' || utf8.compare(i, 3, "\u2029") == 0) ++ends;
    }
    return ends;
}

TEST(DisplayLinesTest, EveryCharacterKeepsItsPositionAndLinesGroupAsAsked) {
    const Piece pieces[] = {{"word ", u"word "},
                            {"\r\n", u"\r\n"},
                            {"\r", u"\r"},
                            {"\n", u"\n"},
                            {"\U0001F600", u"\U0001F600"},
                            {"\u4e2d", u"\u4e2d"},
                            {"\u2029", u"\u2029"},
                            {"\u2028", u"\u2028"},
                            {"\t", u"\t"}};
    std::mt19937 random(11);
    for (const std::size_t perBlock : {1u, 2u, 3u, 32u}) {
        std::string utf8;
        std::u16string utf16;
        std::vector<std::int64_t> wordOffsets;  // code-point offsets of each "word "
        std::int64_t chars = 0;
        int ownSeparators = 0;  // U+2028 in the text itself
        for (int i = 0; i < 3000; ++i) {
            const Piece& piece = pieces[random() % std::size(pieces)];
            const std::string bytes = piece.utf8;
            if (bytes == "word ") wordOffsets.push_back(chars);
            if (bytes == "\u2028") ++ownSeparators;
            utf8 += bytes;
            utf16 += piece.utf16;
            chars += bytes == "word " ? 5 : (bytes == "\r\n" ? 2 : 1);
        }
        const std::size_t length = groupDisplayLines(utf16.data(), utf16.size(), perBlock);
        utf16.resize(length);

        DisplayPositions positions(utf8);
        ASSERT_EQ(static_cast<std::int64_t>(length), positions.End()) << perBlock;
        for (const std::int64_t offset : wordOffsets)
            ASSERT_EQ(utf16.substr(static_cast<std::size_t>(positions.ToDisplay(offset)), 5),
                      u"word ")
                << perBlock << " @ " << offset;

        // Every line end is still there, one block separator after each perBlock lines.
        int blockEnds = 0;
        int separators = 0;
        for (const char16_t c : utf16) {
            EXPECT_TRUE(c != u'\r' && c != 0x2029) << perBlock;
            blockEnds += c == u'\n';
            separators += c == 0x2028;
        }
        const int lineEnds = lineEndsOf(utf8);
        EXPECT_EQ(blockEnds, lineEnds / static_cast<int>(perBlock)) << perBlock;
        EXPECT_EQ(blockEnds + separators, lineEnds + ownSeparators) << perBlock;
    }
}

}  // namespace
}  // namespace vellumar
