#include <gtest/gtest.h>

#include "../scope/ExpectMessage.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <thread>

#include "NotifierRig.h"
#include "TempTree.h"

using namespace vellumar;
using vellumar::testing::NotifierRig;
using vellumar::testing::TempTree;

TEST(NotifierScopes, PositionsReuseTheSmallestFreeNumber) {
    NotifierRig rig;
    TNotifier& n = *rig.notifier;
    EXPECT_EQ(n.AddScope("/a/<*.x>", false, false), 0);
    EXPECT_EQ(n.AddScope("/b/<*.x>", true, false), 1);
    EXPECT_EQ(n.AddScope("/c/<*.x>", false, false), 2);
    n.RemoveScope(1);
    EXPECT_EQ(n.ScopeCount(), 2);
    EXPECT_EQ(n.ScopeNumber(0), 0);
    EXPECT_EQ(n.ScopeNumber(1), 2);
    EXPECT_EQ(n.Scope(1), "/c/<*.x>");
    EXPECT_EQ(n.AddScope("/d/<*.x>", true, false), 1);
    EXPECT_EQ(n.ScopeNumber(1), 1);
    EXPECT_EQ(n.Scope(1), "/d/<*.x>");
    EXPECT_TRUE(n.GetAutoUpdate(1));
    EXPECT_FALSE(n.GetAutoUpdate(2));
    n.SetAutoUpdate(2, true);
    EXPECT_TRUE(n.GetAutoUpdate(2));
    n.RemoveScope(-1);  // nothing
    EXPECT_EQ(n.ScopeCount(), 3);
    n.Clear();
    EXPECT_EQ(n.ScopeCount(), 0);
    EXPECT_EQ(n.AddScope("/e/<*.x>", false, false), 0);
}

TEST(NotifierScopes, BadPositionsRaiseTheirErrorsAndLeaveTheLockFree) {
    NotifierRig rig;
    TNotifier& n = *rig.notifier;
    n.AddScope("/a/<*.x>", false, false);
    EXPECT_THROW_MESSAGE(n.RemoveScope(1), EScopeNumbersError,
                         "Read TScopeNumberArray out of range!");
    EXPECT_THROW_MESSAGE(n.SetScope(1, "/b/<*.x>"), ENotifierError,
                         "Scope index is out of range when writing");
    EXPECT_THROW(n.GetAutoUpdate(3), EBooleanError);
    EXPECT_THROW_MESSAGE(n.SetAutoUpdate(-1, true), EBooleanError,
                         "Write TTBooleanArray out of range!");
    EXPECT_EQ(n.ScopeCount(), 1);
    std::thread other([&] {
        n.Lock();  // would wait for ever if an error had left the lock held
        n.Unlock();
    });
    other.join();
}

TEST(NotifierScopes, BlankScopesAreStoredButNotWalked) {
    TempTree tree;
    NotifierRig rig;
    rig.RecordScans();
    EXPECT_EQ(rig.notifier->AddScope("  \t", false, true), 0);
    rig.notifier->SetScope(0, " ");
    EXPECT_EQ(rig.notifier->Scope(0), " ");
    EXPECT_TRUE(rig.scans.empty());
    EXPECT_TRUE(rig.source.requested.empty());
}

TEST(NotifierWalk, FoldersComeBeforeTheirSubfoldersDepthFirst) {
    TempTree tree;
    for (const char* f : {"a/a1/a11", "a/a2", "b/b1", "c"}) tree.Folder(f);
    NotifierRig rig;
    rig.RecordScans();
    const std::string root = tree.Path();
    rig.notifier->AddScope(root + "/+<*.TXT>;-" + root + "/b/+", false, true);
    EXPECT_FALSE(rig.notifier->Aborted());

    const auto folders = rig.ScannedFolders();
    // b and everything under it are excluded; the rest is indexed once each.
    std::vector<std::string> expected;
    for (const char* f : {"", "/a", "/a/a1", "/a/a1/a11", "/a/a2", "/c"})
        expected.push_back(root + f + "/");
    auto sorted = folders;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected);
    // A folder is indexed before its subfolders, and a subtree is walked as a whole.
    auto at = [&](const std::string& f) {
        return std::find(folders.begin(), folders.end(), root + f + "/") - folders.begin();
    };
    EXPECT_EQ(at(""), 0);
    EXPECT_LT(at("/a"), at("/a/a1"));
    EXPECT_EQ(at("/a/a1") + 1, at("/a/a1/a11"));
    EXPECT_EQ(std::abs(at("/a/a2") - at("/a/a1")) <= 2, true);
    for (const auto& s : rig.scans) {
        EXPECT_EQ(s.patterns, "<*.txt>");
        EXPECT_EQ(s.position, 0);
    }
    // The excluded folders are watched too (their exclusion entries live there).
    EXPECT_EQ(rig.notifier->WatchedCount(), 8);
    EXPECT_EQ(rig.notifier->FolderPatterns(0, root + "/a"), "<*.txt>");
    EXPECT_EQ(rig.notifier->FolderPatterns(0, root + "/b"), "");
    EXPECT_EQ(rig.notifier->FolderPatterns(0, root + "/a/"), "");
}

