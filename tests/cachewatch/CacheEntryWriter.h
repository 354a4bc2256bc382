// Writes browser cache entry files the way Firefox (cache2) and Chromium (simple cache)
// lay them out, for the Cache Watcher's tests, and compresses bodies as servers do.
#pragma once

#include <brotli/encode.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace cachetest {

inline void putBigEndian32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xff);
}

inline void putLittleEndian(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}

inline std::string httpHead(const std::string& contentType, const std::string& encoding = "",
                            int status = 200) {
    std::string head = "HTTP/1.1 " + std::to_string(status) + " OK\r\n";
    if (!contentType.empty()) head += "Content-Type: " + contentType + "\r\n";
    if (!encoding.empty()) head += "Content-Encoding: " + encoding + "\r\n";
    return head + "Date: Mon, 01 Jan 2024 00:00:00 GMT\r\n";
}

// The metadata and trailer that follow a Firefox entry's body of bodySize bytes.
// Version 4 ends with the version and the offset, older versions with the offset alone.
inline std::string firefoxTrailer(const std::string& key, const std::string& head,
                                  std::uint64_t bodySize, std::uint32_t version = 4,
                                  bool encrypted = false) {
    std::string meta;
    putBigEndian32(meta, 0x12345678);  // hash of the metadata (not checked by readers)
    const std::uint64_t chunks = (bodySize + 256 * 1024 - 1) / (256 * 1024);
    meta.append(2 * chunks, '\x11');
    for (std::uint32_t v : {version, 1u, 1700000000u, 1700000000u, 42u, 1800000000u})
        putBigEndian32(meta, v);
    putBigEndian32(meta, static_cast<std::uint32_t>(key.size()));
    putBigEndian32(meta, 0);  // flags
    meta += key;
    meta += '\0';
    const std::string elements[] = {
        "request-method", "GET", "response-head", head, "net-response-time-onstart", "12"};
    for (const std::string& e : elements) meta += e + '\0';
    if (version >= 4) putBigEndian32(meta, version);
    putBigEndian32(meta, static_cast<std::uint32_t>(bodySize) | (encrypted ? 0x80000000u : 0u));
    return meta;
}

inline std::string firefoxEntry(const std::string& url, const std::string& head,
                                const std::string& body, const std::string& keyTags = "a,",
                                std::uint32_t version = 4, bool encrypted = false) {
    return body + firefoxTrailer(keyTags + ":" + url, head, body.size(), version, encrypted);
}

inline std::string chromiumEntry(const std::string& url, const std::string& head,
                                 const std::string& body, bool partitioned = true) {
    const std::string key =
        partitioned ? "1/0/_dk_https://example.org https://example.org " + url : url;
    std::string out;
    putLittleEndian(out, 0xfcfb6d1ba7725c30ULL, 8);
    putLittleEndian(out, 5, 4);
    putLittleEndian(out, key.size(), 4);
    putLittleEndian(out, 0xabcdef, 4);
    putLittleEndian(out, 0, 4);  // padding of the 24-byte header
    out += key;
    out += body;
    auto eof = [&out](std::uint32_t flags, std::uint32_t streamSize) {
        putLittleEndian(out, 0xf4fa6f45970d41d8ULL, 8);
        putLittleEndian(out, flags, 4);
        putLittleEndian(out, 0x1234, 4);  // CRC (not checked by readers)
        putLittleEndian(out, streamSize, 4);
        putLittleEndian(out, 0, 4);
    };
    eof(1, 0);
    // Stream 0: a pickled response record: payload size, flags, two times, the headers.
    std::string headers;
    std::size_t start = 0;
    while (start < head.size()) {
        const std::size_t end = head.find("\r\n", start);
        headers += head.substr(start, end - start);
        headers += '\0';
        start = end + 2;
    }
    headers += '\0';
    std::string payload;
    putLittleEndian(payload, 3 | (1 << 10), 4);
    putLittleEndian(payload, 13300000000000000ULL, 8);
    putLittleEndian(payload, 13300000000500000ULL, 8);
    putLittleEndian(payload, headers.size(), 4);
    payload += headers;
    while (payload.size() % 4) payload += '\0';
    std::string stream0;
    putLittleEndian(stream0, payload.size(), 4);
    stream0 += payload;
    out += stream0;
    out.append(32, '\x5a');  // SHA-256 of the key
    eof(1 | 2, static_cast<std::uint32_t>(stream0.size()));
    return out;
}

inline void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string gzip(const std::string& text, int windowBits = 15 + 16) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, text.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}
inline std::string zlibDeflate(const std::string& text) { return gzip(text, 15); }
inline std::string rawDeflate(const std::string& text) { return gzip(text, -15); }

inline std::string brotli(const std::string& text) {
    std::size_t size = BrotliEncoderMaxCompressedSize(text.size()) + 16;
    std::string out(size, '\0');
    BrotliEncoderCompress(5, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT, text.size(),
                          reinterpret_cast<const std::uint8_t*>(text.data()), &size,
                          reinterpret_cast<std::uint8_t*>(out.data()));
    out.resize(size);
    return out;
}

}  // namespace cachetest
