#include "search/SearchHistory.h"

#include <algorithm>

#include <textfold/TextFold.h>

namespace vellumar {

namespace {

char32_t caseKey(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    if (cp < 0x100) {
        // Latin-1: the small letters sit 0x20 above the capitals, except the divide sign;
        // the sharp s and y-diaeresis have no Latin-1 capital and stay themselves.
        if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
        return cp;
    }
    return textfold::isUnicodeLetter(cp) ? textfold::unicodeUpper(cp) : cp;
}

}  // namespace

std::string trimQuery(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a == b) return true;
    if (!textfold::isValidUtf8(a) || !textfold::isValidUtf8(b)) return false;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (caseKey(textfold::nextUtf8(a, i)) != caseKey(textfold::nextUtf8(b, j))) return false;
    return i == a.size() && j == b.size();
}

void rememberQuery(std::vector<std::string>& history, const std::string& query, std::size_t limit) {
    const auto same = std::find_if(history.begin(), history.end(), [&](const std::string& h) {
        return sameIgnoringCase(h, query);
    });
    if (same != history.end()) history.erase(same);
    history.insert(history.begin(), query);
    if (history.size() > limit) history.resize(limit);
}

}  // namespace vellumar
