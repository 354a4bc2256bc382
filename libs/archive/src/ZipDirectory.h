// The central directory of a zip file, read directly: how many entries it lists and the
// sizes they declare. A zip bomb (more members or bytes than the limits allow) is told
// from it in milliseconds, where walking the members through libarchive reads every
// member's own header too. Internal to the archive reader.
//
// Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace arcread {

struct ZipDirectoryEntry {
    std::string name;        // as stored (the caller makes it safe)
    std::uint64_t size = 0;  // declared uncompressed size
    bool folder = false;
};

// Calls visit for every entry of the central directory, in order; visit returns false to
// stop early. Nothing when the file has no readable central directory (not a zip, a
// damaged or split one, an archive with something in front that moved the offsets): the
// caller then walks the members instead.
std::optional<std::uint64_t> ReadZipDirectory(
    const std::filesystem::path& zip, const std::function<bool(const ZipDirectoryEntry&)>& visit);

}  // namespace arcread
