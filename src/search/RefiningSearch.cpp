#include "search/RefiningSearch.h"

#include <algorithm>

#include "search/SearchHistory.h"

namespace vellumar {

std::string filterSelectedWords(const textfold::CharTable& table, std::string_view text) {
    std::string out;
    std::size_t runStart = 0;  // where the current run of word characters begins in out
    std::size_t runLength = 0;
    bool inRun = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t at = pos;
        const char32_t cp = textfold::nextUtf8(text, pos);
        if (textfold::foldChar(table, cp) != 0) {
            if (!inRun) {
                runStart = out.size();
                runLength = 0;
                inRun = true;
            }
            out.append(text.substr(at, pos - at));
            ++runLength;
            continue;
        }
        if (!inRun) continue;
        inRun = false;
        if (runLength == 1)
            out.resize(runStart);  // a one-letter word is dropped
        else
            out += ' ';
    }
    return trimQuery(out);
}

std::string researchExpression(const std::string& lastQuery, const std::string& text) {
    if (lastQuery.empty()) return text;
    return "(" + lastQuery + ") & (" + text + ")";
}

bool rememberResearchText(std::vector<std::string>& list, const std::string& text) {
    if (std::any_of(list.begin(), list.end(),
                    [&](const std::string& item) { return sameIgnoringCase(item, text); }))
        return false;
    list.push_back(text);
    return true;
}

std::string elementExpression(const std::string& elementPath, const std::string& words) {
    if (elementPath.empty()) return words;
    return elementPath + "[" + words + "]";
}

std::string advancedSearchQuery(bool newQuery, const std::string& currentQuery,
                                const std::string& expression) {
    const std::string current = trimQuery(currentQuery);
    // Joining with an empty query would leave a lone "&", which never parses.
    if (newQuery || current.empty()) return expression;
    return current + " & " + expression;
}

}  // namespace vellumar
