// The program temp folder (emptying it never reaches outside, unique names), changed-file
// detection, the text-file reader, the large-file limit and archive member names.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/DosStamp.h"
#include "support/TempDir.h"
#include "viewer/ArchiveMember.h"
#include "viewer/PreviewFiles.h"
#include "wordmill/Parser.h"

namespace fs = std::filesystem;

namespace vellumar {
namespace {

using testing_support::TempDir;

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ProgramTempFolderTest, EmptyingRemovesEverythingInsideButNothingALinkPointsTo) {
    TempDir dir;
    const fs::path tmp = dir / "tmp";
    write(tmp / "a.txt", "a");
    write(tmp / "sub/deeper/b.txt", "b");
    write(tmp / "locked/c.txt", "c");
    ::chmod((tmp / "locked").c_str(), 0500);  // unpacked without write permission
    write(dir / "outside/keep.txt", "keep");
    fs::create_directory_symlink(dir / "outside", tmp / "link");
    fs::create_symlink(dir / "outside/keep.txt", tmp / "file-link");

    ProgramTempFolder temp(tmp.string() + "/");
    EXPECT_TRUE(temp.Empty());
    EXPECT_TRUE(fs::exists(tmp));
    EXPECT_TRUE(fs::is_empty(tmp));
    EXPECT_TRUE(fs::exists(dir / "outside/keep.txt"));
}

TEST(ProgramTempFolderTest, EmptyingRefusesFoldersOutsideOrReachedThroughALink) {
    TempDir dir;
    const fs::path tmp = dir / "tmp";
    write(dir / "other/x.txt", "x");
    write(dir / "tmp2/y.txt", "y");  // shares the temp folder's name as a prefix
    fs::create_directories(tmp);
    fs::create_directory_symlink(dir / "other", tmp / "link");
    ProgramTempFolder temp(tmp);
    EXPECT_FALSE(temp.EmptyFolder(dir / "other", true));
    EXPECT_FALSE(temp.EmptyFolder(dir / "tmp2", true));
    EXPECT_FALSE(temp.EmptyFolder(tmp / ".." / "other", true));
    EXPECT_FALSE(temp.EmptyFolder(tmp / "link", true));
    EXPECT_TRUE(fs::exists(dir / "other/x.txt"));
    EXPECT_TRUE(fs::exists(dir / "tmp2/y.txt"));

    // The temp folder itself replaced by a link is not followed either.
    fs::remove_all(tmp);
    fs::create_directory_symlink(dir / "other", tmp);
    EXPECT_FALSE(ProgramTempFolder(tmp).Empty());
    EXPECT_TRUE(fs::exists(dir / "other/x.txt"));
}

TEST(ProgramTempFolderTest, KeepingFilesRemovesOnlyFoldersLeftEmpty) {
    TempDir dir;
    write(dir / "tmp/keep.txt", "k");
    write(dir / "tmp/full/f.txt", "f");
    fs::create_directories(dir / "tmp/empty/empty2");
    ProgramTempFolder temp(dir / "tmp");
    EXPECT_TRUE(temp.EmptyFolder(dir / "tmp", false));
    EXPECT_TRUE(fs::exists(dir / "tmp/keep.txt"));
    EXPECT_TRUE(fs::exists(dir / "tmp/full/f.txt"));
    EXPECT_FALSE(fs::exists(dir / "tmp/empty"));
}

TEST(ProgramTempFolderTest, TempFileNamesAreNewFilesWithTheExtension) {
    TempDir dir;
    ProgramTempFolder temp(dir / "missing" / "tmp");  // made on first use
    std::set<fs::path> names;
    for (int i = 0; i < 20; ++i) {
        const auto name = temp.MakeTempFileName(".txt");
        ASSERT_TRUE(name);
        EXPECT_EQ(name->extension(), ".txt");
        EXPECT_EQ(name->parent_path(), dir / "missing" / "tmp");
        EXPECT_TRUE(fs::is_regular_file(*name));
        names.insert(*name);
    }
    EXPECT_EQ(names.size(), 20u);
    const auto bare = temp.MakeTempFileName("");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->extension(), "");
}

