#include "platform/UserFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vellumar {

namespace {

UserFileRead failed(UserFileStatus status, std::uintmax_t limit, int error = 0) {
    UserFileRead r;
    r.status = status;
    r.limit = limit;
    r.error = error;
    return r;
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::string megabytes(std::uintmax_t bytes) {
    const std::uintmax_t mb = bytes >> 20;
    return std::to_string(mb > 0 ? mb : 1) + " MB";
}

}  // namespace

UserFileRead readUserFile(const std::filesystem::path& file, std::uintmax_t limit) {
    // Looked at before it is opened: opening a FIFO for reading waits for a writer, and
    // opening some devices has effects of its own.
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) return failed(UserFileStatus::Missing, limit);
        return failed(UserFileStatus::Unreadable, limit, err);
    }
    if (!S_ISREG(st.st_mode)) return failed(UserFileStatus::NotRegular, limit);
    if (static_cast<std::uintmax_t>(st.st_size) > limit)
        return failed(UserFileStatus::TooLarge, limit);

    // O_NONBLOCK: should the name have been replaced by a FIFO since stat, open still
    // returns at once, and the check below refuses it.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int err = errno;
        if (err == ENOENT) return failed(UserFileStatus::Missing, limit);
        return failed(UserFileStatus::Unreadable, limit, err);
    }
    if (::fstat(fd.get(), &st) != 0) return failed(UserFileStatus::Unreadable, limit, errno);
    if (!S_ISREG(st.st_mode)) return failed(UserFileStatus::NotRegular, limit);

    UserFileRead r;
    r.limit = limit;
    // One byte past the limit tells a file that grew meanwhile from one that fits exactly.
    const std::uintmax_t want = static_cast<std::uintmax_t>(st.st_size) + 1;
    r.data.resize(static_cast<std::size_t>(std::min(want, limit + 1)));
    std::size_t got = 0;
    for (;;) {
        if (got == r.data.size()) {
            if (got > limit) return failed(UserFileStatus::TooLarge, limit);
            r.data.resize(std::min<std::size_t>(got * 2, static_cast<std::size_t>(limit + 1)));
        }
        const ssize_t n = ::read(fd.get(), r.data.data() + got, r.data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failed(UserFileStatus::Unreadable, limit, errno);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) return failed(UserFileStatus::TooLarge, limit);
    r.data.resize(got);
    r.status = UserFileStatus::Ok;
    return r;
}

std::string problemReason(const UserFileRead& read) {
    switch (read.status) {
        case UserFileStatus::Ok:
        case UserFileStatus::Missing:
            return {};
        case UserFileStatus::NotRegular:
            return "not an ordinary file";
        case UserFileStatus::TooLarge:
            return "larger than " + megabytes(read.limit);
        case UserFileStatus::Unreadable:
            return std::string("can not be read: ") + std::strerror(read.error);
    }
    return {};
}

std::string problemText(const std::filesystem::path& file, const UserFileRead& read) {
    const std::string reason = problemReason(read);
    if (reason.empty()) return {};
    return file.string() + (read.status == UserFileStatus::Unreadable ? " " : " is ") + reason;
}

std::string damagedFileWarning(const std::string& problem) {
    return problem + ".\rDefault values are used; the file is left as it is.";
}

}  // namespace vellumar
