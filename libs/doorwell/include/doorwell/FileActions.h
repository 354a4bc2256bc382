// The actions of a found file's context menu that need no window: Open (with the
// desktop's association), Open With (a command line), Open Containing Folder, Copy Path,
// Copy File, Properties; Move to Trash is in Trash.h. The window shows the menu and the
// dialogs and calls these; the D-Bus call that asks the file manager to select a file
// (org.freedesktop.FileManager1.ShowItems) is the window's, with the request made here
// and openFolderOnDesktop as its fallback.
//
// An archive member ("archive//member") is not a file of its own: it is never opened,
// copied or trashed; its folder is the archive's. No action ever goes through a shell:
// file names with blanks, quotes, a leading "-" or bytes that are not UTF-8 reach the
// programs as they are.
//
// Functions are independent and thread-safe; they start programs through a Launcher.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "doorwell/DesktopApps.h"
#include "doorwell/Launcher.h"

namespace doorwell {

// Results of opening a file, in the classic numbering: above 32 is success.
enum OpenCode : int {
    kOutOfResources = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kBadProgram = 11,
    kSharingViolation = 26,
    kAssociationIncomplete = 27,
    kNoAssociation = 31,
    kOpened = 33,
};

// The message of a failed open (empty for success and for codes without one).
std::string openFailureMessage(int code);

struct OpenResult {
    int code = kOpened;
    std::string message;  // openFailureMessage(code)
    bool ok() const { return code > 32; }
};

// How long an opener is given to report failure before it counts as started.
inline constexpr std::chrono::milliseconds kOpenerWait{3000};

// Opens the file with its associated application: xdg-open first; when it finds no
// association, the file's default command (GetDefaultItemInMenu) is started directly.
OpenResult OpenWithAssociation(const std::string& file, Launcher& launcher = SystemLauncher(),
                               const XdgDirs& dirs = XdgDirs::FromEnvironment());

// The default application's desktop id of the file, or empty (no file, no application).
std::string defaultCommandOf(const std::string& file, const XdgDirs& dirs);

// "Open With...": the command line (as typed, or an application's Exec) with the file.
// A failure comes back with a message for the user.
struct LaunchOutcome {
    bool ok = false;
    std::string message;
};
// A program that ends within `wait` with a non-zero status counts as failed.
inline constexpr std::chrono::milliseconds kLaunchWait{300};
LaunchOutcome openWithCommand(const std::string& commandLine, const std::string& file,
                              Launcher& launcher = SystemLauncher(),
                              std::chrono::milliseconds wait = kLaunchWait);
LaunchOutcome openWithApplication(const DesktopEntry& application, const std::string& file,
                                  Launcher& launcher = SystemLauncher());

// "Open Containing Folder": the folder to show and the item to select in it (for an
// archive member the archive, in the archive's folder), with the item's file:// address
// for the file manager's ShowItems call.
struct FolderRequest {
    std::string folder;
    std::string item;
    std::string itemUri;
};
FolderRequest containingFolder(const std::string& name);
inline constexpr const char* kFileManagerService = "org.freedesktop.FileManager1";
inline constexpr const char* kFileManagerPath = "/org/freedesktop/FileManager1";
inline constexpr const char* kFileManagerInterface = "org.freedesktop.FileManager1";
inline constexpr const char* kFileManagerShowItems = "ShowItems";
// The fallback: the folder opened with xdg-open.
OpenResult openFolderOnDesktop(const std::string& folder, Launcher& launcher = SystemLauncher());

// "Copy Path": the name as text when it is valid UTF-8, else its file:// address (the
// only text form that keeps every byte).
std::string pathForClipboard(const std::string& name);

// "Copy File": what a file manager reads from the clipboard to paste files.
struct ClipboardFiles {
    std::string uriList;           // text/uri-list: one address per line, CR LF after each
    std::string gnomeCopiedFiles;  // x-special/gnome-copied-files: "copy" and the addresses
    std::string text;              // text/plain: the names, one per line
};
// Archive members and names that are not absolute are left out; nothing when none is left.
std::optional<ClipboardFiles> clipboardDataFor(const std::vector<std::string>& names);

// Which actions the menu offers for a name.
struct AvailableActions {
    bool open = false, openWith = false, openFolder = false, copyPath = true, copyFile = false,
         moveToTrash = false, properties = false;
};
AvailableActions actionsFor(const std::string& name);

// "Properties".
struct FileProperties {
    std::string name;         // the file's own name (for an archive member, the member's path)
    std::string folder;       // the folder holding it (for a member, the archive)
    std::uintmax_t size = 0;  // bytes (for a member, of the archive)
    std::string type;         // "Folder", "HTML document", "Archive member", ...
    std::string mimeType;
    std::string modified;     // local time, "2024-03-01 14:05:09"
    std::string permissions;  // "rw-r--r--"
    std::string owner, group;
    std::string linkTarget;  // for a symbolic link, where it points
};
std::optional<FileProperties> getFileProperties(const std::string& name,
                                                const XdgDirs& dirs = XdgDirs::FromEnvironment());

}  // namespace doorwell
