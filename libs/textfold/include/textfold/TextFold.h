// What a word character is, and as which character it is indexed.
//
// A language's table (256 entries) governs the code points 0 to 255: entry c is 0 when c
// is not a word character, else the code point under which c is indexed (so a German
// table maps both 'a' and 'A' to 'A'). A code point above 255 is a word character when
// Unicode calls it a letter, and is indexed under its Unicode upper case.
//
// Documents are decoded as UTF-8 when they are valid UTF-8, else as Windows-1252.
// Everything here is pure and thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace textfold {

using CharTable = std::array<unsigned char, 256>;

// The built-in table "English (i)": A-Z and a-z as capitals, nothing else.
CharTable englishTable();

// The indexed form of cp, or 0 when cp is not a word character.
inline char32_t foldChar(const CharTable& table, char32_t cp);

// Unicode letter test and upper case for code points above 255.
bool isUnicodeLetter(char32_t cp);
char32_t unicodeUpper(char32_t cp);

bool isValidUtf8(std::string_view bytes);

// Windows-1252 byte to code point (the five undefined bytes map to themselves).
char32_t windows1252ToUnicode(unsigned char byte);

void appendUtf8(std::string& out, char32_t cp);

// Reads the code point at bytes[pos] and advances pos. Invalid sequences yield U+FFFD and
// advance by one byte, so callers never loop forever on bad input.
char32_t nextUtf8(std::string_view bytes, std::size_t& pos);

// The whole text as UTF-8: unchanged when valid UTF-8, else converted from Windows-1252.
std::string toUtf8Document(std::string_view bytes);

// Folds every character of a UTF-8 word; characters that are not word characters are
// kept as they are when keepOthers is set (query wildcards), else dropped.
std::string foldWord(const CharTable& table, std::string_view utf8, bool keepOthers = false);

// Number of code points in valid UTF-8 text.
std::size_t utf8Length(std::string_view utf8);

inline char32_t foldChar(const CharTable& table, char32_t cp) {
    if (cp < 256) return table[cp];
    return isUnicodeLetter(cp) ? unicodeUpper(cp) : 0;
}

}  // namespace textfold
