// Finding the browsers' caches: Registry.ini's layouts, the remembered folders, and the
// disk caches of a Linux user's browsers.
#include <gtest/gtest.h>

#include "CacheEntryWriter.h"
#include "monitor/cachewatch/BrowserCaches.h"
#include "support/TempDir.h"

using namespace vellumar::cachewatch;
using cachetest::writeFile;
namespace fs = std::filesystem;

namespace {

const std::string kIe =
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
    "Settings\\Cache\\Paths]\n";
const std::string kUsers = "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator\\Users]\n";

std::vector<std::string> folders(const std::vector<CacheFolder>& caches) {
    std::vector<std::string> out;
    for (const auto& c : caches) out.push_back(c.folder.string());
    return out;
}

TEST(BrowserCaches, OnlyInternetExplorerGivesItsFolderAsScope) {
    testing_support::TempDir dir;
    writeFile(dir / "Registry.ini", kIe + "Directory=/home/ann/temporary internet files/\n");
    BrowserCaches browsers(dir / "Registry.ini", dir / "cache");
    const auto caches = browsers.findCaches();
    ASSERT_EQ(caches.size(), 1u);
    EXPECT_EQ(caches[0].browser, "Microsoft Internet Explorer");
    EXPECT_EQ(cacheWatcherScope(caches, dir / "mirror"),
              "/home/ann/temporary internet files/+<*.htm,*.shtm>");
}

TEST(BrowserCaches, AllLayoutsInScopeOrderAndWhatIsRemembered) {
    testing_support::TempDir dir;
    const std::string registry =
        kIe + "Directory=/ie\\\n" + kUsers + "CurrentUser=ann\n" +
        "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape "
        "Navigator\\Users\\ann]\nDirRoot=/ns/ann\n" +
        "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator]\nCurrentVersion=4.7\n" +
        "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator\\4.7\\Main]\nInstall "
        "Directory=/opt/ns\n" +
        "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\biff]\nCurrentUser=bob\n";
    writeFile(dir / "Registry.ini", registry);
    // Disk caches are not looked at while the registry names a browser.
    fs::create_directories(dir / "cache" / "mozilla" / "firefox" / "p" / "cache2" / "entries");
    BrowserCaches browsers(dir / "Registry.ini", dir / "cache");
    EXPECT_EQ(folders(browsers.findCaches()),
              (std::vector<std::string>{"/ie", "/opt/ns/Users/bob/Cache", "/ns/ann/Cache"}));
    EXPECT_EQ(cacheWatcherScope(browsers.findCaches(), dir / "m"),
              "/ie/+<*.htm,*.shtm>;/opt/ns/Users/bob/Cache/+<*.htm,*.shtm>;/ns/ann/Cache/"
              "+<*.htm,*.shtm>");

    // Without the biff user the installation folder itself is the cache; with a trailing
    // "/" none is added.
    writeFile(dir / "Registry.ini",
              "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator]\nCurrentVersion=4.7\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator\\4.7\\Main]\n"
              "Install Directory=/opt/ns/\n");
    // The Internet Explorer and Netscape profile folders were remembered; the
    // installation layout is read again.
    EXPECT_EQ(folders(browsers.findCaches()),
              (std::vector<std::string>{"/ie", "/opt/ns", "/ns/ann/Cache"}));
    writeFile(
        dir / "Registry.ini",
        "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator]\nCurrentVersion=4.7\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator\\4.7\\Main]\n"
        "Install Directory=/opt/ns/\n"
        "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\biff]\nCurrentUser=eve\n");
    EXPECT_EQ(browsers.NetscapeInstallationCacheFolder(), "/opt/ns/Users/eve/Cache");

    // A fresh run reads the file as it is now.
    BrowserCaches later(dir / "Registry.ini", dir / "cache");
    EXPECT_EQ(later.InternetExplorerCacheFolder(), "");
    EXPECT_EQ(later.NetscapeProfileCacheFolder(), "");
}

TEST(BrowserCaches, IncompleteRegistryLayoutsMeanAbsentBrowsers) {
    testing_support::TempDir dir;
    const std::string cases[] = {
        "",                            // empty file
        kIe + "Directory=\n",          // empty value
        kUsers + "CurrentUser=ann\n",  // user without a key of its own
        kUsers + "CurrentUser=\n",     // no user
        "[HKEY_LOCAL_MACHINE\\Software\\Netscape\\Netscape Navigator]\nCurrentVersion=4.7\n",
    };
    for (const std::string& registry : cases) {
        writeFile(dir / "Registry.ini", registry);
        BrowserCaches browsers(dir / "Registry.ini", dir / "cache");
        EXPECT_TRUE(browsers.registryCaches().empty()) << registry;
    }
}

TEST(BrowserCaches, DiskCachesOfEveryProfileAndOneMirrorInTheScope) {
    testing_support::TempDir dir;
    const fs::path cache = dir / "cache";
    fs::create_directories(cache / "mozilla" / "firefox" / "b.work" / "cache2" / "entries");
    fs::create_directories(cache / "mozilla" / "firefox" / "a.default" / "cache2" / "entries");
    fs::create_directories(cache / "mozilla" / "firefox" / "no-cache-yet");
    fs::create_directories(cache / "chromium" / "Default" / "Cache" / "Cache_Data");
    writeFile(cache / "chromium" / "Profile 1" / "Cache" / "index", "");  // the older layout
    fs::create_directories(cache / "google-chrome" / "Default" / "Cache" / "Cache_Data");
    fs::create_directories(cache / "google-chrome" / "Default" / "Code Cache");

    BrowserCaches browsers(dir / "Registry.ini", cache);
    const auto caches = browsers.findCaches();
    ASSERT_EQ(caches.size(), 5u);
    EXPECT_EQ(caches[0].mirrorName, "firefox-a.default");
    EXPECT_EQ(caches[1].mirrorName, "firefox-b.work");
    EXPECT_EQ(caches[2].folder, cache / "chromium" / "Default" / "Cache" / "Cache_Data");
    EXPECT_EQ(caches[3].folder, cache / "chromium" / "Profile 1" / "Cache");
    EXPECT_EQ(caches[4].browser, "Google Chrome");
    EXPECT_EQ(caches[4].format, CacheFormat::Chromium);
    EXPECT_EQ(cacheWatcherScope(caches, dir / "Cache Watcher" / "pages"),
              (dir / "Cache Watcher" / "pages").string() + "/+<*.htm,*.shtm>");

    // The browsers named when none is found: those of the registry only when there is a
    // Registry.ini at all.
    EXPECT_EQ(browsers.browsersLookedFor(),
              (std::vector<std::string>{"Mozilla Firefox", "Chromium", "Google Chrome"}));
    writeFile(dir / "Registry.ini", "");
    EXPECT_EQ(browsers.browsersLookedFor().front(), "Microsoft Internet Explorer");

    auto env = [&](const char* name) -> const char* {
        if (std::string(name) == "HOME") return "/home/ann";
        return nullptr;
    };
    EXPECT_EQ(userCacheRoot(env), fs::path("/home/ann/.cache"));
    auto xdg = [&](const char* name) -> const char* {
        return std::string(name) == "XDG_CACHE_HOME" ? "/var/cache/ann" : "/home/ann";
    };
    EXPECT_EQ(userCacheRoot(xdg), fs::path("/var/cache/ann"));
}

}  // namespace
