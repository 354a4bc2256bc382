#include "platform/Priority.h"
#include "platform/ReadOnlyMedia.h"
#include "platform/TempFolders.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <fstream>

namespace fs = std::filesystem;
using namespace vellumar;

namespace {
void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}
}  // namespace

TEST(TempFolders, SystemAndProgramFolders) {
    const auto env = [](const char* value) {
        return [value](const char* name) -> const char* {
            return std::string(name) == "TMPDIR" ? value : nullptr;
        };
    };
    EXPECT_EQ(systemTempFolder(env("/var/tmp/")), "/var/tmp");
    EXPECT_EQ(systemTempFolder(env("relative")), "/tmp");
    EXPECT_EQ(systemTempFolder(env(nullptr)), "/tmp");
    EXPECT_EQ(programTempFolder("/h", false, "/tmp"), "/h/tmp");
    const fs::path cd = programTempFolder("/media/cdrom", true, "/tmp");
    EXPECT_EQ(cd.parent_path(), "/tmp") << "never the system folder itself";
    EXPECT_NE(cd, "/tmp");
}

TEST(TempFolders, PreparingEmptiesWithoutFollowingLinks) {
    testing_support::TempDir tmp;
    const fs::path outside = tmp.path() / "outside";
    touch(outside / "precious.txt");
    const fs::path temp = tmp.path() / "home" / "tmp";
    touch(temp / "old.tmp");
    touch(temp / "a_zip" / "deep" / "member.txt");
    fs::create_directory_symlink(outside, temp / "link");
    fs::permissions(temp / "old.tmp", fs::perms::owner_read);  // read-only files go too

    ASSERT_TRUE(prepareTempFolder(temp));
    EXPECT_TRUE(fs::is_directory(temp));
    EXPECT_TRUE(fs::is_empty(temp));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));

    // A link standing in for the folder itself is replaced, its target left alone.
    const fs::path linked = tmp.path() / "home" / "tmp2";
    fs::create_directory_symlink(outside, linked);
    ASSERT_TRUE(prepareTempFolder(linked));
    EXPECT_FALSE(fs::is_symlink(linked));
    EXPECT_TRUE(fs::exists(outside / "precious.txt"));

    const fs::path fresh = tmp.path() / "a" / "b" / "c";
    EXPECT_TRUE(prepareTempFolder(fresh));
    EXPECT_TRUE(fs::is_directory(fresh));
}

TEST(TempFolders, EmptySubfoldersGoFoldersWithFilesStay) {
    testing_support::TempDir tmp;
    const fs::path indexes = tmp.path() / "Indexes";
    fs::create_directories(indexes / "gone" / "deeper" / "deepest");
    touch(indexes / "kept" / "sub" / "data.db");
    fs::create_directories(indexes / "kept" / "emptyToo");
    fs::create_directories(indexes / "tmp");
    const fs::path outside = tmp.path() / "elsewhere";
    fs::create_directories(outside / "empty");
    fs::create_directory_symlink(outside, indexes / "link");

    removeEmptySubfolders(indexes, {indexes / "tmp"}, "/nonexistent-home");
    EXPECT_FALSE(fs::exists(indexes / "gone"));
    EXPECT_TRUE(fs::exists(indexes / "kept" / "sub" / "data.db"));
    EXPECT_FALSE(fs::exists(indexes / "kept" / "emptyToo"));
    EXPECT_TRUE(fs::exists(indexes / "tmp"));
    EXPECT_TRUE(fs::exists(outside / "empty")) << "links are not followed";
    EXPECT_TRUE(fs::is_directory(indexes));

    // Refused where it would sweep a user's own folders.
    fs::create_directories(tmp.path() / "user" / "Empty Project");
    removeEmptySubfolders(tmp.path() / "user", {}, tmp.path() / "user");
    removeEmptySubfolders(tmp.path(), {}, tmp.path() / "user");
    EXPECT_TRUE(fs::exists(tmp.path() / "user" / "Empty Project"));
}

TEST(ReadOnlyMedia, TypeOrReadOnlyMountMeansCdRomMode) {
    const struct {
        const char* type;
        const char* options;
        bool readOnly;
    } cases[] = {
        {"iso9660", "rw,nosuid", true},  {"udf", "rw", true},     {"squashfs", "ro", true},
        {"ext4", "ro,relatime", true},   {"ext4", "rw,ro", true}, {"ext4", "rw,relatime", false},
        {"vfat", "rw,errors=ro", false}, {"tmpfs", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isReadOnlyMount(c.type, c.options), c.readOnly) << c.type << " " << c.options;

    testing_support::TempDir tmp;
    EXPECT_FALSE(isOnReadOnlyMedia(tmp.path()));
    EXPECT_FALSE(isOnReadOnlyMedia(tmp.path() / "does-not-exist"));
}

TEST(Priority, SwitchesAndRestoresWithoutFailing) {
    // The tests may themselves run under nice: what counts is getting back to the start.
    errno = 0;
    const int startingNice = ::getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    {
        IdlePriorityScope idle;
        EXPECT_EQ(ProcessPriority::current(), PriorityClass::Idle);
        ProcessPriority::set(PriorityClass::Idle);  // again: harmless
    }
    EXPECT_EQ(ProcessPriority::current(), PriorityClass::Normal);
    if (ProcessPriority::cpuSwitchIsReversible()) {
        errno = 0;
        EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), startingNice)
            << "the nice value is back where it was";
    }
}
