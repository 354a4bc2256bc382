// The support request form: "support.txt" in the temporary folder, which the window's
// "S&upport" writes anew each time and opens in the desktop's text editor for the user to
// fill in and send.
//
// The file is replaced through a new file renamed over the old one, never written through
// an existing "support.txt": in a shared temporary folder that name may be a link another
// user planted.
//
// Pure functions apart from writing the file; thread-safe.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vellumar {

inline constexpr const char* kSupportFileName = "support.txt";
inline constexpr const char* kSupportAddress = "support@vellumar.org";

// The request: a line asking to fill in the form and send it to the support address, an
// empty line, and the form; lines end with CR LF, the last one too.
std::string supportRequestText();

// Writes the request as "support.txt" in folder and returns its path; nullopt when it
// cannot be written.
std::optional<std::filesystem::path> writeSupportRequest(const std::filesystem::path& folder);

}  // namespace vellumar
