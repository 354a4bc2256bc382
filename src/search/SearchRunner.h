// Running a query from the Search page: everything of "&Search" that is not widget work.
// The session bracket around the query, the stay-on file, the engine call with the
// window's messages let through (that is how "&Cancel" reaches it), the failure message
// for the engine's error code, the sort order, the query history, and the first page of
// results, started where the previously viewed file is.
//
// The Search page's handler disables the list, shows "&Cancel" and clears the results
// before calling Run, and writes the outcome back into its controls afterwards; while
// Run works, a second press of the button calls Cancel.
//
// Owned by the Search page (or the command-line tool). Main thread only; Cancel is
// called from inside Run (through the pending messages) on the same thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/UserInterface.h"
#include "search/ResultPager.h"
#include "vellcore/IndexObject.h"

namespace vellumar {

// The sort boxes: stored as Sorting 1 (alphabetically) and 2 (by relevancy).
enum class SortOrder { Engine = 0, Alphabetical = 1, Relevance = 2 };
SortOrder sortOrderFromSetting(std::int32_t sorting);

struct SearchRequest {
    std::string text;  // the search box as typed (trimmed here)
    SortOrder sort = SortOrder::Engine;
    bool stayOn = true;      // "&Stay on previously viewed"
    std::string viewedFile;  // the file shown in the preview, empty when none
    int pageSize = kDefaultPageSize;
};

struct SearchFailure {
    int code = 0;
    std::string message;
    MessageIcon icon = MessageIcon::Warning;
};

// The message for a failed query: by the engine's error code.
SearchFailure failureForCode(int code);

struct SearchOutcome {
    std::string query;  // the trimmed query: the "current query" of the program
    std::optional<SearchFailure> failure;
    int files = 0;
    std::int64_t entries = 0;
    bool cancelled = false;
    // The page-relative item to select and preview, -1 for none (stay-on only).
    int selectOnPage = -1;
};

class SearchRunner {
  public:
    explicit SearchRunner(UserInterface& ui) : ui_(ui) {}

    // Runs the query against an index opened for searching. On success the query joins
    // history and pager holds the first page (the page with the viewed file when stay-on
    // is asked and the file is among the results). On failure pager is left empty.
    SearchOutcome Run(vellcore::IndexObject& index, const SearchRequest& request,
                      ResultPager& pager, std::vector<std::string>& history);

    // "&Cancel": ends the running query; it then returns the files found so far.
    void Cancel();
    bool Running() const { return running_ != nullptr; }

  private:
    UserInterface& ui_;
    vellcore::IndexObject* running_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace vellumar
