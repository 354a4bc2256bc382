#include "FolderWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace arcread {

FolderWriter::FolderWriter(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    rootFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    rootLength_ = std::filesystem::absolute(folder, ec).native().size();
}

FolderWriter::~FolderWriter() {
    if (rootFd_ >= 0) ::close(rootFd_);
}

int FolderWriter::create(const std::string& relative) {
    if (rootFd_ < 0 || relative.empty()) {
        errno = EBADF;
        return -1;
    }
    // Written one component at a time the file could be made; but every later step opens
    // it by its full name, which the system would refuse.
    if (rootLength_ + 1 + relative.size() >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int dir = ::dup(rootFd_);
    if (dir < 0) return -1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = relative.find('/', start);
        if (slash == std::string::npos) break;
        const std::string part = relative.substr(start, slash - start);
        if (::mkdirat(dir, part.c_str(), 0700) == 0) {
            folders_.push_back(relative.substr(0, slash));
        } else if (errno != EEXIST) {
            const int error = errno;
            ::close(dir);
            errno = error;
            return -1;
        }
        const int next =
            ::openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = errno;
        ::close(dir);
        errno = error;
        if (next < 0) return -1;
        dir = next;
        start = slash + 1;
    }
    const std::string name = relative.substr(start);
    const int fd =
        ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    const int error = errno;
    ::close(dir);
    errno = error;
    if (fd >= 0 && std::find(files_.begin(), files_.end(), relative) == files_.end())
        files_.push_back(relative);
    return fd;
}

void FolderWriter::discard(const std::string& relative) {
    if (rootFd_ < 0) return;
    ::unlinkat(rootFd_, relative.c_str(), 0);
    files_.erase(std::remove(files_.begin(), files_.end(), relative), files_.end());
}

void FolderWriter::removeAll() {
    if (rootFd_ < 0) return;
    for (const std::string& f : files_) ::unlinkat(rootFd_, f.c_str(), 0);
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        ::unlinkat(rootFd_, it->c_str(), AT_REMOVEDIR);
    files_.clear();
    folders_.clear();
}

const char* refusedNameReason(int error) {
    switch (error) {
        case ENAMETOOLONG:
            return "the name is too long for the file system";
        case EILSEQ:
        case EINVAL:
            return "the name is not allowed on this file system";
        case ENOTDIR:
        case EISDIR:
        case ELOOP:
            return "the name clashes with another member";
        default:
            return nullptr;
    }
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace arcread
