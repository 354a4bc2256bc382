// How the program sets itself up before it touches an index, in one place for the window
// and vellumar-cli: which home, whether it lies on read-only media (the CD-ROM mode), the
// temporary folders (the program's own emptied or made; converters next to a program on
// read-only media copied into it), where the settings and the query history live, and the
// settings as the program starts with them. Also the program-wide run-time flags, which
// the window keeps in one struct.
//
// Thread: the main thread at start-up (ProgramState: the main thread only).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Home.h"
#include "platform/Settings.h"

namespace vellumar {

struct ProgramEnvironment {
    std::filesystem::path home;              // the program folder
    bool readOnlyMedia = false;              // the CD-ROM mode
    std::filesystem::path systemTemp;        // $TMPDIR or /tmp
    std::filesystem::path userConfigFolder;  // for the user settings file in CD-ROM mode
    std::filesystem::path userHome;          // $HOME, guarded against sweeping
    std::string homeProblem;                 // why the home could not be prepared; or empty
    bool newHome = false;  // set up just now: the first run, though a settings file exists
};

// Chooses the home (see Home.h), prepares it with the shipped files and judges whether it
// lies on read-only media.
ProgramEnvironment detectProgramEnvironment(const std::optional<std::string>& commandLineHome,
                                            const EnvironmentLookup& environment,
                                            const std::filesystem::path& executableFolder);

// Read-only media is judged on the nearest folder that exists: a home that is still to be
// made on a CD-ROM cannot be made there.
bool onReadOnlyMedia(std::filesystem::path folder);

// The folders that stand in for the Windows folder: changes there are system noise.
std::vector<std::string> systemFolders();

// Where the program keeps its working files once started.
struct ProgramFolders {
    std::filesystem::path programTemp;  // emptied (or made) at every start
    std::filesystem::path pdfTextFile;  // "pdftotxt.tmp" in programTemp
    std::filesystem::path helpFile;     // the title and ".html" in the home
    std::string mountPoint;             // of the home on read-only media, else empty
};

// Empties or makes the program temp folder; on read-only media copies the converters that
// lie next to the program ("pdftotext", "gzip") into it, since the media cannot hold their
// output (an existing copy is kept). Errors are ignored: the program starts anyway.
ProgramFolders prepareProgramFolders(const ProgramEnvironment& environment);

SettingsLocation settingsLocation(const ProgramEnvironment& environment);
std::filesystem::path queryHistoryFile(const ProgramEnvironment& environment);

// The folders the first start makes in the home.
std::filesystem::path startupIndexesFolder(const std::filesystem::path& home);
std::filesystem::path cacheWatcherFolder(const std::filesystem::path& home);

// The settings as the program starts with them: IndexFolder defaults to the home; on
// read-only media a recorded index folder is moved to where the media is mounted now;
// otherwise the index folder's empty leftover subfolders (of removed indexes) are removed.
LoadedSettings loadProgramSettings(const ProgramEnvironment& environment,
                                   const ProgramFolders& folders);

// The index folder of a program that cannot run the first-start set-up (the command-line
// tool): the stored one, or, before the window ever saved its settings, the Indexes folder
// its first start makes. Surrounding blanks are not part of a folder name.
std::string indexFolderOf(const LoadedSettings& loaded, const std::filesystem::path& home);

// The program-wide flags of a running window.
struct ProgramState {
    bool firstRun = false;       // the settings file did not exist at start-up
    bool startup = false;        // the deferred start-up runs
    bool indexingBusy = false;   // an index is being created or updated
    bool searchEnabled = false;  // the search controls are enabled
};

}  // namespace vellumar
