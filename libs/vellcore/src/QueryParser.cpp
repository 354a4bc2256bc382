#include "QueryParser.h"

#include <algorithm>

namespace vellcore {

namespace {

enum class Tok { Word, Path, And, Or, Not, Open, Close, OpenBracket, CloseBracket, Near, End };

struct Token {
    Tok type = Tok::End;
    std::string_view text;
    int distance = 0;
    std::size_t column = 0;  // 1-based, for messages
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool isOperator(char c) {
    switch (c) {
        case '&':
        case '|':
        case '!':
        case '(':
        case ')':
        case '[':
        case ']':
        case '~':
            return true;
        default:
            return false;
    }
}

std::string describe(const Token& t) {
    switch (t.type) {
        case Tok::End:
            return "the end of the query";
        case Tok::Near:
            return "\"~\"";
        default:
            return "\"" + std::string(t.text) + "\"";
    }
}

class Parser {
  public:
    Parser(std::string_view text, const CharTable& table, int maxWordLength)
        : text_(text), table_(table), maxWordLength_(maxWordLength) {}

    ParsedQuery run() {
        ParsedQuery result;
        if (!lex()) {
            result.error = error_;
            return result;
        }
        if (peek().type == Tok::End) {
            result.error = "the query is empty";
            return result;
        }
        auto root = parseOr(0);
        if (root && peek().type != Tok::End) {
            const Token& t = peek();
            setError(t, t.type == Tok::Close          ? "\")\" without its \"(\""
                        : t.type == Tok::CloseBracket ? "\"]\" without its \"[\""
                                                      : "unexpected " + describe(t));
            root.reset();
        }
        if (!root) result.error = error_;
        result.root = std::move(root);
        return result;
    }

  private:
    bool lex() {
        std::size_t i = 0;
        while (true) {
            while (i < text_.size() && isSpace(text_[i])) ++i;
            Token t;
            t.column = i + 1;
            if (i == text_.size()) {
                tokens_.push_back(t);
                return true;
            }
            const char c = text_[i];
            if (isOperator(c)) {
                t.text = text_.substr(i, 1);
                ++i;
                switch (c) {
                    case '&':
                        t.type = Tok::And;
                        break;
                    case '|':
                        t.type = Tok::Or;
                        break;
                    case '!':
                        t.type = Tok::Not;
                        break;
                    case '(':
                        t.type = Tok::Open;
                        break;
                    case ')':
                        t.type = Tok::Close;
                        break;
                    case '[':
                        t.type = Tok::OpenBracket;
                        break;
                    case ']':
                        t.type = Tok::CloseBracket;
                        break;
                    default: {
                        t.type = Tok::Near;
                        std::size_t j = i;
                        long long n = 0;
                        while (j < text_.size() && text_[j] >= '0' && text_[j] <= '9') {
                            n = std::min<long long>(n * 10 + (text_[j] - '0'),
                                                    kMaxNearDistance + 1);
                            ++j;
                        }
                        if (j == i) {
                            t.distance = kDefaultNearDistance;
                        } else if (n > kMaxNearDistance) {
                            setError(t, "the distance after \"~\" is larger than " +
                                            std::to_string(kMaxNearDistance));
                            return false;
                        } else {
                            t.distance = static_cast<int>(n);
                        }
                        i = j;
                    }
                }
                tokens_.push_back(t);
                continue;
            }
            std::size_t j = i;
            while (j < text_.size() && !isSpace(text_[j]) && !isOperator(text_[j])) ++j;
            t.text = text_.substr(i, j - i);
            t.type = Tok::Word;
            if (c == '/') {
                // A run that begins with "/" is an element path when "[" follows; otherwise
                // it is searched as words ("/usr/bin" is the phrase usr bin).
                std::size_t k = j;
                while (k < text_.size() && isSpace(text_[k])) ++k;
                if (k < text_.size() && text_[k] == '[') t.type = Tok::Path;
            }
            tokens_.push_back(t);
            i = j;
        }
    }

    const Token& peek() const { return tokens_[pos_]; }
    const Token& next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

    void setError(const Token& at, const std::string& what) {
        if (error_.empty()) error_ = what + " (column " + std::to_string(at.column) + ")";
    }

    bool tooDeep(int depth) {
        if (depth <= kMaxQueryDepth) return false;
        setError(peek(), "the query is nested too deeply");
        return true;
    }

