#include "platform/CommaText.h"

namespace vellumar {

namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool needsQuotes(std::string_view item) {
    for (char c : item)
        if (isBlankOrControl(c) || c == '"' || c == ',') return true;
    return false;
}

}  // namespace

std::string toCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items.front().empty()) return "\"\"";
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        const std::string& item = items[i];
        if (!needsQuotes(item)) {
            out += item;
            continue;
        }
        out += '"';
        for (char c : item) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

std::vector<std::string> fromCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && isBlankOrControl(text[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            while (p < n && text[p] != ',' && !isBlankOrControl(text[p])) item += text[p++];
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            // A comma that ends the text still separates an empty last item.
            if (p + 1 == n) items.emplace_back();
            ++p;
            skipBlanks();
        }
    }
    return items;
}

}  // namespace vellumar
