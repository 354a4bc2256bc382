// The texts of the refining searches: "Search for Selected Word" (the selected text
// reduced to its words), "Search among Files Found" (the last query joined with a new
// one) and the advanced search's element query.
//
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "textfold/TextFold.h"

namespace vellumar {

// The selected text as a query: runs of word characters (by the language's table) are
// kept and separated by one blank; one-letter words are dropped, except a one-letter
// word that ends the text; everything else goes. "a cat, the dog" gives "cat the dog".
std::string filterSelectedWords(const textfold::CharTable& table, std::string_view text);

// "(" + last + ") & (" + text + ")", or text alone when there was no last query.
std::string researchExpression(const std::string& lastQuery, const std::string& text);

// The dialog's own list of expressions: text is added at the end unless an entry equal
// to it ignoring case is there. Returns whether it was added.
bool rememberResearchText(std::vector<std::string>& list, const std::string& text);

// The advanced search's expression: path + "[" + words + "]", or the words alone while no
// element is selected.
std::string elementExpression(const std::string& elementPath, const std::string& words);

// What the search box becomes on OK: the expression alone for a new query, else the
// current query (trimmed) + " & " + the expression (the expression alone when the
// current query is empty).
std::string advancedSearchQuery(bool newQuery, const std::string& currentQuery,
                                const std::string& expression);

}  // namespace vellumar
