// Telling whether the program runs from a CD-ROM. Linux has no drive types: a folder
// counts as "on a CD-ROM" when the file system holding it is read-only, either by type
// (iso9660, udf, squashfs) or because it is mounted read-only. The program then keeps
// the user's settings in the user configuration folder and its temporary files in the
// system temporary folder.
//
// Pure functions apart from statvfs and /proc/self/mountinfo; thread-safe.
#pragma once

#include <filesystem>
#include <string_view>

namespace vellumar {

// The rule on the facts of one mount: its file system type and its mount options
// (comma-separated, as mountinfo lists them).
bool isReadOnlyMount(std::string_view fileSystemType, std::string_view mountOptions);

// True when the file system that holds folder is read-only media. A folder that cannot be
// examined counts as writable (the normal mode).
bool isOnReadOnlyMedia(const std::filesystem::path& folder);

}  // namespace vellumar
