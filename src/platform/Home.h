// The Vellumar home: the one folder that holds the settings file, the query history, the
// shipped data files (form.htm, the help, sample languages), the "tmp" folder and, by
// default, the indexes. The command-line tool shares this rule with the window.
//
// Which folder, in order: `--home DIR` on the command line; else $VELLUMAR_HOME; else the
// executable's folder when it holds a "Vellumar.ini" (portable use, for example a stick or
// a CD-ROM); else $XDG_DATA_HOME/vellumar (default ~/.local/share/vellumar).
//
// Pure functions apart from the file-system calls they name; thread-safe.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vellumar {

// Looks up an environment variable; nullptr when it is not set. Tests pass their own.
using EnvironmentLookup = std::function<const char*(const char*)>;
EnvironmentLookup processEnvironment();

enum class HomeSource { CommandLine, Environment, Portable, Default };

struct HomeChoice {
    std::filesystem::path folder;  // absolute, normalised, without trailing "/"
    HomeSource source = HomeSource::Default;
};

// The file name of the settings file: the application title followed by ".ini".
inline constexpr const char* kSettingsFileName = "Vellumar.ini";
inline constexpr const char* kQueryHistoryFileName = "Qryhist.ini";
// The folders a new home starts with: the index folder, and the Cache Watcher's pages.
inline constexpr const char* kIndexesFolderName = "Indexes";
inline constexpr const char* kCacheWatcherFolderName = "Cache Watcher";

HomeChoice chooseHome(const std::optional<std::string>& commandLineHome,
                      const EnvironmentLookup& environment,
                      const std::filesystem::path& executableFolder);

// An absolute, lexically normal path without a trailing separator (except "/").
std::filesystem::path normaliseFolder(const std::filesystem::path& folder);

// The folder of the running executable (from /proc/self/exe), or empty.
std::filesystem::path executableFolder();

// The folder holding the files that ship with the program: "data/home" of the source
// tree (found by walking up from the executable's folder) or "share/vellumar/home" beside
// an installed executable. Empty when none is found.
std::filesystem::path findShippedFolder(const std::filesystem::path& executableFolder);

struct HomeSetup {
    bool created = false;   // the folder did not exist and was made
    bool firstUse = false;  // no settings file was there yet
    std::size_t copiedFiles = 0;
    std::string problem;  // empty, or what went wrong (the program still starts)
};

// Makes sure the home exists. On first use (no settings file yet) the home is set up the
// same way for the window and the command-line tool: the shipped files are copied in (a
// file already in the home is kept), the folders "Indexes" and "Cache Watcher" are made,
// and the settings file is written with every key at its default and IndexFolder naming
// the new "Indexes" folder, so that both programs find the same indexes from then on. A
// home on read-only media is used as it stands. Never throws.
HomeSetup prepareHome(const std::filesystem::path& home, const std::filesystem::path& shipped,
                      bool readOnlyMedia);

// The folder of the user settings file used when the program runs from read-only media:
// $XDG_CONFIG_HOME/vellumar, default ~/.config/vellumar.
std::filesystem::path userConfigFolder(const EnvironmentLookup& environment);

}  // namespace vellumar
