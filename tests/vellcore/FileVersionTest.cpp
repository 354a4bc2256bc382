// The file version stored beside a document's stamp: a file rewritten within one
// two-second stamp is replaced, not declined, and documents stored without a version
// (older indexes, callers that know none) keep the stamp-and-size rule.
#include "EngineTestSupport.h"

using namespace enginetest;
using vellcore::FileVersion;
using vellcore::Stamp;

namespace {

bool offer(IndexObject& index, const std::string& name, std::uint64_t size, FileVersion file) {
    index.ClearError();
    if (!index.BeginDocument(name, 7, size, file)) return false;
    return index.AddWord("word", 0, 0);
}

}  // namespace

TEST(FileVersions, ASameSizeRewriteWithinOneStampReplacesTheDocument) {
    TempFolder folder;
    auto index = createIndex(folder.path() / "ix");
    const FileVersion first{120, 1'700'000'000'100'000'000};
    ASSERT_TRUE(offer(*index, "/d/a.txt", 120, first));
    ASSERT_TRUE(reopen(*index));

    // The same version again is declined; the stored version survives reopening.
    EXPECT_FALSE(offer(*index, "/d/a.txt", 120, first));
    EXPECT_EQ(index->GetErrorCode(), vellcore::kDeclined);
    Stamp stamp = 0;
    FileVersion stored;
    ASSERT_TRUE(index->FindDocument("/d/a.txt", stamp, &stored));
    EXPECT_EQ(stamp, 7u);
    EXPECT_EQ(stored, first);

    // Rewritten 0.4 s later to the same size: same stamp, same size, a new time.
    const FileVersion second{120, first.modified + 400'000'000};
    EXPECT_TRUE(offer(*index, "/d/a.txt", 120, second)) << index->GetErrorMessage();
    ASSERT_TRUE(reopen(*index));
    ASSERT_TRUE(index->FindDocument("/d/a.txt", stamp, &stored));
    EXPECT_EQ(stored, second);
    EXPECT_EQ(index->GetRecordCount(), 1);
    EXPECT_EQ(index->GetRemovedCount(), 1);
}

TEST(FileVersions, AnUnknownVersionOnEitherSideFallsBackToStampAndSize) {
    TempFolder folder;
    auto index = createIndex(folder.path() / "ix");
    ASSERT_TRUE(offer(*index, "/d/old.txt", 50, {}));  // stored as older indexes store it
    ASSERT_TRUE(offer(*index, "/d/new.txt", 50, {50, 99}));
    ASSERT_TRUE(reopen(*index));

    Stamp stamp = 0;
    FileVersion stored{1, 1};
    ASSERT_TRUE(index->FindDocument("/d/old.txt", stamp, &stored));
    EXPECT_FALSE(stored.known());
    EXPECT_FALSE(offer(*index, "/d/old.txt", 50, {50, 12345})) << "nothing to compare with";
    EXPECT_FALSE(offer(*index, "/d/new.txt", 50, {})) << "the caller knows no version";
    EXPECT_TRUE(offer(*index, "/d/new.txt", 51, {})) << "the size still tells them apart";
}
