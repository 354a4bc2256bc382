#include "wordmill/Converters.h"

#include <optional>
#include <vector>

namespace wordmill {

namespace {

// Runs one converter whose text arrives on its standard output, into textFile.
ConversionResult runForText(const std::string& name, std::vector<std::string> arguments,
                            const std::filesystem::path& textFile,
                            const ConverterSettings& settings) {
    ConversionResult out;
    out.program = name;
    const auto program = findProgram(name, settings.programFolder);
    if (!program) {
        out.status = ConversionStatus::NotInstalled;
        return out;
    }
    ProgramCall call;
    call.program = *program;
    call.arguments = std::move(arguments);
    call.timeLimit = settings.timeLimit;
    call.captureOutput = true;
    call.outputFile = textFile;
    call.outputLimit = settings.outputLimit;
    call.keepGoing = settings.keepGoing;
    const ProgramResult r = runProgram(call);
    if (r.exited) out.exitCode = r.exitCode;
    if (r.outputFileFailed)
        out.status = ConversionStatus::WriteFailed;
    else if (r.cancelled)
        out.status = ConversionStatus::Cancelled;
    else if (r.outputTruncated)
        // Stopped for printing too much: what it printed up to the cap is good text.
        out.status = ConversionStatus::Truncated;
    else if (r.timedOut)
        out.status = ConversionStatus::TimedOut;
    else if (r.succeeded())
        out.status = ConversionStatus::Ok;
    else
        out.status = ConversionStatus::Failed;
    if (!out.ok()) {
        std::error_code ec;
        std::filesystem::remove(textFile, ec);
    }
    return out;
}

// An absolute name can never be taken for an option.
std::optional<std::string> absoluteInput(const std::filesystem::path& document) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(document, ec)) return std::nullopt;
    std::string name = std::filesystem::absolute(document, ec).string();
    if (ec) return std::nullopt;
    return name;
}

}  // namespace

std::string conversionProblem(const ConversionResult& result, const ConverterSettings& settings) {
    switch (result.status) {
        case ConversionStatus::Ok:
        case ConversionStatus::Truncated:
            return {};
        case ConversionStatus::NotInstalled:
            return result.program + " is not installed";
        case ConversionStatus::Failed:
            return result.exitCode >= 0 ? result.program + " failed (exit code " +
                                              std::to_string(result.exitCode) + ")"
                                        : result.program + " failed";
        case ConversionStatus::TimedOut:
            return result.program + " was stopped after " +
                   (settings.timeLimit.count() >= 1000
                        ? std::to_string(settings.timeLimit.count() / 1000) + " s"
                        : std::to_string(settings.timeLimit.count()) + " ms");
        case ConversionStatus::Cancelled:
            return result.program + " was cancelled";
        case ConversionStatus::WriteFailed:
            return "the text of " + result.program + " could not be written";
    }
    return {};
}

ConversionResult convertWordDocument(const std::filesystem::path& document,
                                     const std::filesystem::path& textFile,
                                     const ConverterSettings& settings) {
    std::error_code ec;
    std::filesystem::remove(textFile, ec);
    const auto name = absoluteInput(document);
    if (!name) return ConversionResult{ConversionStatus::Failed, "antiword", -1};
    // "-w 0": paragraphs on one line, so the text is not re-wrapped.
    ConversionResult first =
        runForText("antiword", {"-m", "UTF-8.txt", "-w", "0", *name}, textFile, settings);
    if (first.ok() || first.status == ConversionStatus::Cancelled ||
        first.status == ConversionStatus::WriteFailed)
        return first;
    ConversionResult second =
        runForText("catdoc", {"-d", "utf-8", "-w", *name}, textFile, settings);
    // With neither installed, or catdoc missing, antiword's failure is the one to tell.
    if (second.status == ConversionStatus::NotInstalled) return first;
    return second;
}

ConversionResult convertPdfToText(const std::filesystem::path& pdf,
                                  const std::filesystem::path& textFile,
                                  const ConverterSettings& settings) {
    std::error_code ec;
    std::filesystem::remove(textFile, ec);
    const auto input = absoluteInput(pdf);
    if (!input) return ConversionResult{ConversionStatus::Failed, "pdftotext", -1};
    // "-": the text on standard output, where its size is capped as it arrives.
    return runForText("pdftotext", {"-enc", "UTF-8", *input, "-"}, textFile, settings);
}

}  // namespace wordmill
