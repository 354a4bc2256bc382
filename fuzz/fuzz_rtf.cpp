// The RTF reader on any bytes: the text is valid UTF-8, the formatting runs cover it in
// order without reaching past it, and the text parser reads the text like any document.
#include "fuzz_markup.h"
#include "wordmill/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto document = wordmill::readRtf(bytes);
    if (!document) return 0;
    FUZZ_CHECK(textfold::isValidUtf8(document->text));
    const std::size_t characters = textfold::utf8Length(document->text);
    std::size_t end = 0;
    for (const wordmill::RtfRun& run : document->runs) {
        FUZZ_CHECK(run.start >= end);
        end = run.start + run.length;
        FUZZ_CHECK(end <= characters);
    }
    static auto parser = wordmill::CreateTextParser(textfold::englishTable());
    fuzzing::checkParser(*parser, document->text, "");
    return 0;
}
