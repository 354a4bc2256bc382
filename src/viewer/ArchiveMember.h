// Archive members in the result list. A listed name holding "//" names a member: the
// archive on disk, "//", the member's path inside it ("/docs/a.zip//sub/readme.txt");
// a member of an inner archive adds another "//" ("/docs/outer.zip//inner.zip//a.txt").
// Real paths are kept normalised and never hold "//", so the split is unambiguous.
//
// To show a member, each level is extracted through the archive reader into a new file
// of the program temp folder (with the member's extension, so that the parser set picks
// the same parser as indexing did); the last one is the file to show.
//
// Free functions; the main thread (they write into the program temp folder).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveReader.h"
#include "viewer/PreviewFiles.h"

namespace vellumar {

bool isArchiveMemberName(const std::string& name);

// The archive on disk followed by the member path of every level; a plain name gives one
// part. Nothing when a part is empty ("a.zip//", "//x").
std::optional<std::vector<std::string>> splitMemberName(const std::string& name);

// Extracts the member into the temp folder and returns the extracted file; nothing when an
// archive cannot be opened, a member is missing or damaged, or no temporary file can be
// made. Files of earlier levels stay until the temp folder is emptied.
std::optional<std::filesystem::path> extractArchiveMember(const std::string& name,
                                                          const ProgramTempFolder& temp,
                                                          const arcread::ToolSettings& tools = {});

}  // namespace vellumar
