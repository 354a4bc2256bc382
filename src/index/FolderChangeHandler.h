// What happens when the notifier reports a changed folder of an index: the automatic update
// of that one folder, with every rule that decides whether it runs (the index's flag, the
// system, temporary and index folders when they are not monitored, the folders excluded by
// name) and the report of what it did. The window and `vellumar-cli watch` run this same
// code; each gives it a FolderChangeView for its own output.
//
// Handle runs on the thread that holds the notifier lock: the notifier thread in a polling
// pass, or the main thread through TNotifier::FolderChanged. The view's calls come on that
// thread too; a window view moves its work to the main thread with RunInMainThread.
//
// The filter is read by Handle under the notifier lock and changed by SetFilter, which
// takes the lock, so a change from the main thread never meets a running update halfway.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "index/FolderUpdater.h"

namespace vellumar {

class Catalogue;
class HomeLock;
class TNotifier;

// Which changed folders are ignored.
struct MonitoringFilter {
    // Ignored by exact name: a folder listed here is ignored, its subfolders are not.
    std::vector<std::string> excludedFolders;
    bool indexFolderOff = true;
    bool systemFoldersOff = true;
    bool tempFolderOff = true;
    std::string indexFolder;                 // with or without its trailing "/"
    std::vector<std::string> systemFolders;  // see defaultSystemFolders()
    std::string tempFolder;                  // see defaultTempFolder()

    // folder: a notifier folder key (no trailing "/", the root is "/").
    bool Ignores(const std::string& folder) const;
};

// The folders that "Do not monitor system folders" stands for.
std::vector<std::string> defaultSystemFolders();
// $TMPDIR, else /tmp.
std::string defaultTempFolder();
// The key the notifier reports for a folder as the user names it ("/data/" -> "/data",
// "/" stays "/").
std::string folderKeyOf(std::string folder);

// One automatic update, as the view hears of it.
struct FolderChangeReport {
    int position = -1;
    std::string indexName;
    std::string folder;  // the notifier's key
    FolderUpdateOutcome outcome;
};

class FolderChangeView {
  public:
    virtual ~FolderChangeView() = default;
    // Before the update: the window disables searching and saves its status text.
    virtual void updateStarting(int position, const std::string& folder) = 0;
    // After it, on every path that started it (failed, cancelled or nothing to do).
    virtual void updateFinished(const FolderChangeReport& report) = 0;
};

class FolderChangeHandler {
  public:
    // homeLock: when set, an update runs only while this process holds the home.
    FolderChangeHandler(TNotifier& notifier, Catalogue& catalogue, FolderUpdater& updater,
                        HomeLock* homeLock)
        : notifier_(notifier), catalogue_(catalogue), updater_(updater), homeLock_(homeLock) {}

    void SetView(FolderChangeView* view);
    void SetFilter(MonitoringFilter filter);
    MonitoringFilter Filter();

    // The notifier's OnFolderChanged handler. It never sets stop.
    void Handle(int position, const std::string& folder, bool& stop);
    // Attaches Handle to the notifier (the end of start-up), or detaches it.
    void Attach();
    void Detach();

  private:
    TNotifier& notifier_;
    Catalogue& catalogue_;
    FolderUpdater& updater_;
    HomeLock* homeLock_;
    FolderChangeView* view_ = nullptr;
    MonitoringFilter filter_;
};

}  // namespace vellumar
