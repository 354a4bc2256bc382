// The notifier's one lock: re-entrant for its owner, and able to carry calls to the main
// thread while the main thread waits for it.
//
// Levels: every Acquire by the owner adds a level and every Release removes one; the lock
// is free when none is left. Lock/Unlock are the public pair: they add and remove levels
// that are marked as taken through Lock, so Unlock by a thread that holds no such level
// (or does not own the lock) does nothing. A Lock made by one thread never counts for the
// other. Lock/Unlock nest: a main window that suspends monitoring (Lock) and then runs a
// build (Lock ... Unlock) stays suspended until its matching Unlock.
//
// The deadlock rule: a polling pass holds the lock and may call RunInMainThread, which
// waits until the main thread has run the call. The main thread therefore runs queued
// calls whenever it waits here (in Acquire, Lock and WaitUntil), and the dispatcher wakes it
// when it is idle in its event loop. So a main thread waiting in Lock while a pass needs it
// always serves the pass, and the pass then ends and frees the lock.
// Calls run through RunInMainThread must not take this lock themselves.
//
// Thread: any thread; the main thread is the one given at construction.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "monitor/MainThreadDispatcher.h"

namespace vellumar {

class NotifierLock {
  public:
    NotifierLock(MainThreadDispatcher& dispatcher, std::thread::id mainThread);
    NotifierLock(const NotifierLock&) = delete;
    NotifierLock& operator=(const NotifierLock&) = delete;

    void Acquire();
    // Acquire for a thread that must give up when stop is set (the polling thread).
    bool AcquireUnless(const std::atomic<bool>& stop);
    void Release();

    void Lock();
    void Unlock();
    // Levels the calling thread holds through Lock (0 when it does not own the lock).
    int LockLevelsOfCaller() const;
    // Drops the calling thread's Lock levels above keep (a handler that forgot its Unlock
    // must not leave the polling thread holding the lock for ever).
    void TrimLockLevels(int keep);
    bool HeldByCaller() const;

    // Runs fn on the main thread and returns when it has run; its exception is passed on.
    void RunInMainThread(const std::function<void()>& fn);

    // Main thread: runs every queued call.
    void ServeMainThreadCalls();

    // Main thread: waits until done() is true (checked under the lock's mutex), serving
    // queued calls meanwhile.
    void WaitUntil(const std::function<bool()>& done);

    // Sleeps for up to interval, waking early when stop is set and Wake is called.
    void SleepUnless(const std::atomic<bool>& stop, std::chrono::milliseconds interval);
    void Wake();

    // True while some thread waits in Acquire (for tests that need a waiter in place).
    bool HasWaiterForTest() const { return waiters_.load() > 0; }

    bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

  private:
    struct Call {
        const std::function<void()>* fn;
        bool done = false;
        std::exception_ptr error;
    };
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::thread::id owner;
        int levels = 0;
        int lockLevels = 0;
        std::deque<Call*> calls;
        // Runs one queued call with the mutex released; returns false when none is queued.
        bool ServeOne(std::unique_lock<std::mutex>& held);
    };

    void ReleaseLocked(std::unique_lock<std::mutex>& held);

    MainThreadDispatcher& dispatcher_;
    std::thread::id mainThread_;
    std::shared_ptr<State> state_;  // shared with tasks posted to the dispatcher
    std::atomic<int> waiters_{0};
};

// Holds one level of the lock for a scope.
class NotifierLockGuard {
  public:
    explicit NotifierLockGuard(NotifierLock& lock) : lock_(lock) { lock_.Acquire(); }
    ~NotifierLockGuard() { lock_.Release(); }
    NotifierLockGuard(const NotifierLockGuard&) = delete;
    NotifierLockGuard& operator=(const NotifierLockGuard&) = delete;

  private:
    NotifierLock& lock_;
};

}  // namespace vellumar
