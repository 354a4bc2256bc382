#include "platform/Settings.h"

#include "platform/CommaText.h"
#include "platform/ProfileFile.h"
#include "platform/UserFileReader.h"

#include <textfold/TextFold.h>
#include <algorithm>
#include <system_error>

namespace vellumar {

namespace {

constexpr const char* kIndexes = "Indexes";
constexpr const char* kSearch = "Search Options";
constexpr const char* kCache = "Cache Watcher";
constexpr const char* kProperties = "Properties";
constexpr const char* kView = "View Options";
constexpr const char* kMonitoring = "Monitoring";
constexpr const char* kMisc = "Miscellaneous";

std::string readText(const ProfileFile& file, const char* section, const char* key,
                     const std::string& fallback) {
    const auto value = file.find(section, key);
    return value ? textfold::toUtf8Document(*value) : fallback;
}

void readFont(const ProfileFile& file, const char* section, FontSetting& font, bool withStyles) {
    font.name = readText(file, section, "FontName", font.name);
    font.size = file.readInt(section, "FontSize", font.size);
    font.color = file.readInt(section, "FontColor", font.color);
    if (!withStyles) return;
    font.bold = file.readBool(section, "FontBold", font.bold);
    font.italic = file.readBool(section, "FontItalic", font.italic);
    font.underline = file.readBool(section, "FontUnderline", font.underline);
    font.strikeOut = file.readBool(section, "FontStrikeOut", font.strikeOut);
}

void readUserKeys(const ProfileFile& file, Settings& s) {
    s.sorting = file.readInt(kSearch, "Sorting", s.sorting);
    s.startUp = file.readBool(kProperties, "StartUp", s.startUp);
    s.tray = file.readBool(kProperties, "Tray", s.tray);
    s.hotKey = readText(file, kProperties, "HotKey", s.hotKey);
    if (s.hotKey.empty()) s.hotKey = "S";
    s.stayOnPreviouslyViewed =
        file.readBool(kView, "StayOnPreviouslyViewed", s.stayOnPreviouslyViewed);
    s.wordWrap = file.readBool(kView, "WordWrap", s.wordWrap);
    readFont(file, kView, s.viewFont, true);
    s.viewBackColor = file.readInt(kView, "BackColor", s.viewBackColor);
    s.htmlAsSource = file.readBool(kView, "HtmlAsSource", s.htmlAsSource);
    if (s.rtfAsPlainShown) s.rtfAsPlain = file.readBool(kView, "RtfAsPlain", s.rtfAsPlain);
}

void writeFont(ProfileFile& file, const char* section, const FontSetting& font, bool withStyles) {
    file.writeString(section, "FontName", font.name);
    file.writeInt(section, "FontSize", font.size);
    file.writeInt(section, "FontColor", font.color);
    if (!withStyles) return;
    file.writeBool(section, "FontBold", font.bold);
    file.writeBool(section, "FontItalic", font.italic);
    file.writeBool(section, "FontUnderline", font.underline);
    file.writeBool(section, "FontStrikeOut", font.strikeOut);
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
        });
    if (less) return true;
    if (equalsIgnoringCase(a, b)) return a < b;
    return false;
}

}  // namespace

std::vector<std::string> Settings::defaultFileTypes() { return fromCommaText(kDefaultFileTypes); }

const std::filesystem::path& settingsTarget(const SettingsLocation& location) {
    return location.readOnlyMedia ? location.userFile : location.programFile;
}

