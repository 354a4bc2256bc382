#include "platform/Home.h"

#include "platform/Settings.h"

#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace vellumar {

namespace {

std::string homeDirectory(const EnvironmentLookup& environment) {
    if (const char* home = environment("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

// An XDG base folder: the variable when it holds an absolute path (the XDG rule ignores
// relative ones), else the fallback under the user's home.
fs::path xdgFolder(const EnvironmentLookup& environment, const char* variable,
                   const char* fallbackUnderHome) {
    if (const char* value = environment(variable); value && value[0] == '/') return value;
    return fs::path(homeDirectory(environment)) / fallbackUnderHome;
}

}  // namespace

EnvironmentLookup processEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

fs::path normaliseFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path absolute = folder.is_absolute() ? folder : fs::absolute(folder, ec);
    if (ec) absolute = folder;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

HomeChoice chooseHome(const std::optional<std::string>& commandLineHome,
                      const EnvironmentLookup& environment, const fs::path& executableFolder) {
    if (commandLineHome && !commandLineHome->empty())
        return {normaliseFolder(*commandLineHome), HomeSource::CommandLine};
    if (const char* value = environment("VELLUMAR_HOME"); value && *value)
        return {normaliseFolder(value), HomeSource::Environment};
    std::error_code ec;
    if (!executableFolder.empty() && fs::is_regular_file(executableFolder / kSettingsFileName, ec))
        return {normaliseFolder(executableFolder), HomeSource::Portable};
    return {normaliseFolder(xdgFolder(environment, "XDG_DATA_HOME", ".local/share") / "vellumar"),
            HomeSource::Default};
}

fs::path executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

fs::path findShippedFolder(const fs::path& executableFolder) {
    if (executableFolder.empty()) return {};
    std::error_code ec;
    if (fs::is_directory(executableFolder / "../share/vellumar/home", ec))
        return normaliseFolder(executableFolder / "../share/vellumar/home");
    // In a build tree the executable sits a few levels below the source root.
    fs::path folder = executableFolder;
    for (int level = 0; level < 4 && !folder.empty(); ++level) {
        if (fs::is_directory(folder / "data" / "home", ec))
            return normaliseFolder(folder / "data" / "home");
        if (folder == folder.parent_path()) break;
        folder = folder.parent_path();
    }
    return {};
}

HomeSetup prepareHome(const fs::path& home, const fs::path& shipped, bool readOnlyMedia) {
    HomeSetup setup;
    std::error_code ec;
    if (!fs::is_directory(home, ec)) {
        if (readOnlyMedia || !fs::create_directories(home, ec) || ec) {
            setup.problem = "Can not create the folder " + home.string() + ".";
            return setup;
        }
        setup.created = true;
    }
    setup.firstUse = !fs::exists(home / kSettingsFileName, ec);
    if (readOnlyMedia) return setup;
    if (::access(home.c_str(), W_OK) != 0) {
        setup.problem = "Can not write to the folder " + home.string() + ".";
        return setup;
    }
    if (!setup.firstUse) return setup;

    for (const char* folder : {kIndexesFolderName, kCacheWatcherFolderName})
        fs::create_directories(home / folder, ec);
    Settings settings;
    settings.indexFolder = (home / kIndexesFolderName).string();
    if (!saveSettings({home / kSettingsFileName, {}, false}, settings))
        setup.problem = "Can not write the configuration parameters to " +
                        (home / kSettingsFileName).string() + " file";

    if (shipped.empty() || !fs::is_directory(shipped, ec)) return setup;
    for (fs::recursive_directory_iterator it(shipped, ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(shipped);
        const fs::path target = home / relative;
        std::error_code itemError;
        if (it->is_directory(itemError)) {
            fs::create_directories(target, itemError);
        } else if (it->is_regular_file(itemError) && !fs::exists(target, itemError)) {
            if (fs::copy_file(it->path(), target, itemError) && !itemError) ++setup.copiedFiles;
        }
    }
    return setup;
}

fs::path userConfigFolder(const EnvironmentLookup& environment) {
    return normaliseFolder(xdgFolder(environment, "XDG_CONFIG_HOME", ".config") / "vellumar");
}

}  // namespace vellumar
