#include "platform/ProgressThrottle.h"

namespace vellumar {

namespace {
std::int64_t steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

ProgressThrottle::ProgressThrottle(std::chrono::milliseconds interval, Clock clock)
    : interval_(interval), clock_(clock ? std::move(clock) : Clock(steadyMilliseconds)) {}

bool ProgressThrottle::due() {
    const std::int64_t now = clock_();
    if (!reported_.load(std::memory_order_acquire)) {
        reported_.store(true, std::memory_order_release);
        lastReport_.store(now, std::memory_order_release);
        return true;
    }
    std::int64_t last = lastReport_.load(std::memory_order_acquire);
    // Two threads may ask at once; only the one that moves the time forward reports.
    while (now - last > interval_.count()) {
        if (lastReport_.compare_exchange_weak(last, now, std::memory_order_acq_rel)) return true;
    }
    return false;
}

void ProgressThrottle::reset() { reported_.store(false, std::memory_order_release); }

}  // namespace vellumar
