// The Cache Watcher's own pages: the start pages, the messages shown as pages, the
// decision what a submitted form asks for, and the result page of a search.
//
// Everything that comes from outside the program (the query, file names, page titles,
// addresses) is escaped for HTML before it is put into a page, and only web addresses
// (http, https, ftp) become links: a page must never run what a cached page or a query
// brought along.
//
// Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellumar::cachewatch {

inline constexpr const char* kFormFileName = "form.htm";
inline constexpr const char* kCreateIndexAction = "Create_Cache_Watcher_Index";
inline constexpr const char* kSearchAction = "Execute_Search_Query";
inline constexpr const char* kSearchField = "SearchExpr";

extern const char* const kCreateIndexPage;
extern const char* const kSearchErrorPage;
extern const char* const kNothingFoundPage;
extern const char* const kCannotCreateResultFilePage;
extern const char* const kCannotWriteResultFilePage;

// The page telling that none of the browsers was found, naming them in the order given:
// "You have not neither A nor B nor C installed on your computer."
std::string noBrowserPage(const std::vector<std::string>& browsersLookedFor);

enum class StartPageKind { SearchForm, CreateIndex, NoBrowser };
// Which start page to show: the search form when the index exists, else the offer to
// create it when any browser cache was found, else the page naming the browsers.
StartPageKind chooseStartPage(bool indexExists, bool anyCacheFound);

using FormFields = std::vector<std::pair<std::string, std::string>>;

// Fields of a form encoded as application/x-www-form-urlencoded ("a=b&c=d", "+" for a
// blank, %XX for a byte).
FormFields parseFormFields(std::string_view encoded);

enum class FormStep {
    Nothing,         // an action the program does not know
    CreateIndex,     // create the index, then show the start page
    ShowStartPage,   // the index exists already: show the start page again
    ShowCreatePage,  // a search without the index: offer to create it
    Search,          // search for query
};
struct FormDecision {
    FormStep step = FormStep::Nothing;
    std::string query;
};
// What a form submitted from the Cache Watcher's display asks for. Actions are compared
// exactly; the query is the first field named "SearchExpr" (empty when there is none).
FormDecision decideFormSubmission(std::string_view action, const FormFields& fields,
                                  bool indexExists);

// Text for HTML: & < > " ' escaped.
std::string escapeHtml(std::string_view text);
// The address when it is a web address (http, https or ftp, compared without regard to
// case), else empty: "javascript:", "data:" and the like never become links.
std::string linkableAddress(std::string_view address);

// The result page of a search, built file by file.
class ResultPage {
  public:
    // errorLogNote: text for the header's slot after the count of files (for example where
    // the list of files that could not be indexed is), or empty.
    ResultPage(std::string_view query, std::int64_t entries, int files,
               std::string_view errorLogNote);

    // A found file that no parser could open.
    void addUnreadableFile(std::string_view name);
    // A found file: its address (linked when it is a web address), its link text (plain
    // text; the name stands in when it is empty) and its passages (HTML, as the parser
    // delivers them: text escaped, found words in <b>).
    void addFile(std::string_view name, std::string_view address, std::string_view linkText,
                 const std::vector<std::string>& passages);

    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

}  // namespace vellumar::cachewatch
