// Reading one entry file of a browser's disk cache: the address it was fetched from, the
// response's status and headers, and where its body lies in the file. Two formats:
//
// Firefox ("cache2/entries/<SHA-1 of the key>"): the body as received, then the metadata,
// then the body's length as a big-endian 32-bit number (also the metadata's offset);
// from version 4 on, the version precedes that number, whose high bit then marks an
// encrypted entry (not readable here, skipped). The
// metadata is a 32-bit hash, a 16-bit hash per started 256 KiB chunk of the body, a header
// of eight big-endian 32-bit numbers (version, fetch count, last fetched, last modified,
// frecency, expiration, key size, flags; version 1 has no flags), the key with a NUL, and
// NUL-terminated name/value pairs; "response-head" holds the status line and headers. The
// key is a list of tags, each ended by "," (a "," inside a value is doubled), then ":" and
// the address.
//
// Chromium and Google Chrome, "simple cache" ("<16 hex digits>_0"): a header (64-bit
// magic, version, key length, key hash; 24 bytes), the key, the body (stream 1), an EOF
// record for it, the response information (stream 0), optionally the key's SHA-256 (32
// bytes), and the EOF record of stream 0 (64-bit magic, flags, CRC, stream size; 24
// bytes). Numbers are little-endian. Stream 0 is a pickled response record whose headers
// are one length-prefixed string, lines separated by NUL. The key ends with the address,
// after the last blank (newer versions put the site partition before it).
//
// Only the ends of a file are read until the body is asked for, so a huge entry costs
// nothing. Pure functions over files; thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellumar::cachewatch {

enum class CacheFormat {
    Files,     // pages kept as ordinary files (caches named in Registry.ini)
    Firefox,   // cache2 entries
    Chromium,  // simple cache entries
};

struct ResponseHead {
    int status = 0;               // 0 when there is no status line
    std::string contentType;      // lower-cased media type without parameters
    std::string contentEncoding;  // as sent
};

struct CacheEntry {
    std::string url;
    ResponseHead head;
    std::uint64_t bodyOffset = 0;
    std::uint64_t bodySize = 0;
};

// A status line and header lines, separated by CR LF, LF or NUL.
ResponseHead parseResponseHead(std::string_view text);

// The address of a Firefox cache key, or empty when the key is malformed.
std::string urlFromFirefoxKey(std::string_view key);
// The address of a simple cache key (the part after the last blank).
std::string urlFromChromiumKey(std::string_view key);

// True for the names the formats give their entry files (other files of the cache
// folder, such as "index", are not entries).
bool isEntryFileName(CacheFormat format, std::string_view name);

// What the entry file says of itself; nullopt when it is not a complete, readable entry
// of that format (truncated, still being written, damaged).
std::optional<CacheEntry> readCacheEntry(CacheFormat format, const std::filesystem::path& file);

// The body's bytes as stored; nullopt when the file can no longer be read whole.
std::optional<std::string> readEntryBody(const std::filesystem::path& file,
                                         const CacheEntry& entry);

// True when the response is a page worth mirroring: a success status and an HTML type.
bool isHtmlPage(const ResponseHead& head);

}  // namespace vellumar::cachewatch
