// The viewer history: capacity, dropping the forward part, the button states, recording
// suppressed while moving, and what a move means.
#include <gtest/gtest.h>

#include "viewer/THistory.h"

namespace vellumar {
namespace {

THistoryItem file(const std::string& name, const std::string& query = "cats") {
    THistoryItem item;
    item.query = query;
    item.fileName = name;
    return item;
}

TEST(THistoryTest, TwentyFiveViewedFilesKeepTheLastTwenty) {
    int updates = 0;
    bool back = true, forward = true;
    THistory history(20, [&](bool b, bool f) {
        ++updates;
        back = b;
        forward = f;
    });
    EXPECT_EQ(history.Current(), nullptr);
    for (int i = 0; i < 25; ++i) history.Add(file("f" + std::to_string(i)));
    EXPECT_EQ(history.Count(), 20);
    EXPECT_EQ(history.Item(0).fileName, "f5");
    EXPECT_EQ(history.Current()->fileName, "f24");
    EXPECT_TRUE(back);
    EXPECT_FALSE(forward);
    int backs = 0;
    while (history.Back()) ++backs;
    EXPECT_EQ(backs, 19);
    EXPECT_FALSE(back);
    EXPECT_TRUE(forward);
    EXPECT_EQ(history.Current()->fileName, "f5");
    EXPECT_EQ(history.Back(), nullptr);  // Alt+Left at the start does nothing
    EXPECT_EQ(history.CurrentIndex(), 0);
    EXPECT_EQ(updates, 25 + 19);
}

TEST(THistoryTest, RecordingAfterGoingBackDropsTheForwardPart) {
    THistory history;
    for (const char* name : {"A", "B", "E"}) history.Add(file(name));
    history.Back();
    EXPECT_EQ(history.Back()->fileName, "A");
    history.Add(file("D"));
    EXPECT_FALSE(history.CanGoForward());
    ASSERT_EQ(history.Count(), 2);
    EXPECT_EQ(history.Item(0).fileName, "A");
    EXPECT_EQ(history.Item(1).fileName, "D");
    EXPECT_EQ(history.Back()->fileName, "A");
    EXPECT_EQ(history.Forward()->fileName, "D");
    EXPECT_EQ(history.Forward(), nullptr);
    history.Clear();
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.CurrentIndex(), -1);
    EXPECT_FALSE(history.CanGoBack());
}

TEST(THistoryTest, NothingIsRecordedWhileMoving) {
    THistory history;
    history.Record(file("A"));
    history.RecordPositions(5, 120);
    EXPECT_EQ(history.Current()->entryPosition, 5);
    EXPECT_EQ(history.Current()->htmlPosition, 120);
    {
        HistoryNavigation moving(history);
        history.Record(file("B"));
        history.RecordPositions(9, 9);
    }
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Current()->entryPosition, 5);
    EXPECT_FALSE(history.Navigating());
}

TEST(THistoryTest, AMoveSearchesAgainShowsAFileOrLoadsAPage) {
    struct Case {
        THistoryItem target;
        bool hasLeft;
        THistoryItem left;
        HistoryMove move;
    };
    THistoryItem page;
    page.fileName = "/docs/page.html";
    page.htmlPosition = 300;
    THistoryItem emptySearch;
    emptySearch.query = "dogs";
    THistoryItem otherKind = file("/docs/a.txt");
    otherKind.kind = 2;
    const Case cases[] = {
        {file("/docs/a.txt"), true, file("/docs/b.txt"), HistoryMove::ShowListedFile},
        {file("/docs/a.txt"), true, emptySearch, HistoryMove::RunSearch},
        {file("/docs/a.txt", "Cats"), true, file("/docs/b.txt"), HistoryMove::RunSearch},
        {file("/docs/a.txt"), true, otherKind, HistoryMove::RunSearch},
        {file("/docs/a.txt"), false, {}, HistoryMove::RunSearch},
        {emptySearch, true, file("/docs/a.txt"), HistoryMove::RunSearch},
        {page, true, file("/docs/a.txt"), HistoryMove::LoadPage},
        {page, true, page, HistoryMove::ScrollPage},
    };
    for (const Case& c : cases) {
        const HistoryPlan plan = planHistoryMove(c.target, c.hasLeft ? &c.left : nullptr);
        EXPECT_EQ(plan.move, c.move) << c.target.query << " " << c.target.fileName;
        EXPECT_EQ(plan.fileName, c.target.fileName);
        EXPECT_EQ(plan.htmlPosition, c.target.htmlPosition);
    }
    EXPECT_EQ(findListedFile({"/d/A.txt", "/d/a.txt"}, "/d/a.txt"), 1);
    EXPECT_EQ(findListedFile({"/d/A.txt"}, "/d/b.txt"), -1);
}

}  // namespace
}  // namespace vellumar
