// The inside of the parsers: a token stream reads the words of one open document in
// order, and the word scanner does the character work shared by the three formats.
//
// A stream borrows the parser's document text and table; the parser owns both and keeps
// them unchanged while any stream exists. Single-threaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "textfold/TextFold.h"

namespace wordmill {

struct Token {
    std::string_view text;      // UTF-8, entities decoded (may be cut after 256 characters)
    std::size_t length = 0;     // characters of the whole word (never cut)
    std::size_t byteBegin = 0;  // in the document text
    std::size_t byteEnd = 0;
    std::uint32_t charBegin = 0;
    std::uint32_t charEnd = 0;
    std::uint16_t tag = 0;
};

enum class StreamResult { Word, End, Error };

class TokenStream {
  public:
    virtual ~TokenStream() = default;
    virtual StreamResult next(Token& token) = 0;
};

// Whether the AVX2 paths may run: the processor (and system) have AVX2, and the
// environment does not say VELLUMAR_SIMD=0 (the tests run the plain paths that way, as
// on processors without it).
bool UseAvx2();

// Characters of words longer than this are not kept: no parser delivers such a word
// (the maximum length is one byte), but its length is still counted.
inline constexpr std::size_t kKeptWordChars = 256;

// Walks the document text with a byte and a character position. The text is valid
// UTF-8 (the parser decoded it), so multi-byte sequences need no checks here.
class WordScanner {
  public:
    enum class Stop { Word, Markup, End };

    WordScanner(std::string_view text, const textfold::CharTable& table, bool markup, bool html);

    std::size_t bytePos() const { return pos_; }
    std::uint32_t charPos() const { return chars_; }
    std::string_view text() const { return text_; }

    // Moves forward to byte position `to` (a character boundary), counting characters.
    void advanceTo(std::size_t to);

    // Reads content from the current position: skips non-word characters and returns at
    // the next word (token filled, position behind it), at a "<" when the text has markup
    // (position on it), or at `limit`. References are decoded in markup text.
    Stop scan(std::size_t limit, Token& token);

    // Reads a run of characters that are all content (a CDATA section): no references,
    // no markup. Returns Word or End (at limit).
    Stop scanRaw(std::size_t limit, Token& token);

    // The text parser's scan (no markup, up to the end of the text): Word or End. Runs of
    // ASCII are found 64 bytes at a time in bit masks, so a word costs a few bit
    // operations; only bytes of other characters are looked at one by one.
    Stop scanText(Token& token);

  private:
    // scan() of markup text up to the end of the text, with the block masks ("<" and "&"
    // are special there too).
    Stop scanMarkupText(Token& token);
    // Masks of one 64-byte block of the text (bit k: byte 64 * index + k): ASCII word
    // characters, and bytes that need a closer look (not ASCII, NUL, past the end).
    struct Block {
        std::size_t index = static_cast<std::size_t>(-1);
        std::uint64_t word = 0;
        std::uint64_t special = 0;
    };
    void loadBlock(std::size_t index);
    // The first position from p on whose byte is in (word | special), or not in word.
    std::size_t nextNotSeparator(std::size_t p);
    std::size_t nextNotWord(std::size_t p);

    char32_t decodeAt(std::size_t& pos) const;
    bool isWordAscii(unsigned char b) const { return asciiWord_[b] != 0; }
    template <bool allowMarkup>
    Stop scanImpl(std::size_t limit, Token& token);

    // Byte classes for the fast loops: ASCII separators, ASCII word characters, and
    // everything that needs a closer look (bytes of multi-byte characters, "<", "&").
    static constexpr unsigned char kSeparator = 0, kWord = 1, kSpecial = 2;

    std::string_view text_;
    const textfold::CharTable& table_;
    bool markup_;
    bool html_;
    std::size_t pos_ = 0;
    std::uint32_t chars_ = 0;
    unsigned char asciiWord_[128];
    unsigned char byteClass_[256];
    // For the block masks: entry n has bit h set when the ASCII byte 16 * h + n is a word
    // character.
    unsigned char nibbleWords_[16] = {};
    Block block_;
    std::string buffer_;
};

}  // namespace wordmill

namespace wordmill {

// The stream of a finished document: no more words.
class EmptyStream : public TokenStream {
  public:
    StreamResult next(Token&) override { return StreamResult::End; }
};

}  // namespace wordmill
