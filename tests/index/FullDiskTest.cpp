// Builds on a disk that fills up: a failed update of any kind keeps the index as it was,
// searchable, with its definition file and in the catalogue; a failed creation leaves
// nothing behind.
#include "CoreFixture.h"
#include "support/SmallDisk.h"

#include "index/BuildResult.h"
#include "index/IndexDefinition.h"
#include "platform/AtomicFile.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;

namespace {

class FullDisk : public CoreFixture {
  protected:
    void SetUp() override {
        CoreFixture::SetUp();
        disk = std::make_unique<SmallDisk>(indexes(), 16 * 1024);
        if (!disk->mounted()) GTEST_SKIP() << disk->why();
    }
    void TearDown() override {
        core.reset();
        disk.reset();
        CoreFixture::TearDown();
    }
    fs::path indexes() const { return root / "home" / "Indexes"; }
    std::optional<std::string> readDefinitionText() const {
        return readWholeFile(indexes() / "docs.inf");
    }
    // Documents f0 ... f<count-1>, each with its own word and a shared one.
    void writeDocuments(int count, const std::string& shared) {
        for (int i = 0; i < count; ++i)
            write("docs/f" + std::to_string(i) + ".txt",
                  shared + " " + std::string(1500, 'x') + " " + wordFor(i));
    }
    void touchAll(int count) {
        for (int i = 0; i < count; ++i) {
            const fs::path p = root / "docs" / ("f" + std::to_string(i) + ".txt");
            fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(10));
        }
    }
    static std::string wordFor(int n) {
        std::string word = "w";
        do {
            word += static_cast<char>('a' + n % 26);
            n /= 26;
        } while (n);
        return word + "z";
    }
    // The index named docs is in the catalogue, opened, searchable and still defined.
    void expectKept(const BuildOutcome& outcome, const std::string& oldWord, std::size_t found) {
        EXPECT_EQ(outcome.position, 0);
        ASSERT_EQ(core->catalogue.count(), 1);
        EXPECT_EQ(core->notifier.ScopeCount(), 1) << "the scope list stays parallel";
        EXPECT_EQ(core->catalogue.opened(), 0);
        EXPECT_TRUE(fs::exists(indexes() / "docs.inf"));
        EXPECT_EQ(search(0, oldWord).size(), found);
        EXPECT_NE(ui.messages.back().find("kept as it was before the update"), std::string::npos)
            << ui.messages.back();
    }

    std::unique_ptr<SmallDisk> disk;
};

}  // namespace

TEST_F(FullDisk, AFailedCreationLeavesNothingBehind) {
    writeDocuments(50, "alpha");
    ASSERT_TRUE(disk->fill());
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
    EXPECT_FALSE(isBuildSuccess(outcome.code));
    EXPECT_TRUE(ui.saw("Index wasn't created successfully: "));
    EXPECT_EQ(core->catalogue.count(), 0);
    EXPECT_EQ(core->notifier.ScopeCount(), 0);
    EXPECT_FALSE(fs::exists(indexes() / "docs"));
    EXPECT_FALSE(fs::exists(indexes() / "docs.inf"));
}

TEST_F(FullDisk, AFailedUpdateKeepsTheIndexAndTheNextOneSucceeds) {
    writeDocuments(300, "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const std::string definition = *readDefinitionText();

    writeDocuments(300, "omega");
    touchAll(300);
    ASSERT_TRUE(disk->fill());
    const BuildOutcome failed = core->builder.Build(BuildKind::Update, 0, r);
    EXPECT_EQ(failed.code, BuildResult::kOutOfMemory);
    EXPECT_TRUE(ui.saw("Index wasn't updated successfully: Out of memory or disk space."));
    expectKept(failed, "alpha", 300);
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 300);
    EXPECT_EQ(*readDefinitionText(), definition) << "a failed update writes no definition";

    disk->makeRoom();
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);
    EXPECT_EQ(search(0, "omega").size(), 300U);
    EXPECT_TRUE(search(0, "alpha").empty());
}

TEST_F(FullDisk, AFailedOneFileUpdateKeepsTheIndex) {
    writeDocuments(20, "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);

    write("docs/f3.txt", "omega changed");
    touchAll(4);
    ASSERT_TRUE(disk->fill());
    IndexRequest one = r;
    one.scope = docs() + "/f3.txt";
    const BuildOutcome failed = core->builder.Build(BuildKind::UpdateFile, 0, one);
    EXPECT_FALSE(isBuildSuccess(failed.code));
    expectKept(failed, wordFor(3), 1);
    EXPECT_TRUE(search(0, "omega").empty());

    disk->makeRoom();
    ASSERT_EQ(core->builder.Build(BuildKind::UpdateFile, 0, one).code, 0);
    EXPECT_EQ(search(0, "omega").size(), 1U);
}

TEST_F(FullDisk, AFailedCompactingUpdateKeepsTheOldIndex) {
    writeDocuments(100, "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    // 60 of 100 documents replaced: the next update rebuilds the index from scratch.
    touchAll(60);
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);
    ASSERT_EQ(core->catalogue.object(0)->GetRemovedCount(), 60);

    ASSERT_TRUE(disk->fill());
    const BuildOutcome failed = core->builder.Build(BuildKind::Update, 0, r);
    EXPECT_FALSE(isBuildSuccess(failed.code));
    expectKept(failed, "alpha", 100);
    EXPECT_FALSE(fs::exists(indexes() / "docs.rebuild")) << "the unfinished rebuild is gone";

    disk->makeRoom();
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);
    EXPECT_EQ(core->catalogue.object(0)->GetRemovedCount(), 0) << "rebuilt this time";
    EXPECT_EQ(search(0, "alpha").size(), 100U);
}

TEST_F(FullDisk, AFailedFolderUpdateKeepsTheIndex) {
    writeDocuments(40, "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);

    writeDocuments(40, "omega");
    touchAll(40);
    ASSERT_TRUE(disk->fill());
    const FolderUpdateOutcome failed = core->folderUpdater.Update(0, docs());
    EXPECT_TRUE(failed.ran);
    EXPECT_EQ(failed.code, BuildResult::kOutOfMemory);
    EXPECT_TRUE(failed.reopened);
    EXPECT_EQ(
        failed.message.rfind("Out of memory or disk space.: \"docs\" index update failed.", 0), 0U)
        << failed.message;
    EXPECT_NE(failed.message.find(kIndexKeptText), std::string::npos);
    EXPECT_EQ(core->catalogue.count(), 1);
    EXPECT_EQ(core->catalogue.opened(), 0);
    EXPECT_TRUE(fs::exists(indexes() / "docs.inf"));
    EXPECT_EQ(search(0, "alpha").size(), 40U);

    disk->makeRoom();
    const FolderUpdateOutcome done = core->folderUpdater.Update(0, docs());
    EXPECT_EQ(done.code, 0);
    EXPECT_EQ(search(0, "omega").size(), 40U);
}
