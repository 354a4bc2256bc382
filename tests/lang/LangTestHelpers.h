// Temporary program folders with language files, for the language tests.
#pragma once

#include "support/TempDir.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace lang_test {

using TempDir = testing_support::TempDir;

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

}  // namespace lang_test
