// Our RTF reader: the plain text of an RTF document, for the text parser to tokenise,
// and its basic character formatting as runs over that same text, for the rich viewer.
// Because both come from one reading, the viewer shows exactly the text whose character
// offsets the parser reports.
//
// Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wordmill {

// Formatting of the characters [start, start + length) of RtfDocument::text (counted in
// code points).
struct RtfRun {
    std::size_t start = 0;
    std::size_t length = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int fontSizeHalfPoints = 24;

    bool sameFormat(const RtfRun& o) const {
        return bold == o.bold && italic == o.italic && underline == o.underline &&
               fontSizeHalfPoints == o.fontSizeHalfPoints;
    }
};

struct RtfDocument {
    std::string text;  // UTF-8; paragraphs end with "\n", cells and tabs are "\t"
    std::vector<RtfRun> runs;
};

// Nothing when the bytes are not RTF (no "{\rtf" at the start) or are damaged beyond
// reading (groups nested deeper than any real document). A document cut short keeps the
// text read up to the cut.
std::optional<RtfDocument> readRtf(std::string_view bytes);
std::optional<RtfDocument> readRtfFile(const std::filesystem::path& file);

}  // namespace wordmill
