// Turns an index into one of the engine's first format, as indexes made before the
// format had a number are: its "S.STS" loses the format line (and gets its CRC anew).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support {

inline std::uint32_t crc32Of(const std::string& bytes) {
    std::uint32_t c = 0xFFFFFFFFU;
    for (unsigned char b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFU;
}

inline void makeFormatOne(const std::filesystem::path& indexPath) {
    std::ifstream in(indexPath / "S.STS", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::string body = text.substr(0, text.rfind("crc32="));
    const std::size_t at = body.find("format=");
    ASSERT_NE(at, std::string::npos);
    body.erase(at, body.find('\n', at) + 1 - at);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32Of(body));
    std::ofstream(indexPath / "S.STS", std::ios::binary) << body << "crc32=" << crc << "\n";
}

}  // namespace testing_support
