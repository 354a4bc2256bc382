// The result list's pages: which found files one page shows, the paging arithmetic of the
// four page buttons, and the pictures that mark listed files changed since the search.
//
// A page holds only its own names and stamps, fetched from the engine when the page is
// filled; the engine keeps the whole result list. Paging through 200,000 found files
// therefore costs one page of GetResult calls and memory in proportion to the page size.
//
// Page size: the text of the "Show maximum files" box as a whole number; 100 when it is
// not a number, is negative, or is 0 (a page of no files would leave the user nothing to
// page through), and never more than the files found.
//
// Owned by the Search page (or the command-line tool); main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vellcore/IndexObject.h"

namespace vellumar {

inline constexpr int kDefaultPageSize = 100;

// 0 = the page at the current start, 1 next, 2 last, -1 previous, -2 first.
enum class PageMode { Current = 0, Next = 1, Last = 2, Previous = -1, First = -2 };

// None, the modified picture, the deleted picture.
enum class ItemPicture { None, Modified, Deleted };

int pageSizeFromText(std::string_view text);

// An archive member ("archive//member") is never opened with the desktop, never marked
// deleted.
bool isArchiveMember(std::string_view name);

struct ResultPage {
    int start = 0;  // result number of the first listed file
    int end = 0;    // one past the last listed file
    std::vector<std::string> names;
    std::vector<vellcore::Stamp> stamps;
    std::vector<ItemPicture> pictures;
    std::string label;          // "Records: 101-200"
    bool canGoBack = false;     // "<<" and "<-"
    bool canGoForward = false;  // "->" and ">>"
};

class ResultPager {
  public:
    // How a listed name is shown: identity, or the CD-ROM retargeting to the mount point.
    using NameMapper = std::function<std::string(const std::string&)>;

    // A new search found total files; the page starts at start (clamped later).
    void Reset(int total, int start = 0);
    // Empties the page (the results were cleared); the total and start stay.
    void ClearPage();

    // Fills the page from the engine's current result order. Returns the new page start,
    // or -1 without an index (the page is then empty). A GetResult that fails ends the
    // page early; lastError() then tells the engine's code.
    int FillResultPage(vellcore::IndexObject* index, PageMode mode, int pageSize);

    // Marks the listed files the index no longer holds as they were listed: the modified
    // picture when the stored stamp differs, the deleted picture when the file is gone
    // from the index (never for archive members). Does nothing and returns false in the
    // CD-ROM mode, where the listed names are not the indexed ones.
    bool MarkChangedResults(vellcore::IndexObject& index, bool runFromCd);

    void setNameMapper(NameMapper mapper) { mapper_ = std::move(mapper); }
    const ResultPage& page() const { return page_; }
    int total() const { return total_; }
    int start() const { return start_; }
    int lastError() const { return lastError_; }
    // The page-relative index of result number n, or -1 when it is not on the page.
    int pageIndexOf(int resultNumber) const;

  private:
    int total_ = 0;
    int start_ = 0;
    int lastError_ = 0;
    ResultPage page_;
    NameMapper mapper_;
};

}  // namespace vellumar
