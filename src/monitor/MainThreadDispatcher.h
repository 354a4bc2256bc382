// How work reaches the main thread. The notifier's RunInMainThread queues a call and asks
// the dispatcher to have the main thread look at the queue; the main thread also serves the
// queue on its own whenever it waits for the notifier's lock, so the dispatcher only needs
// to post, never to wait.
//
// The window implements Post with a queued call into its event loop (Qt: invokeMethod with
// a queued connection on the application object). QueuedDispatcher is the plain version
// for tests and the command-line tool: the main thread calls RunPending itself.
//
// Thread: Post may be called from any thread; the posted task must run on the main thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace vellumar {

class MainThreadDispatcher {
  public:
    virtual ~MainThreadDispatcher() = default;
    // Runs task on the main thread soon, without waiting for it.
    virtual void Post(std::function<void()> task) = 0;
};

class QueuedDispatcher : public MainThreadDispatcher {
  public:
    void Post(std::function<void()> task) override {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        posted_.notify_all();
    }

    // Main thread: runs the tasks posted so far; returns how many ran.
    int RunPending() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) task();
        return static_cast<int>(tasks.size());
    }

    // Main thread: waits up to timeout for a task, then runs what is pending.
    int WaitAndRunPending(std::chrono::milliseconds timeout) {
        {
            std::unique_lock lock(mutex_);
            posted_.wait_for(lock, timeout, [&] { return !tasks_.empty(); });
        }
        return RunPending();
    }

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace vellumar
