// The two readers behind ArchiveReader::Open, and helpers they share. Internal.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveReader.h"

namespace arcread {

// Container: an archive whose directory is cheap to read ahead (zip, 7z, rar, cab, tar);
// Stream: a compressed tar, read front to back; Compressed: one file compressed whole.
enum class ArchiveKind { None, Container, Stream, Compressed, Arj };

ArchiveKind kindOfName(const std::filesystem::path& file);

std::unique_ptr<ArchiveReader> openLibArchive(const std::filesystem::path& archive,
                                              const Limits& limits, ArchiveKind kind);
std::unique_ptr<ArchiveReader> openArj(const std::filesystem::path& archive, const Limits& limits,
                                       const ToolSettings& tools);

inline UnpackResult unpackFailure(Status status) {
    UnpackResult result;
    result.status = status;
    return result;
}

bool matchesAny(const std::string& fileName, const std::vector<std::string>& masks);
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

inline std::string baseName(const std::string& safePath) {
    const std::size_t slash = safePath.rfind('/');
    return slash == std::string::npos ? safePath : safePath.substr(slash + 1);
}

}  // namespace arcread
