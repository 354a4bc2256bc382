#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scope/MountedVolumes.h"

using namespace vellumar;

namespace {

// What a desktop with a USB stick, a network share and the usual pseudo file systems
// shows, with an older mount hidden by a newer one and a mount point holding a blank.
const char* const kMountInfo =
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "23 22 0:21 / /proc rw,nosuid - proc proc rw\n"
    "24 22 0:22 / /sys rw,nosuid shared:7 - sysfs sysfs rw\n"
    "25 22 0:5 / /dev rw,nosuid - devtmpfs udev rw\n"
    "26 25 0:23 / /dev/pts rw - devpts devpts rw\n"
    "27 22 0:24 / /run rw,nosuid - tmpfs tmpfs rw\n"
    "28 24 0:25 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "29 22 8:1 / /boot/efi rw shared:9 - vfat /dev/sda1 rw\n"
    "30 22 0:26 / /tmp rw - tmpfs tmpfs rw\n"
    "31 22 8:17 / /media/ann/USB\\040STICK ro,nosuid shared:20 - vfat /dev/sdb1 ro\n"
    "32 22 0:40 / /mnt/share rw - nfs4 server:/export rw\n"
    "33 22 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
    "34 27 8:33 / /run/media/ann/CARD rw - exfat /dev/sdc1 rw\n"
    "35 22 8:3 / /home rw - ext4 /dev/sda3 rw\n"
    "36 22 0:27 / /home tmpfs rw - tmpfs tmpfs rw\n"  // hides the disk mounted there
    "garbage line\n"
    "37 22 0:28 / /broken rw no-dash-here\n";

std::vector<std::string> points(const std::vector<MountedVolume>& volumes) {
    std::vector<std::string> out;
    for (const auto& v : volumes) out.push_back(v.mountPoint);
    return out;
}

}  // namespace

TEST(MountedVolumes, RealFileSystemsOnlyRootFirst) {
    const auto volumes = parseMountInfo(kMountInfo);
    EXPECT_EQ(points(volumes), (std::vector<std::string>{"/", "/boot/efi", "/media/ann/USB STICK",
                                                         "/mnt/share", "/run/media/ann/CARD"}));
    EXPECT_EQ(volumes[0].fileSystem, "ext4");
    EXPECT_EQ(volumes[0].source, "/dev/sda2");
    EXPECT_FALSE(volumes[0].readOnly);
    EXPECT_TRUE(volumes[2].readOnly);
    EXPECT_EQ(volumes[3].source, "server:/export");
}

TEST(MountedVolumes, ContainerRootAndEmptyText) {
    const auto volumes = parseMountInfo(
        "600 500 0:50 / / rw,relatime - overlay overlay rw,lowerdir=/x\n"
        "601 600 0:51 /etc/hosts /etc/hosts rw - ext4 /dev/vda1 rw\n");
    EXPECT_EQ(points(volumes), (std::vector<std::string>{"/", "/etc/hosts"}));
    EXPECT_TRUE(parseMountInfo("").empty());
    // This machine's own list always offers the root, and never a bound single file.
    const auto here = mountedVolumes();
    ASSERT_FALSE(here.empty());
    EXPECT_EQ(here.front().mountPoint, "/");
    for (const auto& v : here) EXPECT_NE(v.mountPoint, "/etc/hosts");
}

TEST(MountedVolumes, VolumeOfPath) {
    const auto volumes = parseMountInfo(kMountInfo);
    EXPECT_EQ(volumeOfPath(volumes, "/home/ann"), 0);
    EXPECT_EQ(volumeOfPath(volumes, "/boot/efi/EFI"), 1);
    EXPECT_EQ(volumeOfPath(volumes, "/boot/efix"), 0);  // not under /boot/efi
    EXPECT_EQ(volumeOfPath(volumes, "/media/ann/USB STICK"), 2);
    EXPECT_EQ(volumeOfPath(volumes, "relative/path"), -1);
}
