// TNotifier: the program's one background thread, and the tables it shares with the main
// thread. It has two jobs:
//  1. On behalf of the main window it walks the folders of an index's scope (AddScope with
//     scan now, SetScope), registers every folder in the directory table with a change
//     notification and, for every newly covered folder, calls OnScanFolder so that the
//     folder is indexed. The walk runs on the calling thread, which is the main thread.
//  2. On its own thread it polls every watched folder twice a second and calls
//     OnFolderChanged once per changed folder and index that takes files from it.
//
// Threads and the one lock. The main thread does every user action, walk, build and
// search; the notifier thread polls and reports. The notifier lock is the only lock: the
// notifier thread holds it for a whole polling pass (OnFolderChanged included), and the
// main thread takes it for every change of the scopes or tables, every walk, and while
// monitoring is suspended (Lock ... Unlock; the levels nest, see NotifierLock.h). Handlers
// of OnFolderChanged run with the lock held on the notifier thread (or on the main thread
// through FolderChanged) and must do all their user-interface work through
// RunInMainThread. A main thread waiting in Lock while a pass needs it serves the pass's
// RunInMainThread calls, so neither waits for the other for ever.
//
// Positions: every index of the main window's list has one scope here, at the same
// position. Scope numbers identify a scope for as long as it exists, whatever its position;
// the folder tables refer to indexes by number.
//
// How to wire it (the main window):
//  - FormCreate: construct it with the window's UserInterface (status line, processing of
//    pending messages), the program's ProgressThrottle, a MainThreadDispatcher that posts
//    into the Qt event loop (QMetaObject::invokeMethod(qApp, task, Qt::QueuedConnection)),
//    an InotifyChangeSource and, optionally, a PriorityControl. A failure here is extended
//    with ": can not create Notifier,\rIndexes and/or Parser objects." as for the other
//    shared objects.
//  - DeferredStartup: SetOnScanFolder(IndexFolderFiles) at its start, load the catalogue
//    with AddScope(scope, monitored, false), update the automatically updateable indexes,
//    and SetOnFolderChanged(HandleFolderChange) at its end.
//  - Radio buttons: Suspended = Lock(), Normal = Unlock().
//  - Unwatchable folders: after every build or update, and on the Monitoring page, show
//    UnwatchableStatusText() when it is not empty (the status line after the build's own
//    text, and a label on the page); UnwatchableCount() gives the number alone.
//  - Shutdown: SetOnScanFolder({}), SetOnFolderChanged({}), Clear(), Unlock() if suspended,
//    Terminate(), then destroy it: the destructor waits for the thread (serving its last
//    main-thread calls), so it never outlives the window it reports to.
//
// Thread: construct, destroy and call everything from the main thread, except what the
// OnFolderChanged handler calls on the notifier thread (Lock, Unlock, FolderPatterns,
// GetAutoUpdate, RunInMainThread), and Aborted, which either thread may read or set.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "monitor/DirectoryTable.h"
#include "monitor/NotifierLock.h"
#include "platform/ProgressThrottle.h"
#include "platform/UserInterface.h"
#include "platform/notify/ChangeNotification.h"
#include "scope/ScopeArrays.h"

namespace vellumar {

class ENotifierError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Lowers and restores the process's priority while an event handler runs (indexing is
// background work). Best effort; must not throw.
class PriorityControl {
  public:
    virtual ~PriorityControl() = default;
    virtual void SetIdle() = 0;
    virtual void SetNormal() = 0;
};

// Called by the walk for every newly covered folder: position, folder with its trailing
// "/" (/home/ann/docs/, or / for the root), the folder's pattern groups with the excluded
// patterns taken out, and the result (0 on entry; non-zero stops the whole walk).
using ScanFolderEvent = std::function<void(int position, const std::string& folder,
                                           const std::string& patterns, int& result)>;

// Called for a changed folder, once per index: position, folder key (no trailing "/"; the
// root is "/"), and stop (set it to end the reports for this folder).
using FolderChangedEvent = std::function<void(int position, const std::string& folder, bool& stop)>;

struct NotifierServices {
    UserInterface& ui;
    ProgressThrottle& throttle;
    MainThreadDispatcher& dispatcher;
    ChangeSource& changes;
    PriorityControl* priority = nullptr;
};

struct NotifierOptions {
    std::chrono::milliseconds pollInterval{500};
    bool startThread = true;  // tests may run passes themselves with PollPass
    std::int32_t tableCapacity = 1024;
    bool plainFolderHash = false;  // THashList's own hash in the folder tables (benchmark)
};

class TNotifier {
  public:
    explicit TNotifier(NotifierServices services, NotifierOptions options = {});
    ~TNotifier();
    TNotifier(const TNotifier&) = delete;
    TNotifier& operator=(const TNotifier&) = delete;

