// The checks shared by the parser targets: a parser that opened a document hands out words
// whose offsets, spans and numbers describe its DocumentText, the same words again after
// Rewind, and passages and tag names without a fault.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "wordmill/Parser.h"

namespace fuzzing {

struct SeenWord {
    std::string text;
    std::int32_t position, offset, span;
    std::uint16_t tag;
    bool operator==(const SeenWord&) const = default;
};

inline std::vector<SeenWord> readAll(wordmill::Parser& parser, wordmill::WordRecord& record) {
    std::vector<SeenWord> words;
    while (parser.NextWord(record))
        words.push_back(
            {std::string(record.text), record.position, record.offset, record.span, record.tag});
    FUZZ_CHECK(record.position == wordmill::kDocumentEnd ||
               record.position == wordmill::kParseFailed);
    return words;
}

inline void checkParser(wordmill::Parser& parser, std::string_view bytes, std::string_view label) {
    wordmill::WordRecord record;
    record.text = label;
    if (!parser.OpenMemory(bytes, record)) return;
    const std::string& text = parser.DocumentText();
    FUZZ_CHECK(textfold::isValidUtf8(text));
    const std::size_t characters = textfold::utf8Length(text);
    const std::vector<SeenWord> words = readAll(parser, record);
    std::int64_t last = -1;
    for (const SeenWord& w : words) {
        FUZZ_CHECK(!w.text.empty() && textfold::isValidUtf8(w.text));
        FUZZ_CHECK(w.position > last);
        last = w.position;
        FUZZ_CHECK(w.offset >= 0 && w.span >= 1);
        FUZZ_CHECK(static_cast<std::size_t>(w.offset) + w.span <= characters);
        FUZZ_CHECK(w.tag == 0 || !parser.GetTagName(w.tag).empty());
    }
    (void)parser.GetTagName();
    FUZZ_CHECK(parser.Rewind());
    FUZZ_CHECK(readAll(parser, record) == words);

    // Passages around a few words, forwards and back.
    for (std::size_t i = 0; i < words.size() && i < 6; ++i) {
        const std::size_t k = (i % 2) ? words.size() - 1 - i / 2 : i / 2;
        const wordmill::HitRecord hits[2] = {
            {static_cast<std::uint32_t>(words[k].position), 0, 2},
            {static_cast<std::uint32_t>(words[k].position) + 1, 0, 1}};
        std::string passage;
        FUZZ_CHECK(parser.GetPassage(hits, 2, passage));
        FUZZ_CHECK(passage.find("<b>") != std::string::npos);
    }
    parser.Close();
}

}  // namespace fuzzing
