// The query history file "Qryhist.ini" (plain text despite its name): the queries of the
// search box, newest first, then one line "[files]", then the list files of "Search from
// List\File". Lines end in CR LF when written; any line end is accepted when read.
//
// Thread: main thread only.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

inline constexpr std::size_t kQueryHistoryLimit = 40;

struct QueryHistory {
    std::vector<std::string> queries;    // newest first, at most kQueryHistoryLimit
    std::vector<std::string> listFiles;  // newest first
    bool operator==(const QueryHistory&) const = default;
};

// Everything before the first line that is exactly "[files]" is the query history, the
// rest are list files. Empty lines and lines longer than kMaxQueryHistoryLine bytes are
// dropped; a line that is not valid UTF-8 is read as Windows-1252.
QueryHistory parseQueryHistory(std::string_view text);
std::string formatQueryHistory(const QueryHistory& history);

inline constexpr std::size_t kMaxQueryHistoryLine = 32 * 1024;

// A missing or damaged file (see readUserFile) gives an empty history; for a damaged one
// `problem`, when given, receives the warning to show. The file is left as it is.
QueryHistory loadQueryHistory(const std::filesystem::path& file, std::string* problem = nullptr);
// Replaces the file whole; false when it cannot be written.
bool saveQueryHistory(const std::filesystem::path& file, const QueryHistory& history);

}  // namespace vellumar
