// Change notifications over one inotify instance. A handle is a watch on one folder for
// IN_CREATE, IN_DELETE, IN_MOVED_FROM, IN_MOVED_TO, IN_CLOSE_WRITE and IN_MODIFY (and the
// folder's own deletion or move); events are read without blocking whenever a wait call
// polls, and mark the handles of their folder signalled until re-armed.
//
//  - Two handles on one folder share the kernel's watch; it is removed with the last one.
//  - A folder that is deleted or unmounted signals its handles once; they stay open (so
//    the caller's arrays stay in step) but never signal again.
//  - When the kernel's event queue overflows, every handle is signalled: changes were
//    lost, and reporting every folder is the only way not to miss one. Closing a watch
//    queues an event too, so closing many (an index removed) reads the queue as it goes,
//    lest those events alone overflow it.
//
// Thread-safe: one internal mutex.
#pragma once

#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/notify/ChangeNotification.h"

namespace vellumar {

class InotifyChangeSource : public ChangeSource {
  public:
    InotifyChangeSource();
    ~InotifyChangeSource() override;
    InotifyChangeSource(const InotifyChangeSource&) = delete;
    InotifyChangeSource& operator=(const InotifyChangeSource&) = delete;

    ChangeHandle FindFirstChangeNotification(const std::string& folder, int& error) override;
    bool FindNextChangeNotification(ChangeHandle handle) override;
    bool FindCloseChangeNotification(ChangeHandle handle) override;
    std::uint32_t WaitForMultipleObjects(std::uint32_t count, const ChangeHandle* handles,
                                         std::uint32_t timeoutMs = 0) override;

    bool AnySignalled() override;

    int OpenHandleCount() const;

    // The system's limit of folder watches per user (fs.inotify.max_user_watches), or -1.
    static long MaxUserWatches();

  private:
    struct Slot {
        int wd = -1;  // -1 once the kernel dropped the watch
        bool open = false;
        bool signalled = false;
    };

    void DrainLocked();
    void SignalWatchLocked(int wd, bool watchGone);
    void SetSignalledLocked(Slot& slot, bool signalled);
    bool IsOpenLocked(ChangeHandle handle) const;

    mutable std::mutex mutex_;
    int fd_ = -1;
    int initError_ = 0;
    int openCount_ = 0;
    int signalledCount_ = 0;  // open handles that are signalled
    int closesSinceDrain_ = 0;
    std::vector<Slot> slots_;         // indexed by handle
    std::vector<ChangeHandle> free_;  // closed handles, reused
    std::unordered_map<int, std::vector<ChangeHandle>> byWatch_;
};

}  // namespace vellumar
