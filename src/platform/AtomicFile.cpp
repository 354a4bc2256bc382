#include "platform/AtomicFile.h"

#include "platform/UserFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace vellumar {

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data) {
    std::string temp = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = true;
    const char* p = data.data();
    std::size_t left = data.size();
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else {
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    // mkstemp creates the file 0600; settings are ordinary user files.
    ok = ok && ::fchmod(fd, 0644) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

bool writeLinesAtomically(const std::filesystem::path& path, const std::vector<std::string>& lines,
                          std::string_view lineEnd) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += lineEnd;
    }
    return writeFileAtomically(path, text);
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
    UserFileRead read = readUserFile(path, std::uintmax_t{1} << 30);
    if (!read.ok()) return std::nullopt;
    return std::move(read.data);
}

}  // namespace vellumar
