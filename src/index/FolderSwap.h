// Swapping an index's folder for one built beside it: an index that is rebuilt from
// scratch grows in "<index path>.rebuild" and changes places with the old one only once
// it is complete, so that no failure on the way can cost the old index.
//
// Plain file-system functions; the caller holds the notifier lock (no other build runs).
#pragma once

#include <filesystem>

namespace vellumar {

// The folder in which the index at indexPath is rebuilt. Index names never contain ".",
// so it can never be the folder of another index.
std::filesystem::path rebuildFolderOf(const std::filesystem::path& indexPath);

// Makes a and b change places: in one atomic step where the file system allows it, else
// in three renames that are undone when one fails. False when nothing changed.
bool exchangeFolders(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace vellumar
