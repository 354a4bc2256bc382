#include "scope/ScopeParser.h"

#include "scope/ScopeStrings.h"

namespace vellumar {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

// The entries of the raw text, split at every ";".
std::vector<std::string_view> SplitEntries(std::string_view scope) {
    std::vector<std::string_view> entries;
    std::size_t pos = 0;
    while (pos <= scope.size()) {
        std::size_t next = scope.find(';', pos);
        if (next == std::string_view::npos) next = scope.size();
        entries.push_back(scope.substr(pos, next - pos));
        pos = next + 1;
    }
    return entries;
}

// The entry without leading blanks, and without blanks after its "-", so that
// "  - /a/+<*>" is the exclusion "-/a/+<*>" (a folder always starts with "/", so these
// blanks are never part of it).
std::string CleanEntry(std::string_view entry) {
    while (!entry.empty() && IsBlank(entry.front())) entry.remove_prefix(1);
    if (entry.empty() || entry.front() != '-') return std::string(entry);
    entry.remove_prefix(1);
    while (!entry.empty() && IsBlank(entry.front())) entry.remove_prefix(1);
    return "-" + std::string(entry);
}

}  // namespace

std::string normalizeEntryCase(std::string_view entry) {
    const std::size_t slash = entry.rfind('/');
    if (slash == std::string_view::npos) return std::string(entry);
    return std::string(entry.substr(0, slash + 1)) + asciiLower(entry.substr(slash + 1));
}

TScopeParser::TScopeParser(std::string_view scope) {
    std::vector<std::string> exclusions;
    std::vector<std::string> inclusions;
    for (const std::string_view raw : SplitEntries(scope)) {
        std::string entry = CleanEntry(raw);
        if (trimScopeBlanks(entry).empty()) continue;
        entry = normalizeEntryCase(entry);
        (entry.front() == '-' ? exclusions : inclusions).push_back(std::move(entry));
    }
    for (const auto* kind : {&exclusions, &inclusions}) {
        for (const std::string& entry : *kind) {
            text_ += entry;
            text_ += ';';
        }
    }

    // Items: blanks skipped, then up to the next ";".
    std::size_t pos = 0;
    while (pos < text_.size()) {
        while (pos < text_.size() && IsBlank(text_[pos])) ++pos;
        if (pos >= text_.size()) break;
        std::size_t end = text_.find(';', pos);
        if (end == std::string::npos) end = text_.size();
        items_.push_back({static_cast<int>(pos + 1), static_cast<int>(end - pos)});
        pos = end + 1;
    }
}

TScopeEntry TScopeParser::GetEntry(int index) const {
    TScopeEntry entry;
    if (index < 0 || index >= Count()) return entry;
    const TScopeItem& item = items_[static_cast<std::size_t>(index)];
    std::string_view text(text_);
    text = text.substr(static_cast<std::size_t>(item.start - 1),
                       static_cast<std::size_t>(item.length));
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    if (!text.empty() && text.front() == '-') {
        entry.exclude = true;
        text.remove_prefix(1);
    }
    if (text.size() < 2) return entry;
    // The last "/" before the final character: "/a/+" has its "+" after it, "/a/" does not.
    const std::size_t slash = text.substr(0, text.size() - 1).rfind('/');
    entry.subfolders = slash != std::string_view::npos && text[slash + 1] == '+';
    entry.text = std::string(text);
    return entry;
}

}  // namespace vellumar
