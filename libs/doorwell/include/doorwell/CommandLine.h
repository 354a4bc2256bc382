// Command lines as a person types them into "Open With..." and as desktop entries write
// them in their Exec key, split into argument vectors (no shell ever sees them), and
// file names as file:// addresses.
//
// Pure functions; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace doorwell {

// Splits at blanks and tabs. "double quotes" and 'single quotes' group; inside double
// quotes a backslash escapes \" \\ \$ and \`; outside quotes a backslash escapes any
// character. Nothing (and error set) for an unterminated quote or an empty line.
std::optional<std::vector<std::string>> splitCommandLine(std::string_view line,
                                                         std::string* error = nullptr);

// The argument vector that opens file with a split command line: the desktop entry field
// codes %f %F become the file name, %u %U its file:// address, %% a "%", and the other
// codes (%i %c %k and the deprecated ones) are dropped; without any file code the file
// name is added at the end. A relative name gets "./" in front, so that a name beginning
// with "-" is never read as an option.
std::vector<std::string> argumentsForFile(const std::vector<std::string>& command,
                                          const std::string& file);

// "file://" and the path with every byte other than letters, digits, "-._~/" written as
// %XX: exact for any name, also one that is not UTF-8.
std::string fileUri(std::string_view absolutePath);
// The reverse (for the trash's Path= entries); nothing when an escape is broken.
std::optional<std::string> percentDecode(std::string_view text);
// The percent escaping alone.
std::string percentEncodePath(std::string_view path);

}  // namespace doorwell
