// Moving a path recorded on one removable volume to the place where that volume is
// mounted now. Linux has no drive letters: a CD-ROM or USB stick is mounted under a
// folder that changes between machines and users (/media/cdrom0, /media/ann/VELLUMAR,
// /run/media/ann/VELLUMAR, /mnt/cd). The mount point takes the place of the drive letter.
//
// The rule, in order:
//  1. A path that exists as it stands, or one that lies under the current mount point
//     already, is left alone.
//  2. Otherwise a "mount prefix" of the recorded path is one of /media/NAME, /mnt/NAME,
//     /media/USER/LABEL, /run/media/USER/LABEL. The rest of the path after a prefix is put
//     under the current mount point. Among the prefixes that fit, the first whose result
//     exists wins, trying first the one with as many components as the current mount
//     point; when none exists, that one is used.
//  3. A path with no mount prefix is left alone.
//
// Pure functions apart from the existence checks; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace vellumar {

std::string retargetToMount(std::string_view recordedPath, std::string_view mountPoint);

// The mount point of the file system that holds path (from /proc/self/mountinfo), or "/"
// when it cannot be told.
std::string mountPointOf(std::string_view path);

}  // namespace vellumar
