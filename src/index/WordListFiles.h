// Where the stop-word list and the filtering dictionary of an index are: the names typed
// in their boxes, taken relative to the Vellumar home unless they are absolute paths.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vellumar {

inline constexpr const char* kDefaultDictionaryFile = "Dictionary.dic";
inline constexpr const char* kDefaultStopWordFile = "Stopwords.sw";

// The full path for a box's text; nullopt when the trimmed text has fewer than two
// characters (the box then counts as unchecked).
std::optional<std::filesystem::path> resolveWordListFile(const std::string& boxText,
                                                         const std::filesystem::path& home);

// The trimmed text with blanks, tabs and line ends removed at both ends.
std::string trimmed(const std::string& text);

}  // namespace vellumar
