// A notifier with plain collaborators: a silent user interface, a dispatcher the test
// pumps itself, and the fake change source.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "FakeChangeSource.h"
#include "monitor/Notifier.h"

namespace vellumar::testing {

struct ScanCall {
    int position;
    std::string folder;
    std::string patterns;
};

struct NotifierRig {
    explicit NotifierRig(NotifierOptions options = ManualOptions()) {
        notifier = std::make_unique<TNotifier>(
            NotifierServices{ui, throttle, dispatcher, source, nullptr}, options);
    }
    static NotifierOptions ManualOptions() {
        NotifierOptions o;
        o.startThread = false;
        return o;
    }
    static NotifierOptions ThreadOptions() {
        NotifierOptions o;
        o.pollInterval = std::chrono::milliseconds(5);
        return o;
    }
    // Records every OnScanFolder call.
    void RecordScans() {
        notifier->SetOnScanFolder([this](int position, const std::string& folder,
                                         const std::string& patterns, int& result) {
            scans.push_back({position, folder, patterns});
            result = 0;
        });
    }
    std::vector<std::string> ScannedFolders() const {
        std::vector<std::string> out;
        for (const auto& s : scans) out.push_back(s.folder);
        return out;
    }

    SilentUserInterface ui;
    ProgressThrottle throttle;
    QueuedDispatcher dispatcher;
    FakeChangeSource source;
    std::vector<ScanCall> scans;
    std::unique_ptr<TNotifier> notifier;  // last: destroyed first
};

}  // namespace vellumar::testing
