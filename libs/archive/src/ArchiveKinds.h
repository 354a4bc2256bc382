// The two readers behind ArchiveReader::Open, and helpers they share. Internal.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveReader.h"

namespace arcread {

enum class ArchiveKind { None, Container, Compressed, Arj };

ArchiveKind kindOf(const std::string& lowerExtension);

// `raw`: a single compressed file (.gz, .bz2, .xz) that is not a tar.
std::unique_ptr<ArchiveReader> openLibArchive(const std::filesystem::path& archive,
                                              const Limits& limits, bool raw);
std::unique_ptr<ArchiveReader> openArj(const std::filesystem::path& archive, const Limits& limits,
                                       const ToolSettings& tools);

bool matchesAny(const std::string& fileName, const std::vector<std::string>& masks);
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

inline std::string baseName(const std::string& safePath) {
    const std::size_t slash = safePath.rfind('/');
    return slash == std::string::npos ? safePath : safePath.substr(slash + 1);
}

}  // namespace arcread
