// Whole-file replacement: data goes to a temporary file in the target's folder, is flushed
// to disk and renamed over the target, so that readers (and a second instance of the
// program) see either the old file or the new one, never a mixture.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

// False (target unchanged) when the file cannot be written.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view data);

// Writes each line followed by lineEnd, atomically as above.
bool writeLinesAtomically(const std::filesystem::path& path, const std::vector<std::string>& lines,
                          std::string_view lineEnd);

// The whole of one of the program's own files (logs, exports), or nothing when it cannot
// be read. Never blocks or reads without end (see readUserFile); files a user may edit go
// through readUserFile with its limit.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

}  // namespace vellumar
