#include "platform/ProgramSetup.h"

#include "platform/MediaPath.h"
#include "platform/ReadOnlyMedia.h"
#include "platform/TempFolders.h"

#include <system_error>

namespace fs = std::filesystem;

namespace vellumar {

namespace {

std::string withoutSurroundingBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool onReadOnlyMedia(fs::path folder) {
    std::error_code ec;
    while (!folder.empty() && !fs::exists(folder, ec) && folder != folder.parent_path())
        folder = folder.parent_path();
    return !folder.empty() && isOnReadOnlyMedia(folder);
}

ProgramEnvironment detectProgramEnvironment(const std::optional<std::string>& commandLineHome,
                                            const EnvironmentLookup& environment,
                                            const fs::path& executableFolder) {
    ProgramEnvironment result;
    result.home = chooseHome(commandLineHome, environment, executableFolder).folder;
    result.readOnlyMedia = onReadOnlyMedia(result.home);
    result.systemTemp = systemTempFolder(environment);
    result.userConfigFolder = userConfigFolder(environment);
    if (const char* user = environment("HOME")) result.userHome = user;
    const HomeSetup setup =
        prepareHome(result.home, findShippedFolder(executableFolder), result.readOnlyMedia);
    result.homeProblem = setup.problem;
    result.newHome = setup.firstUse;
    return result;
}

std::vector<std::string> systemFolders() { return {"/etc", "/usr", "/var", "/boot", "/opt"}; }

ProgramFolders prepareProgramFolders(const ProgramEnvironment& environment) {
    ProgramFolders folders;
    folders.programTemp =
        programTempFolder(environment.home, environment.readOnlyMedia, environment.systemTemp);
    prepareTempFolder(folders.programTemp);
    if (environment.readOnlyMedia) {
        folders.mountPoint = mountPointOf(environment.home.string());
        for (const char* program : {"pdftotext", "gzip"}) {
            std::error_code ec;
            const fs::path source = environment.home / program;
            const fs::path copy = folders.programTemp / program;
            if (fs::is_regular_file(source, ec) && !fs::exists(copy, ec))
                fs::copy_file(source, copy, ec);
        }
    }
    folders.pdfTextFile = folders.programTemp / "pdftotxt.tmp";
    folders.helpFile = environment.home / "Vellumar.html";
    return folders;
}

SettingsLocation settingsLocation(const ProgramEnvironment& environment) {
    return SettingsLocation{environment.home / kSettingsFileName,
                            environment.userConfigFolder / kSettingsFileName,
                            environment.readOnlyMedia};
}

fs::path queryHistoryFile(const ProgramEnvironment& environment) {
    return environment.home / kQueryHistoryFileName;
}

fs::path startupIndexesFolder(const fs::path& home) { return home / "Indexes"; }
fs::path cacheWatcherFolder(const fs::path& home) { return home / "Cache Watcher"; }

LoadedSettings loadProgramSettings(const ProgramEnvironment& environment,
                                   const ProgramFolders& folders) {
    Settings defaults;
    defaults.indexFolder = environment.home.string();
    LoadedSettings loaded = loadSettings(settingsLocation(environment), defaults);
    std::string& indexFolder = loaded.settings.indexFolder;
    if (environment.readOnlyMedia) {
        // The media may be mounted elsewhere than where the indexes were made.
        if (!indexFolder.empty()) indexFolder = retargetToMount(indexFolder, folders.mountPoint);
    } else if (const fs::path folder = withoutSurroundingBlanks(indexFolder);
               folder.is_absolute()) {
        // Only a full path: an empty or relative one would sweep whatever folder the
        // program was started in.
        removeEmptySubfolders(folder, {folders.programTemp}, environment.userHome);
    }
    return loaded;
}

std::string indexFolderOf(const LoadedSettings& loaded, const fs::path& home) {
    const std::string stored = withoutSurroundingBlanks(loaded.settings.indexFolder);
    if (loaded.existed && !stored.empty()) return stored;
    return startupIndexesFolder(home).string();
}

}  // namespace vellumar
