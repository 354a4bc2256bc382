// "Search from List\File": a query made of the words of a text file. The words are found
// by the text parser with the index's language and word lengths; words that only blanks
// or line breaks separate are joined with " | " (any of them), while other text between
// words (an "&", a comma) and text in front of the first word are taken over as they
// stand, so a list file may hold a whole query. Text after the last word is not used.
//
// The list-file box stores a file inside the home relative to the home, so that a
// portable home keeps its list files when it moves; every other path as chosen.
//
// Pure functions apart from reading the file; thread-safe (a parser is used by one thread).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "vellcore/IndexObject.h"
#include "wordmill/Parser.h"

namespace vellumar {

// List files larger than this are not read: the query they make would be far beyond what
// the engine accepts (64 KB), and reading them would only cost time.
inline constexpr std::uintmax_t kMaxListFileBytes = 1024 * 1024;

// The path as the list-file box keeps it.
std::string storedListFilePath(const std::string& chosen, const std::filesystem::path& home);
// The file a stored path names (relative ones lie in the home). Blanks around are ignored.
std::filesystem::path resolveListFilePath(std::string_view stored,
                                          const std::filesystem::path& home);

// The whole file, or nothing when it is not a regular file, cannot be read, is larger
// than kMaxListFileBytes or holds NUL bytes (not a text file).
std::optional<std::string> readListFile(const std::filesystem::path& file);

// The query from a list text, with a text parser set up by the caller. Nothing when the
// parser cannot open the text; an empty query when the text has no words.
std::optional<std::string> queryFromListText(wordmill::Parser& textParser, std::string_view text);

// readListFile and queryFromListText with a text parser set to the index's language and
// word lengths.
std::optional<std::string> readListFileQuery(const std::filesystem::path& file,
                                             const vellcore::IndexObject& index);

}  // namespace vellumar
