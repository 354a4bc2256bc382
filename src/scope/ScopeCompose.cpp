#include "scope/ScopeCompose.h"

#include "platform/MediaPath.h"
#include "scope/ScopeStrings.h"

namespace vellumar {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view TrimTrailingSeparators(std::string_view text) {
    text = trimScopeBlanks(text);
    while (!text.empty() && (text.back() == ';' || static_cast<unsigned char>(text.back()) < 33))
        text.remove_suffix(1);
    return text;
}

// The group of entry [from, to) that new patterns join: "<label:" for a label, otherwise
// the last closed group without a label. Returns the position of its closing ">" or npos.
std::size_t FindJoinGroup(const std::string& scope, std::size_t from, std::size_t to,
                          const std::string& label) {
    if (!label.empty()) {
        const std::string open = "<" + label + ":";
        const std::size_t at = scope.find(open, from);
        if (at == std::string::npos || at >= to) return std::string::npos;
        const std::size_t close = scope.find('>', at);
        return close < to ? close : std::string::npos;
    }
    std::size_t found = std::string::npos;
    std::size_t at = scope.find('<', from);
    while (at != std::string::npos && at < to) {
        const std::size_t close = scope.find('>', at);
        if (close == std::string::npos || close >= to) break;
        const std::size_t colon = scope.find(':', at);
        if (colon == std::string::npos || colon > close) found = close;
        at = scope.find('<', close);
    }
    return found;
}

}  // namespace

std::string cleanScopeLabel(std::string_view label) {
    std::string out = asciiLower(trimScopeBlanks(label));
    for (char& c : out) {
        if (!IsAsciiLetter(c) && c != '0' && c != '9') c = '_';
    }
    return out;
}

ComposedScope composeScopeEntry(std::string_view dialogScope, const BrowseAddition& addition) {
    ComposedScope result;
    std::string folder = addition.folder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    const std::string marks = addition.subfolders ? "+<" : "<";
    const std::string prefix = addition.exclude ? ";-" : ";";
    result.patterns = asciiLower(trimScopeBlanks(addition.patterns));
    if (!addition.exclude) result.label = cleanScopeLabel(addition.label);

    std::string scope(TrimTrailingSeparators(dialogScope));
    const std::string haystack = ";" + scope;
    const std::string needle = prefix + folder + marks;
    const std::size_t hit = haystack.find(needle);

    if (hit == std::string::npos) {
        std::string entry = prefix + folder + marks;
        if (!result.label.empty()) entry += result.label + ":";
        entry += result.patterns + ">";
        if (scope.empty()) entry.erase(0, 1);
        result.changedStart = scope.size();
        result.changedLength = entry.size();
        result.scope = scope + entry;
        return result;
    }

    // The entry starts right after the ";" that the needle begins with.
    const std::size_t entryStart = hit;
    std::size_t entryEnd = scope.find(';', entryStart);
    if (entryEnd == std::string::npos) entryEnd = scope.size();
    const std::size_t close = FindJoinGroup(scope, entryStart, entryEnd, result.label);
    std::string insertion;
    std::size_t at;
    if (close != std::string::npos) {
        insertion = "," + result.patterns;
        at = close;
    } else {
        insertion = "<" + (result.label.empty() ? "" : result.label + ":") + result.patterns + ">";
        at = entryEnd;
    }
    scope.insert(at, insertion);
    result.scope = std::move(scope);
    result.changedStart = at;
    result.changedLength = insertion.size();
    return result;
}

std::string RetargetScopeDrive(std::string_view scope, std::string_view mountPoint) {
    std::string out;
    std::size_t pos = 0;
    while (pos <= scope.size()) {
        std::size_t next = scope.find(';', pos);
        if (next == std::string_view::npos) next = scope.size();
        std::string_view entry = scope.substr(pos, next - pos);

        std::size_t folderStart = 0;
        while (folderStart < entry.size() &&
               (static_cast<unsigned char>(entry[folderStart]) < 33 || entry[folderStart] == '-'))
            ++folderStart;
        const std::size_t slash = entry.rfind('/');
        if (slash != std::string_view::npos && slash > folderStart) {
            const std::string folder(entry.substr(folderStart, slash - folderStart));
            out.append(entry.substr(0, folderStart));
            out += retargetToMount(folder, mountPoint);
            out.append(entry.substr(slash));
        } else {
            out.append(entry);
        }
        if (next < scope.size()) out += ';';
        pos = next + 1;
    }
    return out;
}

std::vector<ScopeProblem> checkScope(std::string_view scope) {
    std::vector<ScopeProblem> problems;
    int number = 0;
    std::size_t pos = 0;
    while (pos <= scope.size()) {
        std::size_t next = scope.find(';', pos);
        if (next == std::string_view::npos) next = scope.size();
        const std::string_view raw = trimScopeBlanks(scope.substr(pos, next - pos));
        pos = next + 1;
        if (raw.empty()) continue;
        ++number;
        std::string_view entry = raw;
        const bool exclude = entry.front() == '-';
        if (exclude) entry = trimScopeBlanks(entry.substr(1));

        auto report = [&](std::string message) {
            problems.push_back({number, std::string(raw), std::move(message)});
        };
        const std::string folder = ScopeFolder(entry);
        const std::string patterns = ScopePatterns(entry);
        if (folder.empty()) {
            report(
                "The entry names no folder (a folder ends with \"/\", as in "
                "/home/ann/docs/+<*.txt>).");
        } else if (folder.front() != '/') {
            report("The folder must be a full path beginning with \"/\".");
        } else if (patterns.empty()) {
            if (!exclude) report("The entry takes no files: add a pattern group such as <*.txt>.");
        } else if (patterns.front() != '<') {
            report("Patterns must be written in a group, as in <*.txt,*.doc>.");
        } else if (patterns.back() != '>') {
            report("A pattern group is not closed by \">\".");
        }
    }
    return problems;
}

}  // namespace vellumar
