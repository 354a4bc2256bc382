// Archives that are too large, too slow or oddly named: limits read from the directory
// before anything is written, cancellation between and within members, names the file
// system refuses, and the compressed kinds (tar with a filter, 7z, single files).
#include <gtest/gtest.h>

#include <chrono>

#include "ArchiveMaker.h"
#include "archive/ArchiveReader.h"

using namespace arcread;
using namespace archive_test;
using namespace std::chrono_literals;

namespace {

std::vector<Member> numbered(int count, const std::string& data = "x") {
    std::vector<Member> members;
    for (int i = 0; i < count; ++i) members.push_back({"f" + std::to_string(i) + ".txt", data});
    return members;
}

}  // namespace

TEST(ArchiveLimits, BombsWithADirectoryAreRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    ASSERT_TRUE(makeArchive(dir / "many.zip", numbered(60)));
    Limits fewMembers;
    fewMembers.maxMembers = 50;
    UnpackResult r =
        ArchiveReader::Open(dir / "many.zip", fewMembers)->UnpackMatching({"*"}, dir / "a");
    EXPECT_EQ(r.status, Status::TooLarge);
    EXPECT_FALSE(std::filesystem::exists(dir / "a")) << "not even the folder was made";

    std::vector<Member> big = numbered(3, std::string(600 * 1024, 'z'));
    big.push_back({"huge.bin", std::string(4u << 20, '\0')});
    ASSERT_TRUE(makeArchive(dir / "big.zip", big));
    Limits oneMegabyte;
    oneMegabyte.maxTotalBytes = 1u << 20;
    auto reader = ArchiveReader::Open(dir / "big.zip", oneMegabyte);
    r = reader->UnpackMatching({"*.txt"}, dir / "b");
    EXPECT_EQ(r.status, Status::TooLarge) << "1.8 MB of text members declared";
    EXPECT_FALSE(std::filesystem::exists(dir / "b"));
    r = reader->UnpackMatching({"f0.txt"}, dir / "c");
    EXPECT_EQ(r.status, Status::Ok) << "only the members that would be unpacked count";
    EXPECT_EQ(r.unpacked, 1u);

    // A zip with something in front (a self-extractor) has a directory whose offsets do
    // not fit: its members are walked instead, under the same limits.
    writeFile(dir / "sfx.zip", std::string(5000, 'S') + readFile(dir / "many.zip"));
    auto sfx = ArchiveReader::Open(dir / "sfx.zip", fewMembers);
    ASSERT_TRUE(sfx);
    EXPECT_EQ(sfx->UnpackMatching({"*"}, dir / "e").status, Status::TooLarge);
    EXPECT_EQ(ArchiveReader::Open(dir / "sfx.zip")->UnpackMatching({"*"}, dir / "f").unpacked, 60u);

    // A compressed tar has no directory to read ahead: counted as the members come, and
    // what was written is taken back.
    ASSERT_TRUE(makeArchive(dir / "many.tar.gz", numbered(60), "tar", "", "gzip"));
    r = ArchiveReader::Open(dir / "many.tar.gz", fewMembers)->UnpackMatching({"*"}, dir / "d");
    EXPECT_EQ(r.status, Status::TooLarge);
    EXPECT_TRUE(filesBelow(dir / "d").empty());
}

TEST(ArchiveLimits, ACancelStopsBetweenMembersAndWithinALargeOne) {
    TempDir dir;
    ASSERT_TRUE(makeArchive(dir / "many.zip", numbered(3000)));
    auto reader = ArchiveReader::Open(dir / "many.zip");
    int asked = 0;
    reader->SetKeepGoing([&] { return ++asked < 500; });
    const auto started = std::chrono::steady_clock::now();
    UnpackResult r = reader->UnpackMatching({"*.txt"}, dir / "out");
    EXPECT_EQ(r.status, Status::Cancelled);
    EXPECT_LT(asked, 520) << "it stops at the first question answered no";
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_LT(filesBelow(dir / "out").size(), 500u);
    EXPECT_EQ(filesBelow(dir / "out").size(), r.unpacked) << "the caller removes what came out";

    ASSERT_TRUE(makeArchive(dir / "one.zip", {{"large.txt", std::string(16u << 20, 'a')}}));
    reader = ArchiveReader::Open(dir / "one.zip");
    asked = 0;
    reader->SetKeepGoing([&] { return ++asked < 20; });
    r = reader->UnpackMatching({"*"}, dir / "one");
    EXPECT_EQ(r.status, Status::Cancelled);
    EXPECT_EQ(asked, 20) << "asked within the member, not only after it";
    EXPECT_TRUE(filesBelow(dir / "one").empty()) << "no partial member stays";
}

