#include <algorithm>

#include "ArchiveKinds.h"
#include "archive/ArchiveReader.h"

namespace arcread {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerName(const std::filesystem::path& p) {
    std::string name = p.filename().string();
    std::transform(name.begin(), name.end(), name.begin(), lowerAscii);
    return name;
}

bool endsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The suffixes of a file compressed whole, and those a compressed tar may carry.
constexpr std::string_view kSingleFileSuffixes[] = {".gz", ".bz2", ".xz", ".zst"};
constexpr std::string_view kTarFilterSuffixes[] = {".gz",   ".bz2", ".xz",  ".zst",
                                                   ".lzma", ".lz",  ".lz4", ".z"};
constexpr std::string_view kTarShortNames[] = {".tgz", ".tbz", ".tbz2", ".txz", ".tzst", ".tlz"};

// * and ? over bytes, ASCII letters without regard to case; iterative with one
// backtracking point, so no mask can make it slow.
bool wildcardMatch(std::string_view name, std::string_view mask) {
    std::size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lowerAscii(mask[m]) == lowerAscii(name[n]))) {
            ++n, ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

}  // namespace

const char* StatusText(Status status) {
    switch (status) {
        case Status::Ok:
            return "ok";
        case Status::OpenFailed:
            return "the archive cannot be opened";
        case Status::Damaged:
            return "the archive is damaged";
        case Status::Encrypted:
            return "the archive holds encrypted members";
        case Status::TooLarge:
            return "the archive unpacks to more than the limit";
        case Status::WriteFailed:
            return "the unpacked files cannot be written";
        case Status::NotFound:
            return "no such member";
        case Status::Cancelled:
            return "cancelled";
    }
    return "";
}

std::optional<std::string> safeMemberPath(const std::string& raw) {
    if (raw.empty() || raw.find('\0') != std::string::npos) return std::nullopt;
    std::string name = raw;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name[0] == '/') return std::nullopt;
    if (name.size() >= 2 && name[1] == ':') return std::nullopt;  // "C:" drive names
    std::string out;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t slash = name.find('/', start);
        if (slash == std::string::npos) slash = name.size();
        const std::string part = name.substr(start, slash - start);
        if (part == "..") return std::nullopt;
        if (!part.empty() && part != ".") {
            if (!out.empty()) out += '/';
            out += part;
        }
        start = slash + 1;
    }
    if (out.empty()) return std::nullopt;
    return out;
}

bool matchesMask(const std::string& fileName, const std::string& mask) {
    if (mask == "*" || mask == "*.*") return true;
    return wildcardMatch(fileName, mask);
}

bool matchesAny(const std::string& fileName, const std::vector<std::string>& masks) {
    return std::any_of(masks.begin(), masks.end(),
                       [&](const std::string& m) { return matchesMask(fileName, m); });
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool ArchiveReader::IsSupportedName(const std::filesystem::path& archive) {
    return kindOfName(archive) != ArchiveKind::None;
}

bool isCompressedFileName(const std::filesystem::path& file) {
    return kindOfName(file) == ArchiveKind::Compressed;
}

std::filesystem::path decompressedName(const std::filesystem::path& file) {
    return file.filename().stem();
}

ArchiveKind kindOfName(const std::filesystem::path& file) {
    static const char* const containers[] = {".zip",  ".rar",  ".cab",  ".7z",  ".tar",
                                             ".docx", ".xlsx", ".pptx", ".odt", ".ods",
                                             ".odp",  ".epub", ".jar"};
    const std::string name = lowerName(file);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return ArchiveKind::None;
    const std::string ext = name.substr(dot);
    if (ext == ".arj") return ArchiveKind::Arj;
    for (const char* c : containers)
        if (ext == c) return ArchiveKind::Container;
    for (std::string_view t : kTarShortNames)
        if (ext == t) return ArchiveKind::Stream;
    const bool tarInside = endsWith(name.substr(0, dot), ".tar");
    for (std::string_view f : kTarFilterSuffixes)
        if (ext == f && tarInside) return ArchiveKind::Stream;
    for (std::string_view c : kSingleFileSuffixes)
        if (ext == c && dot > 0) return ArchiveKind::Compressed;
    return ArchiveKind::None;
}

std::unique_ptr<ArchiveReader> ArchiveReader::Open(const std::filesystem::path& archive,
                                                   const Limits& limits,
                                                   const ToolSettings& tools) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(archive, ec)) return nullptr;
    switch (const ArchiveKind kind = kindOfName(archive)) {
        case ArchiveKind::Container:
        case ArchiveKind::Stream:
        case ArchiveKind::Compressed:
            return openLibArchive(archive, limits, kind);
        case ArchiveKind::Arj:
            return openArj(archive, limits, tools);
        case ArchiveKind::None:
            return nullptr;
    }
    return nullptr;
}

}  // namespace arcread
