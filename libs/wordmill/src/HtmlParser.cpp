// The HTML parser. Forgiving like a browser: unclosed tags, stray "<", comments that
// never end and unterminated attribute quotes end the document, they never fail it.
// Words are read from the text between tags, with references decoded; script and style
// contents are skipped; words in the title and in headings carry tag numbers.
#include <cstring>

#include "Entities.h"
#include "TokenStream.h"
#include "wordmill/Parser.h"

namespace wordmill {

namespace {

enum HtmlTag : std::uint16_t { kNoTag = 0, kTitle = 1, kH1 = 2 /* .. kH6 = 7 */ };

const char* const kTagNames[] = {"", "title", "h1", "h2", "h3", "h4", "h5", "h6"};

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

struct Markup {
    std::size_t end = 0;  // just behind the markup
    bool isTag = false;   // a start or end tag (not a comment, declaration, literal "<")
    bool closing = false;
    char name[12] = {};  // lower case, cut; enough for every name compared here
};

// Reads the markup at text[pos] == '<'.
Markup readMarkup(std::string_view text, std::size_t pos) {
    Markup m;
    const std::size_t n = text.size();
    std::size_t p = pos + 1;
    if (p >= n) {
        m.end = p;
        return m;
    }
    if (text[p] == '!' || text[p] == '?') {
        if (text.compare(pos, 4, "<!--") == 0) {
            const std::size_t close = text.find("-->", pos + 4);
            m.end = close == std::string_view::npos ? n : close + 3;
        } else {
            const std::size_t close = text.find('>', p);
            m.end = close == std::string_view::npos ? n : close + 1;
        }
        return m;
    }
    if (text[p] == '/') {
        m.closing = true;
        ++p;
    }
    if (p >= n || !isAlpha(text[p])) {
        if (m.closing) {  // "</ ...>" is a bogus comment
            const std::size_t close = text.find('>', p);
            m.end = close == std::string_view::npos ? n : close + 1;
            m.closing = false;
        } else {
            m.end = pos + 1;  // a literal "<"
        }
        return m;
    }
    m.isTag = true;
    std::size_t len = 0;
    while (p < n && !isSpace(text[p]) && text[p] != '>' && text[p] != '/') {
        if (len + 1 < sizeof m.name) m.name[len++] = lower(text[p]);
        ++p;
    }
    // Attributes: a quoted value may hold ">".
    while (p < n && text[p] != '>') {
        if (text[p] == '=') {
            ++p;
            while (p < n && isSpace(text[p])) ++p;
            if (p < n && (text[p] == '"' || text[p] == '\'')) {
                const std::size_t close = text.find(text[p], p + 1);
                p = close == std::string_view::npos ? n : close + 1;
                continue;
            }
            continue;
        }
        ++p;
    }
    m.end = p < n ? p + 1 : n;
    return m;
}

bool nameIs(const Markup& m, const char* name) { return std::strcmp(m.name, name) == 0; }

std::uint16_t wordTagOf(const Markup& m) {
    if (nameIs(m, "title")) return kTitle;
    if (m.name[0] == 'h' && m.name[1] >= '1' && m.name[1] <= '6' && m.name[2] == 0)
        return static_cast<std::uint16_t>(kH1 + (m.name[1] - '1'));
    return kNoTag;
}

// Where the raw text of a script or style element ends: at its end tag, or the document end.
std::size_t rawTextEnd(std::string_view text, std::size_t from, const char* name) {
    const std::size_t nameLen = std::strlen(name);
    std::size_t p = from;
    while ((p = text.find("</", p)) != std::string_view::npos) {
        std::size_t i = 0;
        while (i < nameLen && p + 2 + i < text.size() && lower(text[p + 2 + i]) == name[i]) ++i;
        if (i == nameLen) return p;
        p += 2;
    }
    return text.size();
}

class HtmlStream : public TokenStream {
  public:
    HtmlStream(std::string_view text, const textfold::CharTable& table)
        : scanner_(text, table, /*markup=*/true, /*html=*/true) {}

    StreamResult next(Token& token) override {
        const std::string_view text = scanner_.text();
        for (;;) {
            switch (scanner_.scan(text.size(), token)) {
                case WordScanner::Stop::Word:
                    token.tag = tag_;
                    return StreamResult::Word;
                case WordScanner::Stop::End:
                    return StreamResult::End;
                case WordScanner::Stop::Markup:
                    break;
            }
            const Markup m = readMarkup(text, scanner_.bytePos());
            std::size_t resume = m.end;
            if (m.isTag) {
                const std::uint16_t wordTag = wordTagOf(m);
                if (m.closing) {
                    if (wordTag != kNoTag) tag_ = kNoTag;
                } else if (wordTag != kNoTag) {
                    tag_ = wordTag;
                } else if (nameIs(m, "script") || nameIs(m, "style")) {
                    resume = rawTextEnd(text, m.end, m.name);
                }
            }
            scanner_.advanceTo(resume);
        }
    }

  private:
    WordScanner scanner_;
    std::uint16_t tag_ = kNoTag;
};

// The page title as plain text: references decoded, tags dropped, blanks collapsed.
std::string extractTitle(std::string_view text) {
    constexpr std::size_t kLongestTitle = 1024;
    std::size_t p = 0;
    while ((p = text.find('<', p)) != std::string_view::npos) {
        const Markup m = readMarkup(text, p);
        p = m.end;
        if (!m.isTag || m.closing) continue;
        if (nameIs(m, "script") || nameIs(m, "style")) {
            p = rawTextEnd(text, m.end, m.name);
            continue;
        }
        if (!nameIs(m, "title")) continue;
        const std::size_t end = rawTextEnd(text, m.end, "title");
        std::string title;
        bool space = false;
        for (std::size_t i = m.end; i < end && title.size() < kLongestTitle;) {
            const char c = text[i];
            if (c == '<') {
                i = readMarkup(text, i).end;
                space = true;
                continue;
            }
            if (isSpace(c)) {
                space = true;
                ++i;
                continue;
            }
            if (space && !title.empty()) title += ' ';
            space = false;
            char32_t cp;
            const std::size_t n = c == '&' ? decodeReference(text.substr(0, end), i, true, cp) : 0;
            if (n) {
                textfold::appendUtf8(title, cp == 0xA0 ? U' ' : cp);
                i += n;
            } else {
                title += c;
                ++i;
            }
        }
        return title;
    }
    return {};
}

class HtmlParser : public Parser {
  public:
    std::string GetTagName(std::uint16_t tag) const override {
        return tag < std::size(kTagNames) ? kTagNames[tag] : std::string();
    }
    std::string GetTagName() const override {
        if (!IsOpen()) return {};
        if (!titleRead_) {
            title_ = extractTitle(DocumentText());
            titleRead_ = true;
        }
        return title_.empty() ? Parser::GetTagName() : title_;
    }

  protected:
    std::unique_ptr<TokenStream> makeStream() const override {
        return std::make_unique<HtmlStream>(DocumentText(), GetLanguageTable());
    }
    void documentClosed() override {
        title_.clear();
        titleRead_ = false;
    }

  private:
    mutable std::string title_;
    mutable bool titleRead_ = false;
};

}  // namespace

std::unique_ptr<Parser> CreateHtmlParser(const textfold::CharTable& table) {
    auto parser = std::make_unique<HtmlParser>();
    parser->SetLanguageTable(table);
    return parser;
}

}  // namespace wordmill
