#include "monitor/HomeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>

namespace vellumar {

HomeLock::~HomeLock() { Release(); }

bool HomeLock::TryAcquire() {
    if (held_.load()) return true;
    const std::string file = (home_ / kHomeLockFileName).string();
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    const std::string text = role_ + " (process " + std::to_string(::getpid()) + ")\n";
    if (::ftruncate(fd, 0) == 0) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        (void)written;  // the note is for messages only
    }
    fd_ = fd;
    held_.store(true);
    return true;
}

void HomeLock::Release() {
    if (fd_ < 0) return;
    held_.store(false);
    // The note goes first, so nobody reads a holder that has gone.
    [[maybe_unused]] const int truncated = ::ftruncate(fd_, 0);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

std::string HomeLock::Holder() const {
    std::ifstream in(home_ / kHomeLockFileName);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace vellumar
