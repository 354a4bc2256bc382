// Holds the notifier's lock (TNotifier::Lock / Unlock) for the length of a scope, so the
// polling thread reports nothing while the catalogue or an index changes. Released also
// when an exception leaves the scope. The levels nest, so holding it inside a suspension
// of monitoring is fine.
#pragma once

#include "monitor/Notifier.h"

namespace vellumar {

class MonitorLock {
  public:
    explicit MonitorLock(TNotifier& notifier) : notifier_(notifier) { notifier_.Lock(); }
    ~MonitorLock() { notifier_.Unlock(); }
    MonitorLock(const MonitorLock&) = delete;
    MonitorLock& operator=(const MonitorLock&) = delete;

  private:
    TNotifier& notifier_;
};

}  // namespace vellumar
