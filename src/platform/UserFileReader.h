// The one way the program reads a file that a user can edit or replace: the settings file
// "Vellumar.ini", the index definition files (.inf), "Qryhist.ini", "Registry.ini", the
// .LNG language files, stop-word lists, filtering dictionaries and the list files of
// "Search from List\File".
//
// Such a file may be anything a name can point to. Only regular files are read: a FIFO
// would block the program for ever, a link to /dev/zero would never end, a folder has no
// content. A regular file larger than the caller's limit is not read either: one 50 MB
// line in a settings file would make every start read, copy and parse it. Both count as
// damaged: the caller goes on with its defaults, warns with problemText() naming the file,
// and leaves the file as it is (the settings are still saved at the program's normal end).
//
// Limits (documented in docs/platform-choices.md):
//   kUserFileLimit      4 MiB: settings, definitions, query history, Registry.ini, .LNG
//   kWordListFileLimit  32 MiB: stop-words, dictionaries and list files, which may hold
//                       every word of a language
//
// Thread: any; plain file calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace vellumar {

inline constexpr std::uintmax_t kUserFileLimit = 4u << 20;
inline constexpr std::uintmax_t kWordListFileLimit = 32u << 20;

enum class UserFileStatus {
    Ok,
    Missing,     // no such file (or a dangling link): the caller's "file not there" case
    NotRegular,  // a folder, FIFO, socket or device (also through a link)
    TooLarge,    // a regular file over the limit
    Unreadable,  // there, but opening or reading failed (permissions, I/O error)
};

struct UserFileRead {
    UserFileStatus status = UserFileStatus::Missing;
    std::string data;  // the whole file when status is Ok
    int error = 0;     // errno for Unreadable
    std::uintmax_t limit = 0;

    bool ok() const { return status == UserFileStatus::Ok; }
    // There is something at the name, but it cannot be used: warn and keep defaults.
    bool damaged() const {
        return status != UserFileStatus::Ok && status != UserFileStatus::Missing;
    }
};

// Reads the whole file, never blocking on a FIFO or reading without end. A file that
// grows past the limit while it is read counts as TooLarge.
UserFileRead readUserFile(const std::filesystem::path& file, std::uintmax_t limit = kUserFileLimit);

// What is wrong: "not an ordinary file", "larger than 4 MB", "can not be read: Permission
// denied". Empty for Ok and Missing.
std::string problemReason(const UserFileRead& read);
// The same, naming the file: "/home/ann/Vellumar.ini is not an ordinary file".
std::string problemText(const std::filesystem::path& file, const UserFileRead& read);

// The warning for a damaged settings-like file: the problem (from problemText), then that
// defaults are used and the file is left as it is.
std::string damagedFileWarning(const std::string& problem);

}  // namespace vellumar
