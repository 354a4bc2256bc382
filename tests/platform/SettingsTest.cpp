#include "platform/ProfileFile.h"
#include "platform/Settings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace vellumar;

namespace {

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

Settings defaultsFor(const fs::path& home) {
    Settings s;
    s.indexFolder = home.string();
    return s;
}

// Every key changed away from its default.
Settings everythingChanged() {
    Settings s;
    s.indexFolder = "/data/my indexes";
    s.indexName = "Work mail";
    s.wizardOnly = true;
    s.sorting = 2;
    s.queryInFile = true;
    s.cacheWatcherFont = {"DejaVu Sans", 11, 0x00112233, false, false, false, false};
    s.cacheWatcherBackColor = 0x00FFEEDD;
    s.startUp = true;
    s.tray = true;
    s.hotKey = "Q";
    s.stayOnPreviouslyViewed = false;
    s.wordWrap = false;
    s.viewFont = {"Liberation Mono", 13, 0x000000FF, true, true, true, true};
    s.viewBackColor = 0x00F0F0F0;
    s.htmlAsSource = true;
    s.rtfAsPlain = false;
    s.notMonitoredDirectories = {"/home/ann/My Files", "/srv/a,b", "/tmp/say \"x\""};
    s.indexFolderOff = false;
    s.windowsFolderOff = false;
    s.tempFolderOff = false;
    s.fileTypesToSelect = {"*.md", "*.txt"};
    return s;
}

}  // namespace

TEST(Settings, MissingFileGivesEveryDefaultAndSaysSo) {
    testing_support::TempDir tmp;
    const SettingsLocation where{tmp.path() / "Vellumar.ini", {}, false};
    const LoadedSettings loaded = loadSettings(where, defaultsFor(tmp.path()));
    EXPECT_FALSE(loaded.existed);
    EXPECT_EQ(loaded.settings, defaultsFor(tmp.path()));
    EXPECT_EQ(loaded.settings.viewFont.color, -2147483640);
    EXPECT_EQ(loaded.settings.viewBackColor, static_cast<std::int32_t>(0x80000005u));
    EXPECT_EQ(loaded.settings.fileTypesToSelect.size(), 7U);
}

TEST(Settings, RoundTripsEveryKey) {
    testing_support::TempDir tmp;
    const SettingsLocation where{tmp.path() / "Vellumar.ini", {}, false};
    const Settings saved = everythingChanged();
    ASSERT_TRUE(saveSettings(where, saved));
    const LoadedSettings loaded = loadSettings(where, defaultsFor(tmp.path()));
    EXPECT_TRUE(loaded.existed);
    EXPECT_EQ(loaded.settings, saved);

    const ProfileFile file = ProfileFile::load(where.programFile);
    EXPECT_EQ(file.readString("Monitoring", "NotMonitoredDirectories"),
              "\"/home/ann/My Files\",\"/srv/a,b\",\"/tmp/say \"\"x\"\"\"");
    EXPECT_EQ(file.readString("View Options", "FontColor"), "255");
}

TEST(Settings, TheOptionTextsThatAreNotStoredStartAtTheirDesignedValues) {
    testing_support::TempDir tmp;
    const SettingsLocation where{tmp.path() / "Vellumar.ini", {}, false};
    Settings changed = defaultsFor(tmp.path());
    changed.maximumFiles = "250";
    changed.warnFileSizeKB = "abc";
    ASSERT_TRUE(saveSettings(where, changed));
    const LoadedSettings loaded = loadSettings(where, defaultsFor(tmp.path()));
    EXPECT_EQ(loaded.settings.maximumFiles, "100");
    EXPECT_EQ(loaded.settings.warnFileSizeKB, "500");
    EXPECT_EQ(loaded.settings, defaultsFor(tmp.path()));
}

