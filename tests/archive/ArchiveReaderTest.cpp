#include <gtest/gtest.h>

#include "ArchiveMaker.h"
#include "archive/ArchiveReader.h"
#include "wordmill/ProcessRunner.h"

using namespace arcread;
using namespace archive_test;

namespace {

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(ArchiveNames, SafeMemberPathsAndMasks) {
    struct Case {
        const char* raw;
        const char* safe;  // nullptr: refused
    } cases[] = {
        {"readme.txt", "readme.txt"},
        {"sub/dir/a.txt", "sub/dir/a.txt"},
        {"./sub//a.txt", "sub/a.txt"},
        {"win\\path\\a.txt", "win/path/a.txt"},
        {"../evil.txt", nullptr},
        {"sub/../../evil.txt", nullptr},
        {"/etc/passwd", nullptr},
        {"\\server\\share", nullptr},
        {"C:\\autoexec.bat", nullptr},
        {"sub/..", nullptr},
        {"", nullptr},
        {"./", nullptr},
        {"..data/a..b", "..data/a..b"},
    };
    for (const Case& c : cases) {
        const auto safe = safeMemberPath(c.raw);
        if (c.safe) {
            ASSERT_TRUE(safe) << c.raw;
            EXPECT_EQ(*safe, c.safe);
        } else {
            EXPECT_FALSE(safe) << c.raw;
        }
    }
    struct MaskCase {
        const char* name;
        const char* mask;
        bool match;
    } masks[] = {
        {"a.txt", "*.txt", true},
        {"A.TXT", "*.txt", true},
        {"a.txt.bak", "*.txt", false},
        {"noext", "*.*", true},
        {"report1.doc", "report?.doc", true},
        {"report12.doc", "report?.doc", false},
        {"x", "*", true},
        {"abc", "a*b*c", true},
        {"abcd", "a*b*c", false},
        {"[1].txt", "[1].txt", true},
    };
    for (const MaskCase& m : masks)
        EXPECT_EQ(matchesMask(m.name, m.mask), m.match) << m.name << " ~ " << m.mask;
}

TEST(ArchiveReader, UnpacksMatchingMembersWithTheirFolders) {
    TempDir dir;
    ASSERT_TRUE(makeArchive(dir / "docs.zip", {{"readme.txt", "hello"},
                                               {"sub/", "", Member::Folder},
                                               {"sub/notes.TXT", "notes"},
                                               {"image.png", "png"},
                                               {"inner.zip", "zip"}}));
    auto reader = ArchiveReader::Open(dir / "docs.zip");
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->MemberNames(),
              (std::vector<std::string>{"readme.txt", "sub/notes.TXT", "image.png", "inner.zip"}));
    const UnpackResult r = reader->UnpackMatching({"*.txt", "*.zip"}, dir / "out");
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_EQ(r.unpacked, 3u);
    EXPECT_EQ(filesBelow(dir / "out"),
              (std::vector<std::string>{"inner.zip", "readme.txt", "sub/notes.TXT"}));
    EXPECT_EQ(readFile(dir / "out/sub/notes.TXT"), "notes");
    EXPECT_EQ(reader->UnpackMatching({}, dir / "none").unpacked, 0u);
}

TEST(ArchiveReader, NeverWritesOutsideTheFolder) {
    TempDir dir;
    const std::filesystem::path out = dir / "deep/out";
    ASSERT_TRUE(makeArchive(dir / "evil.zip", {{"../escaped.txt", "x"},
                                               {"sub/../../escaped2.txt", "x"},
                                               {"/tmp/absolute-vellumar-test.txt", "x"},
                                               {"link.txt", "", Member::Symlink, "/etc/hostname"},
                                               {"dirlink", "", Member::Symlink, "../.."},
                                               {"dirlink/through.txt", "x"},
                                               {"good.txt", "fine"}}));
    auto reader = ArchiveReader::Open(dir / "evil.zip");
    ASSERT_TRUE(reader);
    const UnpackResult r = reader->UnpackMatching({"*"}, out);
    EXPECT_EQ(r.unpacked, 2u) << "good.txt, and dirlink/through.txt as a real folder";
    EXPECT_EQ(r.skippedUnsafe, 5u);
    EXPECT_EQ(filesBelow(dir.path()), (std::vector<std::string>{"deep/out/dirlink/through.txt",
                                                                "deep/out/good.txt", "evil.zip"}));
    EXPECT_FALSE(std::filesystem::exists("/tmp/absolute-vellumar-test.txt"));
    EXPECT_EQ(reader->ExtractMember("../escaped.txt", dir / "x.txt"), Status::NotFound);
    EXPECT_EQ(reader->ExtractMember("link.txt", dir / "x.txt"), Status::NotFound);

    // Hard links (tar can hold them) are refused too.
    ASSERT_TRUE(makeArchive(dir / "links.tar",
                            {{"secret.txt", "s"}, {"hard.txt", "", Member::Hardlink, "secret.txt"}},
                            "tar"));
    auto tar = ArchiveReader::Open(dir / "links.tar");
    ASSERT_TRUE(tar);
    const UnpackResult t = tar->UnpackMatching({"*.txt"}, dir / "tarout");
    EXPECT_EQ(t.unpacked, 1u);
    EXPECT_EQ(t.skippedUnsafe, 1u);
}

