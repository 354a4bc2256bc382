// A change source for tests: folders are "watched" without the kernel, a test signals them
// by path, and chosen folders are refused with a chosen errno.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/notify/ChangeNotification.h"

namespace vellumar::testing {

class FakeChangeSource : public ChangeSource {
  public:
    ChangeHandle FindFirstChangeNotification(const std::string& folder, int& error) override {
        std::lock_guard lock(mutex_);
        requested.push_back(folder);
        auto refused = refuse.find(folder);
        if (refused != refuse.end() || refuseAll != 0) {
            error = refused != refuse.end() ? refused->second : refuseAll;
            return kInvalidChangeHandle;
        }
        error = 0;
        const ChangeHandle h = next_++;
        open_[h] = folder;
        return h;
    }
    bool FindNextChangeNotification(ChangeHandle h) override {
        std::lock_guard lock(mutex_);
        if (!open_.count(h)) return false;
        signalled_.erase(h);
        ++rearms;
        return true;
    }
    bool FindCloseChangeNotification(ChangeHandle h) override {
        std::lock_guard lock(mutex_);
        signalled_.erase(h);
        return open_.erase(h) == 1;
    }
    std::uint32_t WaitForMultipleObjects(std::uint32_t count, const ChangeHandle* handles,
                                         std::uint32_t) override {
        std::lock_guard lock(mutex_);
        ++waits;
        if (count == 0 || count > kMaxWaitHandles) return kWaitFailed;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (signalled_.count(handles[i])) return i;
        }
        return kWaitTimeout;
    }

    // Signals every open handle on folder; false when none is open.
    bool Signal(const std::string& folder) {
        std::lock_guard lock(mutex_);
        bool any = false;
        for (const auto& [h, path] : open_) {
            if (path == folder) {
                signalled_.insert(h);
                any = true;
            }
        }
        return any;
    }
    int OpenCount() {
        std::lock_guard lock(mutex_);
        return static_cast<int>(open_.size());
    }

    std::map<std::string, int> refuse;  // folder -> errno
    int refuseAll = 0;
    std::vector<std::string> requested;
    int waits = 0;
    int rearms = 0;

  private:
    std::mutex mutex_;
    ChangeHandle next_ = 100;
    std::map<ChangeHandle, std::string> open_;
    std::set<ChangeHandle> signalled_;
};

}  // namespace vellumar::testing
