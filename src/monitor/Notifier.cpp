#include "monitor/Notifier.h"

#include <cerrno>
#include <cstring>
#include <exception>

#include "platform/notify/InotifyChangeSource.h"
#include "scope/ScopeStrings.h"

namespace vellumar {

TNotifier::TNotifier(NotifierServices services, NotifierOptions options)
    : services_(services),
      options_(options),
      lock_(services.dispatcher, std::this_thread::get_id()),
      tables_(services.changes, options.tableCapacity, options.plainFolderHash) {
    if (options_.startThread) thread_ = std::thread([this] { Execute(); });
}

TNotifier::~TNotifier() {
    Terminate();
    if (thread_.joinable()) {
        // The thread may be in a pass that waits for a main-thread call: serve it.
        lock_.WaitUntil([this] { return finished_.load(); });
        thread_.join();
    }
}

void TNotifier::Terminate() {
    terminated_.store(true);
    lock_.Wake();
}

void TNotifier::Execute() {
    while (!terminated_.load()) {
        if (!lock_.AcquireUnless(terminated_)) break;
        PollPassLocked();
        lock_.Release();
        lock_.SleepUnless(terminated_, options_.pollInterval);
    }
    finished_.store(true);
    lock_.Wake();
}

void TNotifier::PollPass() {
    NotifierLockGuard guard(lock_);
    PollPassLocked();
}

void TNotifier::PollPassLocked() {
    ++passes_;
    ChangeSource& source = services_.changes;
    const THandleArray& handles = tables_.Handles();
    if (handles.Count() == 0 || !source.AnySignalled()) return;
    std::int32_t start = 0;
    std::int32_t retries = 0;
    while (start < handles.Count()) {
        const std::int32_t count = std::min<std::int32_t>(
            handles.Count() - start, static_cast<std::int32_t>(kMaxWaitHandles));
        const std::uint32_t hit = source.WaitForMultipleObjects(static_cast<std::uint32_t>(count),
                                                                handles.EntryAddress(start), 0);
        if (hit < static_cast<std::uint32_t>(count)) {
            const std::int32_t index = start + static_cast<std::int32_t>(hit);
            source.FindNextChangeNotification(handles.Get(index));
            const int levels = lock_.LockLevelsOfCaller();
            try {
                ReportFolder(index);
            } catch (const std::exception& e) {
                // A failed report never ends monitoring; the batch is polled again so that
                // its other changed folders still get their turn in this pass. The limit
                // keeps a folder that changes all the time from holding the pass for ever.
                lastReportError_ = e.what();
                lock_.TrimLockLevels(levels);
                if (++retries <= count) continue;
            } catch (...) {
                lastReportError_ = "unknown error";
                lock_.TrimLockLevels(levels);
                if (++retries <= count) continue;
            }
            lock_.TrimLockLevels(levels);
        }
        retries = 0;
        start += count;
    }
}

void TNotifier::CallIdle(const std::function<void()>& call) {
    struct Restore {
        PriorityControl* priority;
        ~Restore() {
            if (priority) priority->SetNormal();
        }
    } restore{services_.priority};
    if (services_.priority) services_.priority->SetIdle();
    call();
}

void TNotifier::ReportFolder(std::int32_t index) {
    if (index < 0 || index >= tables_.Watched().Count()) return;
    const TDirItem* folder = tables_.WatchedFolder(index);
    if (folder->PatternCount() == 0) return;
    // Copies: a handler may change the tables (through FolderChanged on the main thread).
    const std::string key = folder->Path();
    std::vector<std::int32_t> numbers;
    for (const TPatternItem& item : folder->Patterns()) {
        if (numbers.empty() || numbers.back() != item.number) numbers.push_back(item.number);
    }
    for (const std::int32_t number : numbers) {
        const int position = scopeNumbers_.IndexOf(number);
        // A number whose scope is gone has no index to report to.
        if (position < 0 || !onFolderChanged_) continue;
        bool stop = false;
        const FolderChangedEvent handler = onFolderChanged_;
        CallIdle([&] { handler(position, key, stop); });
        if (stop) return;
    }
}

int TNotifier::AddScope(const std::string& scope, bool autoUpdate, bool scanNow, int* walkResult) {
    NotifierLockGuard guard(lock_);
    int position = 0;
    while (position < scopeNumbers_.Count() && scopeNumbers_.Get(position) == position) ++position;
    scopeNumbers_.Insert(position, position);
    autoUpdate_.Insert(position, autoUpdate);
    scopes_.insert(scopes_.begin() + position, scope);
    const int walked = scanNow && !trimScopeBlanks(scope).empty() ? ScanScope(position) : 0;
    if (walkResult) *walkResult = walked;
    return position;
}

void TNotifier::RemoveScope(int position) {
    if (position < 0) return;
    NotifierLockGuard guard(lock_);
    scopeNumbers_.Get(position);  // raises for a position beyond the list, changing nothing
    RemoveScopeEntries(position);
    DropEmptyFolders();
    scopeNumbers_.Delete(position);
    autoUpdate_.Delete(position);
    scopes_.erase(scopes_.begin() + position);
}

int TNotifier::SetScope(int position, const std::string& scope) {
    NotifierLockGuard guard(lock_);
    if (position < 0 || position >= static_cast<int>(scopes_.size()))
        throw ENotifierError("Scope index is out of range when writing");
    scopes_[static_cast<std::size_t>(position)] = scope;
    RemoveScopeEntries(position);
    int walked = 0;
    try {
        if (!trimScopeBlanks(scope).empty()) walked = ScanScope(position);
    } catch (...) {
        DropEmptyFolders();
        throw;
    }
    DropEmptyFolders();
    return walked;
}

void TNotifier::Clear() {
    NotifierLockGuard guard(lock_);
    scopes_.clear();
    scopeNumbers_.Clear();
    autoUpdate_.Clear();
    tables_.Clear();
}

bool TNotifier::GetAutoUpdate(int position) {
    NotifierLockGuard guard(lock_);
    return autoUpdate_.Get(position);
}

void TNotifier::SetAutoUpdate(int position, bool value) {
    NotifierLockGuard guard(lock_);
    autoUpdate_.Put(position, value);
}

std::string TNotifier::FolderPatterns(int position, const std::string& folder) {
    NotifierLockGuard guard(lock_);
    if (position < 0 || position >= scopeNumbers_.Count()) return {};
    return tables_.FolderPatterns(folder, scopeNumbers_.Get(position));
}

void TNotifier::FolderChanged(const std::string& folder) {
    NotifierLockGuard guard(lock_);
    const std::int32_t index = tables_.Watched().IndexOf(folder);
    if (index >= 0) ReportFolder(index);
}

void TNotifier::SetOnScanFolder(ScanFolderEvent handler) {
    NotifierLockGuard guard(lock_);
    onScanFolder_ = std::move(handler);
}

void TNotifier::SetOnFolderChanged(FolderChangedEvent handler) {
    NotifierLockGuard guard(lock_);
    onFolderChanged_ = std::move(handler);
}

void TNotifier::RemoveScopeEntries(int position) {
    NotifierLockGuard guard(lock_);
    tables_.RemoveEntries(scopeNumbers_.Get(position));
}

void TNotifier::DropEmptyFolders() {
    NotifierLockGuard guard(lock_);
    tables_.DropEmptyFolders();
}

int TNotifier::ScopeCount() {
    NotifierLockGuard guard(lock_);
    return static_cast<int>(scopes_.size());
}

std::string TNotifier::Scope(int position) {
    NotifierLockGuard guard(lock_);
    if (position < 0 || position >= static_cast<int>(scopes_.size())) return {};
    return scopes_[static_cast<std::size_t>(position)];
}

int TNotifier::ScopeNumber(int position) {
    NotifierLockGuard guard(lock_);
    return scopeNumbers_.Get(position);
}

int TNotifier::WatchedCount() {
    NotifierLockGuard guard(lock_);
    return tables_.Watched().Count();
}

int TNotifier::UnwatchableCount() {
    NotifierLockGuard guard(lock_);
    return tables_.Unwatchable().Count();
}

std::string TNotifier::UnwatchableStatusText() {
    NotifierLockGuard guard(lock_);
    const int count = tables_.Unwatchable().Count();
    if (count == 0) return {};
    std::string text =
        "Live updates are off for " + std::to_string(count) + (count == 1 ? " folder" : " folders");
    if (tables_.WatchLimitReached()) {
        text += ": the system's limit of watched folders";
        const long limit = InotifyChangeSource::MaxUserWatches();
        if (limit > 0) text += " (fs.inotify.max_user_watches = " + std::to_string(limit) + ")";
        text += " is reached";
    } else if (tables_.LastRefusal() != 0) {
        text +=
            std::string(" that cannot be watched (") + std::strerror(tables_.LastRefusal()) + ")";
    }
    return text + ". Update the index to catch up on their changes.";
}

std::string TNotifier::LastReportError() {
    NotifierLockGuard guard(lock_);
    return lastReportError_;
}

}  // namespace vellumar