TEST(Settings, DefaultsAreWrittenAsTheClassicValues) {
    testing_support::TempDir tmp;
    const SettingsLocation where{tmp.path() / "Vellumar.ini", {}, false};
    ASSERT_TRUE(saveSettings(where, defaultsFor("/h")));
    const ProfileFile f = ProfileFile::load(where.programFile);
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } expected[] = {
        {"Indexes", "IndexFolder", "/h"},
        {"Indexes", "IndexName", ""},
        {"Indexes", "WizardOnly", "0"},
        {"Search Options", "Sorting", "0"},
        {"Search Options", "QueryInFile", "1"},
        {"Cache Watcher", "FontName", "MS Sans Serif"},
        {"Cache Watcher", "FontSize", "8"},
        {"Cache Watcher", "FontColor", "-2147483640"},
        {"Cache Watcher", "BackColor", "-2147483633"},
        {"Properties", "StartUp", "0"},
        {"Properties", "Tray", "0"},
        {"Properties", "HotKey", "S"},
        {"View Options", "StayOnPreviouslyViewed", "1"},
        {"View Options", "WordWrap", "1"},
        {"View Options", "FontStrikeOut", "0"},
        {"View Options", "BackColor", "-2147483643"},
        {"View Options", "HtmlAsSource", "0"},
        {"View Options", "RtfAsPlain", "1"},
        {"Monitoring", "NotMonitoredDirectories", ""},
        {"Monitoring", "IndexFolderOff", "1"},
        {"Miscellaneous", "FileTypesToSelect", "*.txt,*.htm,*.html,*.rtf,*.doc,*.pdf,*.xml"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(f.find(e.section, e.key).value_or("<missing>"), e.value) << e.key;
}

TEST(Settings, GarbageAndOddValuesFallBackToDefaults) {
    testing_support::TempDir tmp;
    const SettingsLocation where{tmp.path() / "Vellumar.ini", {}, false};
    write(where.programFile,
          "garbage without section\n"
          "[search options]\nSORTING=3\n"
          "[Properties]\nHotKey=\nTray=yes\nStartUp=-7\n"
          "[View Options]\nFontSize=huge\nWordWrap=0\nFontName=Caf\xe9\n"
          "[Miscellaneous]\nFileTypesToSelect=\n"
          "[Cache Watcher]\nFontSize=" +
              std::string(100000, '9') + "\n");
    const Settings s = loadSettings(where, defaultsFor(tmp.path())).settings;
    EXPECT_EQ(s.sorting, 3);  // kept; the window checks neither sort box for it
    EXPECT_EQ(s.hotKey, "S");
    EXPECT_FALSE(s.tray);
    EXPECT_TRUE(s.startUp);
    EXPECT_EQ(s.viewFont.size, 8);
    EXPECT_FALSE(s.wordWrap);
    EXPECT_EQ(s.viewFont.name, "Caf\xc3\xa9");  // Windows-1252 read as such
    EXPECT_EQ(s.fileTypesToSelect, Settings::defaultFileTypes());
    EXPECT_EQ(s.cacheWatcherFont.size, 8);

    Settings saved = s;
    ASSERT_TRUE(saveSettings(where, saved));
    EXPECT_EQ(ProfileFile::load(where.programFile).readString("Search Options", "Sorting"), "0")
        << "a sort value other than 1 and 2 is written as 0";
    EXPECT_EQ(ProfileFile::load(where.programFile).readString("", "garbage", "kept?"), "kept?");
}

TEST(Settings, ValuesWithLineBreaksCannotInjectKeys) {
    testing_support::TempDir tmp;
    const SettingsLocation where{tmp.path() / "Vellumar.ini", {}, false};
    Settings s = defaultsFor(tmp.path());
    s.indexName = "evil\n[Properties]\nTray=1";
    ASSERT_TRUE(saveSettings(where, s));
    const Settings back = loadSettings(where, defaultsFor(tmp.path())).settings;
    EXPECT_FALSE(back.tray);
    EXPECT_EQ(back.indexName, "evil [Properties] Tray=1");
}

TEST(Settings, ReadOnlyMediaKeepsUserKeysInTheUserFile) {
    testing_support::TempDir tmp;
    const fs::path programFile = tmp.path() / "cd" / "Vellumar.ini";
    write(programFile,
          "[Indexes]\nIndexFolder=/media/cdrom/Indexes\n[Properties]\nTray=1\n"
          "[View Options]\nWordWrap=0\n[Monitoring]\nIndexFolderOff=0\n");
    const std::string before =
        "[Indexes]\nIndexFolder=/media/cdrom/Indexes\n[Properties]\nTray=1\n"
        "[View Options]\nWordWrap=0\n[Monitoring]\nIndexFolderOff=0\n";
    const SettingsLocation cd{programFile, tmp.path() / "cfg" / "vellumar" / "Vellumar.ini", true};

    // No user file yet: the user keys come from the program folder's file.
    Settings s = loadSettings(cd, defaultsFor(tmp.path())).settings;
    EXPECT_TRUE(s.tray);
    EXPECT_FALSE(s.wordWrap);
    EXPECT_FALSE(s.indexFolderOff);

    s.tray = false;
    s.indexName = "not written in this mode";
    s.indexFolderOff = true;
    ASSERT_TRUE(saveSettings(cd, s));
    std::ifstream in(programFile, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    const ProfileFile user = ProfileFile::load(cd.userFile);
    EXPECT_EQ(user.readString("Properties", "Tray"), "0");
    EXPECT_FALSE(user.find("Indexes", "IndexName"));
    EXPECT_FALSE(user.find("Monitoring", "IndexFolderOff"));
    EXPECT_FALSE(user.find("Cache Watcher", "FontName"));

    // Now the user file exists: it supplies the user keys, the rest stays with the program.
    const Settings again = loadSettings(cd, defaultsFor(tmp.path())).settings;
    EXPECT_FALSE(again.tray);
    EXPECT_FALSE(again.indexFolderOff);
    EXPECT_EQ(again.indexFolder, "/media/cdrom/Indexes");
}

TEST(Settings, AnUnwritableTargetIsReportedAndLeftAlone) {
    testing_support::TempDir tmp;
    write(tmp.path() / "blocker", "x");
    const SettingsLocation where{tmp.path() / "blocker" / "Vellumar.ini", {}, false};
    EXPECT_FALSE(saveSettings(where, defaultsFor(tmp.path())));
}

TEST(Settings, ExcludedFoldersAreSortedWithoutCaseAndDeduplicated) {
    EXPECT_EQ(sortedFolderList({"/b", "/A", "/a", "/b", "", "/C"}),
              (std::vector<std::string>{"/A", "/a", "/b", "/C"}));
}