    // Inserts the scope at the smallest scope number not in use, which is also its
    // position, and returns it; walks it when scanNow is set and it is not blank.
    // walkResult, when given, receives the walk's stop code (see SetScope).
    int AddScope(const std::string& scope, bool autoUpdate, bool scanNow,
                 int* walkResult = nullptr);
    // Forgets the scope at position and its folders; a negative position does nothing.
    void RemoveScope(int position);
    // Replaces the scope at position and walks it again. Returns the walk's stop code: 0,
    // or the non-zero result with which an OnScanFolder handler ended the walk.
    int SetScope(int position, const std::string& scope);
    // Forgets every scope and folder; positions start again at 0.
    void Clear();

    bool GetAutoUpdate(int position);
    void SetAutoUpdate(int position, bool value);

    // The pattern groups the index at position takes from a watched folder.
    std::string FolderPatterns(int position, const std::string& folder);

    void Lock() { lock_.Lock(); }
    void Unlock() { lock_.Unlock(); }
    int LockLevels() const { return lock_.LockLevelsOfCaller(); }

    // Walks the subfolders of folder (a key) that the index at position covers but has not
    // registered yet (made or moved in since the last walk): they are watched, and
    // OnScanFolder indexes them. Returns the walk's stop code.
    int ScanNewSubfolders(int position, const std::string& folder);
    // The registered folders of the index at position at or under folder.
    std::vector<std::string> FoldersOf(int position, const std::string& folder);
    // The index at position stops watching folder and everything under it (deleted or
    // moved out of its scope); a folder that comes back is found by ScanNewSubfolders.
    void ForgetFolderTree(int position, const std::string& folder);

    // Reports a watched folder (exact key) on the calling thread, as if it had changed.
    void FolderChanged(const std::string& folder);

    // Runs fn on the main thread and returns when it has finished.
    void RunInMainThread(const std::function<void()>& fn) { lock_.RunInMainThread(fn); }
    // Main thread: runs the calls the notifier thread is waiting for (the dispatcher's
    // posted tasks do this; a main thread without an event loop calls it itself).
    void ServeMainThreadCalls() { lock_.ServeMainThreadCalls(); }

    bool Aborted() const { return aborted_.load(); }
    void SetAborted(bool value) { aborted_.store(value); }

    void SetOnScanFolder(ScanFolderEvent handler);
    void SetOnFolderChanged(FolderChangedEvent handler);

    // Asks the thread to end after its current pass; the destructor waits for it.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    bool ThreadFinished() const { return finished_.load(); }

    // One polling pass on the calling thread (what the thread does every interval).
    void PollPass();
    int PassCount() const { return passes_.load(); }

    int ScopeCount();
    std::string Scope(int position);
    int ScopeNumber(int position);

    int WatchedCount();
    int UnwatchableCount();
    // "" when every folder is watched; otherwise a sentence for the status line saying how
    // many folders get no live updates, and why.
    std::string UnwatchableStatusText();
    // The message of the last error a handler raised during a pass (they are discarded).
    std::string LastReportError();

    // The tables, for tests and diagnostics; hold the lock while reading them.
    const TDirectoryTable& Tables() const { return tables_; }

  private:
    void Execute();
    void PollPassLocked();
    void ReportFolder(std::int32_t index);
    int ScanScope(int position);
    struct WalkState;
    void WalkFolder(int position, const std::string& folder, const std::string& patterns,
                    bool subfolders, bool exclusion, WalkState& state);
    void RemoveScopeEntries(int position);
    void DropEmptyFolders();
    void CallIdle(const std::function<void()>& call);

    NotifierServices services_;
    NotifierOptions options_;
    NotifierLock lock_;
    std::vector<std::string> scopes_;
    TScopeNumberArray scopeNumbers_;
    TBooleanArray autoUpdate_;
    TDirectoryTable tables_;
    ScanFolderEvent onScanFolder_;
    FolderChangedEvent onFolderChanged_;
    std::atomic<bool> aborted_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> passes_{0};
    std::string lastReportError_;
    std::thread thread_;  // last: it starts only once everything above exists
};

}  // namespace vellumar
