#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "NotifierRig.h"
#include "TempTree.h"

using namespace vellumar;
using vellumar::testing::NotifierRig;
using vellumar::testing::TempTree;

namespace {

struct Report {
    int position;
    std::string folder;
    int pass;
};

// A tree of count folders: the root and count - 1 subfolders, all watched by one scope.
std::vector<std::string> WatchTree(NotifierRig& rig, const TempTree& tree, int count,
                                   const std::string& patterns = "<*.txt>") {
    for (int i = 1; i < count; ++i) tree.Folder("f" + std::to_string(1000 + i));
    rig.notifier->AddScope(tree.Path() + "/+" + patterns, true, true);
    std::vector<std::string> order;
    for (std::int32_t i = 0; i < rig.notifier->Tables().Watched().Count(); ++i)
        order.push_back(rig.notifier->Tables().WatchedFolder(i)->Path());
    return order;
}

// Waits (without a time limit that a slow machine could hit) until done() holds.
template <typename F>
void WaitFor(std::mutex& m, std::condition_variable& cv, F done) {
    std::unique_lock lock(m);
    while (!cv.wait_for(lock, std::chrono::seconds(60), done)) {
    }
}

}  // namespace

TEST(NotifierPoll, OneReportPerBatchOf64AndOnePerChange) {
    TempTree tree;
    NotifierRig rig;
    const auto folders = WatchTree(rig, tree, 130);
    ASSERT_EQ(folders.size(), 130u);
    std::vector<std::string> reports;
    rig.notifier->SetOnFolderChanged([&](int position, const std::string& folder, bool&) {
        EXPECT_EQ(position, 0);
        reports.push_back(folder);
    });

    rig.source.waits = 0;
    rig.notifier->PollPass();
    EXPECT_EQ(rig.source.waits, 3);  // 64 + 64 + 2
    EXPECT_TRUE(reports.empty());

    // Folders 3 and 10 share the first batch: one per pass. Folder 100 has its own batch.
    rig.source.Signal(folders[10]);
    rig.source.Signal(folders[3]);
    rig.source.Signal(folders[3]);  // changed twice: reported once
    rig.source.Signal(folders[100]);
    rig.notifier->PollPass();
    EXPECT_EQ(reports, (std::vector<std::string>{folders[3], folders[100]}));
    rig.notifier->PollPass();
    EXPECT_EQ(reports, (std::vector<std::string>{folders[3], folders[100], folders[10]}));
    rig.notifier->PollPass();
    EXPECT_EQ(reports.size(), 3u);
}

TEST(NotifierPoll, AFolderOfTwoIndexesIsReportedForEachInNumberOrder) {
    TempTree tree;
    NotifierRig rig;
    const std::string shared = tree.Folder("shared");
    rig.notifier->AddScope(tree.Path("zero") + "/<*.txt>", true, false);
    rig.notifier->AddScope(shared + "/<*.txt>", true, true);  // number 1
    rig.notifier->AddScope(shared + "/<*.doc>", true, true);  // number 2
    rig.notifier->RemoveScope(0);                             // positions now 0 and 1
    std::vector<std::pair<int, std::string>> reports;
    bool stopFirst = false;
    rig.notifier->SetOnFolderChanged([&](int position, const std::string& folder, bool& stop) {
        reports.emplace_back(position, folder);
        EXPECT_FALSE(stop);
        stop = stopFirst;
    });
    rig.source.Signal(shared);
    rig.notifier->PollPass();
    EXPECT_EQ(reports, (std::vector<std::pair<int, std::string>>{{0, shared}, {1, shared}}));

    // A set stop flag ends the reports for the folder.
    reports.clear();
    stopFirst = true;
    rig.notifier->FolderChanged(shared);
    EXPECT_EQ(reports, (std::vector<std::pair<int, std::string>>{{0, shared}}));
}

TEST(NotifierPoll, FolderChangedNeedsTheExactKey) {
    TempTree tree;
    NotifierRig rig;
    const std::string docs = tree.Folder("Docs");
    rig.notifier->AddScope(docs + "/<*.txt>", true, true);
    int reports = 0;
    rig.notifier->SetOnFolderChanged([&](int, const std::string&, bool&) { ++reports; });
    rig.notifier->FolderChanged(tree.Path("docs"));
    rig.notifier->FolderChanged(docs + "/");
    EXPECT_EQ(reports, 0);
    rig.notifier->FolderChanged(docs);
    EXPECT_EQ(reports, 1);
    // Without a handler, reports are dropped.
    rig.notifier->SetOnFolderChanged({});
    rig.source.Signal(docs);
    rig.notifier->PollPass();
    EXPECT_EQ(reports, 1);
}

