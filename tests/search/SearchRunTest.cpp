// Running queries as "&Search" does: failures by error code, sorting, staying on the
// viewed file, the history, and cancel through the pending messages.
#include <gtest/gtest.h>

#include "search/SearchRunner.h"
#include "vellcore/EngineTestSupport.h"

using namespace vellumar;
using namespace enginetest;

namespace {

// Lets a test act while the engine processes pending messages.
class ScriptedUi : public SilentUserInterface {
  public:
    void processPendingMessages() override {
        ++calls;
        if (onMessages) onMessages();
    }
    std::function<void()> onMessages;
    int calls = 0;
};

class SearchRun : public ::testing::Test {
  protected:
    void SetUp() override {
        auto table = textfold::englishTable();
        index = vellcore::CreateIndexObject((folder.path() / "idx").string(), 0);
        ASSERT_TRUE(index->Prepare(2, "English (i)", &table, 32, 2, 50));
        ASSERT_TRUE(index->AddWord("the", 0, 0)) << "a stop-word";
        for (int i = 0; i < 300; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "/docs/%c%03d.txt", i % 2 ? 'b' : 'a', i);
            ASSERT_TRUE(addText(*index, name, i % 3 ? "cat" : "cat cat dog"));
        }
        ASSERT_TRUE(reopen(*index));
    }
    SearchOutcome run(const std::string& text, SearchRequest request = {}) {
        request.text = text;
        return runner.Run(*index, request, pager, history);
    }

    TempFolder folder;
    std::unique_ptr<vellcore::IndexObject> index;
    ScriptedUi ui;
    SearchRunner runner{ui};
    ResultPager pager;
    std::vector<std::string> history;
};

}  // namespace

TEST_F(SearchRun, FailuresGiveTheMessageOfTheirCodeAndLeaveTheIndexUsable) {
    const std::string malformed[] = {"( cat", "cat &", "&", "/[cat]", std::string(10000, '(')};
    for (const auto& q : malformed) {
        const SearchOutcome o = run(q);
        ASSERT_TRUE(o.failure) << q;
        EXPECT_EQ(o.failure->message,
                  "Search operation failed. Make sure\rthe search expression is correct");
        EXPECT_EQ(o.failure->icon, MessageIcon::Warning);
        EXPECT_TRUE(pager.page().names.empty());
    }
    const SearchOutcome stop = run("  the  ");
    ASSERT_TRUE(stop.failure);
    EXPECT_EQ(stop.failure->code, vellcore::kStopWordsOnly);
    EXPECT_EQ(stop.failure->message.rfind("No files can be found. May be the query contains only "
                                          "stop words.",
                                          0),
              0U);
    EXPECT_EQ(stop.query, "the");
    EXPECT_EQ(failureForCode(1).icon, MessageIcon::Error);
    EXPECT_EQ(failureForCode(1).message, "Out of memory or disk space.");
    EXPECT_TRUE(history.empty()) << "failed queries stay out of the history";
    EXPECT_EQ(index->GetErrorCode(), 0) << "the error was cleared";

    const SearchOutcome ok = run(" Dog ");
    EXPECT_FALSE(ok.failure);
    EXPECT_EQ(ok.files, 100);
    EXPECT_EQ(ok.entries, 100);
    EXPECT_EQ(history, std::vector<std::string>{"Dog"});
    EXPECT_EQ(pager.page().label, "Records: 1-100");
    EXPECT_EQ(run("zebra").files, 0);
    EXPECT_TRUE(pager.page().names.empty());
    EXPECT_EQ(history.front(), "zebra") << "a query that found nothing is remembered";
}

TEST_F(SearchRun, StaysOnTheViewedFileAfterSortingAndKeepsThePageFull) {
    SearchRequest r;
    r.viewedFile = "/docs/b249.txt";  // number 250 of 300 in the engine's order
    SearchOutcome o = run("cat", r);
    EXPECT_EQ(pager.page().label, "Records: 201-300");
    ASSERT_EQ(o.selectOnPage, 49);
    EXPECT_EQ(pager.page().names[49], "/docs/b249.txt");

    r.viewedFile = "/docs/a250.txt";
    r.sort = SortOrder::Alphabetical;  // all "a" files first: a250 is number 126
    o = run("cat", r);
    ASSERT_EQ(o.selectOnPage, 0);
    EXPECT_EQ(pager.page().names[o.selectOnPage], "/docs/a250.txt");
    EXPECT_EQ(pager.page().label, "Records: 126-225");

    r.stayOn = false;
    o = run("cat", r);
    EXPECT_EQ(o.selectOnPage, -1);
    EXPECT_EQ(pager.page().label, "Records: 1-100");

    r = SearchRequest{};
    r.viewedFile = "/docs/elsewhere.txt";  // not found: the first file is shown
    r.pageSize = 30;
    o = run("dog", r);
    EXPECT_EQ(o.selectOnPage, 0);
    EXPECT_EQ(pager.page().label, "Records: 1-30");
    EXPECT_EQ(sortOrderFromSetting(2), SortOrder::Relevance);
    EXPECT_EQ(sortOrderFromSetting(7), SortOrder::Engine);
}

TEST_F(SearchRun, CancelFromThePendingMessagesEndsTheQueryAndTheNextOneRuns) {
    // A bigger index, so that the engine processes messages while it matches.
    index->BeginSession();
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(addText(*index, "/many/" + std::to_string(i), "cat"));
    index->EndSession();
    ASSERT_TRUE(reopen(*index));

    ui.onMessages = [&] {
        EXPECT_TRUE(runner.Running());
        runner.Cancel();
    };
    const SearchOutcome cancelled = run("cat");
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.failure);
    EXPECT_LT(cancelled.files, 5300);
    EXPECT_GT(ui.calls, 0);
    EXPECT_FALSE(runner.Running());
    runner.Cancel();  // harmless when nothing runs

    ui.onMessages = nullptr;
    const SearchOutcome again = run("cat");
    EXPECT_FALSE(again.cancelled);
    EXPECT_EQ(again.files, 5300);
    // The session ended: another process-like writer may take the index now.
    EXPECT_TRUE(index->CanModify());
}
