// Large texts for the text viewers, in fewer blocks. QTextDocument pays about two
// microseconds for every block, and plain-text loading makes one block per line, so a
// 10 MB text of 160,000 lines spent 300 ms only in making blocks. Joining the lines of a
// large text into blocks of kLinesPerBlock with U+2028, a line break inside a block, makes
// showing it five times faster; the viewer still shows every line on its own. Larger
// blocks load faster still but make each step to an entry slower, as a step lays out whole
// blocks.
//
// Positions stay exactly those DisplayPositions gives for the text before grouping: each
// line end ("\r\n", a lone "\r" or "\n", U+2029) is one position either way. Copying turns
// U+2028 back into a line feed, like the block separators.
#pragma once

#include <cstddef>

namespace vellumar {

inline constexpr std::size_t kLinesPerBlock = 16;
// Texts shorter than this (in UTF-16 units) are loaded line by line as they are.
inline constexpr std::size_t kGroupLinesFrom = 1 << 20;

// Rewrites the UTF-16 text in place: every line end becomes one unit, a "\n" after each
// `linesPerBlock` lines (a block separator) and U+2028 elsewhere. Returns the new length,
// never more than `length`.
std::size_t groupDisplayLines(char16_t* text, std::size_t length,
                              std::size_t linesPerBlock = kLinesPerBlock);

}  // namespace vellumar
