// Faults from outside: another process holding the index for writing, damaged or missing
// index files, a build killed with SIGKILL, and a disk that fills up during a build.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <fstream>

#include "EngineTestSupport.h"
#include "support/OtherWriter.h"

using namespace enginetest;

namespace {

constexpr int kWordsPerDoc = 20;

// Word i of document d: a small vocabulary, so that the unique count is known.
std::string word(int d, int i) {
    return "w" + std::string(1, static_cast<char>('a' + (d * 7 + i) % 26)) + "x";
}

bool addDoc(vellcore::IndexObject& index, int d) {
    if (!index.BeginDocument("/docs/" + std::to_string(d) + ".txt", 1, 100)) return false;
    for (int i = 0; i < kWordsPerDoc; ++i)
        if (!index.AddWord(word(d, i), i, 0)) return false;
    return true;
}

// A number written in letters, so that the English table keeps all of it.
std::string letters(long n) {
    std::string s;
    do {
        s += static_cast<char>('a' + n % 26);
        n /= 26;
    } while (n);
    return s;
}

// Reads a line-less integer report from the child, or -1 after the timeout.
long readReport(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return -1;
    long value = -1;
    return ::read(fd, &value, sizeof value) == sizeof value ? value : -1;
}

TEST(Faults, AnotherProcessWritingBlocksModifyAndDelete) {
    TempFolder folder;
    const fs::path path = folder.path() / "idx";
    {
        auto index = createIndex(path);
        ASSERT_TRUE(addDoc(*index, 0));
        ASSERT_TRUE(index->CloseFiles());
    }
    testing_support::OtherWriter other(path);  // stores a document it never commits
    ASSERT_TRUE(other.holding());

    auto index = vellcore::CreateIndexObject(path.string(), 0);
    ASSERT_TRUE(index->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_FALSE(index->CanModify());
    EXPECT_FALSE(index->DeleteIndexFiles());
    EXPECT_TRUE(fs::exists(path / "S.STS"));
    EXPECT_FALSE(index->ReadyForRescan());
    EXPECT_EQ(index->GetErrorCode(), vellcore::kCannotOpen);
    EXPECT_FALSE(index->BeginDocument("/docs/x.txt", 1, 1));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kCannotOpen);
    const auto table = textfold::englishTable();
    EXPECT_FALSE(index->Prepare(2, "English (i)", &table, 32, 2, 50));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kCannotOpen);

    other.release();
    EXPECT_TRUE(index->CanModify());
    ASSERT_TRUE(index->Prepare(3, "", nullptr, 32, 2, 50));
    EXPECT_EQ(index->GetRecordCount(), 1);
    EXPECT_TRUE(index->DeleteIndexFiles());
    EXPECT_FALSE(fs::exists(path));
}

class DamagedIndex : public ::testing::Test {
  protected:
    void SetUp() override {
        pristine = folder.path() / "pristine";
        auto index = createIndex(pristine);
        for (int d = 0; d < 300; ++d) ASSERT_TRUE(addDoc(*index, d));
        ASSERT_TRUE(index->CloseFiles());
    }

    fs::path copy() {
        const fs::path target = folder.path() / ("copy" + std::to_string(++copies));
        fs::copy(pristine, target, fs::copy_options::recursive);
        return target;
    }

    // Opens and uses the index; every failure must carry one of the damage codes.
    void exercise(const fs::path& path, const std::string& what, std::vector<int>& codes) {
        auto index = vellcore::CreateIndexObject(path.string(), 0);
        ASSERT_NE(index, nullptr);
        auto note = [&](bool ok) {
            if (ok) return;
            codes.push_back(index->GetErrorCode());
            EXPECT_TRUE(index->GetErrorCode() == 4 || index->GetErrorCode() == 5 ||
                        index->GetErrorCode() == 6)
                << what << ": code " << index->GetErrorCode() << " " << index->GetErrorMessage();
            index->ClearError();
        };
        const bool opened = index->Prepare(3, "", nullptr, 32, 2, 50);
        note(opened);
        if (!opened) return;
        int files = 0;
        std::int64_t entries = 0;
        note(index->RunQuery("wax | wb*", files, entries) != 0);
        std::vector<vellcore::HitRecord> hits;
        std::string name;
        vellcore::Stamp stamp;
        for (int i = 0; i < files; i += 37) {
            note(index->GetResult(i, name, stamp));
            note(index->GetHits(i, hits));
        }
        note(index->SortResults(1));
        note(addDoc(*index, 1000));
        note(index->CloseFiles());
    }

    TempFolder folder;
    fs::path pristine;
    int copies = 0;
};

