// The words of each hit with a few words on either side, found again in the document by
// the word numbers the engine reported: the parser that indexed the document numbers its
// words the same way when it reads it once more. Used to print search results with their
// context (vellumar-cli search --context).
//
// Pure functions over a parser the caller opened; one thread per parser.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vellcore/IndexObject.h"
#include "wordmill/Parser.h"

namespace vellumar {

struct HitContext {
    std::uint32_t firstWord = 0;  // the hit's first word number
    int wordCount = 1;
    std::string before;  // up to contextWords words in front of the hit, and what follows them
    std::string words;   // the hit's words
    std::string after;   // what follows the hit, and up to contextWords words
};

// One entry per hit that has a position and whose first word the document holds, in the
// order of hits. showSourceText: the text between words is shown as the document has it
// (runs of blanks and line breaks as one blank), as for plain and converted text; else
// (HTML, XML, where markup lies between words) the words are joined with blanks.
std::vector<HitContext> hitContexts(wordmill::Parser& openParser,
                                    const std::vector<vellcore::HitRecord>& hits, int contextWords,
                                    bool showSourceText);

}  // namespace vellumar
