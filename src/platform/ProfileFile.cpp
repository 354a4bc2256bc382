#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/UserFileReader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vellumar {

namespace {

std::string_view trim(std::string_view s) {
    const char* blanks = " \t\r\n\f\v";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

ProfileFile ProfileFile::load(const std::filesystem::path& path) {
    const UserFileRead read = readUserFile(path);
    if (!read.ok()) {
        ProfileFile empty;
        empty.problem_ = problemText(path, read);
        return empty;
    }
    ProfileFile profile = parse(read.data);
    profile.existed_ = true;
    return profile;
}

ProfileFile ProfileFile::parse(std::string_view text) {
    ProfileFile profile;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        pos = end + 1;

        Line line;
        line.raw = std::string(raw);
        const std::string_view body = trim(raw);
        if (!body.empty() && body.front() == '[') {
            const auto close = body.find(']');
            if (close != std::string_view::npos) {
                line.kind = Line::Kind::Section;
                line.section = std::string(trim(body.substr(1, close - 1)));
            }
        } else if (!body.empty() && body.front() != ';') {
            const auto eq = body.find('=');
            if (eq != std::string_view::npos) {
                line.kind = Line::Kind::Entry;
                line.key = std::string(trim(body.substr(0, eq)));
                line.value = std::string(trim(body.substr(eq + 1)));
            }
        }
        profile.lines_.push_back(std::move(line));
    }
    return profile;
}

std::size_t ProfileFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::Kind::Section && equalsIgnoringCase(lines_[i].section, section))
            return i;
    return std::string::npos;
}

std::size_t ProfileFile::findKey(std::size_t sectionLine, std::string_view key) const {
    for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section) break;
        if (lines_[i].kind == Line::Kind::Entry && equalsIgnoringCase(lines_[i].key, key)) return i;
    }
    return std::string::npos;
}

std::optional<std::string> ProfileFile::find(std::string_view section, std::string_view key) const {
    const std::size_t s = findSection(section);
    if (s == std::string::npos) return std::nullopt;
    const std::size_t k = findKey(s, key);
    if (k == std::string::npos) return std::nullopt;
    return lines_[k].value;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    auto value = find(section, key);
    return value ? *value : std::string(defaultValue);
}

std::int32_t ProfileFile::readInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
    const auto value = find(section, key);
    if (!value) return defaultValue;
    const char* begin = value->c_str();
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE || n < INT32_MIN || n > INT32_MAX) return defaultValue;
    return static_cast<std::int32_t>(n);
}

bool ProfileFile::readBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return readInt(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    Line entry;
    entry.kind = Line::Kind::Entry;
    entry.key = std::string(key);
    entry.value = std::string(trim(value));
    // A line break inside a value would start a new key or section when the file is read
    // back; it is written as a blank instead.
    std::replace_if(
        entry.value.begin(), entry.value.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    entry.raw = entry.key + "=" + entry.value;

    std::size_t s = findSection(section);
    if (s == std::string::npos) {
        if (!lines_.empty() && !trim(lines_.back().raw).empty()) lines_.push_back(Line{});
        Line header;
        header.kind = Line::Kind::Section;
        header.section = std::string(section);
        header.raw = "[" + header.section + "]";
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(entry));
        return;
    }
    const std::size_t k = findKey(s, key);
    if (k != std::string::npos) {
        entry.key = lines_[k].key;  // keep the spelling already in the file
        entry.raw = entry.key + "=" + entry.value;
        lines_[k] = std::move(entry);
        return;
    }
    // Append after the section's last entry, before any blank lines that separate it from
    // the next section.
    std::size_t insertAt = s + 1;
    for (std::size_t i = s + 1; i < lines_.size() && lines_[i].kind != Line::Kind::Section; ++i)
        if (!trim(lines_[i].raw).empty()) insertAt = i + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
}

void ProfileFile::writeInt(std::string_view section, std::string_view key, std::int32_t value) {
    writeString(section, key, std::to_string(value));
}

void ProfileFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

bool ProfileFile::removeKey(std::string_view section, std::string_view key) {
    const std::size_t s = findSection(section);
    if (s == std::string::npos) return false;
    const std::size_t k = findKey(s, key);
    if (k == std::string::npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
    return true;
}

std::string ProfileFile::text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

bool ProfileFile::save(const std::filesystem::path& path) const {
    return writeFileAtomically(path, text());
}

}  // namespace vellumar