TEST_F(DamagedIndex, ParameterFileMissingOrDamaged) {
    const auto openCode = [](const fs::path& p) {
        auto index = vellcore::CreateIndexObject(p.string(), 0);
        index->Prepare(3, "", nullptr, 32, 2, 50);
        return index->GetErrorCode();
    };
    fs::path p = copy();
    fs::remove(p / "S.STS");
    EXPECT_EQ(openCode(p), vellcore::kCannotOpen);

    p = copy();
    fs::resize_file(p / "S.STS", fs::file_size(p / "S.STS") / 2);
    EXPECT_EQ(openCode(p), vellcore::kStatsDamaged);

    p = copy();
    {
        std::fstream f(p / "S.STS", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(40);
        f.put('#');
    }
    EXPECT_EQ(openCode(p), vellcore::kStatsDamaged);

    p = copy();
    fs::remove_all(p / "xapian");
    EXPECT_EQ(openCode(p), vellcore::kDatabaseFailure);
}

TEST_F(DamagedIndex, TruncatedOrDeletedDatabaseFilesGiveCodesNotCrashes) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(pristine / "xapian"))
        files.push_back(e.path().filename());
    ASSERT_GE(files.size(), 4u);
    std::vector<int> codes;
    for (const std::string& f : files) {
        if (f == "flintlock") continue;
        for (int damage = 0; damage < 3; ++damage) {
            const fs::path p = copy();
            const fs::path file = p / "xapian" / f;
            if (damage == 0) fs::remove(file);
            if (damage == 1) fs::resize_file(file, 0);
            if (damage == 2) fs::resize_file(file, fs::file_size(file) / 2);
            exercise(p, f + " damage " + std::to_string(damage), codes);
        }
    }
    // Most of this damage must be noticed, not silently read as an empty index.
    EXPECT_GE(codes.size(), files.size());
}

TEST(Faults, BuildKilledAtAnyMomentReopensWithItsLastCommit) {
    TempFolder folder;
    const fs::path path = folder.path() / "idx";
    constexpr int kInterval = 50;
    for (long killAt : {120L, 333L, 517L}) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto index = vellcore::CreateIndexObject(path.string(), 0);
            index->SetCommitInterval(kInterval, 1'000'000);
            if (!index->Prepare(3, "", nullptr, 32, 2, 50)) {
                const auto table = textfold::englishTable();
                index->Prepare(2, "English (i)", &table, 32, 2, 50);
            }
            for (long d = index->GetRecordCount();; ++d) {
                if (!addDoc(*index, static_cast<int>(d))) ::_exit(1);
                (void)!::write(report[1], &d, sizeof d);
            }
        }
        long last = 0;
        while (last >= 0 && last < killAt) last = readReport(report[0], 30000);
        ASSERT_GE(last, killAt) << "the child stopped reporting";
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(report[0]);
        ::close(report[1]);

        auto index = vellcore::CreateIndexObject(path.string(), 0);
        ASSERT_TRUE(index->Prepare(3, "", nullptr, 32, 2, 50)) << index->GetErrorMessage();
        const int records = index->GetRecordCount();
        EXPECT_EQ(records % kInterval, 0) << "only whole commits survive";
        EXPECT_GE(records, (killAt / kInterval - 1) * kInterval);
        // The documents that survived are exactly the first ones offered.
        vellcore::Stamp stamp = 0;
        EXPECT_TRUE(index->FindDocument("/docs/" + std::to_string(records - 1) + ".txt", stamp));
        EXPECT_FALSE(index->FindDocument("/docs/" + std::to_string(records) + ".txt", stamp));
        EXPECT_EQ(index->GetWordCount(), static_cast<std::int64_t>(records) * kWordsPerDoc);
        EXPECT_EQ(index->GetUniqueWordCount(), 26);
        EXPECT_EQ(index->GetTotalSizeKB(), (records * 100 + 1023) / 1024);
        int files = 0;
        std::int64_t entries = 0;
        EXPECT_NE(index->RunQuery("w*", files, entries), 0);
        EXPECT_EQ(files, records);
        EXPECT_EQ(entries, static_cast<std::int64_t>(records) * kWordsPerDoc);
    }
}

TEST(Faults, DiskFullDuringBuildFailsWithCode1AndKeepsTheLastCommit) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs";
    TempFolder folder;
    const fs::path mountPoint = folder.path() / "small";
    fs::create_directories(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1536k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        fs::path p;
        ~Unmount() { ::umount2(p.c_str(), MNT_DETACH); }
    } unmount{mountPoint};

    const fs::path path = mountPoint / "idx";
    auto index = createIndex(path);
    index->SetCommitInterval(25, 1'000'000);
    int failedCode = 0, stored = 0;
    for (int d = 0; d < 100000 && !failedCode; ++d) {
        bool ok = index->BeginDocument("/docs/" + std::to_string(d), 1, 100);
        // Words unique to each document make the database grow fast.
        for (int i = 0; ok && i < 40; ++i)
            ok = index->AddWord(letters(d) + "x" + letters(i) + "yabcdefghijklmnop", i, 0);
        if (!ok)
            failedCode = index->GetErrorCode();
        else
            ++stored;
    }
    if (!failedCode && !index->CloseFiles()) failedCode = index->GetErrorCode();
    ASSERT_EQ(failedCode, vellcore::kNoSpace) << index->GetErrorMessage();
    index->ClearError();
    index->CloseFiles();
    index.reset();

    auto reopened = vellcore::CreateIndexObject(path.string(), 0);
    ASSERT_TRUE(reopened->Prepare(3, "", nullptr, 32, 2, 50)) << reopened->GetErrorMessage();
    const int records = reopened->GetRecordCount();
    EXPECT_GT(records, 0);
    EXPECT_LE(records, stored);
    EXPECT_EQ(reopened->GetWordCount(), static_cast<std::int64_t>(records) * 40);
    EXPECT_EQ(reopened->GetUniqueWordCount(), static_cast<std::int64_t>(records) * 40);
    EXPECT_EQ(found(*reopened, "axayabcdefghijklmnop"), std::vector<std::string>{"/docs/0"});
}

}  // namespace
