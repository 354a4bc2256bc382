#include "monitor/NotifierLock.h"

namespace vellumar {

NotifierLock::NotifierLock(MainThreadDispatcher& dispatcher, std::thread::id mainThread)
    : dispatcher_(dispatcher), mainThread_(mainThread), state_(std::make_shared<State>()) {}

bool NotifierLock::State::ServeOne(std::unique_lock<std::mutex>& held) {
    if (calls.empty()) return false;
    Call* call = calls.front();
    calls.pop_front();
    held.unlock();
    std::exception_ptr error;
    try {
        (*call->fn)();
    } catch (...) {
        error = std::current_exception();
    }
    held.lock();
    call->error = error;
    call->done = true;
    changed.notify_all();
    return true;
}

void NotifierLock::Acquire() {
    State& s = *state_;
    std::unique_lock held(s.mutex);
    const auto me = std::this_thread::get_id();
    if (s.owner == me && s.levels > 0) {
        ++s.levels;
        return;
    }
    const bool main = me == mainThread_;
    if (s.levels > 0) {
        ++waiters_;
        while (s.levels > 0) {
            if (main && s.ServeOne(held)) continue;
            s.changed.wait(held);
        }
        --waiters_;
    }
    s.owner = me;
    s.levels = 1;
    s.lockLevels = 0;
}

bool NotifierLock::AcquireUnless(const std::atomic<bool>& stop) {
    State& s = *state_;
    std::unique_lock held(s.mutex);
    const auto me = std::this_thread::get_id();
    if (s.owner == me && s.levels > 0) {
        ++s.levels;
        return true;
    }
    s.changed.wait(held, [&] { return s.levels == 0 || stop.load(); });
    if (stop.load()) return false;
    s.owner = me;
    s.levels = 1;
    s.lockLevels = 0;
    return true;
}

void NotifierLock::ReleaseLocked(std::unique_lock<std::mutex>&) {
    State& s = *state_;
    if (--s.levels == 0) {
        s.owner = std::thread::id();
        s.lockLevels = 0;
        s.changed.notify_all();
    }
}

void NotifierLock::Release() {
    std::unique_lock held(state_->mutex);
    if (state_->owner != std::this_thread::get_id() || state_->levels == 0) return;
    ReleaseLocked(held);
}

void NotifierLock::Lock() {
    Acquire();
    std::lock_guard held(state_->mutex);
    ++state_->lockLevels;
}

void NotifierLock::Unlock() {
    std::unique_lock held(state_->mutex);
    State& s = *state_;
    if (s.owner != std::this_thread::get_id() || s.lockLevels == 0) return;
    --s.lockLevels;
    ReleaseLocked(held);
}

int NotifierLock::LockLevelsOfCaller() const {
    std::lock_guard held(state_->mutex);
    return state_->owner == std::this_thread::get_id() ? state_->lockLevels : 0;
}

void NotifierLock::TrimLockLevels(int keep) {
    std::unique_lock held(state_->mutex);
    State& s = *state_;
    if (s.owner != std::this_thread::get_id()) return;
    while (s.lockLevels > keep && s.levels > 1) {
        --s.lockLevels;
        --s.levels;
    }
}

bool NotifierLock::HeldByCaller() const {
    std::lock_guard held(state_->mutex);
    return state_->levels > 0 && state_->owner == std::this_thread::get_id();
}

void NotifierLock::RunInMainThread(const std::function<void()>& fn) {
    if (IsMainThread()) {
        fn();
        return;
    }
    Call call{&fn, false, nullptr};
    State& s = *state_;
    {
        std::lock_guard held(s.mutex);
        s.calls.push_back(&call);
        s.changed.notify_all();  // a main thread waiting for the lock serves it
    }
    std::weak_ptr<State> weak = state_;
    dispatcher_.Post([weak] {
        if (auto state = weak.lock()) {
            std::unique_lock held(state->mutex);
            while (state->ServeOne(held)) {
            }
        }
    });
    std::unique_lock held(s.mutex);
    s.changed.wait(held, [&] { return call.done; });
    if (call.error) std::rethrow_exception(call.error);
}

void NotifierLock::ServeMainThreadCalls() {
    std::unique_lock held(state_->mutex);
    while (state_->ServeOne(held)) {
    }
}

void NotifierLock::WaitUntil(const std::function<bool()>& done) {
    State& s = *state_;
    std::unique_lock held(s.mutex);
    while (!done()) {
        if (s.ServeOne(held)) continue;
        s.changed.wait_for(held, std::chrono::milliseconds(20));
    }
}

void NotifierLock::SleepUnless(const std::atomic<bool>& stop, std::chrono::milliseconds interval) {
    std::unique_lock held(state_->mutex);
    state_->changed.wait_for(held, interval, [&] { return stop.load(); });
}

void NotifierLock::Wake() {
    std::lock_guard held(state_->mutex);
    state_->changed.notify_all();
}

}  // namespace vellumar
