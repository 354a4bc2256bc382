// Converters that turn a document into plain text with an outside program: Word .doc
// through antiword (catdoc when antiword is missing or cannot read the file), PDF
// through pdftotext. Programs in the program folder win over those on the PATH.
//
// The text goes into a file, never into memory, and at most outputLimit bytes of it: a
// converter that prints without end is stopped at the cap and its text so far is kept
// (Truncated). A missing program, a failed run, one that passes the time limit or is
// cancelled is a failed conversion; the result says which, for the log.
//
// Free functions; thread-safe (each call runs its own process).
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "wordmill/ProcessRunner.h"

namespace wordmill {

struct ConverterSettings {
    std::filesystem::path programFolder;  // searched before the PATH
    std::chrono::milliseconds timeLimit = kConverterTimeLimit;
    std::size_t outputLimit = 64u << 20;  // bytes of text kept at most
    std::function<bool()> keepGoing;      // false stops the converter (cancelled)
};

enum class ConversionStatus {
    Ok,
    Truncated,     // the text was longer than outputLimit; the first part is kept
    NotInstalled,  // no converter program was found
    Failed,        // it could not be started, or ended with an error or a signal
    TimedOut,      // stopped at the time limit
    Cancelled,     // stopped because keepGoing said so
    WriteFailed,   // the text file could not be written
};

struct ConversionResult {
    ConversionStatus status = ConversionStatus::Failed;
    std::string program;  // the converter that ran last ("antiword", "catdoc", "pdftotext")
    int exitCode = -1;    // its exit code when it ended by itself
    bool ok() const {
        return status == ConversionStatus::Ok || status == ConversionStatus::Truncated;
    }
};

// A short English reason for the log: "pdftotext failed (exit code 1)", "antiword was
// stopped after 60 s"; empty for Ok and Truncated.
std::string conversionProblem(const ConversionResult& result, const ConverterSettings& settings);

// Writes the text of a .doc file as UTF-8 into textFile (replaced). On failure textFile
// is removed.
ConversionResult convertWordDocument(const std::filesystem::path& document,
                                     const std::filesystem::path& textFile,
                                     const ConverterSettings& settings);

// Writes the text of a PDF as UTF-8 into textFile (replaced). On failure textFile is
// removed.
ConversionResult convertPdfToText(const std::filesystem::path& pdf,
                                  const std::filesystem::path& textFile,
                                  const ConverterSettings& settings);

}  // namespace wordmill
