// Where the web browsers of this user keep their caches.
//
// Two sources. "Registry.ini" in the home stands in for the registry keys that named the
// caches of Microsoft Internet Explorer and Netscape Navigator: one section per key, named
// by the root and the key path ("HKEY_LOCAL_MACHINE\Software\Netscape\Netscape
// Navigator\Users"), with the values as name=value (docs/cache-watcher.md). A missing file,
// section or value means the browser is absent. Those caches hold pages as files and are
// indexed where they are.
//
// When Registry.ini names no browser, the disk caches of Firefox (every profile's
// "cache2/entries" under $XDG_CACHE_HOME/mozilla/firefox), Chromium and Google Chrome
// (every profile's "Cache/Cache_Data", or the older "Cache", under $XDG_CACHE_HOME/chromium
// and $XDG_CACHE_HOME/google-chrome) are looked for. Their entries are not pages; the
// CacheMirror turns them into pages.
//
// The Internet Explorer and the Netscape profile folders are remembered for the rest of
// the run once found; the Netscape installation layout is read anew every time.
//
// Owned by the CacheWatcher; main thread only.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "monitor/cachewatch/CacheEntries.h"
#include "platform/Home.h"

namespace vellumar::cachewatch {

inline constexpr const char* kRegistryFileName = "Registry.ini";
inline constexpr const char* kLocalMachine = "HKEY_LOCAL_MACHINE";
inline constexpr const char* kCurrentUser = "HKEY_CURRENT_USER";

struct CacheFolder {
    std::string browser;  // the browser's name as the start page gives it
    std::filesystem::path folder;
    CacheFormat format = CacheFormat::Files;
    std::string mirrorName;  // the mirror's subfolder for this cache ("firefox-abc.default")
};

class BrowserCaches {
  public:
    // registryFile: the home's Registry.ini. cacheRoot: $XDG_CACHE_HOME, else ~/.cache.
    BrowserCaches(std::filesystem::path registryFile, std::filesystem::path cacheRoot);

    // Empty when the browser is absent. No trailing "/".
    std::string InternetExplorerCacheFolder();
    std::string NetscapeProfileCacheFolder();
    std::string NetscapeInstallationCacheFolder();

    // The registry's caches in scope order: Internet Explorer, Netscape installation,
    // Netscape profile (only those found).
    std::vector<CacheFolder> registryCaches();
    // The disk caches of Firefox, Chromium and Google Chrome that exist, in that order
    // and by profile name.
    std::vector<CacheFolder> diskCaches() const;
    // The registry's caches when it names any, else the disk caches.
    std::vector<CacheFolder> findCaches();

    // The browsers findCaches looked for, in the order the start page names them.
    std::vector<std::string> browsersLookedFor() const;

    const std::filesystem::path& cacheRoot() const { return cacheRoot_; }

  private:
    std::filesystem::path registryFile_;
    std::filesystem::path cacheRoot_;
    std::string internetExplorer_;  // remembered once found
    std::string netscapeProfile_;   // remembered once found
};

// $XDG_CACHE_HOME when it is an absolute path, else $HOME/.cache; empty without either.
std::filesystem::path userCacheRoot(const EnvironmentLookup& environment);

// Scope entries for the caches, joined with ";": each folder with all its subfolders and
// the patterns *.htm and *.shtm. A cache kept as entries is replaced by the mirror folder
// (once, however many such caches there are).
std::string cacheWatcherScope(const std::vector<CacheFolder>& caches,
                              const std::filesystem::path& mirrorFolder);

}  // namespace vellumar::cachewatch
