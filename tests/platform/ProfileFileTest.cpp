#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <thread>
#include "support/TempDir.h"

namespace fs = std::filesystem;
using vellumar::ProfileFile;

TEST(ProfileFile, ReadsWithClassicPrivateProfileRules) {
    const ProfileFile p = ProfileFile::parse(
        "; comment line\r\n"
        "[Indexes]\r\n"
        "IndexFolder = /home/ann/Indexes \r\n"
        "indexfolder=/second/is/ignored\r\n"
        "garbage line without equals\r\n"
        "Quoted=\"/a b\",/c\r\n"
        "Empty=\r\n"
        "[indexes]\r\n"
        "IndexName=not reached: first section wins\r\n"
        "[Numbers]\n"
        "Plain=42\n"
        "Negative=-2147483640\n"
        "Trailing=12abc\n"
        "Word=abc\n"
        "Huge=99999999999\n"
        "Blank=\n"
        "[Broken\n"
        "Lonely=1\n");
    struct {
        const char* section;
        const char* key;
        std::string expected;
    } strings[] = {
        {"indexes", "INDEXFOLDER", "/home/ann/Indexes"},
        {"Indexes", "Quoted", "\"/a b\",/c"},  // quotes are kept
        {"Indexes", "Empty", ""},
        {"Indexes", "IndexName", "default"},
        {"Missing", "Key", "default"},
    };
    for (const auto& c : strings)
        EXPECT_EQ(p.readString(c.section, c.key, "default"), c.expected) << c.key;

    EXPECT_EQ(p.readInt("Numbers", "Plain", 7), 42);
    EXPECT_EQ(p.readInt("Numbers", "Negative", 7), -2147483640);
    EXPECT_EQ(p.readInt("Numbers", "Trailing", 7), 12);
    EXPECT_EQ(p.readInt("Numbers", "Word", 7), 7);
    EXPECT_EQ(p.readInt("Numbers", "Huge", 7), 7);
    EXPECT_EQ(p.readInt("Numbers", "Blank", 7), 7);
    EXPECT_TRUE(p.readBool("Numbers", "Plain", false));
    EXPECT_FALSE(p.readBool("Numbers", "Word", false));
    // A header without its closing bracket is not a section: the key stays in [Numbers].
    EXPECT_EQ(p.readInt("Numbers", "Lonely", 0), 1);
}

TEST(ProfileFile, WritesInPlaceAndKeepsEverythingElse) {
    ProfileFile p = ProfileFile::parse("; keep me\n[A]\nx=1\n\n[B]\ny=2\n");
    p.writeString("a", "X", "10");   // existing key, other case: spelling kept
    p.writeString("A", "z", "new");  // new key goes after the section's last entry
    p.writeBool("C", "flag", true);  // new section at the end
    p.writeInt("B", "y", -5);
    EXPECT_EQ(p.text(), "; keep me\n[A]\nx=10\nz=new\n\n[B]\ny=-5\n\n[C]\nflag=1\n");
    EXPECT_TRUE(p.removeKey("b", "Y"));
    EXPECT_FALSE(p.removeKey("b", "y"));
    EXPECT_EQ(p.readString("B", "y", "gone"), "gone");
}

TEST(ProfileFile, SurvivesHostileFiles) {
    std::string text = "[S]\nlong=" + std::string(1 << 20, 'x') + "\n";
    text += "bad=\xff\xfe\xc3\x28\n";
    text += std::string("\0\0\0", 3) + "\n[S]\nnul=1\n";
    const ProfileFile p = ProfileFile::parse(text);
    EXPECT_EQ(p.readString("S", "long").size(), 1U << 20);
    EXPECT_EQ(p.readString("S", "bad"), "\xff\xfe\xc3\x28");
    EXPECT_EQ(ProfileFile::parse("").readInt("S", "k", 3), 3);
    EXPECT_EQ(ProfileFile::parse("=\n[\n]\n[]\n=x\n").readString("", "", "d"), "x");
}

class ProfileFileOnDisk : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    testing_support::TempDir tmp;
    fs::path dir = tmp.path();
};

TEST_F(ProfileFileOnDisk, MissingFileReadsAsEmptyAndSaveCreatesIt) {
    const fs::path file = dir / "Vellumar.ini";
    ProfileFile p = ProfileFile::load(file);
    EXPECT_FALSE(p.existed());
    p.writeString("Indexes", "IndexFolder", "/x");
    ASSERT_TRUE(p.save(file));
    const ProfileFile back = ProfileFile::load(file);
    EXPECT_TRUE(back.existed());
    EXPECT_EQ(back.readString("Indexes", "IndexFolder"), "/x");
}

TEST_F(ProfileFileOnDisk, SaveIntoAMissingFolderFailsAndChangesNothing) {
    ProfileFile p;
    p.writeString("A", "b", "c");
    EXPECT_FALSE(p.save(dir / "no" / "such" / "folder" / "x.ini"));
}

TEST_F(ProfileFileOnDisk, ConcurrentWritersNeverInterleave) {
    const fs::path file = dir / "shared.ini";
    auto writer = [&](char fill) {
        ProfileFile p;
        for (int i = 0; i < 200; ++i)
            p.writeString("S", "k" + std::to_string(i), std::string(200, fill));
        for (int round = 0; round < 30; ++round) ASSERT_TRUE(p.save(file));
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    const ProfileFile back = ProfileFile::load(file);
    const char first = back.readString("S", "k0").at(0);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(back.readString("S", "k" + std::to_string(i)), std::string(200, first));
    int leftovers = 0;
    for (const auto& entry : fs::directory_iterator(dir)) leftovers += entry.path() != file;
    EXPECT_EQ(leftovers, 0) << "temporary files are cleaned up";
}
