#include "scope/DirItem.h"

#include <algorithm>

#include "scope/ScopeStrings.h"

namespace vellumar {

void TDirItem::FindNumber(std::int32_t number, std::int32_t& first, std::int32_t& end) const {
    first = -1;
    end = 0;
    for (std::int32_t i = 0; i < PatternCount(); ++i) {
        const std::int32_t n = patterns_[static_cast<std::size_t>(i)].number;
        if (n == number && first < 0) first = i;
        if (n > number) break;
        end = i + 1;
    }
}

void TDirItem::AddPattern(std::int32_t number, std::string text, bool exclude) {
    if (text.empty()) return;
    std::int32_t first = 0;
    std::int32_t end = 0;
    FindNumber(number, first, end);
    patterns_.insert(patterns_.begin() + end, TPatternItem{std::move(text), number, exclude});
}

void TDirItem::DeletePatterns(std::int32_t first, std::int32_t end) {
    first = std::max<std::int32_t>(first, 0);
    end = std::min(end, PatternCount());
    if (first >= end) return;
    patterns_.erase(patterns_.begin() + first, patterns_.begin() + end);
}

bool TDirItem::HasPattern(std::int32_t number, std::string_view text, bool exclude) const {
    return std::any_of(patterns_.begin(), patterns_.end(), [&](const TPatternItem& p) {
        return p.number == number && p.exclude == exclude && p.text == text;
    });
}

namespace {

bool OpensToken(char c) { return c == '<' || c == ':' || c == ','; }
bool ClosesToken(char c) { return c == ',' || c == '>'; }

// Takes every whole-token occurrence of token out of patterns.
void TakeOut(std::string& patterns, const std::string& token) {
    std::size_t from = 1;
    while (true) {
        const std::size_t at = patterns.find(token, from);
        if (at == std::string::npos) return;
        const std::size_t after = at + token.size();
        if (!OpensToken(patterns[at - 1]) || after >= patterns.size() ||
            !ClosesToken(patterns[after])) {
            from = at + 1;
            continue;
        }
        const char before = patterns[at - 1];
        if ((before == '<' || before == ':') && patterns[after] == '>') {
            // The group's only pattern: the whole group goes, label included.
            const std::size_t open = patterns.rfind('<', at - 1);
            patterns.erase(open, after + 1 - open);
            from = std::max<std::size_t>(open, 1);
        } else if (before == '<' || before == ':') {
            patterns.erase(at, token.size() + 1);  // the token and the "," after it
            from = at;
        } else {
            patterns.erase(at - 1, token.size() + 1);  // the "," before it and the token
            from = at - 1;
        }
    }
}

}  // namespace

bool subtractExclusions(const TDirItem& folder, std::string& patterns) {
    for (const TPatternItem& item : folder.Patterns()) {
        if (!item.exclude) continue;
        std::size_t pos = 0;
        while (pos < item.text.size()) {
            const std::string token = NextPatternToken(item.text, pos, item.text.size());
            if (token.empty() || isLabelToken(token)) continue;
            if (isAllFilesPattern(token)) return false;
            TakeOut(patterns, token);
        }
    }
    return patterns.size() >= 3;
}

}  // namespace vellumar
