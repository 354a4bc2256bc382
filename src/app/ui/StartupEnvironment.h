// What the program learns about its machine before the main window exists: the home
// (the program folder), whether it runs from read-only media, the temporary and user
// configuration folders. main() fills it from the platform functions; tests fill it by
// hand to put the window into any mode.
#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

namespace vellumar {

struct StartupEnvironment {
    std::filesystem::path home;              // the program folder
    bool readOnlyMedia = false;              // the CD-ROM mode
    std::filesystem::path systemTemp;        // $TMPDIR or /tmp
    std::filesystem::path userConfigFolder;  // for the user settings file in CD-ROM mode
    std::filesystem::path userHome;          // $HOME, guarded against sweeping
    QString homeProblem;                     // shown once the window is up; empty if none
    bool newHome = false;  // set up just now: this is the first run, though settings exist
};

// The folders that stand in for the Windows folder: changes there are system noise.
std::vector<std::string> systemFolders();

}  // namespace vellumar