TEST(ArchiveLimits, NamesTheFileSystemRefusesAreSkippedAndTheRestUnpacked) {
    TempDir dir;
    std::string deep;
    for (int i = 0; i < 25; ++i) deep += std::string(200, 'd') + "/";
    ASSERT_TRUE(makeArchive(dir / "names.zip", {{"a.txt", "first"},
                                                {std::string(300, 'n') + ".txt", "long"},
                                                {deep + "deep.txt", "deep"},
                                                {"clash", "a file"},
                                                {"clash/inside.txt", "under a file"},
                                                {"z.txt", "last"}}));
    const UnpackResult r =
        ArchiveReader::Open(dir / "names.zip")->UnpackMatching({"*"}, dir / "out");
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_EQ(r.unpacked, 3u);
    EXPECT_EQ(r.members, 6u);
    EXPECT_EQ(filesBelow(dir / "out"), (std::vector<std::string>{"a.txt", "clash", "z.txt"}));
    ASSERT_EQ(r.skipped.size(), 3u);
    EXPECT_EQ(r.skipped[0].member, std::string(300, 'n') + ".txt");
    EXPECT_EQ(r.skipped[0].reason, "the name is too long for the file system");
    EXPECT_EQ(r.skipped[1].reason, "the name is too long for the file system")
        << "a path the system could not open later";
    EXPECT_EQ(r.skipped[2].member, "clash/inside.txt");
    EXPECT_EQ(r.skipped[2].reason, "the name clashes with another member");
}

TEST(ArchiveLimits, EmptyArchivesSayTheyHoldNoFiles) {
    TempDir dir;
    ASSERT_TRUE(makeArchive(dir / "empty.zip", {}));
    auto reader = ArchiveReader::Open(dir / "empty.zip");
    ASSERT_TRUE(reader);
    const UnpackResult r = reader->UnpackMatching({"*"}, dir / "out");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.members, 0u);
}

TEST(ArchiveKinds, CompressedTarsAndSevenZipAreArchives) {
    TempDir dir;
    const std::vector<Member> members = {{"docs/readme.txt", "read me"}, {"notes.txt", "notes"}};
    struct Case {
        std::string name, format, filter;
    } cases[] = {{"a.tar.gz", "tar", "gzip"},   {"b.TGZ", "tar", "gzip"},
                 {"c.tar.bz2", "tar", "bzip2"}, {"d.tar.xz", "tar", "xz"},
                 {"e.tar.zst", "tar", "zstd"},  {"f.7z", "7z", ""},
                 {"g.tar", "tar", ""}};
    for (const Case& c : cases) {
        if (!makeArchive(dir / c.name, members, c.format, "", c.filter)) {
            ADD_FAILURE() << "cannot write " << c.name;
            continue;
        }
        auto reader = ArchiveReader::Open(dir / c.name);
        ASSERT_TRUE(reader) << c.name;
        const UnpackResult r = reader->UnpackMatching({"*.txt"}, dir / (c.name + ".out"));
        EXPECT_EQ(r.unpacked, 2u) << c.name;
        EXPECT_EQ(readFile(dir / (c.name + ".out") / "docs/readme.txt"), "read me") << c.name;
    }

    struct NameCase {
        const char* name;
        bool archive;
        bool compressedFile;
    } names[] = {{"a.tar.gz", true, false},  {"notes.txt.gz", true, true},
                 {"x.ZST", true, true},      {"x.tar.zst", true, false},
                 {"x.tar.lz", true, false},  {"log.2.bz2", true, true},
                 {"x.gz.bak", false, false}, {".gz", false, false},
                 {"x.lz", false, false},     {"paper.txt", false, false}};
    for (const NameCase& n : names) {
        EXPECT_EQ(ArchiveReader::IsSupportedName(n.name), n.archive) << n.name;
        EXPECT_EQ(isCompressedFileName(n.name), n.compressedFile) << n.name;
    }
    EXPECT_EQ(decompressedName("/usr/share/doc/x/changelog.html.gz"), "changelog.html");
}

TEST(ArchiveKinds, SingleCompressedFilesDecompressWithACap) {
    TempDir dir;
    const std::string text = "a changelog line\n";
    for (const char* filter : {"gzip", "bzip2", "xz", "zstd"}) {
        const auto file = dir / (std::string("notes.") + filter);
        ASSERT_TRUE(makeCompressed(file, text, filter)) << filter;
        bool truncated = true;
        EXPECT_EQ(decompressFile(file, dir / "out.txt", 1000, truncated), Status::Ok) << filter;
        EXPECT_FALSE(truncated);
        EXPECT_EQ(readFile(dir / "out.txt"), text) << filter;
    }

    ASSERT_TRUE(makeCompressed(dir / "big.gz", std::string(100000, 'w'), "gzip"));
    bool truncated = false;
    EXPECT_EQ(decompressFile(dir / "big.gz", dir / "big.txt", 4096, truncated), Status::Ok);
    EXPECT_TRUE(truncated);
    EXPECT_EQ(std::filesystem::file_size(dir / "big.txt"), 4096u);

    // Cut short: damaged, and nothing half-written stays.
    const std::string whole = readFile(dir / "big.gz");
    writeFile(dir / "cut.gz", whole.substr(0, whole.size() / 2));
    EXPECT_EQ(decompressFile(dir / "cut.gz", dir / "cut.txt", 1u << 20, truncated),
              Status::Damaged);
    EXPECT_FALSE(std::filesystem::exists(dir / "cut.txt"));

    // Never written through a link planted where the document goes.
    writeFile(dir / "victim", "keep");
    std::filesystem::create_symlink(dir / "victim", dir / "link.txt");
    EXPECT_EQ(decompressFile(dir / "notes.gzip", dir / "link.txt", 1000, truncated),
              Status::WriteFailed);
    EXPECT_EQ(readFile(dir / "victim"), "keep");
    EXPECT_EQ(decompressFile(dir / "missing.gz", dir / "m.txt", 1000, truncated),
              Status::OpenFailed);
}
