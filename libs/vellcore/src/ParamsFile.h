// "S.STS": the index's fixed parameters (language name and table, word lengths,
// compacting ratio), written once when the index is created and read when it is opened.
// A small text file with a CRC, replaced atomically (write, fsync, rename). The changing
// counters live in the Xapian database, where they commit together with the documents.
//
// Threads: pure file functions.
#pragma once

#include <filesystem>
#include <string>

#include "textfold/TextFold.h"
#include "vellcore/IndexObject.h"

namespace vellcore {

struct IndexParams {
    // The index's format (see kFormatVersion); a file without the key is of format 1.
    int format = kFormatVersion;
    std::string language = "English (i)";
    textfold::CharTable table = textfold::englishTable();
    int maxWordLength = 32;
    int minWordLength = 2;
    int compactingRatio = 50;
};

enum class ParamsStatus { Ok, Missing, Damaged };

ParamsStatus readParams(const std::filesystem::path& file, IndexParams& params);
// Throws EngineError: 1 when the disk is full, 4 when the file cannot be written.
void writeParams(const std::filesystem::path& file, const IndexParams& params);

// CRC-32 (IEEE), also used for the counters kept in the database.
std::uint32_t crc32(std::string_view bytes);

}  // namespace vellcore
