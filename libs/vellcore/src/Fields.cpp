#include "Fields.h"

#include <algorithm>
#include <set>

namespace vellcore {

namespace {

std::string joinPath(const std::vector<std::string_view>& components) {
    std::string path;
    for (std::string_view c : components) {
        path += '/';
        path += c;
    }
    return path;
}

bool selectsFrom(const PathPattern& pattern, std::size_t step,
                 const std::vector<std::string_view>& components, std::size_t at) {
    if (step == pattern.steps.size()) return true;  // the element and everything below it
    const PathPattern::Step& s = pattern.steps[step];
    if (!s.anyDepth) {
        return at < components.size() && globMatchNoCase(s.name, components[at]) &&
               selectsFrom(pattern, step + 1, components, at + 1);
    }
    for (std::size_t k = at; k < components.size(); ++k)
        if (globMatchNoCase(s.name, components[k]) &&
            selectsFrom(pattern, step + 1, components, k + 1))
            return true;
    return false;
}

}  // namespace

bool parsePathPattern(std::string_view text, PathPattern& pattern, std::string& error) {
    pattern.steps.clear();
    if (text.empty() || text[0] != '/') {
        error = "an element path begins with \"/\"";
        return false;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        PathPattern::Step step;
        ++i;  // the '/'
        if (i < text.size() && text[i] == '/') {
            step.anyDepth = true;
            ++i;
        }
        const std::size_t end = std::min(text.find('/', i), text.size());
        step.name = std::string(text.substr(i, end - i));
        if (step.name.empty()) {
            error = "empty element name in the path \"" + std::string(text) + "\"";
            return false;
        }
        pattern.steps.push_back(std::move(step));
        i = end;
    }
    return true;
}

std::vector<std::string_view> pathComponents(std::string_view name) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < name.size()) {
        const std::size_t end = std::min(name.find('/', i), name.size());
        if (end > i) out.push_back(name.substr(i, end - i));
        i = end + 1;
    }
    return out;
}

bool patternSelects(const PathPattern& pattern, const std::vector<std::string_view>& components) {
    return !pattern.steps.empty() && selectsFrom(pattern, 0, components, 0);
}

int FieldTable::find(std::string_view name) const {
    const auto it = numbers_.find(name);
    return it == numbers_.end() ? 0 : it->second;
}

int FieldTable::add(std::string_view name) {
    if (name.empty() || name.size() > kMaxFieldNameBytes || size() >= kMaxFields ||
        name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos)
        return 0;
    if (const int existing = find(name)) return existing;
    names_.emplace_back(name);
    used_.push_back(0);
    numbers_.emplace(std::string(name), size());
    dirty_ = true;
    return size();
}

void FieldTable::markUsed(int field) {
    if (field < 1 || field > size() || used_[field - 1]) return;
    used_[field - 1] = 1;
    dirty_ = true;
}

std::vector<std::string> FieldTable::elementPaths() const {
    // Sorting by components (not by the joined text) keeps every child right after its
    // parent: "/a-x" would otherwise come between "/a" and "/a/b".
    std::set<std::vector<std::string_view>> paths;
    for (int f = 0; f < size(); ++f) {
        if (!used_[f]) continue;
        auto components = pathComponents(names_[f]);
        if (!components.empty()) paths.insert(std::move(components));
    }
    std::vector<std::string> out;
    out.reserve(paths.size());
    for (const auto& components : paths) out.push_back(joinPath(components));
    return out;
}

std::vector<int> FieldTable::select(const PathPattern& pattern) const {
    std::vector<int> out;
    for (int f = 0; f < size(); ++f)
        if (patternSelects(pattern, pathComponents(names_[f]))) out.push_back(f + 1);
    return out;
}

std::string FieldTable::serialise() const {
    std::string out;
    for (int f = 0; f < size(); ++f) {
        out += used_[f] ? '1' : '0';
        out += names_[f];
        out += '\n';
    }
    return out;
}

bool FieldTable::parse(std::string_view text) {
    clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find('\n', i);
        if (end == std::string_view::npos || end == i) return false;
        const char flag = text[i];
        if (flag != '0' && flag != '1') return false;
        const std::string_view name = text.substr(i + 1, end - i - 1);
        if (find(name) || add(name) == 0) return false;
        if (flag == '1') markUsed(size());
        i = end + 1;
    }
    dirty_ = false;
    return true;
}

void FieldTable::clear() {
    names_.clear();
    used_.clear();
    numbers_.clear();
    dirty_ = false;
}

}  // namespace vellcore
