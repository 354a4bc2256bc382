#include "scope/ScopeStrings.h"

#include <algorithm>

namespace vellumar {

std::size_t LastCharPos(std::string_view text, char ch) {
    const std::size_t pos = text.rfind(ch);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

std::string ScopeFolder(std::string_view entry) {
    const std::size_t slash = entry.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(entry.substr(0, slash));
}

std::string ScopePatterns(std::string_view entry) {
    const std::size_t slash = entry.rfind('/');
    if (slash == std::string_view::npos) return {};
    std::string_view rest = entry.substr(slash + 1);
    // An entry that ends in its "/" names a folder and nothing to take from it; the text
    // after the "/" is empty, like that of "folder/+".
    if (!rest.empty() && rest.front() == '+') rest.remove_prefix(1);
    return std::string(rest);
}

std::string NextPatternToken(std::string_view text, std::size_t& pos, std::size_t last,
                             bool* groupStarted) {
    last = std::min(last, text.size());
    std::size_t start = pos;
    for (std::size_t i = pos; i < last; ++i) {
        const char c = text[i];
        if (c == '<') {
            start = i + 1;
            if (groupStarted) *groupStarted = true;
        } else if (c == ',' || c == '>') {
            pos = i + 1;
            return std::string(text.substr(start, i - start));
        } else if (c == ':') {
            pos = i + 1;
            std::string label = "<";
            label.append(text.substr(start, i - start));
            return label;
        }
    }
    pos = last;
    return {};
}

std::vector<PatternGroup> splitPatternGroups(std::string_view groups) {
    std::vector<PatternGroup> result;
    std::size_t pos = 0;
    while (pos < groups.size()) {
        bool started = false;
        std::string token = NextPatternToken(groups, pos, groups.size(), &started);
        if (started || result.empty()) result.emplace_back();
        if (token.empty()) continue;
        if (isLabelToken(token)) {
            result.back().label = token.substr(1);
        } else {
            result.back().patterns.push_back(std::move(token));
        }
    }
    std::erase_if(result, [](const PatternGroup& g) { return g.patterns.empty(); });
    return result;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != '/') out += '/';
    out.append(name);
    return out;
}

void StripLastPathPart(std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/") return;
    path.erase(slash == 0 ? 1 : slash);
}

std::string normalizeScopeFolder(std::string_view folder) {
    if (folder.empty() || folder.front() != '/') return {};
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= folder.size()) {
        std::size_t next = folder.find('/', pos);
        if (next == std::string_view::npos) next = folder.size();
        const std::string_view part = folder.substr(pos, next - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = next + 1;
    }
    if (parts.empty()) return "/";
    std::string out;
    for (const auto part : parts) {
        out += '/';
        out.append(part);
    }
    return out;
}

bool isPathUnder(std::string_view path, std::string_view folder) {
    if (folder == "/") return !path.empty() && path.front() == '/';
    if (path.substr(0, folder.size()) != folder) return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

const std::vector<std::string>& SystemFolders() {
    static const std::vector<std::string> folders{"/etc", "/usr", "/var", "/boot", "/opt"};
    return folders;
}

bool isInSystemFolder(std::string_view path) {
    return std::any_of(SystemFolders().begin(), SystemFolders().end(),
                       [&](const std::string& f) { return isPathUnder(path, f); });
}

bool isNeverWalkedFolder(std::string_view path) {
    static constexpr std::string_view kPseudo[] = {"/proc", "/sys", "/dev", "/run"};
    // Removable volumes are mounted under /run/media/USER on many desktops; they hold the
    // user's documents like /media does.
    if (isPathUnder(path, "/run/media") && path != "/run/media") return false;
    return std::any_of(std::begin(kPseudo), std::end(kPseudo),
                       [&](std::string_view f) { return isPathUnder(path, f); });
}

std::vector<std::string> scopeLabels(std::string_view scope) {
    std::vector<std::string> labels;
    for (std::size_t open = scope.find('<'); open != std::string_view::npos;
         open = scope.find('<', open + 1)) {
        const std::size_t close = scope.find('>', open + 1);
        const std::size_t colon = scope.find(':', open + 1);
        if (colon == std::string_view::npos || colon > close) continue;
        const std::string label(trimScopeBlanks(scope.substr(open + 1, colon - open - 1)));
        if (label.empty()) continue;
        const std::string folded = asciiLower(label);
        bool known = false;
        for (const std::string& l : labels) known = known || asciiLower(l) == folded;
        if (!known) labels.push_back(label);
    }
    return labels;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trimScopeBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) < 33) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) < 33) text.remove_suffix(1);
    return text;
}

}  // namespace vellumar
