// One process per home writes its indexes: the window or `vellumar-cli watch`. The writer
// holds an advisory lock (flock) on "vellumar.lock" in the home for as long as it runs;
// the kernel releases it when the process ends, however it ends, so a crash leaves no
// stale lock behind. The file holds the holder's process number and role, for messages.
//
// Owned by whoever writes (the window's frame, the watch command). Not thread-safe: the
// owner's main thread acquires and releases; Held may be read from any thread.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

namespace vellumar {

inline constexpr const char* kHomeLockFileName = "vellumar.lock";

class HomeLock {
  public:
    HomeLock(std::filesystem::path home, std::string role)
        : home_(std::move(home)), role_(std::move(role)) {}
    ~HomeLock();
    HomeLock(const HomeLock&) = delete;
    HomeLock& operator=(const HomeLock&) = delete;

    // Takes the lock unless another process holds it; true when this one holds it
    // (already, or now). Never waits.
    bool TryAcquire();
    void Release();
    bool Held() const { return held_.load(); }

    // "watcher (process 1234)" for the process that holds the lock now; "" when none does
    // or it cannot be told.
    std::string Holder() const;

  private:
    std::filesystem::path home_;
    std::string role_;
    int fd_ = -1;
    std::atomic<bool> held_{false};
};

}  // namespace vellumar
