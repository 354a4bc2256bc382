#include "ZipDirectory.h"

#include <fstream>
#include <vector>

namespace arcread {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kLongestComment = 65535;

std::uint64_t le(const char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

bool readAt(std::ifstream& in, std::uint64_t offset, char* out, std::size_t size) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(out, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

struct Directory {
    std::uint64_t entries = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

std::optional<Directory> findDirectory(std::ifstream& in, std::uint64_t fileSize) {
    if (fileSize < kEndSize) return std::nullopt;
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndSize + kLongestComment);
    std::vector<char> tail(static_cast<std::size_t>(tailSize));
    if (!readAt(in, fileSize - tailSize, tail.data(), tail.size())) return std::nullopt;
    // The end record is the last signature whose comment reaches exactly to the file's end.
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        const char* p = tail.data() + at;
        if (le(p, 4) != kEndSignature || at + kEndSize + le(p + 20, 2) != tail.size()) continue;
        Directory d{le(p + 10, 2), le(p + 16, 4), le(p + 12, 4)};
        if (le(p + 4, 2) != 0 || le(p + 6, 2) != 0) return std::nullopt;  // split archives
        if (d.entries != 0xFFFF && d.offset != 0xFFFFFFFF && d.size != 0xFFFFFFFF) return d;
        // Zip64: the locator stands right before the end record.
        const std::uint64_t endAt = fileSize - tailSize + at;
        char locator[20];
        if (endAt < 20 || !readAt(in, endAt - 20, locator, 20) ||
            le(locator, 4) != kZip64LocatorSignature)
            return std::nullopt;
        char record[56];
        if (!readAt(in, le(locator + 8, 8), record, 56) || le(record, 4) != kZip64EndSignature)
            return std::nullopt;
        return Directory{le(record + 32, 8), le(record + 48, 8), le(record + 40, 8)};
    }
    return std::nullopt;
}

// The uncompressed size from a zip64 extra field, when the entry's own says 0xFFFFFFFF.
std::uint64_t zip64Size(const std::string& extra, std::uint64_t stored) {
    for (std::size_t p = 0; p + 4 <= extra.size();) {
        const std::uint64_t id = le(extra.data() + p, 2);
        const std::uint64_t length = le(extra.data() + p + 2, 2);
        if (id == 1 && length >= 8 && p + 12 <= extra.size()) return le(extra.data() + p + 4, 8);
        p += 4 + length;
    }
    return stored;
}

}  // namespace

std::optional<std::uint64_t> ReadZipDirectory(
    const std::filesystem::path& zip, const std::function<bool(const ZipDirectoryEntry&)>& visit) {
    std::error_code ec;
    const std::uint64_t fileSize = std::filesystem::file_size(zip, ec);
    if (ec) return std::nullopt;
    std::ifstream in(zip, std::ios::binary);
    if (!in) return std::nullopt;
    const std::optional<Directory> d = findDirectory(in, fileSize);
    if (!d || d->offset > fileSize || d->size > fileSize - d->offset) return std::nullopt;
    in.clear();
    in.seekg(static_cast<std::streamoff>(d->offset));
    std::uint64_t seen = 0;
    std::string extra;
    for (; seen < d->entries; ++seen) {
        char header[46];
        in.read(header, sizeof header);
        if (in.gcount() != sizeof header || le(header, 4) != kEntrySignature) return std::nullopt;
        const std::size_t nameLength = le(header + 28, 2);
        const std::size_t extraLength = le(header + 30, 2);
        const std::size_t commentLength = le(header + 32, 2);
        ZipDirectoryEntry entry;
        entry.name.resize(nameLength);
        extra.resize(extraLength);
        in.read(entry.name.data(), static_cast<std::streamsize>(nameLength));
        in.read(extra.data(), static_cast<std::streamsize>(extraLength));
        in.seekg(static_cast<std::streamoff>(commentLength), std::ios::cur);
        if (!in) return std::nullopt;
        entry.size = le(header + 24, 4);
        if (entry.size == 0xFFFFFFFF) entry.size = zip64Size(extra, entry.size);
        entry.folder = !entry.name.empty() && entry.name.back() == '/';
        if (!visit(entry)) return seen + 1;
    }
    return seen;
}

}  // namespace arcread
