// A small tmpfs mounted over a folder for the length of a test, to make the disk fill up
// under an index. Mounting needs root (the tests run as root in CI); elsewhere the test
// is skipped with a message. Free of any test framework, so both kinds of tests use it.
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace vellumar::testing {

class SmallDisk {
  public:
    // Mounts a tmpfs of sizeKB over folder (created when missing). mounted() says whether
    // it worked; why() says why not.
    SmallDisk(const std::filesystem::path& folder, int sizeKB) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        if (::geteuid() != 0) {
            why_ = "mounting a small tmpfs needs root";
            return;
        }
        const std::string options = "size=" + std::to_string(sizeKB) + "k";
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            why_ = std::string("mounting a small tmpfs failed: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

    // Writes a filler file until the disk is full; false when the filler cannot be made.
    [[nodiscard]] bool fill() {
        const std::filesystem::path filler = folder_ / "filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0) return false;
        const std::vector<char> block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
        return true;
    }
    // Removes the filler: the disk has room again.
    void makeRoom() { std::filesystem::remove(folder_ / "filler"); }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    std::string why_;
};

}  // namespace vellumar::testing
