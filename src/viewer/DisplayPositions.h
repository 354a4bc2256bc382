// From the parsers' character offsets to the positions of Qt's text controls: the one
// place where the two are mapped.
//
// The parsers count code points of the document text (UTF-8). A QPlainTextEdit or QTextEdit
// given that text through QString::fromUtf8 and setPlainText counts UTF-16 units, so a
// character outside the Basic Multilingual Plane (an emoji) takes two positions; it loads
// "\r\n" as one block separator (a lone "\r", a lone "\n", U+2029 each stay one position,
// U+2028 stays a character of its block); and QString::fromUtf8 drops a byte-order mark at
// the very start of the text. Everything else is one position per code point. The rich
// viewer, built from the same text with QTextCursor::insertText, counts the same way.
//
// Lookups are incremental: moving forward continues from the last lookup, and a lookup
// behind it starts from the nearest mark left every 64K characters, so stepping through a
// 10 MB document hit by hit costs one pass over it.
//
// Ownership: borrows the text, which must outlive the object and stay unchanged.
// Thread: one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vellumar {

class DisplayPositions {
  public:
    explicit DisplayPositions(std::string_view text = {});

    // The display position of the character at code-point offset `offset` (offsets beyond
    // the text give the end position).
    std::int64_t ToDisplay(std::int64_t offset);

    // The display position just behind the whole text.
    std::int64_t End();

  private:
    struct Mark {
        std::size_t byte = 0;
        std::int64_t offset = 0;
        std::int64_t display = 0;
    };
    void walkTo(Mark& at, std::int64_t offset);

    std::string_view text_;
    Mark cursor_;
    std::vector<Mark> marks_;
};

}  // namespace vellumar
