#include "index/FolderSwap.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>

#include <cerrno>

namespace vellumar {

std::filesystem::path rebuildFolderOf(const std::filesystem::path& indexPath) {
    return indexPath.string() + ".rebuild";
}

bool exchangeFolders(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    // A file system without atomic exchange: b steps aside, a takes its place, and the
    // old b moves to where a was.
    const std::filesystem::path parked = b.string() + ".old";
    std::error_code ec;
    std::filesystem::remove_all(parked, ec);
    if (std::rename(b.c_str(), parked.c_str()) != 0) return false;
    if (std::rename(a.c_str(), b.c_str()) != 0) {
        std::rename(parked.c_str(), b.c_str());
        return false;
    }
    std::rename(parked.c_str(), a.c_str());
    return true;
}

}  // namespace vellumar
