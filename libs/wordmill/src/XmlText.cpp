#include "wordmill/XmlText.h"

#include <algorithm>

#include "Entities.h"
#include "textfold/TextFold.h"

namespace wordmill {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

class Matcher {
  public:
    explicit Matcher(const XmlTextRules& rules) : rules_(rules) {}

    bool in(const std::vector<std::string>& names, std::string_view name) const {
        if (rules_.localNames) {
            const std::size_t colon = name.rfind(':');
            if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
            return std::any_of(names.begin(), names.end(), [name](const std::string& n) {
                return n.size() == name.size() &&
                       std::equal(n.begin(), n.end(), name.begin(),
                                  [](char a, char b) { return (a | 0x20) == (b | 0x20); });
            });
        }
        return std::find(names.begin(), names.end(), name) != names.end();
    }

  private:
    const XmlTextRules& rules_;
};

}  // namespace

std::string extractXmlText(std::string_view xml, const XmlTextRules& rules) {
    const Matcher match(rules);
    std::string out;
    long textDepth = rules.textElements.empty() ? 1 : 0;
    long skipDepth = 0;
    auto collecting = [&] { return textDepth > 0 && skipDepth == 0; };
    auto appendText = [&](std::string_view raw) {
        if (!collecting()) return;
        for (std::size_t i = 0; i < raw.size();) {
            char32_t cp;
            const std::size_t n =
                raw[i] == '&' ? decodeReference(raw, i, rules.htmlEntities, cp) : 0;
            if (n) {
                textfold::appendUtf8(out, cp);
                i += n;
            } else {
                out += raw[i++];
            }
        }
    };

    std::size_t p = 0;
    while (p < xml.size()) {
        const std::size_t lt = xml.find('<', p);
        appendText(xml.substr(p, lt == std::string_view::npos ? std::string_view::npos : lt - p));
        if (lt == std::string_view::npos) break;
        p = lt;
        if (xml.compare(p, 4, "<!--") == 0) {
            const std::size_t end = xml.find("-->", p + 4);
            p = end == std::string_view::npos ? xml.size() : end + 3;
            continue;
        }
        if (xml.compare(p, 9, "<![CDATA[") == 0) {
            const std::size_t end = xml.find("]]>", p + 9);
            const std::string_view data = xml.substr(
                p + 9, end == std::string_view::npos ? std::string_view::npos : end - p - 9);
            if (collecting()) out += data;
            p = end == std::string_view::npos ? xml.size() : end + 3;
            continue;
        }
        if (xml.compare(p, 2, "<?") == 0 || xml.compare(p, 2, "<!") == 0) {
            const std::size_t end = xml.find('>', p + 2);
            p = end == std::string_view::npos ? xml.size() : end + 1;
            continue;
        }
        const bool closing = p + 1 < xml.size() && xml[p + 1] == '/';
        std::size_t q = p + (closing ? 2 : 1);
        const std::size_t nameBegin = q;
        while (q < xml.size() && !isSpace(xml[q]) && xml[q] != '>' && xml[q] != '/') ++q;
        const std::string_view name = xml.substr(nameBegin, q - nameBegin);
        while (q < xml.size() && xml[q] != '>') {
            if (xml[q] == '"' || xml[q] == '\'') {
                const std::size_t close = xml.find(xml[q], q + 1);
                q = close == std::string_view::npos ? xml.size() : close + 1;
            } else {
                ++q;
            }
        }
        const bool selfClosing = q > p && q < xml.size() && xml[q - 1] == '/';
        p = q < xml.size() ? q + 1 : xml.size();
        if (name.empty()) continue;

        if (closing) {
            if (match.in(rules.skipElements, name) && skipDepth > 0) --skipDepth;
            if (match.in(rules.lineElements, name) && skipDepth == 0) out += '\n';
            if (match.in(rules.textElements, name) && textDepth > 0) --textDepth;
            continue;
        }
        // Layout elements count wherever text is not skipped: a .docx tab or paragraph
        // lies outside the w:t elements that hold its text.
        if (skipDepth == 0) {
            if (match.in(rules.tabElements, name)) out += '\t';
            if (match.in(rules.spaceElements, name)) out += ' ';
            if (match.in(rules.breakElements, name)) out += '\n';
        }
        if (selfClosing) {
            if (match.in(rules.lineElements, name) && skipDepth == 0) out += '\n';
            continue;
        }
        if (match.in(rules.skipElements, name)) ++skipDepth;
        if (match.in(rules.textElements, name)) ++textDepth;
    }
    return out;
}

}  // namespace wordmill
