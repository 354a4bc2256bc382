// Converters that turn a document into plain text with an outside program: Word .doc
// through antiword (catdoc when antiword is missing or cannot read the file), PDF
// through pdftotext. Programs in the program folder win over those on the PATH. A
// missing program, a failed run or one that passes the time limit is a failed
// conversion; nothing is shown to anyone.
//
// Free functions; thread-safe (each call runs its own process).
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "wordmill/ProcessRunner.h"

namespace wordmill {

struct ConverterSettings {
    std::filesystem::path programFolder;  // searched before the PATH
    std::chrono::milliseconds timeLimit = kConverterTimeLimit;
};

// The text of a .doc file as UTF-8, or nothing.
std::optional<std::string> ConvertWordDocument(const std::filesystem::path& document,
                                               const ConverterSettings& settings);

// Writes the text of a PDF as UTF-8 into textFile (replaced). False when the conversion
// failed; textFile is then removed.
bool ConvertPdf(const std::filesystem::path& pdf, const std::filesystem::path& textFile,
                const ConverterSettings& settings);

}  // namespace wordmill
