#include "viewer/ArchiveMember.h"

namespace fs = std::filesystem;

namespace vellumar {

bool isArchiveMemberName(const std::string& name) { return name.find("//") != std::string::npos; }

std::optional<std::vector<std::string>> splitMemberName(const std::string& name) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = name.find("//", from);
        parts.push_back(name.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (parts.back().empty()) return std::nullopt;
        if (at == std::string::npos) break;
        from = at + 2;
    }
    return parts;
}

std::optional<fs::path> extractArchiveMember(const std::string& name, const ProgramTempFolder& temp,
                                             const arcread::ToolSettings& tools) {
    const auto parts = splitMemberName(name);
    if (!parts || parts->size() < 2) return std::nullopt;
    fs::path archive = parts->front();
    for (std::size_t level = 1; level < parts->size(); ++level) {
        const std::string& member = (*parts)[level];
        auto reader = arcread::ArchiveReader::Open(archive, {}, tools);
        if (!reader) return std::nullopt;
        const auto file = temp.MakeTempFileName(fs::path(member).extension().string());
        if (!file) return std::nullopt;
        if (reader->ExtractMember(member, *file) != arcread::Status::Ok) return std::nullopt;
        archive = *file;
    }
    return archive;
}

}  // namespace vellumar
