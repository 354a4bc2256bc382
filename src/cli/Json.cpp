#include "cli/Json.h"

#include <cstdio>

#include "textfold/TextFold.h"

namespace vellumar::cli {

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = textfold::nextUtf8(text, pos);
        switch (cp) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (cp < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
                    out += escape;
                } else {
                    textfold::appendUtf8(out, cp);
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace vellumar::cli