TEST(ArchiveReader, StopsAtBombsAndTakesBackWhatItWrote) {
    TempDir dir;
    ASSERT_TRUE(makeArchive(dir / "big.zip",
                            {{"small.txt", "ok"}, {"zeros.txt", std::string(4u << 20, '\0')}}));
    Limits limits;
    limits.maxTotalBytes = 1u << 20;
    auto reader = ArchiveReader::Open(dir / "big.zip", limits);
    ASSERT_TRUE(reader);
    UnpackResult r = reader->UnpackMatching({"*.txt"}, dir / "out");
    EXPECT_EQ(r.status, Status::TooLarge);
    EXPECT_EQ(r.unpacked, 0u);
    EXPECT_TRUE(filesBelow(dir / "out").empty());
    EXPECT_EQ(reader->ExtractMember("zeros.txt", dir / "z.txt"), Status::TooLarge);
    EXPECT_FALSE(std::filesystem::exists(dir / "z.txt"));
    std::string data;
    EXPECT_EQ(reader->ReadMember("small.txt", 1, data), Status::TooLarge);
    EXPECT_EQ(reader->ReadMember("small.txt", 10, data), Status::Ok);
    EXPECT_EQ(data, "ok");

    std::vector<Member> many;
    for (int i = 0; i < 60; ++i) many.push_back({"f" + std::to_string(i) + ".txt", "x"});
    ASSERT_TRUE(makeArchive(dir / "many.zip", many));
    limits = Limits{};
    limits.maxMembers = 50;
    r = ArchiveReader::Open(dir / "many.zip", limits)->UnpackMatching({"*"}, dir / "many");
    EXPECT_EQ(r.status, Status::TooLarge);
    EXPECT_TRUE(filesBelow(dir / "many").empty());

    EXPECT_EQ(Limits{}.maxTotalBytes, 1ull << 30);
    EXPECT_EQ(Limits{}.maxMembers, 100000u);
}

TEST(ArchiveReader, EncryptedMembersAreSkippedAndReported) {
    TempDir dir;
    if (!makeArchive(dir / "secret.zip", {{"hidden.txt", "top secret"}}, "zip", "password"))
        GTEST_SKIP() << "this libarchive cannot write encrypted zips";
    auto reader = ArchiveReader::Open(dir / "secret.zip");
    ASSERT_TRUE(reader);
    const UnpackResult r = reader->UnpackMatching({"*.txt"}, dir / "out");
    EXPECT_EQ(r.status, Status::Encrypted);
    EXPECT_EQ(r.unpacked, 0u);
    EXPECT_TRUE(filesBelow(dir / "out").empty());
    EXPECT_EQ(reader->ExtractMember("hidden.txt", dir / "h.txt"), Status::Encrypted);
}

TEST(ArchiveReader, RarArchivesWholeAndTruncated) {
    TempDir dir;
    const std::string rar =
        makeRar({{"first.txt", "first member"}, {"second.txt", std::string(5000, 'b')}});
    writeFile(dir / "docs.rar", rar);
    auto reader = ArchiveReader::Open(dir / "docs.rar");
    ASSERT_TRUE(reader);
    UnpackResult r = reader->UnpackMatching({"*.txt"}, dir / "out");
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_EQ(r.unpacked, 2u);
    EXPECT_EQ(readFile(dir / "out/first.txt"), "first member");

    // Cut in the middle of the second member's data.
    writeFile(dir / "cut.rar", rar.substr(0, rar.size() - 2500));
    auto cut = ArchiveReader::Open(dir / "cut.rar");
    ASSERT_TRUE(cut) << "the first header is fine";
    r = cut->UnpackMatching({"*.txt"}, dir / "cutout");
    EXPECT_EQ(r.status, Status::Damaged);
    EXPECT_EQ(r.unpacked, 1u);
    EXPECT_EQ(filesBelow(dir / "cutout"), std::vector<std::string>{"first.txt"})
        << "no partial file stays";

    writeFile(dir / "header.rar", rar.substr(0, 30));
    EXPECT_FALSE(ArchiveReader::Open(dir / "header.rar"));
}

