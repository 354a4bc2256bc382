#include "cli/WatchCommand.h"

#include <time.h>
#include <atomic>
#include <csignal>

#include "cli/CliSession.h"
#include "cli/CliText.h"
#include "index/BuildResult.h"
#include "index/FolderChangeHandler.h"
#include "monitor/MonitorLock.h"

namespace vellumar::cli {

namespace {

std::atomic<bool> stopRequested{false};
std::atomic<bool>* cancelFlag = nullptr;

extern "C" void onStopSignal(int) {
    // Lock-free stores only: the running update stops between files, the loop after it.
    stopRequested.store(true);
    if (cancelFlag) cancelFlag->store(true);
}

// One line per automatic update on standard output, failures on standard error.
class ConsoleUpdateView : public FolderChangeView {
  public:
    ConsoleUpdateView(std::FILE* out, UserInterface& ui) : out_(out), ui_(ui) {}
    void updateStarting(int, const std::string&) override {}
    void updateFinished(const FolderChangeReport& report) override {
        const FolderUpdateOutcome& o = report.outcome;
        if (!o.message.empty()) {
            ui_.showMessage(o.message, MessageIcon::Error, MessageButtons::Ok);
            return;
        }
        if (!o.ran) return;
        std::fprintf(out_, "%s\t%s\t%d added, %d replaced, %d removed%s\n",
                     plainText(report.indexName).c_str(), plainText(report.folder).c_str(), o.added,
                     o.replaced, o.removed,
                     o.code == BuildResult::kUserCancel ? " (cancelled)" : "");
        std::fflush(out_);
    }

  private:
    std::FILE* out_;
    UserInterface& ui_;
};

struct SignalScope {
    explicit SignalScope(std::atomic<bool>& cancel) {
        stopRequested.store(false);
        cancelFlag = &cancel;
        std::signal(SIGINT, onStopSignal);
        std::signal(SIGTERM, onStopSignal);
    }
    ~SignalScope() {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        cancelFlag = nullptr;
    }
};

}  // namespace

void requestWatchStop() { onStopSignal(0); }

int watchIndexes(Session& s, std::FILE* out, const WatchOptions& options) {
    IndexingCore& core = *s.core;
    if (!core.homeLock.TryAcquire()) {
        const std::string holder = core.homeLock.Holder();
        s.ui.showMessage("The home " + s.home.string() + " is in use" +
                             (holder.empty() ? std::string() : " by the " + holder) +
                             ": only one program at a time may update its indexes.",
                         MessageIcon::Error, MessageButtons::Ok);
        return 1;
    }
    const SignalScope signals(core.cancel);

    // Full updates first: they walk the folders, which watches them, and catch up on what
    // changed while nothing watched.
    int watched = 0;
    for (int position = 0; position < core.catalogue.count() && !stopRequested.load();) {
        const int count = core.catalogue.count();
        if (!core.notifier.GetAutoUpdate(position)) {
            ++position;
            continue;
        }
        if (core.catalogue.opened() != position && s.open(core.catalogue.name(position)) < 0) {
            if (core.catalogue.count() == count) ++position;
            continue;
        }
        IndexRequest request = s.requestFor(position);
        const BuildOutcome outcome = core.builder.Build(BuildKind::Update, position, request);
        s.ui.finishProgress();
        if (core.catalogue.count() < count) continue;  // dropped: the next one moved here
        if (outcome.ran && isBuildSuccess(outcome.code)) {
            ++watched;
            std::fprintf(out, "Watching \"%s\"\n",
                         plainText(core.catalogue.name(position)).c_str());
            std::fflush(out);
        }
        ++position;
    }
    const std::string unwatchable = core.notifier.UnwatchableStatusText();
    if (!unwatchable.empty())
        s.ui.showMessage(unwatchable, MessageIcon::Warning, MessageButtons::Ok);
    if (watched == 0 && !stopRequested.load()) {
        s.ui.showMessage("No automatically updateable index to watch in " + s.indexFolder +
                             " (create one with --auto-update).",
                         MessageIcon::Error, MessageButtons::Ok);
        return 1;
    }

    MonitoringFilter filter;
    filter.excludedFolders = s.settings.notMonitoredDirectories;
    filter.indexFolderOff = s.settings.indexFolderOff;
    filter.systemFoldersOff = s.settings.windowsFolderOff;
    filter.tempFolderOff = s.settings.tempFolderOff;
    filter.indexFolder = s.indexFolder;
    filter.systemFolders = defaultSystemFolders();
    filter.tempFolder = defaultTempFolder();
    ConsoleUpdateView view(out, s.ui);
    core.folderChanges.SetFilter(std::move(filter));
    core.folderChanges.SetView(&view);
    core.folderChanges.Attach();

    // The main thread polls: the window's notifier thread does the same passes. It sleeps
    // the whole interval at once (a signal cuts the sleep short), since waking up often
    // would cost more than the idle passes themselves.
    while (!stopRequested.load()) {
        core.notifier.PollPass();
        const auto interval = options.pollInterval;
        timespec rest{static_cast<time_t>(interval.count() / 1000),
                      static_cast<long>(interval.count() % 1000) * 1'000'000};
        if (!stopRequested.load()) ::nanosleep(&rest, nullptr);
    }
    core.folderChanges.Detach();
    core.folderChanges.SetView(nullptr);
    return 0;
}

}  // namespace vellumar::cli
