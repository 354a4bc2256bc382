#include "platform/notify/InotifyChangeSource.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace vellumar {

namespace {
constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                     IN_CLOSE_WRITE | IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF |
                                     IN_ONLYDIR | IN_EXCL_UNLINK;
}

InotifyChangeSource::InotifyChangeSource() {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) initError_ = errno;
}

InotifyChangeSource::~InotifyChangeSource() {
    if (fd_ >= 0) close(fd_);  // drops every watch at once
}

bool InotifyChangeSource::IsOpenLocked(ChangeHandle handle) const {
    return handle >= 0 && static_cast<std::size_t>(handle) < slots_.size() &&
           slots_[static_cast<std::size_t>(handle)].open;
}

ChangeHandle InotifyChangeSource::FindFirstChangeNotification(const std::string& folder,
                                                              int& error) {
    std::lock_guard lock(mutex_);
    error = 0;
    if (fd_ < 0) {
        error = initError_ ? initError_ : EBADF;
        return kInvalidChangeHandle;
    }
    const int wd = inotify_add_watch(fd_, folder.c_str(), kWatchMask);
    if (wd < 0) {
        error = errno;
        return kInvalidChangeHandle;
    }
    ChangeHandle handle;
    if (!free_.empty()) {
        handle = free_.back();
        free_.pop_back();
    } else {
        handle = static_cast<ChangeHandle>(slots_.size());
        slots_.emplace_back();
    }
    slots_[static_cast<std::size_t>(handle)] = Slot{wd, true, false};
    byWatch_[wd].push_back(handle);
    ++openCount_;
    return handle;
}

bool InotifyChangeSource::FindNextChangeNotification(ChangeHandle handle) {
    std::lock_guard lock(mutex_);
    if (!IsOpenLocked(handle)) return false;
    SetSignalledLocked(slots_[static_cast<std::size_t>(handle)], false);
    return true;
}

bool InotifyChangeSource::FindCloseChangeNotification(ChangeHandle handle) {
    std::lock_guard lock(mutex_);
    if (!IsOpenLocked(handle)) return false;
    Slot& slot = slots_[static_cast<std::size_t>(handle)];
    SetSignalledLocked(slot, false);
    if (slot.wd >= 0) {
        auto it = byWatch_.find(slot.wd);
        if (it != byWatch_.end()) {
            std::erase(it->second, handle);
            if (it->second.empty()) {
                inotify_rm_watch(fd_, slot.wd);
                byWatch_.erase(it);
                if (++closesSinceDrain_ >= 256) {
                    closesSinceDrain_ = 0;
                    DrainLocked();
                }
            }
        }
    }
    slot = Slot{};
    free_.push_back(handle);
    --openCount_;
    return true;
}

void InotifyChangeSource::SignalWatchLocked(int wd, bool watchGone) {
    auto it = byWatch_.find(wd);
    if (it == byWatch_.end()) return;  // a watch closed a moment ago
    for (ChangeHandle h : it->second) {
        Slot& slot = slots_[static_cast<std::size_t>(h)];
        SetSignalledLocked(slot, true);
        if (watchGone) slot.wd = -1;
    }
    if (watchGone) byWatch_.erase(it);
}

void InotifyChangeSource::DrainLocked() {
    alignas(struct inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) return;  // EAGAIN: nothing pending (errors: nothing we can read)
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                for (Slot& slot : slots_) {
                    if (slot.open) SetSignalledLocked(slot, true);
                }
                continue;
            }
            SignalWatchLocked(event.wd, (event.mask & IN_IGNORED) != 0);
        }
    }
}

std::uint32_t InotifyChangeSource::WaitForMultipleObjects(std::uint32_t count,
                                                          const ChangeHandle* handles,
                                                          std::uint32_t /*timeoutMs*/) {
    std::lock_guard lock(mutex_);
    if (count == 0 || count > kMaxWaitHandles || handles == nullptr) return kWaitFailed;
    if (fd_ >= 0) DrainLocked();
    for (std::uint32_t i = 0; i < count; ++i) {
        const ChangeHandle h = handles[i];
        if (IsOpenLocked(h) && slots_[static_cast<std::size_t>(h)].signalled) return i;
    }
    return kWaitTimeout;
}

void InotifyChangeSource::SetSignalledLocked(Slot& slot, bool signalled) {
    if (slot.signalled == signalled) return;
    slot.signalled = signalled;
    signalledCount_ += signalled ? 1 : -1;
}

bool InotifyChangeSource::AnySignalled() {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) DrainLocked();
    return signalledCount_ > 0;
}

int InotifyChangeSource::OpenHandleCount() const {
    std::lock_guard lock(mutex_);
    return openCount_;
}

long InotifyChangeSource::MaxUserWatches() {
    std::ifstream in("/proc/sys/fs/inotify/max_user_watches");
    long value = -1;
    if (!(in >> value)) return -1;
    return value;
}

}  // namespace vellumar
