// How a word becomes what the index stores, identically for documents and queries:
// folded with the language table, cut to the maximum word length. Also the wildcard
// matching used by queries and EnumWords, and the string set used for stop-words and
// dictionaries.
//
// Threads: pure functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "textfold/TextFold.h"

namespace vellcore {

using textfold::CharTable;

// Xapian terms hold at most 245 bytes; a word keeps room for a field prefix.
constexpr std::size_t kMaxWordBytes = 230;

// The indexed form of a document word: characters that are not word characters are
// dropped, the others folded; the result is cut to maxChars characters (and
// kMaxWordBytes bytes). Invalid UTF-8 is read as Windows-1252. Empty when nothing is left.
void normaliseWord(const CharTable& table, int maxChars, std::string_view raw, std::string& out);

// One word of a query token. A token splits at every character that is neither a word
// character nor a wildcard ('*', '?'): "e-mail" gives the atoms "E" and "MAIL".
struct QueryAtom {
    std::string text;  // folded; wildcards kept as they are
    bool wildcard = false;
    std::size_t chars = 0;  // length in characters before any cut
};
std::vector<QueryAtom> splitQueryToken(const CharTable& table, int maxChars, std::string_view raw);

// Wildcard match over code points: '*' any run (also empty), '?' exactly one character.
bool globMatch(std::string_view pattern, std::string_view text);
// The same, comparing ASCII letters without regard to case (element names).
bool globMatchNoCase(std::string_view pattern, std::string_view text);
// The part of a pattern before its first wildcard.
std::string_view literalPrefix(std::string_view pattern);

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using WordSet = std::unordered_set<std::string, StringHash, std::equal_to<>>;

// ASCII-only lower case, for comparisons that ignore case in names.
std::string asciiLower(std::string_view s);

}  // namespace vellcore