TEST(NotifierPoll, HandlerErrorsAreDiscardedAndTheBatchIsPolledAgain) {
    TempTree tree;
    NotifierRig rig;
    const auto folders = WatchTree(rig, tree, 10);
    std::vector<std::string> reports;
    rig.notifier->SetOnFolderChanged([&](int, const std::string& folder, bool&) {
        reports.push_back(folder);
        if (folder == folders[2]) {
            rig.notifier->Lock();  // and forgets its Unlock
            throw std::runtime_error("indexing failed");
        }
    });
    rig.source.Signal(folders[2]);
    rig.source.Signal(folders[7]);
    rig.notifier->PollPass();
    // The failure did not stop the pass: folder 7 of the same batch came next.
    EXPECT_EQ(reports, (std::vector<std::string>{folders[2], folders[7]}));
    EXPECT_EQ(rig.notifier->LastReportError(), "indexing failed");
    EXPECT_EQ(rig.notifier->LockLevels(), 0);

    // A folder that changes again during every failing report cannot hold the pass for ever.
    reports.clear();
    rig.notifier->SetOnFolderChanged([&](int, const std::string& folder, bool&) {
        reports.push_back(folder);
        rig.source.Signal(folder);
        throw std::runtime_error("again");
    });
    rig.source.Signal(folders[1]);
    rig.notifier->PollPass();
    EXPECT_GE(reports.size(), 2u);
    EXPECT_LE(reports.size(), 11u);
}

TEST(NotifierThread, ASuspendedChangeIsReportedInTheFirstPassAfterwards) {
    TempTree tree;
    NotifierRig rig(NotifierRig::ThreadOptions());
    const auto folders = WatchTree(rig, tree, 3);
    std::mutex m;
    std::condition_variable cv;
    std::vector<Report> reports;
    rig.notifier->SetOnFolderChanged([&](int position, const std::string& folder, bool&) {
        std::lock_guard lock(m);
        reports.push_back({position, folder, rig.notifier->PassCount()});
        cv.notify_all();
    });
    rig.notifier->Lock();  // Suspended
    const int passBefore = rig.notifier->PassCount();
    rig.source.Signal(folders[1]);
    rig.notifier->Lock();    // a build while suspended ...
    rig.notifier->Unlock();  // ... leaves monitoring suspended
    EXPECT_EQ(rig.notifier->LockLevels(), 1);
    {
        std::lock_guard lock(m);
        EXPECT_TRUE(reports.empty());
    }
    rig.notifier->Unlock();  // Normal
    WaitFor(m, cv, [&] { return !reports.empty(); });
    EXPECT_EQ(reports[0].folder, folders[1]);
    EXPECT_EQ(reports[0].pass, passBefore + 1);
}

TEST(NotifierThread, MainThreadWaitingInLockServesThePassesWindowCalls) {
    TempTree tree;
    NotifierRig rig(NotifierRig::ThreadOptions());  // rig.dispatcher is never pumped here
    const auto folders = WatchTree(rig, tree, 2);
    const auto mainId = std::this_thread::get_id();
    std::atomic<bool> inPass{false};
    std::atomic<int> windowCalls{0};
    rig.notifier->SetOnFolderChanged([&](int, const std::string&, bool&) {
        inPass = true;
        rig.notifier->Lock();  // re-entrant on the notifier thread
        for (int i = 0; i < 3; ++i) {
            rig.notifier->RunInMainThread([&] {
                EXPECT_EQ(std::this_thread::get_id(), mainId);
                ++windowCalls;
            });
        }
        rig.notifier->Unlock();
    });
    rig.source.Signal(folders[0]);
    while (!inPass) std::this_thread::yield();
    rig.notifier->Lock();  // waits for the pass, serving its calls
    EXPECT_EQ(windowCalls, 3);
    rig.notifier->Unlock();
}

TEST(NotifierThread, TerminationLetsTheRunningPassFinish) {
    TempTree tree;
    auto rig = std::make_unique<NotifierRig>(NotifierRig::ThreadOptions());
    const auto folders = WatchTree(*rig, tree, 70);
    std::mutex m;
    std::condition_variable cv;
    bool inHandler = false, release = false;
    std::vector<std::string> reports;
    TNotifier* notifier = rig->notifier.get();
    rig->notifier->SetOnFolderChanged([&](int, const std::string& folder, bool&) {
        std::unique_lock lock(m);
        reports.push_back(folder);
        inHandler = true;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
        // The window's work still reaches the main thread while it waits for the end.
        lock.unlock();
        notifier->RunInMainThread([] {});
    });
    rig->source.Signal(folders[5]);
    rig->source.Signal(folders[65]);  // second batch, same pass
    WaitFor(m, cv, [&] { return inHandler; });
    rig->notifier->Terminate();
    {
        std::lock_guard lock(m);
        release = true;
        cv.notify_all();
    }
    rig->notifier.reset();  // waits for the thread
    EXPECT_EQ(reports, (std::vector<std::string>{folders[5], folders[65]}));
}
