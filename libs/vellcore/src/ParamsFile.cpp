#include "ParamsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "Errors.h"

namespace vellcore {

namespace {

constexpr const char* kSignature = "VELLCORE-PARAMETERS 1";
constexpr const char* hexDigits = "0123456789abcdef";

std::string escape(std::string_view s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c == '%') {
            out += '%';
            out += hexDigits[c >> 4];
            out += hexDigits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool unescape(std::string_view s, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) return false;
        const int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool parseInt(std::string_view s, int lo, int hi, int& out) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

std::string render(const IndexParams& p) {
    std::string body = std::string(kSignature) + "\n";
    body += "format=" + std::to_string(p.format) + "\n";
    body += "language=" + escape(p.language) + "\n";
    body += "table=";
    for (unsigned char c : p.table) {
        body += hexDigits[c >> 4];
        body += hexDigits[c & 15];
    }
    body += "\nmaxwordlength=" + std::to_string(p.maxWordLength) + "\n";
    body += "minwordlength=" + std::to_string(p.minWordLength) + "\n";
    body += "compactingratio=" + std::to_string(p.compactingRatio) + "\n";
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32(body));
    return body + "crc32=" + crc + "\n";
}

[[noreturn]] void writeFailed(const std::filesystem::path& file, int err) {
    const int code = (err == ENOSPC || err == EDQUOT) ? 1 : 4;
    fail(code, "cannot write " + file.string() + ": " + std::strerror(err));
}

}  // namespace

std::uint32_t crc32(std::string_view bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFU;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

ParamsStatus readParams(const std::filesystem::path& file, IndexParams& params) {
    // A FIFO or a device in the file's place must not block or fill memory: only a
    // regular file of sensible size is read.
    constexpr std::size_t kLargest = 64 * 1024;
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) return ParamsStatus::Missing;
    if (!S_ISREG(st.st_mode) || static_cast<std::uintmax_t>(st.st_size) > kLargest)
        return ParamsStatus::Damaged;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return ParamsStatus::Missing;
    std::string text(kLargest + 1, '\0');
    std::size_t got = 0;
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    while (regular && got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            regular = n == 0;
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!regular || got > kLargest) return ParamsStatus::Damaged;
    text.resize(got);

    const std::size_t crcAt = text.rfind("crc32=");
    if (crcAt == std::string::npos || (crcAt > 0 && text[crcAt - 1] != '\n'))
        return ParamsStatus::Damaged;
    char expected[9];
    std::snprintf(expected, sizeof expected, "%08x",
                  crc32(std::string_view(text).substr(0, crcAt)));
    if (text.compare(crcAt, std::string::npos, std::string("crc32=") + expected + "\n") != 0)
        return ParamsStatus::Damaged;

    IndexParams read;
    read.format = 1;  // written before the format had a number
    bool seen[5] = {};
    std::istringstream lines(text.substr(0, crcAt));
    std::string line;
    if (!std::getline(lines, line) || line != kSignature) return ParamsStatus::Damaged;
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) return ParamsStatus::Damaged;
        const std::string key = line.substr(0, eq);
        const std::string_view value = std::string_view(line).substr(eq + 1);
        bool ok = true;
        if (key == "language") {
            ok = unescape(value, read.language), seen[0] = true;
        } else if (key == "table") {
            ok = value.size() == 512;
            for (std::size_t i = 0; ok && i < 256; ++i) {
                const int hi = hexValue(value[2 * i]), lo = hexValue(value[2 * i + 1]);
                ok = hi >= 0 && lo >= 0;
                if (ok) read.table[i] = static_cast<unsigned char>(hi * 16 + lo);
            }
            seen[1] = true;
        } else if (key == "maxwordlength") {
            ok = parseInt(value, 1, 255, read.maxWordLength), seen[2] = true;
        } else if (key == "minwordlength") {
            ok = parseInt(value, 1, 255, read.minWordLength), seen[3] = true;
        } else if (key == "compactingratio") {
            ok = parseInt(value, 0, 100, read.compactingRatio), seen[4] = true;
        } else if (key == "format") {
            // A format newer than this engine's is read as its own: its word numbers may
            // mean more than this engine knows, never less.
            ok = parseInt(value, 1, 1000000, read.format);
        }
        // Unknown keys are allowed: a later version may add some.
        if (!ok) return ParamsStatus::Damaged;
    }
    for (bool s : seen)
        if (!s) return ParamsStatus::Damaged;
    if (read.minWordLength > read.maxWordLength) return ParamsStatus::Damaged;
    params = std::move(read);
    return ParamsStatus::Ok;
}

void writeParams(const std::filesystem::path& file, const IndexParams& params) {
    const std::string text = render(params);
    std::filesystem::path temp = file;
    temp += ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) writeFailed(temp, errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(temp.c_str());
            writeFailed(temp, err);
        }
        done += static_cast<std::size_t>(n);
    }
    const int synced = ::fsync(fd) == 0 ? 0 : errno;
    const int closed = ::close(fd) == 0 ? 0 : errno;
    if (synced || closed) {
        const int err = synced ? synced : closed;
        ::unlink(temp.c_str());
        writeFailed(temp, err);
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        writeFailed(file, err);
    }
}

}  // namespace vellcore
