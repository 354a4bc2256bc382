#include "monitor/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace vellumar {

namespace {

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

}  // namespace

FolderListing::~FolderListing() { Close(); }

void FolderListing::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool FolderListing::Open(const std::string& path, bool followLink) {
    Close();
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;
    if (!followLink) flags |= O_NOFOLLOW;
    fd_ = open(path.c_str(), flags);
    if (fd_ < 0) return false;
    struct stat st;
    if (fstat(fd_, &st) != 0) {
        const int error = errno;
        close(fd_);
        fd_ = -1;
        errno = error;
        return false;
    }
    device_ = st.st_dev;
    inode_ = st.st_ino;
    return true;
}

bool FolderListing::IsPseudoFileSystem() const {
    struct statfs fs;
    if (fd_ < 0 || fstatfs(fd_, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case SECURITYFS_MAGIC:
        case SELINUX_MAGIC:
        case PSTOREFS_MAGIC:
        case BPF_FS_MAGIC:
        case EFIVARFS_MAGIC:
        case BINFMTFS_MAGIC:
        case HUGETLBFS_MAGIC:
        case NSFS_MAGIC:
        case 0x62656570:  // configfs
        case 0x65735543:  // fusectl
        case 0x19800202:  // mqueue
            return true;
        default:
            return false;
    }
}

bool FolderListing::ForEach(const std::function<bool(std::string_view, bool)>& visit) {
    if (fd_ < 0) return false;
    alignas(LinuxDirent64) char buffer[64 * 1024];
    for (;;) {
        const long got = syscall(SYS_getdents64, fd_, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) return false;  // a folder deleted while listed ends its listing
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + at);
            at += entry->d_reclen;
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") continue;
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat st;
                isFolder = fstatat(fd_, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                           S_ISDIR(st.st_mode);
            }
            if (!visit(name, isFolder)) return true;
        }
    }
}

}  // namespace vellumar
