// A temporary folder per test, removed afterwards.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

namespace vellumar::testing {

class TempTree {
  public:
    TempTree() {
        static std::atomic<int> counter{0};
        root_ =
            std::filesystem::temp_directory_path() /
            ("vellumar-monitor-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::string Path(const std::string& relative = "") const {
        return relative.empty() ? root_.string() : (root_ / relative).string();
    }
    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(root_ / relative);
        return Path(relative);
    }
    std::string File(const std::string& relative, const std::string& text = "x") const {
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << text;
        return Path(relative);
    }

  private:
    std::filesystem::path root_;
};

}  // namespace vellumar::testing
