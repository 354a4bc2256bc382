// The one program-wide progress throttle: progress texts (indexing, folder walks) are
// shown at most once per interval so that repainting never slows the work down.
//
// Thread: shared by the main thread and the notifier thread; due() is lock-free.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace vellumar {

class ProgressThrottle {
  public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, monotonic

    explicit ProgressThrottle(std::chrono::milliseconds interval = std::chrono::milliseconds(500),
                              Clock clock = {});

    // True when more than the interval has passed since the last report (or since the
    // reset); it then counts as the new last report.
    bool due();

    // Forgets the last report, so the next due() is true.
    void reset();

    std::chrono::milliseconds interval() const { return interval_; }

  private:
    std::chrono::milliseconds interval_;
    Clock clock_;
    std::atomic<std::int64_t> lastReport_{0};
    std::atomic<bool> reported_{false};
};

}  // namespace vellumar
