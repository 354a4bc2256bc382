#include "platform/MediaPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include "support/TempDir.h"

namespace fs = std::filesystem;
using vellumar::retargetToMount;

namespace {

class MediaPathTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(root / "docs" / "sub"); }
    testing_support::TempDir tmp;
    fs::path root = tmp.path();
};

}  // namespace

TEST_F(MediaPathTest, RecordedMediaPathsMoveUnderTheCurrentMountPoint) {
    const std::string mount = root.string();
    struct Case {
        const char* recorded;
        std::string expected;
    };
    const Case cases[] = {
        // udisks form (user and label) on the recording machine
        {"/media/ann/VELL/docs/sub", mount + "/docs/sub"},
        {"/run/media/ann/VELL/docs", mount + "/docs"},
        // old-style fixed mount point
        {"/media/cdrom0/docs", mount + "/docs"},
        {"/mnt/cd/docs/sub", mount + "/docs/sub"},
        // not on removable media: unchanged
        {"/home/ann/docs", "/home/ann/docs"},
        // the mount point itself
        {"/media/cdrom0", mount},
    };
    for (const auto& c : cases)
        EXPECT_EQ(retargetToMount(c.recorded, mount), c.expected) << c.recorded;
}

TEST_F(MediaPathTest, ExistingPathsAndPathsOnTheMountStayAsTheyAre) {
    const std::string mount = root.string();
    EXPECT_EQ(retargetToMount(mount + "/docs", "/media/other"), mount + "/docs");
    EXPECT_EQ(retargetToMount(mount + "/missing", mount), mount + "/missing");
    EXPECT_EQ(retargetToMount("", mount), "");
}

TEST_F(MediaPathTest, MountPointOfAFolderIsAPrefixOfIt) {
    const std::string mount = vellumar::mountPointOf(root.string());
    ASSERT_FALSE(mount.empty());
    EXPECT_EQ(root.string().rfind(mount == "/" ? "/" : mount, 0), 0U);
    EXPECT_EQ(vellumar::mountPointOf("/proc/self"), "/proc");
}
