// The index folder: the folder that holds every index's definition file and engine folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vellumar {

// An index folder must be an absolute path other than the root; anything else (empty,
// relative, "/") holds no indexes.
bool isUsableIndexFolder(const std::string& folder);

// The definition files of the folder ("*.inf", extension without regard to case; regular
// files only), sorted by name without regard to case as a list box sorts them.
std::vector<std::filesystem::path> listDefinitionFiles(const std::string& folder);

}  // namespace vellumar
