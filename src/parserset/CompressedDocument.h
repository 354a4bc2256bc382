// Documents compressed as a whole (.gz, .bz2, .xz, .zst): Debian's changelogs and
// manuals, compressed logs. Such a file is read as the document inside it and handled
// as the kind its name without the suffix says (changelog.html.gz as HTML), whatever the
// "Scan archives" option. A compressed tar (.tar.gz) is an archive, not a document.
//
// The parser set opens them through decompressDocument, and so can the viewer: it puts
// the document inside into a folder of the caller's, where it opens like any file of its
// kind.
//
// Free functions; thread-safe as long as callers use different folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vellumar {

bool isCompressedDocument(const std::filesystem::path& file);

// "changelog.html.gz" gives "changelog.html".
std::filesystem::path innerDocumentName(const std::filesystem::path& file);

struct DecompressedDocument {
    std::filesystem::path file;  // folder / the inner name
    bool truncated = false;      // only the first maxBytes were written
};

// Decompresses into folder (created when missing) under the inner name, at most maxBytes
// of it. Nothing when it cannot be read; problem then says why in a few words (empty
// when the file simply could not be opened or the keepGoing callback stopped it).
std::optional<DecompressedDocument> decompressDocument(const std::filesystem::path& file,
                                                       const std::filesystem::path& folder,
                                                       std::uint64_t maxBytes, std::string& problem,
                                                       const std::function<bool()>& keepGoing = {});

}  // namespace vellumar
