// Writes files below one folder and nowhere else: every path is resolved component by
// component with openat and O_NOFOLLOW, so neither ".." nor a symbolic link can lead
// outside. Remembers what it created so that a stopped unpack can take it back.
//
// Owned by one unpack operation; single-threaded.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace arcread {

class FolderWriter {
  public:
    explicit FolderWriter(const std::filesystem::path& folder);
    ~FolderWriter();
    FolderWriter(const FolderWriter&) = delete;
    FolderWriter& operator=(const FolderWriter&) = delete;

    bool ok() const { return rootFd_ >= 0; }

    // Creates (or replaces) the file at a safe relative path ("sub/a.txt"), making its
    // folders; returns a descriptor open for writing, or -1 with errno set. A path that
    // would be too long to open by its full name later is refused with ENAMETOOLONG.
    int create(const std::string& relative);

    // Deletes one file it created (a partial member).
    void discard(const std::string& relative);

    // Deletes every file and folder it created.
    void removeAll();

  private:
    int rootFd_ = -1;
    std::size_t rootLength_ = 0;
    std::vector<std::string> files_;
    std::vector<std::string> folders_;
};

// Writes all of data to fd; false on a short write.
bool writeAll(int fd, const char* data, std::size_t size);

// Why the file system refused a member's name, for the log; nullptr when errno means the
// folder itself cannot be written (a full disk, no permission), which stops an unpack.
const char* refusedNameReason(int error);

}  // namespace arcread
