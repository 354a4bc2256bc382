#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "monitor/NotifierLock.h"

using namespace vellumar;

TEST(NotifierLock, LockLevelsBelongToTheirThreadAndNest) {
    QueuedDispatcher dispatcher;
    NotifierLock lock(dispatcher, std::this_thread::get_id());
    lock.Lock();  // monitoring suspended
    lock.Lock();  // a build while suspended
    EXPECT_EQ(lock.LockLevelsOfCaller(), 2);

    std::thread other([&] {
        EXPECT_EQ(lock.LockLevelsOfCaller(), 0);
        EXPECT_FALSE(lock.HeldByCaller());
        lock.Unlock();  // not the owner: nothing
        lock.Release();
    });
    other.join();
    EXPECT_EQ(lock.LockLevelsOfCaller(), 2);

    lock.Unlock();  // the build ends: still suspended
    EXPECT_TRUE(lock.HeldByCaller());
    lock.Unlock();
    EXPECT_FALSE(lock.HeldByCaller());
    lock.Unlock();  // one Unlock too many does nothing
    EXPECT_EQ(lock.LockLevelsOfCaller(), 0);

    // A plain level (a table change) is not a Lock level: Unlock leaves it alone.
    lock.Acquire();
    lock.Unlock();
    EXPECT_TRUE(lock.HeldByCaller());
    lock.Release();

    std::atomic<bool> stop{false};
    std::thread taker([&] {
        EXPECT_TRUE(lock.AcquireUnless(stop));
        lock.Release();
    });
    taker.join();
}

TEST(NotifierLock, TrimmingDropsLockLevelsAHandlerLeftBehind) {
    QueuedDispatcher dispatcher;
    NotifierLock lock(dispatcher, std::this_thread::get_id());
    lock.Acquire();  // the pass
    const int before = lock.LockLevelsOfCaller();
    lock.Lock();
    lock.Lock();  // a handler that returned without its Unlocks
    lock.TrimLockLevels(before);
    EXPECT_EQ(lock.LockLevelsOfCaller(), 0);
    lock.Release();
    EXPECT_FALSE(lock.HeldByCaller());
}

// The main thread waiting for the lock serves the calls of the thread that holds it, even
// when nothing pumps the dispatcher.
TEST(NotifierLock, MainThreadWaitingInLockServesMainThreadCalls) {
    QueuedDispatcher dispatcher;  // never pumped in this test
    const auto mainId = std::this_thread::get_id();
    NotifierLock lock(dispatcher, mainId);
    std::atomic<bool> holding{false};
    std::thread::id ranOn;
    std::thread pass([&] {
        lock.Acquire();
        holding = true;
        while (!lock.HasWaiterForTest()) std::this_thread::yield();
        lock.RunInMainThread([&] { ranOn = std::this_thread::get_id(); });
        lock.RunInMainThread([&] {});
        lock.Release();
    });
    while (!holding) std::this_thread::yield();
    lock.Lock();  // would deadlock if the wait did not serve the pass
    EXPECT_EQ(ranOn, mainId);
    lock.Unlock();
    pass.join();
}

TEST(NotifierLock, RunInMainThreadPassesErrorsBackAndRunsDirectlyOnTheMainThread) {
    QueuedDispatcher dispatcher;
    NotifierLock lock(dispatcher, std::this_thread::get_id());
    int direct = 0;
    lock.RunInMainThread([&] { ++direct; });
    EXPECT_EQ(direct, 1);
    EXPECT_EQ(dispatcher.RunPending(), 0);

    std::atomic<bool> caught{false};
    std::thread worker([&] {
        try {
            lock.RunInMainThread([] { throw std::runtime_error("from the window"); });
        } catch (const std::runtime_error& e) {
            caught = std::string(e.what()) == "from the window";
        }
    });
    // The main thread idles in its event loop: the posted task serves the call.
    while (dispatcher.WaitAndRunPending(std::chrono::milliseconds(50)) == 0) {
    }
    worker.join();
    EXPECT_TRUE(caught);
}
