#include "monitor/cachewatch/BrowserCaches.h"

#include <algorithm>
#include <system_error>

#include "platform/ProfileFile.h"

namespace fs = std::filesystem;

namespace vellumar::cachewatch {

namespace {

const std::string kNetscapeKey = "\\Software\\Netscape\\Netscape Navigator";

std::string localMachine(const std::string& keyPath) { return kLocalMachine + keyPath; }
std::string currentUser(const std::string& keyPath) { return kCurrentUser + keyPath; }

// The registry's folders use "\" where this system uses "/"; either is taken off the end.
std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

bool isDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

std::vector<fs::path> sortedSubfolders(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

void addChromiumFamily(std::vector<CacheFolder>& out, const fs::path& root,
                       const std::string& browser, const std::string& mirrorPrefix) {
    for (const fs::path& profile : sortedSubfolders(root)) {
        fs::path folder = profile / "Cache" / "Cache_Data";
        if (!isDirectory(folder)) {
            // Before version 91 or so the entries lay directly in "Cache".
            std::error_code ec;
            folder = profile / "Cache";
            if (!fs::exists(folder / "index", ec) && !isDirectory(folder / "index-dir")) continue;
        }
        out.push_back({browser, folder, CacheFormat::Chromium,
                       mirrorPrefix + "-" + profile.filename().string()});
    }
}

}  // namespace

BrowserCaches::BrowserCaches(fs::path registryFile, fs::path cacheRoot)
    : registryFile_(std::move(registryFile)), cacheRoot_(std::move(cacheRoot)) {}

std::string BrowserCaches::InternetExplorerCacheFolder() {
    if (!internetExplorer_.empty()) return internetExplorer_;
    const ProfileFile registry = ProfileFile::load(registryFile_);
    internetExplorer_ = withoutTrailingSeparator(registry.readString(
        localMachine(
            "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths"),
        "Directory"));
    return internetExplorer_;
}

std::string BrowserCaches::NetscapeProfileCacheFolder() {
    if (!netscapeProfile_.empty()) return netscapeProfile_;
    const ProfileFile registry = ProfileFile::load(registryFile_);
    const std::string user =
        registry.readString(localMachine(kNetscapeKey + "\\Users"), "CurrentUser");
    if (user.empty()) return {};
    const auto root = registry.find(localMachine(kNetscapeKey + "\\Users\\" + user), "DirRoot");
    if (!root || root->empty()) return {};
    netscapeProfile_ = withoutTrailingSeparator(*root) + "/Cache";
    return netscapeProfile_;
}

std::string BrowserCaches::NetscapeInstallationCacheFolder() {
    const ProfileFile registry = ProfileFile::load(registryFile_);
    const std::string version = registry.readString(localMachine(kNetscapeKey), "CurrentVersion");
    if (version.empty()) return {};
    const std::string install = registry.readString(
        localMachine(kNetscapeKey + "\\" + version + "\\Main"), "Install Directory");
    if (install.empty()) return {};
    const std::string user =
        registry.readString(currentUser(kNetscapeKey + "\\biff"), "CurrentUser");
    if (user.empty()) return withoutTrailingSeparator(install);
    std::string folder = install;
    if (folder.back() != '/' && folder.back() != '\\') folder += '/';
    return folder + "Users/" + user + "/Cache";
}

std::vector<CacheFolder> BrowserCaches::registryCaches() {
    std::vector<CacheFolder> out;
    if (auto ie = InternetExplorerCacheFolder(); !ie.empty())
        out.push_back({"Microsoft Internet Explorer", ie, CacheFormat::Files, {}});
    if (auto install = NetscapeInstallationCacheFolder(); !install.empty())
        out.push_back({"Netscape Navigator", install, CacheFormat::Files, {}});
    if (auto profile = NetscapeProfileCacheFolder(); !profile.empty())
        out.push_back({"Netscape Navigator", profile, CacheFormat::Files, {}});
    return out;
}

std::vector<CacheFolder> BrowserCaches::diskCaches() const {
    std::vector<CacheFolder> out;
    if (cacheRoot_.empty()) return out;
    for (const fs::path& profile : sortedSubfolders(cacheRoot_ / "mozilla" / "firefox")) {
        const fs::path entries = profile / "cache2" / "entries";
        if (isDirectory(entries))
            out.push_back({"Mozilla Firefox", entries, CacheFormat::Firefox,
                           "firefox-" + profile.filename().string()});
    }
    addChromiumFamily(out, cacheRoot_ / "chromium", "Chromium", "chromium");
    addChromiumFamily(out, cacheRoot_ / "google-chrome", "Google Chrome", "google-chrome");
    return out;
}

std::vector<CacheFolder> BrowserCaches::findCaches() {
    std::vector<CacheFolder> caches = registryCaches();
    if (caches.empty()) caches = diskCaches();
    return caches;
}

std::vector<std::string> BrowserCaches::browsersLookedFor() const {
    std::vector<std::string> names;
    std::error_code ec;
    // Without a Registry.ini the registry's browsers are not a Linux user's browsers:
    // the page names only what could have been found.
    if (fs::exists(registryFile_, ec)) {
        names.push_back("Microsoft Internet Explorer");
        names.push_back("Netscape Navigator");
    }
    names.push_back("Mozilla Firefox");
    names.push_back("Chromium");
    names.push_back("Google Chrome");
    return names;
}

fs::path userCacheRoot(const EnvironmentLookup& environment) {
    if (const char* xdg = environment("XDG_CACHE_HOME"); xdg && *xdg == '/') return fs::path(xdg);
    if (const char* home = environment("HOME"); home && *home) return fs::path(home) / ".cache";
    return {};
}

std::string cacheWatcherScope(const std::vector<CacheFolder>& caches,
                              const fs::path& mirrorFolder) {
    std::string scope;
    bool mirrorAdded = false;
    auto add = [&scope](std::string folder) {
        if (!scope.empty()) scope += ';';
        if (folder.empty() || folder.back() != '/') folder += '/';
        scope += folder + "+<*.htm,*.shtm>";
    };
    for (const CacheFolder& cache : caches) {
        if (cache.format == CacheFormat::Files) {
            add(cache.folder.string());
        } else if (!mirrorAdded) {
            add(mirrorFolder.string());
            mirrorAdded = true;
        }
    }
    return scope;
}

}  // namespace vellumar::cachewatch
