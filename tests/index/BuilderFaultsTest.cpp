// Builds under faults: compaction, files changing during a build, a build killed outright.
#include "CoreFixture.h"

#include <sys/wait.h>
#include <csignal>
#include <thread>

#include "index/BuildResult.h"
#include "index/FolderSwap.h"
#include "index/IndexFolder.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;

namespace {

// A distinct word for every number, in letters (digits are not word characters).
std::string wordFor(int n) {
    std::string word = "w";
    do {
        word += static_cast<char>('a' + n % 26);
        n /= 26;
    } while (n);
    return word + "z";
}

class BuilderFaults : public CoreFixture {
  protected:
    void touchLater(const std::string& relative, int seconds) {
        const fs::path p = root / relative;
        fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(seconds));
    }
};

}  // namespace

TEST_F(BuilderFaults, TooManyRemovedRecordsRebuildTheIndexFromScratch) {
    for (int i = 0; i < 100; ++i) write("docs/f" + std::to_string(i) + ".txt", wordFor(i));
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    // 60 of 100 documents replaced: 60 removed records against a ratio of 50.
    for (int i = 0; i < 60; ++i) touchLater("docs/f" + std::to_string(i) + ".txt", 10);
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);
    vellcore::IndexObject* index = core->catalogue.object(0);
    ASSERT_EQ(index->GetRecordCount(), 100);
    ASSERT_EQ(index->GetRemovedCount(), 60);

    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);
    index = core->catalogue.object(0);  // the rebuilt index took the old one's place
    EXPECT_EQ(index->GetRecordCount(), 100);
    EXPECT_EQ(index->GetRemovedCount(), 0) << "the rebuild starts the counts afresh";
    EXPECT_EQ(search(0, wordFor(42)).size(), 1U);
}

TEST_F(BuilderFaults, FilesDeletedOrReplacedWhileTheBuildRunsLeaveAConsistentIndex) {
    for (int i = 0; i < 20; ++i)
        write("docs/f" + std::to_string(i) + ".txt", "stable text " + wordFor(i));
    bool changed = false;
    core->indexer.setDocumentListener([&](const vellcore::IndexObject&) {
        if (changed) return;
        changed = true;
        fs::remove(root / "docs" / "f15.txt");
        fs::remove(root / "docs" / "f16.txt");
        write("docs/f17.txt", "replaced while indexing");
        write("docs/f18.txt", "");  // emptied
    });
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
    ASSERT_EQ(outcome.code, 0) << (ui.messages.empty() ? "" : ui.messages.back());
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 17) << "two deleted, one emptied";
    EXPECT_EQ(search(0, "replaced").size(), 1U);
    EXPECT_TRUE(search(0, wordFor(15)).empty());
}

TEST_F(BuilderFaults, AKilledUpdateHarmsNeitherThatIndexNorTheOthers) {
    write("other/a.txt", "untouched neighbour");
    for (int i = 0; i < 400; ++i)
        write("docs/f" + std::to_string(i) + ".txt", std::string(2000, 'x') + " " + wordFor(i));
    IndexRequest other = request("other", (root / "other").string() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, other).code, 0);
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    for (int i = 0; i < 400; ++i) touchLater("docs/f" + std::to_string(i) + ".txt", 10);
    core.reset();

    // A child process updates the index and is killed in the middle of it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        makeCore();
        core->catalogue.LoadIndexes(listDefinitionFiles((root / "home" / "Indexes").string()));
        const int position = core->catalogue.find("docs");
        core->catalogue.OpenIndex(position, nullptr);
        int stored = 0;
        core->indexer.setDocumentListener([&](const vellcore::IndexObject&) {
            if (++stored == 150) ::raise(SIGKILL);
        });
        IndexRequest again = r;
        core->builder.Build(BuildKind::Update, position, again);
        for (const auto& m : ui.messages) std::fprintf(stderr, "child: %s\n", m.c_str());
        ::_exit(3);  // the update ended before the kill: the test cannot show anything
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

    makeCore();
    EXPECT_EQ(
        core->catalogue.LoadIndexes(listDefinitionFiles((root / "home" / "Indexes").string())), 2);
    const int docsPosition = core->catalogue.find("docs");
    const int otherPosition = core->catalogue.find("other");
    ASSERT_GE(docsPosition, 0);
    ASSERT_GE(otherPosition, 0);
    // Either the index opens with what it had committed, or the user is offered a repair.
    ui.answers = {MessageResult::Yes};
    auto repair = [&](int p) {
        return core->builder.RepairIndex(p, "English (i)", textfold::englishTable(), false);
    };
    ASSERT_EQ(core->catalogue.OpenIndex(docsPosition, repair), 0);
    EXPECT_EQ(search(docsPosition, wordFor(7)).size(), 1U);
    ASSERT_EQ(core->catalogue.OpenIndex(otherPosition, nullptr), 0);
    EXPECT_EQ(search(otherPosition, "neighbour").size(), 1U);

    // The next update brings the killed one to completion.
    IndexRequest again = r;
    ASSERT_EQ(core->builder.Build(BuildKind::Update, docsPosition, again).code, 0);
    EXPECT_EQ(core->catalogue.object(docsPosition)->GetRecordCount(), 400);
}

TEST_F(BuilderFaults, ARebuildKilledHalfwayLeavesTheOldIndexWhole) {
    for (int i = 0; i < 200; ++i) write("docs/f" + std::to_string(i) + ".txt", wordFor(i));
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    for (int i = 0; i < 120; ++i) touchLater("docs/f" + std::to_string(i) + ".txt", 10);
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);  // 120 removed of 200
    core.reset();

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        makeCore();
        core->catalogue.LoadIndexes(listDefinitionFiles((root / "home" / "Indexes").string()));
        core->catalogue.OpenIndex(0, nullptr);
        int stored = 0;
        core->indexer.setDocumentListener([&](const vellcore::IndexObject& index) {
            if (++stored == 80) {
                const_cast<vellcore::IndexObject&>(index).CloseFiles();  // something committed
                ::raise(SIGKILL);
            }
        });
        IndexRequest again = r;
        core->builder.Build(BuildKind::Update, 0, again);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    ASSERT_TRUE(fs::exists(rebuildFolderOf(root / "home" / "Indexes" / "docs")));

    makeCore();
    ASSERT_EQ(
        core->catalogue.LoadIndexes(listDefinitionFiles((root / "home" / "Indexes").string())), 1);
    ASSERT_EQ(core->catalogue.OpenIndex(0, nullptr), 0);
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 200);
    EXPECT_EQ(search(0, wordFor(150)).size(), 1U);
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);
    EXPECT_EQ(core->catalogue.object(0)->GetRemovedCount(), 0);
    EXPECT_FALSE(fs::exists(rebuildFolderOf(root / "home" / "Indexes" / "docs")));
}
