// The stored versions read in one pass for an update: lookups answered from memory must
// agree with the database across replacements, removals, archive members and vanished
// files; a rescan counts what the caller found on disk; an update that changes nothing
// commits nothing.
#include <fstream>

#include "EngineTestSupport.h"

using namespace enginetest;
using vellcore::FileVersion;
using vellcore::Stamp;

namespace {

class VersionMap : public ::testing::Test {
  protected:
    void SetUp() override { index = createIndex(folder.path() / "idx"); }
    Stamp stampOf(const std::string& name) {
        Stamp stamp = 0;
        return index->FindDocument(name, stamp) ? stamp : 0;
    }
    TempFolder folder;
    std::unique_ptr<vellcore::IndexObject> index;
};

}  // namespace

TEST_F(VersionMap, LookupsFromMemoryFollowEveryChangeOfTheSession) {
    const fs::path dir = folder.path() / "docs";
    fs::create_directories(dir);
    const std::string d = dir.string();
    for (const char* f : {"a.txt", "b.txt", "c.txt", "arc.zip"}) std::ofstream(dir / f) << "x";
    ASSERT_TRUE(addText(*index, d + "/a.txt", "apple", 10, 5));
    ASSERT_TRUE(addText(*index, d + "/b.txt", "banana", 20, 6));
    ASSERT_TRUE(addText(*index, d + "/arc.zip//m.txt", "member", 30, 6));
    ASSERT_TRUE(addText(*index, d + "/arc.zip//in.zip//x.txt", "nested", 40, 6));
    ASSERT_TRUE(addText(*index, d + "/gone.txt", "ghost", 50, 5));
    ASSERT_TRUE(reopen(*index));

    EXPECT_FALSE(index->LoadDocumentVersions()) << "only inside a session";
    index->BeginSession();
    ASSERT_TRUE(index->LoadDocumentVersions());
    EXPECT_EQ(stampOf(d + "/a.txt"), 10u);
    EXPECT_EQ(stampOf(d + "/arc.zip//in.zip//x.txt"), 40u);
    EXPECT_EQ(stampOf(d + "/none.txt"), 0u);

    // Replaced: the new version is what the map answers, and offering it again declines.
    ASSERT_TRUE(addText(*index, d + "/a.txt", "apricot", 11, 7));
    EXPECT_EQ(stampOf(d + "/a.txt"), 11u);
    index->ClearError();
    EXPECT_FALSE(index->BeginDocument(d + "/a.txt", 11, 7));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kDeclined);
    // Removed, added, removed as vanished.
    ASSERT_TRUE(index->RemoveDocument(d + "/b.txt"));
    EXPECT_EQ(stampOf(d + "/b.txt"), 0u);
    EXPECT_FALSE(index->RemoveDocument(d + "/b.txt"));
    ASSERT_TRUE(addText(*index, d + "/c.txt", "cherry", 60, 6));
    EXPECT_EQ(stampOf(d + "/c.txt"), 60u);
    ASSERT_TRUE(addText(*index, d + "/b.txt", "blueberry", 21, 9));  // back again
    EXPECT_EQ(stampOf(d + "/b.txt"), 21u);
    fs::remove(dir / "arc.zip");
    EXPECT_EQ(index->RemoveVanishedInFolder(d), 3);  // the two members and gone.txt
    EXPECT_EQ(stampOf(d + "/arc.zip//m.txt"), 0u);
    EXPECT_EQ(stampOf(d + "/gone.txt"), 0u);
    index->EndSession();

    // The database agrees with what the map said.
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(stampOf(d + "/a.txt"), 11u);
    EXPECT_EQ(stampOf(d + "/b.txt"), 21u);
    EXPECT_EQ(stampOf(d + "/c.txt"), 60u);
    EXPECT_EQ(stampOf(d + "/arc.zip//in.zip//x.txt"), 0u);
    EXPECT_EQ(index->GetRecordCount(), 3);
    EXPECT_EQ(found(*index, "apricot"), std::vector<std::string>{d + "/a.txt"});
    EXPECT_EQ(found(*index, "apple"), std::vector<std::string>{});
}

TEST_F(VersionMap, ARescanKeepsWhatWasFoundAndAnUnchangedOneWritesNothing) {
    const fs::path dir = folder.path() / "docs";
    fs::create_directories(dir);
    const std::string d = dir.string();
    std::ofstream(dir / "seen.txt") << "x";
    ASSERT_TRUE(addText(*index, d + "/seen.txt", "seen", 10, 1));
    ASSERT_TRUE(addText(*index, d + "/unseen.txt", "unseen", 10, 1));  // no file
    ASSERT_TRUE(reopen(*index));
    auto rescan = [&] {
        index->BeginSession();
        EXPECT_TRUE(index->ReadyForRescan());
        EXPECT_TRUE(index->LoadDocumentVersions());
        Stamp stamp = 0;
        FileVersion file;
        EXPECT_TRUE(index->FindExistingDocument(d + "/seen.txt", stamp, &file));
        EXPECT_EQ(stamp, 10u);
        EXPECT_FALSE(index->FindExistingDocument(d + "/other.txt", stamp, &file));
        index->EndSession();
    };

    // The document nobody found, whose file is missing, leaves; the found one stays.
    rescan();
    EXPECT_EQ(index->GetRecordCount(), 1);
    EXPECT_EQ(stampOf(d + "/unseen.txt"), 0u);
    ASSERT_TRUE(reopen(*index));
    EXPECT_EQ(index->GetRecordCount(), 1);

    // Nothing changed: nothing is committed (the database's version file stays as it was).
    const fs::path version = folder.path() / "idx" / "xapian" / "iamglass";
    ASSERT_TRUE(fs::exists(version));
    const std::string before = [&] {
        std::ifstream in(version, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    rescan();
    std::ifstream in(version, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    EXPECT_EQ(stampOf(d + "/seen.txt"), 10u);
    EXPECT_EQ(index->GetRecordCount(), 1);
}
