// The XML parser on any bytes: see fuzz_markup.h for what is checked. The input's first
// byte chooses the word limits, so that left-out words and their numbers are exercised.
#include "fuzz_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static auto parser = wordmill::CreateXmlParser(textfold::englishTable());
    parser->SetMinWordLength(static_cast<std::uint8_t>(data[0] & 3));
    parser->SetMaxWordLength(static_cast<std::uint8_t>(3 + (data[0] >> 2)));
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzzing::checkParser(*parser, bytes, "label");
    return 0;
}
