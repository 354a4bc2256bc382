#include "cli/CliText.h"

#include <cstdio>

#include "textfold/TextFold.h"

namespace vellumar::cli {

std::string plainText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = textfold::nextUtf8(text, pos);
        char escape[12] = "";
        if (cp == 0xFFFD && pos - start == 1) {
            std::snprintf(escape, sizeof escape, "\\x%02x",
                          static_cast<unsigned char>(text[start]));
        } else if (cp == '\\') {
            out += "\\\\";
            continue;
        } else if (cp == '\n') {
            out += "\\n";
            continue;
        } else if (cp == '\r') {
            out += "\\r";
            continue;
        } else if (cp == '\t') {
            out += "\\t";
            continue;
        } else if (cp < 0x20 || cp == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(cp));
        } else if (cp >= 0x80 && cp <= 0x9F) {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
        } else {
            out.append(text.substr(start, pos - start));
            continue;
        }
        out += escape;
    }
    return out;
}

std::string countOf(long long count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace vellumar::cli
