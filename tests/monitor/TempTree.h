// A temporary folder per test, removed afterwards.
#pragma once

#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace vellumar::testing {

class TempTree {
  public:
    TempTree() : root_(dir_.path()) {}
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
    testing_support::TempDir dir_;
    std::filesystem::path root_;
};

}  // namespace vellumar::testing
