#include "index/IndexDefinition.h"

#include "platform/ProfileFile.h"

#include <ctime>

namespace vellumar {

namespace {
constexpr std::string_view kSection = "Parameters";
}

std::optional<IndexDefinition> IndexDefinition::load(const std::filesystem::path& file,
                                                     std::string* problem) {
    const ProfileFile profile = ProfileFile::load(file);
    if (problem) *problem = profile.problem();
    if (!profile.existed()) return std::nullopt;
    IndexDefinition d;
    d.scope = profile.readString(kSection, "Scope");
    d.monitored = profile.readBool(kSection, "Monitored", false);
    d.express = profile.readBool(kSection, "Express", false);
    d.dictionary = profile.readString(kSection, "Dictionary");
    d.stopWords = profile.readString(kSection, "Stop-words");
    d.archive = profile.readBool(kSection, "Archive", false);
    d.filesAsText = profile.readBool(kSection, "FilesAsText", false);
    d.lastUpdated = profile.readString(kSection, "LastUpdated");
    d.notes = profile.readString(kSection, "Notes");
    return d;
}

bool IndexDefinition::save(const std::filesystem::path& file) const {
    ProfileFile profile = ProfileFile::load(file);
    profile.writeString(kSection, "Scope", scope);
    profile.writeBool(kSection, "Express", express);
    if (dictionary.empty())
        profile.removeKey(kSection, "Dictionary");
    else
        profile.writeString(kSection, "Dictionary", dictionary);
    if (stopWords.empty())
        profile.removeKey(kSection, "Stop-words");
    else
        profile.writeString(kSection, "Stop-words", stopWords);
    profile.writeBool(kSection, "Archive", archive);
    profile.writeString(kSection, "LastUpdated", lastUpdated);
    profile.writeString(kSection, "Notes", notes);  // line breaks become blanks there
    profile.writeBool(kSection, "Monitored", monitored);
    profile.writeBool(kSection, "FilesAsText", filesAsText);
    return profile.save(file);
}

std::string indexNameOfDefinition(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    return name.substr(0, name.find('.'));
}

std::filesystem::path indexPathOf(const std::string& indexFolder, const std::string& indexName) {
    std::string path = indexFolder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty() || path.back() != '/') path += '/';
    return path + indexName;
}

std::filesystem::path definitionFileOf(const std::filesystem::path& indexPath) {
    return indexPath.string() + std::string(kDefinitionExtension);
}

std::string lastUpdatedNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace vellumar
