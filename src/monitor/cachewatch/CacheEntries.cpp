#include "monitor/cachewatch/CacheEntries.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "platform/ProfileFile.h"

namespace fs = std::filesystem;

namespace vellumar::cachewatch {

namespace {

constexpr std::uint64_t kFirefoxChunkSize = 256 * 1024;
constexpr std::uint64_t kFirefoxMaxMetadata = 4 * 1024 * 1024;
// Versions whose header layout is known (1 lacks the flags; 4 added the trailer's
// version word and encryption).
constexpr std::uint32_t kFirefoxNewestVersion = 4;
constexpr std::uint64_t kFirefoxEncrypted = 0x80000000;
constexpr std::uint64_t kSimpleInitialMagic = 0xfcfb6d1ba7725c30ULL;
constexpr std::uint64_t kSimpleFinalMagic = 0xf4fa6f45970d41d8ULL;
constexpr std::uint64_t kSimpleHeaderSize = 24;
constexpr std::uint64_t kSimpleEofSize = 24;
constexpr std::uint32_t kSimpleHasKeySha256 = 1U << 1;
constexpr std::uint64_t kSimpleMaxKey = 64 * 1024;
constexpr std::uint64_t kSimpleMaxStream0 = 1024 * 1024;

std::uint32_t bigEndian32(std::string_view b, std::size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 24) |
           (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint32_t(std::uint8_t(b[at + 3]));
}

std::uint64_t littleEndian(std::string_view b, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | std::uint8_t(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// Reads length bytes at offset; nullopt when the file is shorter.
std::optional<std::string> readAt(std::ifstream& in, std::uint64_t offset, std::uint64_t length) {
    std::string bytes(length, '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    if (static_cast<std::uint64_t>(in.gcount()) != length) return std::nullopt;
    return bytes;
}

std::optional<std::uint64_t> fileSize(std::ifstream& in) {
    in.seekg(0, std::ios::end);
    const auto end = in.tellg();
    if (end < 0) return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool allHex(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::optional<CacheEntry> readFirefox(std::ifstream& in) {
    const auto size = fileSize(in);
    if (!size || *size < 8) return std::nullopt;
    const auto tail = readAt(in, *size - 8, 8);
    if (!tail) return std::nullopt;
    // Version 4 and later end with two words, the version and the offset (whose high bit
    // marks an encrypted entry); older entries end with the offset alone. The word before
    // an old offset ends an element with a NUL byte, so it never reads as a small version.
    const std::uint32_t versionWord = bigEndian32(*tail, 0);
    const bool twoWords = versionWord >= 4 && versionWord <= kFirefoxNewestVersion;
    std::uint64_t dataSize = bigEndian32(*tail, 4);
    if (twoWords && (dataSize & kFirefoxEncrypted)) return std::nullopt;
    const std::uint64_t trailerSize = twoWords ? 8 : 4;
    if (dataSize >= *size - trailerSize) return std::nullopt;
    const std::uint64_t metaSize = *size - trailerSize - dataSize;
    if (metaSize > kFirefoxMaxMetadata) return std::nullopt;
    const auto meta = readAt(in, dataSize, metaSize);
    if (!meta) return std::nullopt;

    const std::uint64_t chunks = (dataSize + kFirefoxChunkSize - 1) / kFirefoxChunkSize;
    std::uint64_t pos = 4 + 2 * chunks;
    if (pos + 4 > meta->size()) return std::nullopt;
    const std::uint32_t version = bigEndian32(*meta, pos);
    if (version < 1 || version > kFirefoxNewestVersion || (twoWords && version != versionWord))
        return std::nullopt;
    const std::uint64_t headerSize = version == 1 ? 28 : 32;
    if (pos + headerSize > meta->size()) return std::nullopt;
    const std::uint64_t keySize = bigEndian32(*meta, pos + 24);
    pos += headerSize;
    if (pos + keySize + 1 > meta->size() || (*meta)[pos + keySize] != '\0') return std::nullopt;
    CacheEntry entry;
    entry.url = urlFromFirefoxKey(std::string_view(*meta).substr(pos, keySize));
    if (entry.url.empty()) return std::nullopt;
    pos += keySize + 1;

    entry.bodySize = dataSize;
    bool haveHead = false;
    const std::string_view elements = std::string_view(*meta).substr(pos);
    std::size_t at = 0;
    while (at < elements.size()) {
        const std::size_t nameEnd = elements.find('\0', at);
        if (nameEnd == std::string_view::npos) return std::nullopt;
        const std::size_t valueEnd = elements.find('\0', nameEnd + 1);
        if (valueEnd == std::string_view::npos) return std::nullopt;
        const std::string_view name = elements.substr(at, nameEnd - at);
        const std::string_view value = elements.substr(nameEnd + 1, valueEnd - nameEnd - 1);
        if (name == "response-head") {
            entry.head = parseResponseHead(value);
            haveHead = true;
        } else if (name == "alt-data") {
            // "1;OFFSET,TYPE": other data (such as compiled script) follows the body there.
            const std::size_t semi = value.find(';');
            if (semi != std::string_view::npos) {
                std::uint64_t offset = 0;
                std::size_t i = semi + 1;
                for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i)
                    offset = offset * 10 + static_cast<std::uint64_t>(value[i] - '0');
                if (i > semi + 1 && offset <= dataSize) entry.bodySize = offset;
            }
        }
        at = valueEnd + 1;
    }
    if (!haveHead) return std::nullopt;
    return entry;
}

// The header string of a pickled response record: "HTTP/..." with NUL-separated lines,
// preceded by its length. The fields before it vary between versions, so the string is
// found by its shape rather than by counting them.
std::optional<std::string> headersFromStream0(std::string_view stream) {
    std::size_t at = stream.find("HTTP/");
    while (at != std::string_view::npos) {
        if (at >= 4) {
            const std::uint64_t length = littleEndian(stream, at - 4, 4);
            if (length >= 5 && at + length <= stream.size())
                return std::string(stream.substr(at, length));
        }
        at = stream.find("HTTP/", at + 1);
    }
    return std::nullopt;
}

std::optional<CacheEntry> readChromium(std::ifstream& in) {
    const auto size = fileSize(in);
    if (!size || *size < kSimpleHeaderSize + 2 * kSimpleEofSize) return std::nullopt;
    const auto header = readAt(in, 0, kSimpleHeaderSize);
    if (!header || littleEndian(*header, 0, 8) != kSimpleInitialMagic) return std::nullopt;
    const std::uint64_t keyLength = littleEndian(*header, 12, 4);
    if (keyLength > kSimpleMaxKey) return std::nullopt;
    const std::uint64_t bodyOffset = kSimpleHeaderSize + keyLength;

    const auto eof0 = readAt(in, *size - kSimpleEofSize, kSimpleEofSize);
    if (!eof0 || littleEndian(*eof0, 0, 8) != kSimpleFinalMagic) return std::nullopt;
    const std::uint32_t flags = static_cast<std::uint32_t>(littleEndian(*eof0, 8, 4));
    const std::uint64_t stream0Size = littleEndian(*eof0, 16, 4);
    const std::uint64_t sha = (flags & kSimpleHasKeySha256) ? 32 : 0;
    if (stream0Size > kSimpleMaxStream0) return std::nullopt;
    const std::uint64_t trailer = stream0Size + sha + kSimpleEofSize;
    if (*size < bodyOffset + kSimpleEofSize + trailer) return std::nullopt;
    const std::uint64_t stream0Offset = *size - trailer;
    const std::uint64_t eof1Offset = stream0Offset - kSimpleEofSize;

    const auto eof1 = readAt(in, eof1Offset, kSimpleEofSize);
    if (!eof1 || littleEndian(*eof1, 0, 8) != kSimpleFinalMagic) return std::nullopt;
    const auto key = readAt(in, kSimpleHeaderSize, keyLength);
    const auto stream0 = readAt(in, stream0Offset, stream0Size);
    if (!key || !stream0) return std::nullopt;
    const auto headers = headersFromStream0(*stream0);
    if (!headers) return std::nullopt;

    CacheEntry entry;
    entry.url = urlFromChromiumKey(*key);
    if (entry.url.empty()) return std::nullopt;
    entry.head = parseResponseHead(*headers);
    entry.bodyOffset = bodyOffset;
    entry.bodySize = eof1Offset - bodyOffset;
    return entry;
}

}  // namespace

ResponseHead parseResponseHead(std::string_view text) {
    ResponseHead head;
    bool first = true;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of(std::string_view("\r\n\0", 3), at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty()) continue;
        if (first) {
            first = false;
            if (line.rfind("HTTP/", 0) == 0) {
                const std::size_t blank = line.find(' ');
                int status = 0;
                std::size_t i = blank == std::string_view::npos ? line.size() : blank + 1;
                int digits = 0;
                for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) &&
                       digits < 3;
                     ++i, ++digits)
                    status = status * 10 + (line[i] - '0');
                if (digits == 3) head.status = status;
                continue;
            }
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = trimBlanks(line.substr(0, colon));
        const std::string_view value = trimBlanks(line.substr(colon + 1));
        if (equalsIgnoringCase(name, "Content-Type") && head.contentType.empty()) {
            head.contentType = lowered(trimBlanks(value.substr(0, value.find(';'))));
        } else if (equalsIgnoringCase(name, "Content-Encoding")) {
            // Several header lines list codings in the order they were applied.
            if (!head.contentEncoding.empty()) head.contentEncoding += ", ";
            head.contentEncoding += std::string(value);
        }
    }
    return head;
}

std::string urlFromFirefoxKey(std::string_view key) {
    std::size_t at = 0;
    while (at < key.size()) {
        const char tag = key[at];
        if (tag == ':') return std::string(key.substr(at + 1));
        // A tag's value runs to the first single ","; ",," stands for a comma.
        ++at;
        for (;;) {
            if (at >= key.size()) return {};
            if (key[at] == ',') {
                if (at + 1 < key.size() && key[at + 1] == ',') {
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            ++at;
        }
    }
    return {};
}

std::string urlFromChromiumKey(std::string_view key) {
    const std::size_t blank = key.find_last_of(' ');
    return std::string(blank == std::string_view::npos ? key : key.substr(blank + 1));
}

bool isEntryFileName(CacheFormat format, std::string_view name) {
    switch (format) {
        case CacheFormat::Firefox:
            return name.size() == 40 && allHex(name);
        case CacheFormat::Chromium:
            return name.size() == 18 && name.substr(16) == "_0" && allHex(name.substr(0, 16));
        case CacheFormat::Files:
            return true;
    }
    return false;
}

std::optional<CacheEntry> readCacheEntry(CacheFormat format, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    switch (format) {
        case CacheFormat::Firefox:
            return readFirefox(in);
        case CacheFormat::Chromium:
            return readChromium(in);
        case CacheFormat::Files:
            break;
    }
    return std::nullopt;
}

std::optional<std::string> readEntryBody(const fs::path& file, const CacheEntry& entry) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return readAt(in, entry.bodyOffset, entry.bodySize);
}

bool isHtmlPage(const ResponseHead& head) {
    const bool success = head.status == 200 || head.status == 203;
    return success &&
           (head.contentType == "text/html" || head.contentType == "application/xhtml+xml");
}

}  // namespace vellumar::cachewatch
