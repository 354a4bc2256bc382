#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "FakeChangeSource.h"
#include "monitor/DirectoryTable.h"

using namespace vellumar;
using vellumar::testing::FakeChangeSource;

TEST(DirectoryTable, ExclusionsOfAnyIndexShortenLaterInclusions) {
    FakeChangeSource source;
    TDirectoryTable table(source);
    std::string exclusion = "<*.doc>";
    EXPECT_FALSE(table.RegisterFolder("/docs", 1, exclusion, true));  // index 1 excludes .doc

    std::string patterns = "<*.txt,*.doc>";
    EXPECT_TRUE(table.RegisterFolder("/docs", 0, patterns, false));
    EXPECT_EQ(patterns, "<*.txt>");
    EXPECT_EQ(table.FolderPatterns("/docs", 0), "<*.txt>");
    EXPECT_EQ(table.FolderPatterns("/docs", 1), "");  // exclusions are not taken

    std::string all = "<*.*>";
    table.RegisterFolder("/old", 2, all, true);
    std::string old = "<*.txt>";
    EXPECT_FALSE(table.RegisterFolder("/old", 0, old, false));
    EXPECT_EQ(table.FolderPatterns("/old", 0), "");

    std::string onlyDoc = "<*.doc>";
    EXPECT_FALSE(table.RegisterFolder("/docs", 3, onlyDoc, false));  // nothing left
    EXPECT_EQ(table.Watched().Count(), 2);
    EXPECT_EQ(source.OpenCount(), 2);
}

TEST(DirectoryTable, EntriesJoinPerIndexAndAreNotRegisteredTwice) {
    FakeChangeSource source;
    TDirectoryTable table(source);
    std::string txt = "<*.txt>", doc = "<*.doc>", again = "<*.txt>", other = "<*.htm>";
    EXPECT_TRUE(table.RegisterFolder("/", 0, txt, false));
    EXPECT_TRUE(table.RegisterFolder("/", 0, doc, false));
    EXPECT_FALSE(table.RegisterFolder("/", 0, again, false));  // already covered
    EXPECT_TRUE(table.RegisterFolder("/", 1, other, false));
    EXPECT_EQ(table.FolderPatterns("/", 0), "<*.txt><*.doc>");
    EXPECT_EQ(table.FolderPatterns("/", 1), "<*.htm>");
    EXPECT_EQ(table.FolderPatterns("/", 7), "");
    EXPECT_EQ(table.FolderPatterns("/nothing", 0), "");
    // The root is watched as "/" and stored under "/".
    EXPECT_EQ(source.requested, (std::vector<std::string>{"/"}));
    EXPECT_EQ(table.WatchedFolder(0)->Path(), "/");
}

TEST(DirectoryTable, RefusedFoldersAreKeptAsUnwatchableAndRetried) {
    FakeChangeSource source;
    TDirectoryTable table(source);
    source.refuse["/full"] = ENOSPC;
    source.refuse["/private"] = EACCES;
    std::string p1 = "<*.txt>", p2 = "<*.txt>", p3 = "<*.txt>";
    EXPECT_TRUE(table.RegisterFolder("/full", 0, p1, false));  // still indexed
    EXPECT_TRUE(table.RegisterFolder("/private", 0, p2, false));
    EXPECT_TRUE(table.RegisterFolder("/fine", 0, p3, false));
    EXPECT_EQ(table.Watched().Count(), 1);
    EXPECT_EQ(table.Unwatchable().Count(), 2);
    EXPECT_TRUE(table.WatchLimitReached());
    EXPECT_EQ(table.LastRefusal(), EACCES);
    EXPECT_EQ(table.FolderPatterns("/full", 0), "");  // never reported

    // The limit was raised: registering the folder again watches it.
    source.refuse.erase("/full");
    std::string again = "<*.doc>";
    EXPECT_TRUE(table.RegisterFolder("/full", 0, again, false));
    EXPECT_EQ(table.Unwatchable().Count(), 1);
    ASSERT_EQ(table.Watched().Count(), 2);
    EXPECT_EQ(table.FolderPatterns("/full", 0), "<*.txt><*.doc>");
    EXPECT_EQ(table.Handles().Count(), 2);
}

TEST(DirectoryTable, DroppingEmptyFoldersKeepsHandlesInStep) {
    FakeChangeSource source;
    TDirectoryTable table(source);
    source.refuse["/u1"] = EACCES;
    for (int i = 0; i < 600; ++i) {
        std::string p = "<*.txt>";
        table.RegisterFolder("/f" + std::to_string(i), i % 3 == 0 ? 1 : 0, p, false);
    }
    std::string p = "<*.txt>";
    table.RegisterFolder("/u1", 1, p, false);
    ASSERT_EQ(table.Handles().Count(), 600);

    table.RemoveEntries(0);
    table.DropEmptyFolders();
    ASSERT_EQ(table.Watched().Count(), 200);
    ASSERT_EQ(table.Handles().Count(), 200);
    EXPECT_EQ(source.OpenCount(), 200);
    EXPECT_EQ(table.Unwatchable().Count(), 1);
    // Handle i still belongs to folder i: signal a folder, find its position.
    for (std::int32_t i = 0; i < table.Watched().Count(); ++i) {
        const std::string path = table.WatchedFolder(i)->Path();
        EXPECT_EQ(std::stoi(path.substr(2)) % 3, 0);
        ASSERT_TRUE(source.Signal(path));
        const ChangeHandle h = table.Handles().Get(i);
        EXPECT_EQ(source.WaitForMultipleObjects(1, &h, 0), 0u) << path;
        source.FindNextChangeNotification(h);
    }
    table.RemoveEntries(1);
    table.DropEmptyFolders();
    EXPECT_EQ(table.Watched().Count(), 0);
    EXPECT_EQ(table.Unwatchable().Count(), 0);
    EXPECT_EQ(source.OpenCount(), 0);
}

TEST(DirectoryTable, ClearClosesEverything) {
    FakeChangeSource source;
    {
        TDirectoryTable table(source);
        for (int i = 0; i < 10; ++i) {
            std::string p = "<*.txt>";
            table.RegisterFolder("/f" + std::to_string(i), 0, p, false);
        }
        table.Clear();
        EXPECT_EQ(source.OpenCount(), 0);
        EXPECT_EQ(table.Watched().Capacity(), 1024);
        std::string p = "<*.txt>";
        table.RegisterFolder("/again", 0, p, false);
    }
    EXPECT_EQ(source.OpenCount(), 0);  // the destructor closes what is left
}

TEST(HandleArray, GrowsAndShrinksInBlocks) {
    THandleArray handles;
    EXPECT_EQ(handles.Get(0), kInvalidChangeHandle);
    EXPECT_EQ(handles.EntryAddress(0), nullptr);
    for (int i = 0; i < 257; ++i) handles.Add(i);
    EXPECT_EQ(handles.Capacity(), 512);
    handles.Delete(0);  // count 256: shrinks to exactly 256
    EXPECT_EQ(handles.Capacity(), 256);
    EXPECT_EQ(handles.Get(0), 1);
    EXPECT_EQ(*handles.EntryAddress(255), 256);
    handles.Delete(256);
    handles.Delete(-1);
    EXPECT_EQ(handles.Count(), 256);
    handles.Add(999);
    EXPECT_EQ(handles.Capacity(), 512);
    handles.Clear();
    EXPECT_EQ(handles.Count(), 0);
    EXPECT_EQ(handles.Capacity(), 0);
}
