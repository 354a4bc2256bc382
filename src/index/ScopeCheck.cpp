#include "index/ScopeCheck.h"

#include "scope/ScopeParser.h"
#include "scope/ScopeStrings.h"

namespace vellumar {

std::vector<SkippedScopeEntry> skippedScopeEntries(std::string_view scope) {
    std::vector<SkippedScopeEntry> skipped;
    if (trimScopeBlanks(scope).empty()) return skipped;
    const TScopeParser parser(scope);
    for (int i = 0; i < parser.Count(); ++i) {
        const TScopeItem& item = parser.Items()[static_cast<std::size_t>(i)];
        std::string raw = parser.Text().substr(static_cast<std::size_t>(item.start - 1),
                                               static_cast<std::size_t>(item.length));
        while (!raw.empty() && static_cast<unsigned char>(raw.back()) <= 32) raw.pop_back();
        const TScopeEntry entry = parser.GetEntry(i);
        if (entry.text.empty()) {
            skipped.push_back({raw, "it names no folder"});
            continue;
        }
        const std::string folder = ScopeFolder(entry.text);
        std::string patterns = ScopePatterns(entry.text);
        if (entry.exclude && patterns.empty()) patterns = "<*.*>";
        std::string reason;
        if (folder.empty() && entry.text.find('/') == std::string::npos)
            reason = "it names no folder";
        else if (normalizeScopeFolder(folder).empty())
            reason = "the folder is not an absolute path";
        else if (patterns.empty())
            reason = "it has no file patterns, such as <*.txt>";
        else if (patterns.front() != '<')
            reason = patterns.find('<') != std::string::npos
                         ? "a \"/\" is missing before the file patterns"
                         : "the file patterns are not in a group, such as <*.txt>";
        if (!reason.empty()) skipped.push_back({raw, reason});
    }
    return skipped;
}

std::string skippedScopeEntriesText(const std::vector<SkippedScopeEntry>& skipped) {
    std::string text;
    for (const SkippedScopeEntry& s : skipped) {
        text += text.empty() ? "Skipped in the scope: \"" : "; \"";
        text += s.entry + "\" (" + s.reason + ")";
    }
    return text;
}

}  // namespace vellumar