TEST(IsFileModifiedTest, ComparesTheStampOfTheFileOrOfTheMembersArchive) {
    TempDir dir;
    write(dir / "a.txt", "text");
    write(dir / "a.zip", "zip");
    const DosStamp stamp = *dosStampOfFile(dir / "a.txt");
    const std::string name = (dir / "a.txt").string();
    EXPECT_FALSE(IsFileModified(name, stamp, true, false));
    EXPECT_TRUE(IsFileModified(name, stamp + 1, true, false));
    EXPECT_FALSE(IsFileModified(name, stamp + 1, false, false));  // the file is not there
    EXPECT_FALSE(IsFileModified(name, stamp + 1, true, true));    // read-only media
    EXPECT_FALSE(IsFileModified((dir / "gone.txt").string(), stamp + 1, true, false));
    const DosStamp zipStamp = *dosStampOfFile(dir / "a.zip");
    const std::string member = (dir / "a.zip").string() + "//inner.zip//x.txt";
    EXPECT_FALSE(IsFileModified(member, zipStamp, true, false));
    EXPECT_TRUE(IsFileModified(member, zipStamp - 1, true, false));
}

TEST(TextFileStreamTest, ControlBytesReadAsBlanksExactlyAsTheParserSeesThem) {
    TempDir dir;
    std::string bytes = "MZ\x90";
    for (int b = 0; b < 40; ++b) bytes += static_cast<char>(b);
    bytes += "caf\xE9 end";  // not UTF-8: read as Windows-1252
    write(dir / "program.exe", bytes);

    TTextFileStream stream(dir / "program.exe");
    ASSERT_TRUE(stream.isOpen());
    char buffer[64];
    const std::size_t got = stream.Read(buffer, sizeof buffer);
    ASSERT_EQ(got, bytes.size());
    for (std::size_t i = 3; i < 35; ++i) {
        const char expected = (i == 12 || i == 13 || i == 16) ? bytes[i] : ' ';
        EXPECT_EQ(buffer[i], expected) << i;
    }

    const auto shown = readTextForDisplay(dir / "program.exe");
    ASSERT_TRUE(shown);
    auto parser = wordmill::CreateTextParser(textfold::englishTable());
    wordmill::WordRecord record;
    ASSERT_TRUE(parser->Open(dir / "program.exe", record));
    EXPECT_EQ(*shown, parser->DocumentText());
    EXPECT_FALSE(readTextForDisplay(dir / "none.txt"));
    EXPECT_FALSE(readTextForDisplay(dir.path()));
}

TEST(FileSizeLimitTest, KilobytesOrFiveHundredWhenNotANumber) {
    EXPECT_EQ(FileSizeLimit("500"), 512000);
    EXPECT_EQ(FileSizeLimit("1"), 1024);
    EXPECT_EQ(FileSizeLimit(" 20 "), 20480);
    EXPECT_EQ(FileSizeLimit("0"), 0);
    EXPECT_EQ(FileSizeLimit("abc"), 512000);
    EXPECT_EQ(FileSizeLimit(""), 512000);
    EXPECT_EQ(FileSizeLimit("12kb"), 512000);
    EXPECT_EQ(FileSizeLimit("99999999999"), 512000);  // not a 32-bit number
    EXPECT_EQ(FileSizeLimit("2147483647"), 2147483647LL * 1024);
}

TEST(ArchiveMemberTest, NamesSplitAtEveryDoubleSlash) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(*splitMemberName("/d/a.zip//sub/x.txt"), (Parts{"/d/a.zip", "sub/x.txt"}));
    EXPECT_EQ(*splitMemberName("/d/o.zip//i.zip//x.txt"), (Parts{"/d/o.zip", "i.zip", "x.txt"}));
    EXPECT_EQ(*splitMemberName("/d/plain.txt"), (Parts{"/d/plain.txt"}));
    EXPECT_FALSE(splitMemberName("/d/a.zip//"));
    EXPECT_FALSE(splitMemberName("//x"));
    EXPECT_TRUE(isArchiveMemberName("/d/a.zip//x"));
    EXPECT_FALSE(isArchiveMemberName("/d/a.zip/x"));

    TempDir dir;
    ProgramTempFolder temp(dir / "tmp");
    EXPECT_FALSE(extractArchiveMember((dir / "none.zip").string() + "//x.txt", temp));
    EXPECT_FALSE(extractArchiveMember((dir / "plain.txt").string(), temp));
}

}  // namespace
}  // namespace vellumar
