// The program's settings: every key of the settings file "Vellumar.ini" as one plain
// value, read once at start-up and written once at shutdown. While the program runs this
// struct is the one place the options live: the windows show its values and write the
// user's changes into it, and saving writes it as it stands.
//
// Normally every key lives in the settings file of the home. When the program runs from
// read-only media the user keys (search, properties and view options) come from the user
// settings file when that exists, and saving writes only the user keys, there; the
// settings file of the home is never written then.
//
// Thread: main thread only (plain values and file calls).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vellumar {

// Colours are stored as the classic signed 32-bit values: 0x00BBGGRR for a colour, or
// 0x80000000 plus a system colour index (5 window, 8 window text, 15 button face).
inline constexpr std::int32_t kColorWindowText = static_cast<std::int32_t>(0x80000008u);
inline constexpr std::int32_t kColorButtonFace = static_cast<std::int32_t>(0x8000000Fu);
inline constexpr std::int32_t kColorWindow = static_cast<std::int32_t>(0x80000005u);

inline constexpr const char* kDefaultFontName = "MS Sans Serif";
inline constexpr const char* kDefaultFileTypes = "*.txt,*.htm,*.html,*.rtf,*.doc,*.pdf,*.xml";

struct FontSetting {
    std::string name = kDefaultFontName;
    std::int32_t size = 8;
    std::int32_t color = kColorWindowText;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const FontSetting&) const = default;
};

struct Settings {
    // Declared, so that Settings is not an aggregate: GCC 12 warns (-Wmaybe-uninitialized,
    // falsely) about the font names when an aggregate Settings is made from {}.
    Settings() = default;
    // [Indexes]
    std::string indexFolder;  // default: the home
    std::string indexName;
    bool wizardOnly = false;
    // [Search Options]
    std::int32_t sorting = 0;  // 1 alphabetically, 2 by relevancy, anything else: neither
    bool queryInFile = true;   // written only
    // [Cache Watcher]
    FontSetting cacheWatcherFont;
    std::int32_t cacheWatcherBackColor = kColorButtonFace;
    // [Properties]
    bool startUp = false;
    bool tray = false;
    std::string hotKey = "S";
    // [View Options]
    bool stayOnPreviouslyViewed = true;
    bool wordWrap = true;
    FontSetting viewFont;
    std::int32_t viewBackColor = kColorWindow;
    bool htmlAsSource = false;
    bool rtfAsPlain = true;
    bool rtfAsPlainShown = true;  // RtfAsPlain is read and written only while its box shows
    // [Monitoring]
    std::vector<std::string> notMonitoredDirectories;
    bool indexFolderOff = true;
    bool windowsFolderOff = true;
    bool tempFolderOff = true;
    // [Miscellaneous]
    std::vector<std::string> fileTypesToSelect = defaultFileTypes();
    // Not stored: they start at their designed values on every run, and are kept as typed
    // (the pages that use them read a number out of them).
    std::string maximumFiles = "100";    // "Show &maximum files:": the result page size
    std::string warnFileSizeKB = "500";  // "Warn if file is more than (KB)"

    static std::vector<std::string> defaultFileTypes();
    bool operator==(const Settings&) const = default;
};

struct SettingsLocation {
    std::filesystem::path programFile;  // home/Vellumar.ini
    std::filesystem::path userFile;     // user configuration folder/Vellumar.ini
    bool readOnlyMedia = false;         // the CD-ROM mode
};

struct LoadedSettings {
    Settings settings;
    bool existed = false;  // the settings file of the home existed before reading
    // One warning per settings file that is there but damaged (not a regular file, too
    // large, unreadable; see readUserFile): its keys keep their defaults and the file is
    // not touched until the settings are saved at the program's normal end.
    std::vector<std::string> warnings;
};

// Reads every key; anything missing or unreadable keeps its value from defaults. Text
// that is not valid UTF-8 is read as Windows-1252. A damaged file counts as existing (it
// is not a first run) and adds a warning for the caller to show.
LoadedSettings loadSettings(const SettingsLocation& location, const Settings& defaults);

// Writes every key (only the user keys in CD-ROM mode) into the target file, keeping the
// file's other lines. False when the file cannot be written; it is then unchanged.
bool saveSettings(const SettingsLocation& location, const Settings& settings);

// The file saveSettings writes.
const std::filesystem::path& settingsTarget(const SettingsLocation& location);

// The excluded folders as the program keeps them: sorted without regard to case (ties in
// exact order), exact duplicates dropped, empty items dropped.
std::vector<std::string> sortedFolderList(std::vector<std::string> folders);

}  // namespace vellumar
