#include "monitor/cachewatch/ContentDecoding.h"

#include <brotli/decode.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/ProfileFile.h"

namespace vellumar::cachewatch {

namespace {

constexpr std::size_t kBlock = 64 * 1024;

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// windowBits: 15 + 32 detects a zlib or gzip header; -15 reads a raw deflate stream.
std::optional<std::string> inflateWith(const std::string& in, int windowBits, std::size_t limit) {
    z_stream z{};
    if (inflateInit2(&z, windowBits) != Z_OK) return std::nullopt;
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, inflateEnd);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    std::string out;
    std::vector<char> block(kBlock);
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(block.data());
        z.avail_out = static_cast<uInt>(block.size());
        const int rc = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = block.size() - z.avail_out;
        if (out.size() + produced > limit) return std::nullopt;
        out.append(block.data(), produced);
        if (rc == Z_STREAM_END) {
            // gzip allows several members one after another; servers rarely send them,
            // but a second member must not be dropped. Other trailing bytes are ignored,
            // as browsers do.
            const bool anotherMember =
                windowBits > 0 && z.avail_in >= 2 && z.next_in[0] == 0x1f && z.next_in[1] == 0x8b;
            if (!anotherMember) return out;
            if (inflateReset(&z) != Z_OK) return std::nullopt;
            continue;
        }
        if (rc != Z_OK) return std::nullopt;  // damaged data (Z_DATA_ERROR, Z_BUF_ERROR...)
        if (z.avail_in == 0 && produced == 0) return std::nullopt;  // truncated
    }
}

std::optional<std::string> unbrotli(const std::string& in, std::size_t limit) {
    std::unique_ptr<BrotliDecoderState, void (*)(BrotliDecoderState*)> state(
        BrotliDecoderCreateInstance(nullptr, nullptr, nullptr), BrotliDecoderDestroyInstance);
    if (!state) return std::nullopt;
    const auto* next_in = reinterpret_cast<const std::uint8_t*>(in.data());
    std::size_t avail_in = in.size();
    std::string out;
    std::vector<std::uint8_t> block(kBlock);
    for (;;) {
        std::uint8_t* next_out = block.data();
        std::size_t avail_out = block.size();
        const BrotliDecoderResult rc = BrotliDecoderDecompressStream(
            state.get(), &avail_in, &next_in, &avail_out, &next_out, nullptr);
        const std::size_t produced = block.size() - avail_out;
        if (out.size() + produced > limit) return std::nullopt;
        out.append(reinterpret_cast<const char*>(block.data()), produced);
        if (rc == BROTLI_DECODER_RESULT_SUCCESS) return out;
        if (rc == BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT) continue;
        return std::nullopt;  // an error, or input that ends before the stream does
    }
}

std::optional<std::string> undo(std::string body, std::string_view coding, std::size_t limit) {
    if (coding.empty() || equalsIgnoringCase(coding, "identity")) return body;
    if (equalsIgnoringCase(coding, "gzip") || equalsIgnoringCase(coding, "x-gzip"))
        return inflateWith(body, 15 + 32, limit);
    if (equalsIgnoringCase(coding, "deflate")) {
        // "deflate" means a zlib stream, but many servers send raw deflate data.
        if (auto zlib = inflateWith(body, 15 + 32, limit)) return zlib;
        return inflateWith(body, -15, limit);
    }
    if (equalsIgnoringCase(coding, "br")) return unbrotli(body, limit);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> decodeContent(std::string body, std::string_view contentEncoding,
                                         std::size_t limit) {
    std::vector<std::string_view> codings;
    std::size_t start = 0;
    while (start <= contentEncoding.size()) {
        const std::size_t comma =
            std::min(contentEncoding.find(',', start), contentEncoding.size());
        codings.push_back(trimBlanks(contentEncoding.substr(start, comma - start)));
        start = comma + 1;
    }
    if (body.size() > limit) return std::nullopt;
    for (auto it = codings.rbegin(); it != codings.rend(); ++it) {
        auto decoded = undo(std::move(body), *it, limit);
        if (!decoded) return std::nullopt;
        body = std::move(*decoded);
    }
    return body;
}

}  // namespace vellumar::cachewatch