TEST(NotifierWalk, UpdatingAScopeWalksItAgainAndDropsFoldersItLost) {
    TempTree tree;
    tree.Folder("keep/sub");
    tree.Folder("drop");
    NotifierRig rig;
    rig.RecordScans();
    const std::string root = tree.Path();
    rig.notifier->AddScope(root + "/keep/+<*.txt>;" + root + "/drop/<*.txt>", false, true);
    EXPECT_EQ(rig.notifier->WatchedCount(), 3);
    rig.scans.clear();
    rig.notifier->SetScope(0, root + "/keep/+<*.txt,*.doc>");
    EXPECT_EQ(rig.scans.size(), 2u);  // every folder of the new scope, indexed again
    EXPECT_EQ(rig.notifier->WatchedCount(), 2);
    EXPECT_EQ(rig.source.OpenCount(), 2);
    EXPECT_EQ(rig.notifier->FolderPatterns(0, root + "/keep/sub"), "<*.txt,*.doc>");
    rig.notifier->RemoveScope(0);
    EXPECT_EQ(rig.notifier->WatchedCount(), 0);
    EXPECT_EQ(rig.source.OpenCount(), 0);
}

TEST(NotifierWalk, AnIndexingErrorStopsTheWalkAndKeepsWhatWasRegistered) {
    TempTree tree;
    for (const char* f : {"a", "b", "c"}) tree.Folder(f);
    NotifierRig rig;
    int calls = 0;
    rig.notifier->SetOnScanFolder([&](int, const std::string&, const std::string&, int& result) {
        if (++calls == 2) result = 0x40000000;  // the user's cancel
    });
    int walked = -1;
    const int position = rig.notifier->AddScope(tree.Path() + "/+<*.txt>", false, true, &walked);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(rig.notifier->Aborted());
    EXPECT_EQ(walked, 0x40000000);
    EXPECT_EQ(rig.notifier->WatchedCount(), 2);
    EXPECT_EQ(rig.notifier->ScopeCount(), 1);
    calls = 0;
    EXPECT_EQ(rig.notifier->SetScope(position, tree.Path() + "/+<*.txt>"), 0x40000000)
        << "walking again returns the code that stopped it";
}

TEST(NotifierWalk, AbortedStopsTheListingAtTheNextItem) {
    TempTree tree;
    for (int i = 0; i < 50; ++i) tree.Folder("big/" + std::to_string(i));
    NotifierRig rig;
    int calls = 0;
    rig.notifier->SetOnScanFolder([&](int, const std::string&, const std::string&, int&) {
        ++calls;
        rig.notifier->SetAborted(true);  // as a click on Cancel during the first folder would
    });
    rig.notifier->AddScope(tree.Path() + "/big/+<*.txt>;" + tree.Path() + "/other/<*.x>", false,
                           true);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(rig.notifier->WatchedCount(), 1);
    EXPECT_TRUE(rig.notifier->Aborted());
}

TEST(NotifierWalk, RefusedWatchesAreCountedForTheUser) {
    TempTree tree;
    tree.Folder("a/b");
    NotifierRig rig;
    rig.RecordScans();
    rig.source.refuseAll = ENOSPC;
    EXPECT_EQ(rig.notifier->UnwatchableStatusText(), "");
    rig.notifier->AddScope(tree.Path() + "/+<*.txt>", false, true);
    EXPECT_EQ(rig.scans.size(), 3u);  // still indexed
    EXPECT_EQ(rig.notifier->UnwatchableCount(), 3);
    EXPECT_EQ(rig.notifier->WatchedCount(), 0);
    const std::string text = rig.notifier->UnwatchableStatusText();
    EXPECT_NE(text.find("3 folders"), std::string::npos) << text;
    EXPECT_NE(text.find("limit"), std::string::npos) << text;
    // After the limit is raised, an update watches them.
    rig.source.refuseAll = 0;
    rig.notifier->SetScope(0, tree.Path() + "/+<*.txt>");
    EXPECT_EQ(rig.notifier->UnwatchableCount(), 0);
    EXPECT_EQ(rig.notifier->WatchedCount(), 3);
}

// Random scopes over a small real tree: no crash, no hang, and once every scope is
// removed again nothing is left in the tables or watched.
TEST(NotifierWalk, RandomScopesLeaveNothingBehind) {
    TempTree tree;
    for (const char* f : {"a/b/c", "a/d", "e"}) tree.Folder(f);
    const std::string root = tree.Path();
    const std::vector<std::string> pieces = {root,        root + "/a",       root + "/a/b",
                                             root + "/e", "/nonexistent",    "rel",
                                             " " + root,  root + "/./a/../e"};
    const std::vector<std::string> tails = {"/+<*.txt>", "/<*.doc,*.txt>", "/+",
                                            "/",         "/+<l:*.x>",      "/<*.txt",
                                            "+<*>",      "/+<*.*>",        "//+<a,b>"};
    std::mt19937 random(99);
    NotifierRig rig;
    rig.RecordScans();
    int positions = 0;
    for (int round = 0; round < 150; ++round) {
        std::string scope;
        const int entries = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < entries; ++e) {
            if (e) scope += random() % 5 ? ";" : ";;";
            if (random() % 3 == 0) scope += random() % 2 ? "-" : " - ";
            scope += pieces[random() % pieces.size()] + tails[random() % tails.size()];
        }
        if (random() % 3 == 0 && positions > 0) {
            rig.notifier->SetScope(static_cast<int>(random() % positions), scope);
        } else if (random() % 4 == 0 && positions > 0) {
            rig.notifier->RemoveScope(static_cast<int>(random() % positions));
            --positions;
        } else {
            rig.notifier->AddScope(scope, false, true);
            ++positions;
        }
        for (const auto& s : rig.scans) ASSERT_EQ(s.folder.rfind(root, 0), 0u) << s.folder;
        rig.scans.clear();
    }
    while (positions-- > 0) rig.notifier->RemoveScope(0);
    EXPECT_EQ(rig.notifier->WatchedCount(), 0);
    EXPECT_EQ(rig.notifier->UnwatchableCount(), 0);
    EXPECT_EQ(rig.source.OpenCount(), 0);
}
