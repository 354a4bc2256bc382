// Reading one folder for the notifier's walk, fast: one open, getdents64 in large blocks,
// the entry type from the directory entry itself (a stat only where the file system does
// not say). Subfolders are opened without following a symbolic link, so the walk never
// leaves its tree through one and never loops.
//
// One object per folder being read; used by one thread.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

class FolderListing {
  public:
    FolderListing() = default;
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Opens path as a folder. followLink allows path itself to be a symbolic link (a scope
    // entry naming a linked folder); the walk's subfolders are opened with it off. False
    // (with errno) when path is not a folder that can be read.
    bool Open(const std::string& path, bool followLink);

    void Close();

    dev_t Device() const { return device_; }
    ino_t Inode() const { return inode_; }

    // True for the kernel's pseudo file systems (proc, sysfs, debugfs, cgroup, ...),
    // wherever they are mounted.
    bool IsPseudoFileSystem() const;

    // Calls visit(name, isFolder) for every entry but "." and "..", in the order the system
    // returns them, until visit returns false. False when reading failed part-way.
    bool ForEach(const std::function<bool(std::string_view name, bool isFolder)>& visit);

  private:
    int fd_ = -1;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

}  // namespace vellumar
