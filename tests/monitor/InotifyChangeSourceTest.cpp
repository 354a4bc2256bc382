#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include "TempTree.h"
#include "platform/notify/InotifyChangeSource.h"

using namespace vellumar;
using vellumar::testing::TempTree;

namespace {

std::uint32_t Poll(InotifyChangeSource& source, const std::vector<ChangeHandle>& handles) {
    return source.WaitForMultipleObjects(static_cast<std::uint32_t>(handles.size()), handles.data(),
                                         0);
}

}  // namespace

TEST(InotifyChangeSource, ChangesSignalUntilReArmedAndCountOnce) {
    TempTree tree;
    InotifyChangeSource source;
    int error = -1;
    const ChangeHandle a = source.FindFirstChangeNotification(tree.Folder("a"), error);
    const ChangeHandle b = source.FindFirstChangeNotification(tree.Folder("b"), error);
    ASSERT_NE(a, kInvalidChangeHandle);
    ASSERT_NE(b, kInvalidChangeHandle);
    EXPECT_EQ(error, 0);
    const std::vector<ChangeHandle> run{a, b};
    EXPECT_EQ(Poll(source, run), kWaitTimeout);

    // Two changes before the poll: one signal.
    tree.File("b/one.txt");
    tree.File("b/two.txt");
    EXPECT_EQ(Poll(source, run), 1u);
    EXPECT_EQ(Poll(source, run), 1u);  // stays signalled until re-armed
    EXPECT_TRUE(source.FindNextChangeNotification(b));
    EXPECT_EQ(Poll(source, run), kWaitTimeout);

    // Each kind of change counts: rename, delete, write to an existing file.
    std::filesystem::rename(tree.Path("b/one.txt"), tree.Path("b/renamed.txt"));
    EXPECT_EQ(Poll(source, run), 1u);
    source.FindNextChangeNotification(b);
    std::filesystem::remove(tree.Path("b/renamed.txt"));
    EXPECT_EQ(Poll(source, run), 1u);
    source.FindNextChangeNotification(b);
    std::ofstream(tree.Path("b/two.txt"), std::ios::app) << "more";
    EXPECT_EQ(Poll(source, run), 1u);
    source.FindNextChangeNotification(b);

    // Creating a subfolder changes its parent; a change inside the subfolder does not.
    tree.Folder("a/sub");
    EXPECT_EQ(Poll(source, run), 0u);
    source.FindNextChangeNotification(a);
    const ChangeHandle sub = source.FindFirstChangeNotification(tree.Path("a/sub"), error);
    tree.File("a/sub/deep.txt");
    EXPECT_EQ(Poll(source, run), kWaitTimeout);
    EXPECT_EQ(Poll(source, {sub}), 0u);
}

TEST(InotifyChangeSource, RefusalsAndBadCalls) {
    TempTree tree;
    InotifyChangeSource source;
    int error = 0;
    EXPECT_EQ(source.FindFirstChangeNotification(tree.Path("missing"), error),
              kInvalidChangeHandle);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(source.FindFirstChangeNotification(tree.File("plain.txt"), error),
              kInvalidChangeHandle);
    EXPECT_EQ(error, ENOTDIR);

    const ChangeHandle h = source.FindFirstChangeNotification(tree.Path(), error);
    EXPECT_EQ(source.WaitForMultipleObjects(0, &h, 0), kWaitFailed);
    std::vector<ChangeHandle> tooMany(65, h);
    EXPECT_EQ(source.WaitForMultipleObjects(65, tooMany.data(), 0), kWaitFailed);
    EXPECT_TRUE(source.FindCloseChangeNotification(h));
    EXPECT_FALSE(source.FindCloseChangeNotification(h));
    EXPECT_FALSE(source.FindNextChangeNotification(h));
    EXPECT_EQ(source.OpenHandleCount(), 0);
}

TEST(InotifyChangeSource, HandlesOnOneFolderShareTheKernelWatch) {
    TempTree tree;
    InotifyChangeSource source;
    int error = 0;
    const ChangeHandle first = source.FindFirstChangeNotification(tree.Path(), error);
    const ChangeHandle second = source.FindFirstChangeNotification(tree.Path(), error);
    ASSERT_NE(first, second);
    tree.File("x.txt");
    EXPECT_EQ(Poll(source, {first}), 0u);
    EXPECT_EQ(Poll(source, {second}), 0u);
    // Closing one leaves the other watching.
    source.FindCloseChangeNotification(first);
    source.FindNextChangeNotification(second);
    tree.File("y.txt");
    EXPECT_EQ(Poll(source, {second}), 0u);
}

TEST(InotifyChangeSource, ADeletedFolderSignalsOnceAndThenStaysQuiet) {
    TempTree tree;
    InotifyChangeSource source;
    int error = 0;
    const ChangeHandle h = source.FindFirstChangeNotification(tree.Folder("gone"), error);
    std::filesystem::remove_all(tree.Path("gone"));
    EXPECT_EQ(Poll(source, {h}), 0u);
    EXPECT_TRUE(source.FindNextChangeNotification(h));
    // Re-created under the same name: a different folder, not watched by this handle.
    tree.Folder("gone");
    tree.File("gone/new.txt");
    EXPECT_EQ(Poll(source, {h}), kWaitTimeout);
    EXPECT_TRUE(source.FindCloseChangeNotification(h));
}

TEST(InotifyChangeSource, AnOverflowedEventQueueSignalsEveryHandle) {
    long limit = 16384;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    if (limit > 200000) GTEST_SKIP() << "event queue too large to overflow quickly: " << limit;
    TempTree tree;
    InotifyChangeSource source;
    int error = 0;
    const ChangeHandle busy = source.FindFirstChangeNotification(tree.Folder("busy"), error);
    const ChangeHandle quiet = source.FindFirstChangeNotification(tree.Folder("quiet"), error);
    // Creating a file queues two events (create, close after writing).
    for (long i = 0; i < limit / 2 + 100; ++i)
        std::ofstream(tree.Path("busy/" + std::to_string(i)));
    EXPECT_EQ(Poll(source, {quiet}), 0u);
    EXPECT_EQ(Poll(source, {busy}), 0u);
}

TEST(InotifyChangeSource, AnySignalledFollowsSignalsReArmingAndClosing) {
    TempTree tree;
    InotifyChangeSource source;
    int error = -1;
    const ChangeHandle a = source.FindFirstChangeNotification(tree.Folder("a"), error);
    const ChangeHandle b = source.FindFirstChangeNotification(tree.Folder("b"), error);
    ASSERT_NE(b, kInvalidChangeHandle);
    EXPECT_FALSE(source.AnySignalled()) << "an idle pass has nothing to look at";
    tree.File("a/x.txt");
    tree.File("b/y.txt");
    EXPECT_TRUE(source.AnySignalled());
    source.FindNextChangeNotification(a);
    EXPECT_TRUE(source.AnySignalled()) << "b is still signalled";
    source.FindCloseChangeNotification(b);
    EXPECT_FALSE(source.AnySignalled()) << "a closed handle no longer counts";
    source.FindNextChangeNotification(a);  // re-arming twice counts once
    EXPECT_FALSE(source.AnySignalled());
    tree.File("a/z.txt");
    EXPECT_TRUE(source.AnySignalled());
}
