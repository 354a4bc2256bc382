// The XML parser. Words are read from element content and CDATA sections; each word's
// tag number stands for its element path (/orders/order/customer), with the label
// handed in at Open in front. Attribute values, comments and processing instructions
// are not words.
//
// Safety: the parser is iterative (an explicit element stack), so nesting depth costs
// memory, never the call stack. A DOCTYPE is skipped unread, so no external entity is
// ever fetched and no declared entity is expanded: only the five predefined entities and
// character references are decoded. A document that is not well-formed (mismatched or
// unclosed elements, broken markup) ends with kParseFailed after the words before the
// fault.
#include <string>
#include <unordered_map>
#include <vector>

#include "TokenStream.h"
#include "wordmill/Parser.h"

namespace wordmill {

namespace {

// Element paths are numbered from 1 up to the 16-bit limit of tag numbers; deeper or
// further paths share the number of their nearest numbered ancestor.
constexpr std::size_t kMostTags = 65535;
constexpr std::size_t kDeepestTagged = 256;
constexpr std::size_t kLongestLabel = 255;

bool isNameStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}
bool isNameChar(unsigned char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The element paths of one document: a tree of (parent, name) nodes.
class PathRegistry {
  public:
    std::uint16_t lookup(std::uint16_t parent, std::string_view name) {
        key_.assign(reinterpret_cast<const char*>(&parent), sizeof parent);
        key_.append(name);
        const auto it = ids_.find(key_);
        if (it != ids_.end()) return it->second;
        if (nodes_.size() >= kMostTags) return parent;
        nodes_.push_back({parent, std::string(name)});
        const auto id = static_cast<std::uint16_t>(nodes_.size());
        ids_.emplace(key_, id);
        return id;
    }

    std::string path(std::uint16_t tag, const std::string& label) const {
        if (tag == 0 || tag > nodes_.size()) return {};
        std::vector<const std::string*> names;
        for (std::uint16_t t = tag; t != 0; t = nodes_[t - 1].parent)
            names.push_back(&nodes_[t - 1].name);
        std::string out = label;
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            out += '/';
            out += **it;
        }
        return out;
    }

    void clear() {
        nodes_.clear();
        ids_.clear();
    }

  private:
    struct Node {
        std::uint16_t parent;
        std::string name;
    };
    std::vector<Node> nodes_;
    std::unordered_map<std::string, std::uint16_t> ids_;
    std::string key_;
};

class XmlStream : public TokenStream {
  public:
    XmlStream(std::string_view text, const textfold::CharTable& table, PathRegistry& paths)
        : scanner_(text, table, /*markup=*/true, /*html=*/false), text_(text), paths_(paths) {}

    StreamResult next(Token& token) override {
        if (failed_) return StreamResult::Error;
        for (;;) {
            if (cdataEnd_) {
                if (scanner_.scanRaw(cdataEnd_, token) == WordScanner::Stop::Word) {
                    token.tag = currentTag();
                    return StreamResult::Word;
                }
                scanner_.advanceTo(cdataEnd_ + 3);
                cdataEnd_ = 0;
            }
            switch (scanner_.scan(text_.size(), token)) {
                case WordScanner::Stop::Word:
                    if (stack_.empty()) return fail();  // text outside the root element
                    token.tag = currentTag();
                    return StreamResult::Word;
                case WordScanner::Stop::End:
                    if (!stack_.empty() || !sawRoot_) return fail();
                    return StreamResult::End;
                case WordScanner::Stop::Markup:
                    break;
            }
            if (!readMarkup()) return fail();
        }
    }

  private:
    struct Element {
        std::size_t nameBegin;
        std::size_t nameLength;
        std::uint16_t tag;
    };

    StreamResult fail() {
        failed_ = true;
        return StreamResult::Error;
    }

    std::uint16_t currentTag() const { return stack_.empty() ? 0 : stack_.back().tag; }

    bool startsWith(std::size_t pos, std::string_view s) const {
        return text_.compare(pos, s.size(), s) == 0;
    }

    std::size_t readName(std::size_t p) const {
        if (p >= text_.size() || !isNameStart(static_cast<unsigned char>(text_[p]))) return p;
        while (p < text_.size() && isNameChar(static_cast<unsigned char>(text_[p]))) ++p;
        return p;
    }

    std::size_t skipSpace(std::size_t p) const {
        while (p < text_.size() && isSpace(text_[p])) ++p;
        return p;
    }

    // Skips to just behind `close`, or fails at the end of the text.
    bool skipPast(std::size_t from, std::string_view close) {
        const std::size_t at = text_.find(close, from);
        if (at == std::string_view::npos) return false;
        scanner_.advanceTo(at + close.size());
        return true;
    }