LoadedSettings loadSettings(const SettingsLocation& location, const Settings& defaults) {
    LoadedSettings loaded;
    Settings& s = loaded.settings;
    s = defaults;
    const ProfileFile file = ProfileFile::load(location.programFile);
    loaded.existed = file.existed() || file.damaged();
    auto warnIfDamaged = [&](const ProfileFile& read) {
        if (read.damaged()) loaded.warnings.push_back(damagedFileWarning(read.problem()));
    };
    warnIfDamaged(file);

    s.indexFolder = readText(file, kIndexes, "IndexFolder", s.indexFolder);
    s.indexName = readText(file, kIndexes, "IndexName", s.indexName);
    s.wizardOnly = file.readBool(kIndexes, "WizardOnly", s.wizardOnly);

    ProfileFile userFile;
    if (location.readOnlyMedia) {
        userFile = ProfileFile::load(location.userFile);
        warnIfDamaged(userFile);
    }
    readUserKeys(userFile.existed() ? userFile : file, s);

    readFont(file, kCache, s.cacheWatcherFont, false);
    s.cacheWatcherBackColor = file.readInt(kCache, "BackColor", s.cacheWatcherBackColor);

    if (const auto dirs = file.find(kMonitoring, "NotMonitoredDirectories"))
        s.notMonitoredDirectories = fromCommaText(textfold::toUtf8Document(*dirs));
    s.indexFolderOff = file.readBool(kMonitoring, "IndexFolderOff", s.indexFolderOff);
    s.windowsFolderOff = file.readBool(kMonitoring, "WindowsFolderOff", s.windowsFolderOff);
    s.tempFolderOff = file.readBool(kMonitoring, "TempFolderOff", s.tempFolderOff);

    const std::string types = readText(file, kMisc, "FileTypesToSelect", "");
    std::vector<std::string> typeList = fromCommaText(types);
    typeList.erase(std::remove(typeList.begin(), typeList.end(), std::string()), typeList.end());
    if (!typeList.empty()) s.fileTypesToSelect = std::move(typeList);
    return loaded;
}

bool saveSettings(const SettingsLocation& location, const Settings& s) {
    const std::filesystem::path& target = settingsTarget(location);
    if (location.readOnlyMedia) {
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
    }
    // Lines and keys of other programs (or of a newer version) in the file are kept.
    ProfileFile file = ProfileFile::load(target);
    const bool all = !location.readOnlyMedia;
    if (all) {
        file.writeString(kIndexes, "IndexFolder", s.indexFolder);
        file.writeString(kIndexes, "IndexName", s.indexName);
        file.writeBool(kIndexes, "WizardOnly", s.wizardOnly);
    }
    file.writeBool(kSearch, "QueryInFile", s.queryInFile);
    file.writeInt(kSearch, "Sorting", s.sorting == 1 || s.sorting == 2 ? s.sorting : 0);
    if (all) {
        writeFont(file, kCache, s.cacheWatcherFont, false);
        file.writeInt(kCache, "BackColor", s.cacheWatcherBackColor);
    }
    file.writeBool(kProperties, "StartUp", s.startUp);
    file.writeBool(kProperties, "Tray", s.tray);
    file.writeString(kProperties, "HotKey", s.hotKey);
    file.writeBool(kView, "StayOnPreviouslyViewed", s.stayOnPreviouslyViewed);
    file.writeBool(kView, "WordWrap", s.wordWrap);
    writeFont(file, kView, s.viewFont, true);
    file.writeInt(kView, "BackColor", s.viewBackColor);
    file.writeBool(kView, "HtmlAsSource", s.htmlAsSource);
    if (s.rtfAsPlainShown) file.writeBool(kView, "RtfAsPlain", s.rtfAsPlain);
    if (all) {
        file.writeString(kMonitoring, "NotMonitoredDirectories",
                         toCommaText(s.notMonitoredDirectories));
        file.writeBool(kMonitoring, "IndexFolderOff", s.indexFolderOff);
        file.writeBool(kMonitoring, "WindowsFolderOff", s.windowsFolderOff);
        file.writeBool(kMonitoring, "TempFolderOff", s.tempFolderOff);
    }
    file.writeString(kMisc, "FileTypesToSelect", toCommaText(s.fileTypesToSelect));
    return file.save(target);
}

std::vector<std::string> sortedFolderList(std::vector<std::string> folders) {
    folders.erase(std::remove(folders.begin(), folders.end(), std::string()), folders.end());
    std::sort(folders.begin(), folders.end(), lessIgnoringCase);
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

}  // namespace vellumar
