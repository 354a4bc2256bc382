#include "Entities.h"

#include <cstdint>

#include "textfold/TextFold.h"

namespace wordmill {

namespace {

constexpr std::size_t kLongestName = 32;
constexpr std::size_t kLongestNumber = 12;

bool isAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::size_t decodeReference(std::string_view text, std::size_t pos, bool html, char32_t& cp) {
    std::size_t i = pos + 1;
    if (i >= text.size()) return 0;
    if (text[i] == '#') {
        ++i;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        const std::size_t digitsStart = i;
        std::uint32_t value = 0;
        bool tooBig = false;
        while (i < text.size() && i - digitsStart < kLongestNumber) {
            const int d =
                hex ? hexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
            if (d < 0) break;
            value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
            if (value > 0x10FFFF) tooBig = true, value = 0x110000;
            ++i;
        }
        if (i == digitsStart || i >= text.size() || text[i] != ';') return 0;
        if (tooBig || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
            cp = 0xFFFD;
        else if (html && value >= 0x80 && value <= 0x9F)
            cp = textfold::windows1252ToUnicode(static_cast<unsigned char>(value));
        else
            cp = value;
        return i + 1 - pos;
    }
    const std::size_t nameStart = i;
    while (i < text.size() && i - nameStart <= kLongestName && isAsciiAlnum(text[i])) ++i;
    if (i == nameStart || i >= text.size() || text[i] != ';') return 0;
    const std::string_view name = text.substr(nameStart, i - nameStart);
    char32_t found = 0;
    if (html) {
        found = lookupHtmlEntity(name);
    } else if (name == "lt") {
        found = '<';
    } else if (name == "gt") {
        found = '>';
    } else if (name == "amp") {
        found = '&';
    } else if (name == "quot") {
        found = '"';
    } else if (name == "apos") {
        found = '\'';
    }
    if (!found) return 0;
    cp = found;
    return i + 1 - pos;
}

}  // namespace wordmill
