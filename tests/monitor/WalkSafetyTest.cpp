#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "NotifierRig.h"
#include "TempTree.h"

using namespace vellumar;
using vellumar::testing::NotifierRig;
using vellumar::testing::TempTree;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

// Drops the calling thread's right to read any file (capabilities are per thread), so
// that permission bits apply even when the tests run as root.
void DropFileReadOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) return;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[cap / 32].effective &= ~(1u << (cap % 32));
    syscall(SYS_capset, &header, data);
}

}  // namespace

TEST(WalkSafety, LinksAreNeverFollowedBelowTheScopeFolder) {
    TempTree tree;
    TempTree outside;
    tree.Folder("a/b");
    outside.Folder("secret");
    fs::create_directory_symlink(tree.Path(), tree.Path("a/b/loop"));        // a loop
    fs::create_directory_symlink(outside.Path(), tree.Path("a/elsewhere"));  // out of the tree
    NotifierRig rig;
    rig.RecordScans();
    rig.notifier->AddScope(tree.Path() + "/+<*.txt>", false, true);
    const auto folders = rig.ScannedFolders();
    EXPECT_EQ(folders.size(), 3u);
    EXPECT_TRUE(Contains(folders, tree.Path("a/b") + "/"));
    for (const auto& f : folders) EXPECT_EQ(f.rfind(tree.Path(), 0), 0u) << f;
    EXPECT_FALSE(rig.notifier->Aborted());

    // A scope folder that is itself a link is followed: the user named it.
    fs::create_directory_symlink(tree.Path("a"), outside.Path("linked"));
    rig.scans.clear();
    rig.notifier->AddScope(outside.Path("linked") + "/+<*.txt>", false, true);
    EXPECT_EQ(rig.ScannedFolders(), (std::vector<std::string>{outside.Path("linked") + "/",
                                                              outside.Path("linked/b") + "/"}));
}

TEST(WalkSafety, FoldersThatVanishOrChangeDuringTheWalkAreSkipped) {
    TempTree tree;
    for (const char* f : {"p/first", "p/second", "p/third", "p/fourth", "p/fifth"}) tree.Folder(f);
    NotifierRig rig;
    std::vector<std::string> seen;
    bool struck = false;
    rig.notifier->SetOnScanFolder([&](int, const std::string& folder, const std::string&, int&) {
        seen.push_back(folder);
        if (struck || folder == tree.Path("p") + "/" || folder == tree.Path() + "/") return;
        struck = true;
        // The listing of p is done; its other folders change under the walk.
        for (const char* name : {"first", "second", "third", "fourth", "fifth"}) {
            const std::string path = tree.Path(std::string("p/") + name);
            if (path + "/" == folder) continue;
            if (std::string(name) == "first" || std::string(name) == "fifth") {
                fs::remove_all(path);  // vanished
            } else if (std::string(name) == "second") {
                fs::remove_all(path);
                std::ofstream(path) << "now a file";
            } else if (std::string(name) == "third") {
                fs::remove_all(path);
                fs::create_directory_symlink("/", path);  // would lead out of the tree
            } else {
                fs::remove_all(path);
                fs::create_directories(path + "/new");  // replaced: still a folder, walked
            }
        }
    });
    rig.notifier->AddScope(tree.Path() + "/+<*.txt>", false, true);
    EXPECT_TRUE(struck);
    EXPECT_FALSE(rig.notifier->Aborted());
    for (const auto& f : seen) EXPECT_EQ(f.rfind(tree.Path(), 0), 0u) << f;
    // root, p, the folder that struck, and fourth with its new subfolder (unless fourth struck).
    EXPECT_GE(seen.size(), 3u);
    EXPECT_LE(seen.size(), 5u);
}

TEST(WalkSafety, UnreadableFoldersAreSkippedAndTheWalkGoesOn) {
    TempTree tree;
    tree.Folder("open/deeper");
    tree.Folder("closed/hidden");
    tree.Folder("zlast");
    fs::permissions(tree.Path("closed"), fs::perms::none);
    std::vector<std::string> folders;
    bool aborted = true;
    // The walk runs on its own thread so that only that thread loses root's override.
    std::thread walker([&] {
        DropFileReadOverride();
        NotifierRig rig;
        rig.RecordScans();
        rig.notifier->AddScope(tree.Path() + "/+<*.txt>", false, true);
        folders = rig.ScannedFolders();
        aborted = rig.notifier->Aborted();
    });
    walker.join();
    fs::permissions(tree.Path("closed"), fs::perms::owner_all);
    EXPECT_FALSE(aborted);
    EXPECT_TRUE(Contains(folders, tree.Path("open/deeper") + "/"));
    EXPECT_TRUE(Contains(folders, tree.Path("zlast") + "/"));
    EXPECT_FALSE(Contains(folders, tree.Path("closed") + "/"));
    EXPECT_FALSE(Contains(folders, tree.Path("closed/hidden") + "/"));
}

TEST(WalkSafety, PseudoFileSystemsAreNeverWalked) {
    NotifierRig rig;
    rig.RecordScans();
    rig.notifier->AddScope("/proc/+<*>;/sys/+<*>;/dev/<*>;/run/+<*>", false, true);
    EXPECT_TRUE(rig.scans.empty());
    EXPECT_EQ(rig.notifier->WatchedCount(), 0);
    EXPECT_TRUE(rig.source.requested.empty());
}

TEST(WalkSafety, TheRootFolderWithoutSubfoldersIsRegisteredAsSlash) {
    NotifierRig rig;
    rig.RecordScans();
    rig.notifier->AddScope("/<*.txt>", false, true);
    ASSERT_EQ(rig.ScannedFolders(), std::vector<std::string>{"/"});
    EXPECT_EQ(rig.source.requested, std::vector<std::string>{"/"});
    EXPECT_EQ(rig.notifier->FolderPatterns(0, "/"), "<*.txt>");
}
