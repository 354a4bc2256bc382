// The records a parser exchanges with its caller: one word of a document (WordRecord)
// and one hit of a search as the engine reports it (HitRecord, read by GetPassage).
//
// A WordRecord is owned by the caller and filled by Parser::NextWord. Its text points
// into the parser (the document text or a small word buffer) and stays valid until the
// next NextWord, Rewind or Close of that parser. Plain data; no thread rules of its own.
#pragma once

#include <cstdint>
#include <string_view>

namespace wordmill {

// Position value after the last word of a document that could not be parsed.
inline constexpr std::int32_t kParseFailed = -2;
// Position value after the last word of a document that was read to its end.
inline constexpr std::int32_t kDocumentEnd = -1;

struct WordRecord {
    // The word's characters as UTF-8, as they appear in the text (not folded; character
    // and entity references already decoded). Before Open of an XML document it carries
    // the virtual folder label that prefixes the element paths.
    std::string_view text;
    // Word number, counted from 0 over every word of the document, including those not
    // delivered for their length (the next delivered word's number then jumps by as many).
    // After the last word:
    // kDocumentEnd, or kParseFailed when the document could not be parsed.
    std::int32_t position = kDocumentEnd;
    // Character offset of the word's first character in the document text
    // (Parser::DocumentText), counted in code points from 0.
    std::int32_t offset = 0;
    // 0 for ordinary text, else the number of the markup tag the word stands in.
    std::uint16_t tag = 0;
    // The word's length in characters (code points).
    std::uint8_t length = 0;
    // Characters the word covers in the document text: equal to length unless the word
    // contains character or entity references ("caf&eacute;" covers 11 characters for a
    // word of 4). The viewer selects [offset, offset + span).
    std::int32_t span = 0;
    // Byte offset of the word's first character in the document text.
    std::uint32_t byteOffset = 0;
};

// One hit as the engine's hit list holds it: 8 bytes, packed.
struct HitRecord {
    std::uint32_t firstWord = 0;  // 0xFFFFFFFF: the hit has no position
    std::uint16_t unused = 0;
    std::uint16_t wordCount = 1;
};
static_assert(sizeof(HitRecord) == 8, "hit records are 8 bytes in the engine's hit lists");

inline constexpr std::uint32_t kNoPosition = 0xFFFFFFFFu;

}  // namespace wordmill
