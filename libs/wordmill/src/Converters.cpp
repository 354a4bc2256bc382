#include "wordmill/Converters.h"

namespace wordmill {

namespace {

std::optional<std::string> runForText(const std::string& name, std::vector<std::string> arguments,
                                      const ConverterSettings& settings) {
    const auto program = FindProgram(name, settings.programFolder);
    if (!program) return std::nullopt;
    ProgramCall call;
    call.program = *program;
    call.arguments = std::move(arguments);
    call.timeLimit = settings.timeLimit;
    call.captureOutput = true;
    ProgramResult result = RunProgram(call);
    if (!result.succeeded() || result.outputTruncated) return std::nullopt;
    return std::move(result.output);
}

}  // namespace

std::optional<std::string> ConvertWordDocument(const std::filesystem::path& document,
                                               const ConverterSettings& settings) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(document, ec)) return std::nullopt;
    // An absolute name can never be taken for an option.
    const std::string name = std::filesystem::absolute(document, ec).string();
    if (ec) return std::nullopt;
    // "-w 0": paragraphs on one line, so the text is not re-wrapped.
    if (auto text = runForText("antiword", {"-m", "UTF-8.txt", "-w", "0", name}, settings))
        return text;
    return runForText("catdoc", {"-d", "utf-8", "-w", name}, settings);
}

bool ConvertPdf(const std::filesystem::path& pdf, const std::filesystem::path& textFile,
                const ConverterSettings& settings) {
    std::error_code ec;
    std::filesystem::remove(textFile, ec);
    if (!std::filesystem::is_regular_file(pdf, ec)) return false;
    const auto program = FindProgram("pdftotext", settings.programFolder);
    if (!program) return false;
    ProgramCall call;
    call.program = *program;
    const std::filesystem::path input = std::filesystem::absolute(pdf, ec);
    const std::filesystem::path output = std::filesystem::absolute(textFile, ec);
    if (ec) return false;
    call.arguments = {"-enc", "UTF-8", input.string(), output.string()};
    call.timeLimit = settings.timeLimit;
    const ProgramResult result = RunProgram(call);
    if (!result.succeeded() || !std::filesystem::is_regular_file(textFile, ec)) {
        std::filesystem::remove(textFile, ec);
        return false;
    }
    return true;
}

}  // namespace wordmill
