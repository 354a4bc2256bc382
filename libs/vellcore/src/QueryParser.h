// The query language's syntax (docs/query-syntax.md): words side by side form a phrase;
// "~" or "~N" joins phrases that must stand near each other; "!" negates; "&" and "|"
// combine; parentheses group; "/a/b[...]" and "//b[...]" restrict to elements.
// Precedence, tightest first: phrase, ~, !, &, |.
//
// The parser only builds the tree and folds the words; stop-words, word lengths and the
// index's vocabulary are applied later (QueryPlan). It never throws: a malformed query
// gives an error message with the column where it went wrong.
//
// Threads: pure.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Fields.h"
#include "Words.h"

namespace vellcore {

enum class QueryKind { Or, And, Not, Near, Phrase, Element };

struct QueryNode {
    QueryKind kind = QueryKind::Phrase;
    std::vector<std::unique_ptr<QueryNode>> children;  // Or/And/Near: 2+; Not/Element: 1
    std::vector<QueryAtom> atoms;                      // Phrase: its words in order
    int distance = 0;                                  // Near: words allowed between
    PathPattern path;                                  // Element
};

constexpr int kDefaultNearDistance = 10;
constexpr int kMaxNearDistance = 10000;
constexpr int kMaxQueryDepth = 64;
constexpr std::size_t kMaxQueryBytes = 64 * 1024;

struct ParsedQuery {
    std::unique_ptr<QueryNode> root;  // null on error
    std::string error;
};

ParsedQuery parseQuery(std::string_view text, const CharTable& table, int maxWordLength);

}  // namespace vellcore
