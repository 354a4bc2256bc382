#include "Words.h"

namespace vellcore {

namespace {

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// Length of the UTF-8 sequence that starts at s[i], never past the end.
std::size_t charLen(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80           ? 1
                    : (b >> 5) == 0x6  ? 2
                    : (b >> 4) == 0xE  ? 3
                    : (b >> 3) == 0x1E ? 4
                                       : 1;
    return std::min(n, s.size() - i);
}

// Appends a folded character unless that would pass the byte limit.
bool appendLimited(std::string& out, char32_t cp, std::size_t limit) {
    const std::size_t before = out.size();
    textfold::appendUtf8(out, cp);
    if (out.size() <= limit) return true;
    out.resize(before);
    return false;
}

// Cuts folded text the way normaliseWord does: at most maxChars characters and
// kMaxWordBytes bytes, never inside a character.
void cutWord(std::string& text, std::size_t maxChars) {
    std::size_t pos = 0, chars = 0;
    while (pos < text.size() && chars < maxChars) {
        const std::size_t n = charLen(text, pos);
        if (pos + n > kMaxWordBytes) break;
        pos += n;
        ++chars;
    }
    text.resize(pos);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <bool NoCase>
bool glob(std::string_view p, std::string_view t) {
    constexpr std::size_t npos = std::string_view::npos;
    std::size_t pi = 0, ti = 0, starP = npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starT = ti;
            continue;
        }
        if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ti += charLen(t, ti);
            continue;
        }
        if (pi < p.size() && (NoCase ? lowerAscii(p[pi]) == lowerAscii(t[ti]) : p[pi] == t[ti])) {
            ++pi;
            ++ti;
            continue;
        }
        if (starP == npos) return false;
        starT += charLen(t, starT);
        ti = starT;
        pi = starP;
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

void normaliseWord(const CharTable& table, int maxChars, std::string_view raw, std::string& out) {
    out.clear();
    std::string converted;
    if (!isAscii(raw) && !textfold::isValidUtf8(raw)) {
        converted = textfold::toUtf8Document(raw);
        raw = converted;
    }
    const std::size_t limit = static_cast<std::size_t>(maxChars < 1 ? 1 : maxChars);
    std::size_t chars = 0;
    std::size_t pos = 0;
    while (pos < raw.size() && chars < limit) {
        const auto b = static_cast<unsigned char>(raw[pos]);
        char32_t folded;
        if (b < 0x80) {
            ++pos;
            folded = table[b];
            if (!folded) continue;
            if (folded < 0x80) {
                // The common case: an ASCII letter folded to ASCII.
                if (out.size() >= kMaxWordBytes) break;
                out += static_cast<char>(folded);
                ++chars;
                continue;
            }
        } else {
            folded = textfold::foldChar(table, textfold::nextUtf8(raw, pos));
            if (!folded) continue;
        }
        if (!appendLimited(out, folded, kMaxWordBytes)) break;
        ++chars;
    }
}

std::vector<QueryAtom> splitQueryToken(const CharTable& table, int maxChars, std::string_view raw) {
    std::string converted;
    if (!textfold::isValidUtf8(raw)) {
        converted = textfold::toUtf8Document(raw);
        raw = converted;
    }
    const std::size_t limit = static_cast<std::size_t>(maxChars < 1 ? 1 : maxChars);
    std::vector<QueryAtom> atoms;
    QueryAtom current;
    auto flush = [&] {
        if (current.text.empty()) return;
        // Literal words are cut exactly as document words are; a wildcard pattern is
        // matched against the stored (cut) words and stays whole.
        if (!current.wildcard) cutWord(current.text, limit);
        atoms.push_back(std::move(current));
        current = QueryAtom{};
    };
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const char32_t cp = textfold::nextUtf8(raw, pos);
        const char32_t folded = textfold::foldChar(table, cp);
        if (folded) {
            ++current.chars;
            appendLimited(current.text, folded, 4 * kMaxWordBytes);
        } else if (cp == '*' || cp == '?') {
            current.wildcard = true;
            appendLimited(current.text, cp, 4 * kMaxWordBytes);
        } else {
            flush();
        }
    }
    flush();
    return atoms;
}

bool globMatch(std::string_view pattern, std::string_view text) {
    return glob<false>(pattern, text);
}

bool globMatchNoCase(std::string_view pattern, std::string_view text) {
    return glob<true>(pattern, text);
}

std::string_view literalPrefix(std::string_view pattern) {
    const std::size_t i = pattern.find_first_of("*?");
    return i == std::string_view::npos ? pattern : pattern.substr(0, i);
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

}  // namespace vellcore
