// The temporary folders: the system's ($TMPDIR, else /tmp) and the program's own, where
// converted PDF text and unpacked archive members live while they are needed.
//
// The program temp folder is the home's "tmp" normally. When the program runs from
// read-only media it is a folder of its own inside the system temporary folder
// ("vellumar-" and the user id), never the system folder itself, because the program
// empties its temp folder freely and must not delete other programs' files.
//
// Thread: called from the main thread at start-up and before previews.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/Home.h"

namespace vellumar {

std::filesystem::path systemTempFolder(const EnvironmentLookup& environment);

std::filesystem::path programTempFolder(const std::filesystem::path& home, bool readOnlyMedia,
                                        const std::filesystem::path& systemTemp);

// Deletes every file and subfolder inside folder; the folder itself stays. Symbolic links
// are removed, never followed. False when something could not be deleted.
bool emptyFolder(const std::filesystem::path& folder);

// Empties the folder when it exists, else creates it with all missing parents. A symbolic
// link in its place is replaced by a real folder, so emptying never reaches elsewhere.
bool prepareTempFolder(const std::filesystem::path& folder);

// Removes the empty subfolders of folder at any depth (a folder that still holds files
// stays), without following symbolic links or leaving the folder's file system. Folders
// listed in keep (and their parents) are never removed. Refused for "/" and for the
// user's home folder and its parents, where it would sweep unrelated folders.
void removeEmptySubfolders(const std::filesystem::path& folder,
                           const std::vector<std::filesystem::path>& keep,
                           const std::filesystem::path& userHome);

}  // namespace vellumar