    std::unique_ptr<QueryNode> combine(QueryKind kind, std::unique_ptr<QueryNode> first, Tok op,
                                       int depth) {
        if (!first || peek().type != op) return first;
        auto node = std::make_unique<QueryNode>();
        node->kind = kind;
        node->children.push_back(std::move(first));
        while (peek().type == op) {
            next();
            auto operand = kind == QueryKind::Or ? parseAnd(depth) : parseNot(depth);
            if (!operand) return nullptr;
            node->children.push_back(std::move(operand));
        }
        return node;
    }

    std::unique_ptr<QueryNode> parseOr(int depth) {
        if (tooDeep(depth)) return nullptr;
        return combine(QueryKind::Or, parseAnd(depth), Tok::Or, depth);
    }

    std::unique_ptr<QueryNode> parseAnd(int depth) {
        return combine(QueryKind::And, parseNot(depth), Tok::And, depth);
    }

    std::unique_ptr<QueryNode> parseNot(int depth) {
        if (peek().type != Tok::Not) return parseNear(depth);
        if (tooDeep(depth + 1)) return nullptr;
        next();
        auto child = parseNot(depth + 1);
        if (!child) return nullptr;
        auto node = std::make_unique<QueryNode>();
        node->kind = QueryKind::Not;
        node->children.push_back(std::move(child));
        return node;
    }

    std::unique_ptr<QueryNode> parseNear(int depth) {
        const Token& firstToken = peek();
        auto first = parseUnit(depth);
        if (!first || peek().type != Tok::Near) return first;
        auto node = std::make_unique<QueryNode>();
        node->kind = QueryKind::Near;
        if (first->kind != QueryKind::Phrase) {
            setError(firstToken, "\"~\" joins words or phrases, not groups or element queries");
            return nullptr;
        }
        node->children.push_back(std::move(first));
        while (peek().type == Tok::Near) {
            // In a chain the largest distance applies to the whole group.
            node->distance = std::max(node->distance, next().distance);
            const Token& at = peek();
            auto operand = parseUnit(depth);
            if (!operand) return nullptr;
            if (operand->kind != QueryKind::Phrase) {
                setError(at, "\"~\" joins words or phrases, not groups or element queries");
                return nullptr;
            }
            node->children.push_back(std::move(operand));
        }
        return node;
    }

    std::unique_ptr<QueryNode> parseUnit(int depth) {
        const Token& t = peek();
        std::unique_ptr<QueryNode> unit;
        switch (t.type) {
            case Tok::Word: {
                unit = std::make_unique<QueryNode>();
                unit->kind = QueryKind::Phrase;
                while (peek().type == Tok::Word) {
                    for (QueryAtom& a : splitQueryToken(table_, maxWordLength_, next().text))
                        unit->atoms.push_back(std::move(a));
                }
                break;
            }
            case Tok::Open: {
                next();
                unit = parseOr(depth + 1);
                if (!unit) return nullptr;
                if (peek().type != Tok::Close) {
                    setError(peek(), "\")\" is missing for the \"(\" at column " +
                                         std::to_string(t.column));
                    return nullptr;
                }
                next();
                break;
            }
            case Tok::Path: {
                unit = std::make_unique<QueryNode>();
                unit->kind = QueryKind::Element;
                std::string why;
                if (!parsePathPattern(t.text, unit->path, why)) {
                    setError(t, why);
                    return nullptr;
                }
                next();
                const Token& open = next();  // the lexer saw the "["
                auto inner = parseOr(depth + 1);
                if (!inner) return nullptr;
                if (peek().type != Tok::CloseBracket) {
                    setError(peek(), "\"]\" is missing for the \"[\" at column " +
                                         std::to_string(open.column));
                    return nullptr;
                }
                next();
                unit->children.push_back(std::move(inner));
                break;
            }
            case Tok::OpenBracket:
                setError(t, "\"[\" must follow an element path such as /a/b or //b");
                return nullptr;
            case Tok::End:
                setError(t, "a word is missing at the end of the query");
                return nullptr;
            default:
                setError(t, "a word is missing before " + describe(t));
                return nullptr;
        }
        const Tok after = peek().type;
        if (after == Tok::Word || after == Tok::Path || after == Tok::Open) {
            setError(peek(), "an operator (& or |) is missing before " + describe(peek()));
            return nullptr;
        }
        return unit;
    }

    std::string_view text_;
    const CharTable& table_;
    int maxWordLength_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

ParsedQuery parseQuery(std::string_view text, const CharTable& table, int maxWordLength) {
    if (text.size() > kMaxQueryBytes) {
        ParsedQuery result;
        result.error = "the query is longer than " + std::to_string(kMaxQueryBytes) + " bytes";
        return result;
    }
    return Parser(text, table, maxWordLength).run();
}

}  // namespace vellcore
