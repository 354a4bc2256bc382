// The text of modern office documents and e-books: .docx (word/document.xml), .odt
// (content.xml) and .epub (its XHTML chapters in reading order), read out of the zip
// container with the archive reader and turned into plain text, paragraphs on their own
// lines. Only the documents' text counts, never their markup or attributes.
//
// Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "parserset/DocumentKind.h"

namespace vellumar {

// Nothing when the file is not a readable container of that kind; problem then says why
// in a few words. A book stops taking chapters once its text passes textLimit (the caller
// cuts the rest).
std::optional<std::string> convertOfficeDocument(const std::filesystem::path& file,
                                                 DocumentKind kind, std::string& problem,
                                                 std::uint64_t textLimit);

}  // namespace vellumar