    bool skipDoctype(std::size_t p) {
        bool inSubset = false;
        while (p < text_.size()) {
            const char c = text_[p];
            if (c == '"' || c == '\'') {
                const std::size_t close = text_.find(c, p + 1);
                if (close == std::string_view::npos) return false;
                p = close + 1;
            } else if (inSubset && startsWith(p, "<!--")) {
                const std::size_t close = text_.find("-->", p + 4);
                if (close == std::string_view::npos) return false;
                p = close + 3;
            } else if (c == '[') {
                inSubset = true, ++p;
            } else if (c == ']') {
                inSubset = false, ++p;
            } else if (c == '>' && !inSubset) {
                scanner_.advanceTo(p + 1);
                return true;
            } else {
                ++p;
            }
        }
        return false;
    }

    bool readMarkup() {
        const std::size_t pos = scanner_.bytePos();
        if (startsWith(pos, "<?")) return skipPast(pos + 2, "?>");
        if (startsWith(pos, "<!--")) return skipPast(pos + 4, "-->");
        if (startsWith(pos, "<![CDATA[")) {
            if (stack_.empty()) return false;
            const std::size_t close = text_.find("]]>", pos + 9);
            if (close == std::string_view::npos) return false;
            scanner_.advanceTo(pos + 9);
            cdataEnd_ = close;
            return true;
        }
        if (startsWith(pos, "<!DOCTYPE")) {
            if (sawRoot_) return false;
            return skipDoctype(pos + 9);
        }
        if (startsWith(pos, "</")) {
            const std::size_t nameEnd = readName(pos + 2);
            if (nameEnd == pos + 2 || stack_.empty()) return false;
            const Element& open = stack_.back();
            if (text_.compare(open.nameBegin, open.nameLength, text_, pos + 2, nameEnd - pos - 2) !=
                0)
                return false;
            const std::size_t close = skipSpace(nameEnd);
            if (close >= text_.size() || text_[close] != '>') return false;
            stack_.pop_back();
            scanner_.advanceTo(close + 1);
            return true;
        }
        const std::size_t nameEnd = readName(pos + 1);
        if (nameEnd == pos + 1) return false;
        if (stack_.empty() && sawRoot_) return false;  // a second root element
        std::size_t p = nameEnd;
        bool empty = false;
        for (;;) {
            p = skipSpace(p);
            if (p >= text_.size()) return false;
            if (text_[p] == '>') break;
            if (text_[p] == '/') {
                if (p + 1 >= text_.size() || text_[p + 1] != '>') return false;
                empty = true;
                ++p;
                break;
            }
            const std::size_t attrEnd = readName(p);
            if (attrEnd == p) return false;
            p = skipSpace(attrEnd);
            if (p >= text_.size() || text_[p] != '=') return false;
            p = skipSpace(p + 1);
            if (p >= text_.size() || (text_[p] != '"' && text_[p] != '\'')) return false;
            const std::size_t close = text_.find(text_[p], p + 1);
            if (close == std::string_view::npos) return false;
            p = close + 1;
        }
        sawRoot_ = true;
        const std::uint16_t parent = currentTag();
        std::uint16_t tag = parent;
        if (stack_.size() < kDeepestTagged)
            tag = paths_.lookup(parent, text_.substr(pos + 1, nameEnd - pos - 1));
        if (!empty) stack_.push_back({pos + 1, nameEnd - pos - 1, tag});
        scanner_.advanceTo(p + 1);
        return true;
    }

    WordScanner scanner_;
    std::string_view text_;
    PathRegistry& paths_;
    std::vector<Element> stack_;
    std::size_t cdataEnd_ = 0;
    bool sawRoot_ = false;
    bool failed_ = false;
};

class XmlParser : public Parser {
  public:
    std::string GetTagName(std::uint16_t tag) const override { return paths_.path(tag, label_); }

  protected:
    std::unique_ptr<TokenStream> makeStream() const override {
        return std::make_unique<XmlStream>(DocumentText(), GetLanguageTable(), paths_);
    }
    void documentOpened(const WordRecord& record) override {
        label_.assign(record.text.substr(0, kLongestLabel));
        while (!label_.empty() && label_.back() == '/') label_.pop_back();
    }
    void documentClosed() override {
        paths_.clear();
        label_.clear();
    }

  private:
    // Shared by every stream over the document; paths get their numbers in document order,
    // so the NextWord stream and the passage stream always agree.
    mutable PathRegistry paths_;
    std::string label_;
};

}  // namespace

std::unique_ptr<Parser> CreateXmlParser(const textfold::CharTable& table) {
    auto parser = std::make_unique<XmlParser>();
    parser->SetLanguageTable(table);
    return parser;
}

}  // namespace wordmill
