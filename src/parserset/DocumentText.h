// The most text one document may bring into memory, and the reading of a document's head
// when the whole is larger. A build's memory must not grow with its largest document: a
// log file of a gigabyte, a converter that prints without end, a decompressed file. Past
// the limit only the document's first part is indexed, and the log says so.
//
// Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace vellumar {

// 32 MiB of text is some five million words, far more than any book; its indexing stays
// well within a few hundred MB of memory.
inline constexpr std::uint64_t kMaxDocumentText = 32ull << 20;

// The first bytes of a file, at most maxBytes, cut back to the last line break or blank
// in the final 64 KiB (else to the start of a UTF-8 character), so that neither a word
// nor a character is cut in two. Nothing when the file cannot be read.
std::optional<std::string> readDocumentHead(const std::filesystem::path& file,
                                            std::uint64_t maxBytes);

// The same cut for text already in memory (at most maxBytes are kept).
void cutDocumentText(std::string& text, std::uint64_t maxBytes);

// A text file that a converter's cap cut off in the middle of a word or character loses
// that last part, as readDocumentHead would cut it. False when it cannot be changed.
bool trimCutTextFile(const std::filesystem::path& file);

// "only the first 32 MB of its text were indexed"
std::string truncationNote(std::uint64_t maxBytes);

}  // namespace vellumar
