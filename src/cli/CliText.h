// How vellumar-cli writes names and counts in its plain output.
//
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace vellumar::cli {

// A name for plain output: control characters (C0, DEL and C1) and bytes that are not
// UTF-8 are written as escapes (\n, \t, \x1b, \u0085), a backslash as "\\", so that a
// name (a member of an archive may hold a line break) can neither break a line of the
// output nor send commands to the terminal.
std::string plainText(std::string_view text);

// "1 file", "2 files", "0 files".
std::string countOf(long long count, std::string_view one, std::string_view many);

}  // namespace vellumar::cli