TEST(ArchiveReader, RefusesWhatIsNoArchive) {
    TempDir dir;
    writeFile(dir / "fake.zip", "just some text, not a zip at all");
    writeFile(dir / "notes.txt", "text");
    EXPECT_FALSE(ArchiveReader::Open(dir / "fake.zip"));
    EXPECT_FALSE(ArchiveReader::Open(dir / "missing.zip"));
    EXPECT_FALSE(ArchiveReader::Open(dir / "notes.txt"));
    EXPECT_FALSE(ArchiveReader::Open(dir.path()));
    EXPECT_TRUE(ArchiveReader::IsSupportedName("A.ZIP"));
    EXPECT_TRUE(ArchiveReader::IsSupportedName("b.Cab"));
    EXPECT_FALSE(ArchiveReader::IsSupportedName("c.zipx"));
}

TEST(ArchiveReader, NestedArchivesTwoDeep) {
    TempDir dir;
    ASSERT_TRUE(makeArchive(dir / "inner.zip", {{"readme.txt", "inner text"}}));
    ASSERT_TRUE(makeArchive(dir / "outer.zip",
                            {{"inner.zip", readFile(dir / "inner.zip")}, {"Top.TXT", "top"}}));
    auto outer = ArchiveReader::Open(dir / "outer.zip");
    ASSERT_TRUE(outer);
    ASSERT_EQ(outer->ExtractMember("inner.zip", dir / "tmp/1.zip"), Status::Ok);
    auto inner = ArchiveReader::Open(dir / "tmp/1.zip");
    ASSERT_TRUE(inner);
    ASSERT_EQ(inner->ExtractMember("readme.txt", dir / "tmp/2.txt"), Status::Ok);
    EXPECT_EQ(readFile(dir / "tmp/2.txt"), "inner text");
    EXPECT_EQ(outer->ExtractMember("top.txt", dir / "tmp/top.txt"), Status::Ok)
        << "names without regard to case";
    EXPECT_EQ(outer->ExtractMember("absent.txt", dir / "tmp/a.txt"), Status::NotFound);
}

TEST(ArchiveReader, SingleCompressedFiles) {
    TempDir dir;
    writeFile(dir / "notes.txt", "compressed words");
    wordmill::ProgramCall call;
    call.program = "/bin/gzip";
    call.arguments = {(dir / "notes.txt").string()};
    if (!wordmill::runProgram(call).succeeded()) GTEST_SKIP() << "gzip is not available";
    auto reader = ArchiveReader::Open(dir / "notes.txt.gz");
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->MemberNames(), std::vector<std::string>{"notes.txt"});
    std::string data;
    EXPECT_EQ(reader->ReadMember("notes.txt", 1000, data), Status::Ok);
    EXPECT_EQ(data, "compressed words");
}

TEST(ArjArchives, ThroughTheArjProgram) {
    const auto arj = wordmill::findProgram("arj");
    if (!arj) GTEST_SKIP() << "arj is not installed";
    TempDir dir;
    std::filesystem::create_directories(dir / "src/sub");
    writeFile(dir / "src/a.txt", "alpha");
    writeFile(dir / "src/sub/b.txt", "beta");
    writeFile(dir / "src/c.dat", std::string(20000, 'c'));
    wordmill::ProgramCall call;
    call.program = *arj;
    call.arguments = {"a", "-r", "-y", (dir / "test.arj").string(), "a.txt", "sub/b.txt", "c.dat"};
    call.workingFolder = dir / "src";
    ASSERT_TRUE(wordmill::runProgram(call).succeeded());

    auto reader = ArchiveReader::Open(dir / "test.arj");
    ASSERT_TRUE(reader);
    EXPECT_EQ(sorted(reader->MemberNames()), (std::vector<std::string>{"a.txt", "b.txt", "c.dat"}));
    const UnpackResult r = reader->UnpackMatching({"*.TXT"}, dir / "out");
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_EQ(r.unpacked, 2u);
    EXPECT_EQ(filesBelow(dir / "out"), (std::vector<std::string>{"a.txt", "b.txt"}))
        << "no staging folder left";
    EXPECT_EQ(reader->ExtractMember("sub/b.txt", dir / "b.tmp"), Status::Ok);
    EXPECT_EQ(readFile(dir / "b.tmp"), "beta");

    Limits small;
    small.maxTotalBytes = 10000;
    EXPECT_EQ(
        ArchiveReader::Open(dir / "test.arj", small)->UnpackMatching({"*"}, dir / "bomb").status,
        Status::TooLarge);
    EXPECT_TRUE(filesBelow(dir / "bomb").empty());

    const std::string bytes = readFile(dir / "test.arj");
    writeFile(dir / "cut.arj", bytes.substr(0, bytes.size() / 2));
    auto cut = ArchiveReader::Open(dir / "cut.arj");
    if (cut) {
        EXPECT_NE(cut->UnpackMatching({"*"}, dir / "cutout").status, Status::Ok);
    }
    writeFile(dir / "fake.arj", "not an arj archive");
    EXPECT_FALSE(ArchiveReader::Open(dir / "fake.arj"));
}
