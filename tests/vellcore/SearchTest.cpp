// Running queries as the Search page does: sorting, staying on the viewed file, progress
// and cancel, calls made from inside the progress callback, and sessions that hand the
// write lock back when they end.
#include "EngineTestSupport.h"

using namespace enginetest;

namespace {

class Search : public ::testing::Test {
  protected:
    void SetUp() override { index = createIndex(folder.path() / "idx"); }

    int run(const std::string& q, int& files, std::int64_t& entries) {
        index->ClearError();
        return index->RunQuery(q, files, entries);
    }

    std::vector<std::string> current() {
        std::vector<std::string> names;
        std::string name;
        vellcore::Stamp stamp;
        for (int i = 0; index->GetResult(i, name, stamp); ++i) names.push_back(name);
        return names;
    }

    TempFolder folder;
    std::unique_ptr<vellcore::IndexObject> index;
};

TEST_F(Search, SortsByNameByRelevanceAndBackAndKeepsTheStayOnFile) {
    ASSERT_TRUE(addText(*index, "/d/b.txt", "cat and a long story about other things entirely"));
    ASSERT_TRUE(addText(*index, "/d/A.txt", "cat"));
    ASSERT_TRUE(addText(*index, "/d/c.txt", "cat cat cat"));
    ASSERT_TRUE(addText(*index, "/d/a.txt", "cat dog"));
    ASSERT_TRUE(reopen(*index));
    int files = 0;
    std::int64_t entries = 0;
    index->SetStayOnFile("/d/c.txt");
    EXPECT_EQ(run("cat", files, entries), 3);
    EXPECT_EQ(files, 4);
    EXPECT_EQ(entries, 6);
    EXPECT_EQ(current(),
              (std::vector<std::string>{"/d/b.txt", "/d/A.txt", "/d/c.txt", "/d/a.txt"}));

    ASSERT_TRUE(index->SortResults(1));
    EXPECT_EQ(current(),
              (std::vector<std::string>{"/d/A.txt", "/d/a.txt", "/d/b.txt", "/d/c.txt"}));
    EXPECT_EQ(index->GetStayOnFilePosition(), 4);

    ASSERT_TRUE(index->SortResults(2));
    const auto ranked = current();
    EXPECT_EQ(ranked.front(), "/d/c.txt");  // three times in three words
    EXPECT_EQ(ranked.back(), "/d/b.txt");   // once in a long document
    EXPECT_EQ(index->GetStayOnFilePosition(), 1);

    ASSERT_TRUE(index->SortResults(0));
    EXPECT_EQ(current().front(), "/d/b.txt");
    EXPECT_FALSE(index->SortResults(3));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kBadValue);

    // The stay-on file serves one query only; one that is not found gives 1.
    EXPECT_EQ(run("cat", files, entries), 1);
    EXPECT_EQ(index->GetStayOnFilePosition(), 1);
    index->SetStayOnFile("/d/a.txt");
    EXPECT_EQ(run("cat & dog", files, entries), 1);
    index->SetStayOnFile("/d/nowhere.txt");
    EXPECT_EQ(run("cat", files, entries), 1);
}

TEST_F(Search, NoMatchIsSuccessWithNoFiles) {
    ASSERT_TRUE(addText(*index, "/d/a.txt", "something"));
    int files = -1;
    std::int64_t entries = -1;
    EXPECT_EQ(run("nothing", files, entries), 1);
    EXPECT_EQ(files, 0);
    EXPECT_EQ(entries, 0);
    EXPECT_TRUE(index->SortResults(1));
    EXPECT_TRUE(index->SortResults(2));
}

class SearchLarge : public Search {
  protected:
    void SetUp() override {
        Search::SetUp();
        for (int i = 0; i < kDocs; ++i)
            ASSERT_TRUE(addText(*index, "/d/" + std::to_string(i),
                                "common word w" + std::to_string(i % 7)));
        ASSERT_TRUE(reopen(*index));
    }
    static constexpr int kDocs = 5000;
};

TEST_F(SearchLarge, ProgressRunsAndCancelEndsTheQueryWithWhatWasFound) {
    int calls = 0;
    index->SetProgressCallback([&] {
        if (++calls == 2) index->CancelSearch();
    });
    int files = 0;
    std::int64_t entries = 0;
    EXPECT_NE(run("common", files, entries), 0);
    EXPECT_GE(calls, 2);
    EXPECT_GT(files, 0);
    EXPECT_LT(files, kDocs);
    EXPECT_EQ(entries, files);
    std::string name;
    vellcore::Stamp stamp;
    EXPECT_TRUE(index->GetResult(files - 1, name, stamp));

    // The next query starts afresh.
    index->SetProgressCallback([&] { ++calls; });
    EXPECT_NE(run("common", files, entries), 0);
    EXPECT_EQ(files, kDocs);
}

TEST_F(SearchLarge, CallsFromInsideTheCallbackCannotDisturbTheQuery) {
    int inner = -1, innerCode = -1;
    bool beginRefused = false;
    index->SetProgressCallback([&] {
        int f = 0;
        std::int64_t e = 0;
        inner = index->RunQuery("word", f, e);
        innerCode = index->GetErrorCode();
        beginRefused = !index->BeginDocument("/d/new", 1, 1);
        (void)index->GetRecordCount();
    });
    int files = 0;
    std::int64_t entries = 0;
    EXPECT_NE(run("common", files, entries), 0);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(innerCode, vellcore::kBadValue);
    EXPECT_TRUE(beginRefused);
    EXPECT_EQ(files, kDocs);

    // A callback that throws stops the query; nothing reaches the caller.
    index->SetProgressCallback([] { throw std::runtime_error("window gone"); });
    EXPECT_NE(run("common", files, entries), 0);
    EXPECT_LT(files, kDocs);
}

TEST_F(Search, TheOutermostSessionReleasesTheWriteLock) {
    ASSERT_TRUE(addText(*index, "/d/a.txt", "one"));
    ASSERT_TRUE(reopen(*index));
    auto other = vellcore::CreateIndexObject((folder.path() / "idx").string(), 0);
    ASSERT_TRUE(other->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_TRUE(other->CanModify());

    index->BeginSession();
    index->BeginSession();
    ASSERT_TRUE(addText(*index, "/d/b.txt", "two"));
    EXPECT_FALSE(other->CanModify());
    index->EndSession();
    EXPECT_FALSE(other->CanModify());
    index->EndSession();
    EXPECT_EQ(index->GetErrorCode(), 0);
    EXPECT_TRUE(other->CanModify());
    // The changes were committed, and the index is still open for searching.
    EXPECT_EQ(found(*other, "two"), std::vector<std::string>{"/d/b.txt"});
    EXPECT_EQ(found(*index, "two"), std::vector<std::string>{"/d/b.txt"});
}

}  // namespace
