// The mounted volumes that stand in for drives in the folder dialogs: the real file
// systems of /proc/self/mountinfo (disks, removable media, network shares, the root of a
// container), without the kernel's pseudo file systems, the folders under /proc, /sys and
// /dev, the system's runtime folders under /run (removable media under /run/media stay),
// and read-only software images (squashfs).
//
// Pure parsing plus one read of /proc; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

struct MountedVolume {
    std::string mountPoint;  // "/", "/media/ann/STICK"
    std::string fileSystem;  // "ext4", "vfat", "nfs4", ...
    std::string source;      // "/dev/sdb1", "server:/export", ...
    bool readOnly = false;
};

// The volumes described by the text of a mountinfo file, sorted by mount point ("/"
// first), each mount point once (the last mount over it wins, as the kernel shows it).
// Lines that cannot be read are skipped.
std::vector<MountedVolume> parseMountInfo(std::string_view text);

// The volumes of this process's mount namespace whose mount point is a folder; "/" alone
// when /proc cannot be read.
std::vector<MountedVolume> mountedVolumes();

// The volume a path lies on: the longest mount point that is the path or a folder above
// it; -1 when none is.
int volumeOfPath(const std::vector<MountedVolume>& volumes, std::string_view path);

}  // namespace vellumar
