// What the desktop knows about files and applications, read from the freedesktop
// databases without any desktop library: the MIME type of a file name (the shared MIME
// database's globs2 files), the default application of a MIME type (mimeapps.list, then
// the applications' mimeinfo.cache) and the desktop entries of applications (their Name
// and Exec). This gives the default command of a file when xdg-open cannot open it, and
// the applications "Open With..." offers.
//
// Pure functions over the files of the given folders; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace doorwell {

struct XdgDirs {
    std::string dataHome;                 // $XDG_DATA_HOME, default ~/.local/share
    std::vector<std::string> dataDirs;    // $XDG_DATA_DIRS, default /usr/local/share:/usr/share
    std::string configHome;               // $XDG_CONFIG_HOME, default ~/.config
    std::vector<std::string> configDirs;  // $XDG_CONFIG_DIRS, default /etc/xdg
    static XdgDirs FromEnvironment();
};

// "inode/directory" for a folder; by the name's globs otherwise (the heaviest glob wins,
// then the longest); "application/octet-stream" when none matches.
std::string mimeTypeOf(const std::string& file, const XdgDirs& dirs);

struct DesktopEntry {
    std::string id;                 // "org.gnome.TextEditor.desktop"
    std::string name;               // Name=
    std::vector<std::string> exec;  // Exec= split into arguments, field codes kept
    bool terminal = false;
};

// The desktop entry of an application id, when one is installed and can be started.
std::optional<DesktopEntry> findDesktopEntry(const std::string& id, const XdgDirs& dirs);

// The default application of a MIME type (the first installed of the defaults named in
// the mimeapps.list files, else the first application that lists the type), or nothing.
std::optional<DesktopEntry> defaultApplicationFor(const std::string& mimeType, const XdgDirs& dirs);

// Every installed application that says it opens the type, the default first, each once.
std::vector<DesktopEntry> applicationsFor(const std::string& mimeType, const XdgDirs& dirs);

}  // namespace doorwell
