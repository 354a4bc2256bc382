// The window's way to run notifier calls on the main thread: each posted task becomes a
// queued call into the Qt event loop. The notifier also serves its queue itself whenever
// the main thread waits for its lock, so posting never has to wait.
//
// Thread: Post from any thread; tasks run on the thread of the application object.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include "monitor/MainThreadDispatcher.h"

namespace vellumar {

class QtMainThreadDispatcher : public MainThreadDispatcher {
  public:
    void Post(std::function<void()> task) override {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task),
                                  Qt::QueuedConnection);
    }
};

}  // namespace vellumar
