// "Move to Trash" as the freedesktop.org desktops keep their trash, so that the desktop's trash
// shows the file and can restore it. A file on the file system of the home trash
// ($XDG_DATA_HOME/Trash, default ~/.local/share/Trash) goes there, with an absolute Path=
// in its .trashinfo; a file on another file system goes to that file system's trash:
// $topdir/.Trash/$uid when the administrator provided a .Trash (a real folder with the
// sticky bit), else $topdir/.Trash-$uid, with a Path= relative to $topdir. Files are only
// ever renamed, never copied: a file whose trash cannot be used stays where it is and the
// reason comes back.
//
// The .trashinfo is made first (exclusively, so that two programs never take the same
// name) and removed again when the move fails.
//
// Functions are independent; thread-safe.
#pragma once

#include <sys/types.h>
#include <ctime>
#include <optional>
#include <string>

namespace doorwell {

struct TrashPlaces {
    std::string dataHome;  // the home trash lives in dataHome + "/Trash"
    uid_t uid = 0;
    static TrashPlaces FromEnvironment();
};

struct TrashResult {
    bool ok = false;
    std::string message;    // why not, for the user
    std::string trashedAs;  // the file's path inside the trash's files/ folder
    std::string infoFile;   // its .trashinfo
};

TrashResult moveFileToTrash(const std::string& file,
                            const TrashPlaces& places = TrashPlaces::FromEnvironment(),
                            std::time_t now = std::time(nullptr));

// The trash folder of a file system's top folder for uid: "$topdir/.Trash/$uid" when
// "$topdir/.Trash" is a real folder with the sticky bit, else "$topdir/.Trash-$uid".
std::string topdirTrash(const std::string& topdir, uid_t uid);

// The top folder of the file system holding path (the highest folder above it on the
// same device).
std::string topdirOf(const std::string& path);

// Moves file into trashFolder (creating it and its files/ and info/ folders, mode 0700)
// with pathValue as the .trashinfo's Path= (escaped here).
TrashResult moveIntoTrashFolder(const std::string& file, const std::string& trashFolder,
                                const std::string& pathValue, std::time_t now);

}  // namespace doorwell
