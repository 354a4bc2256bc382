// The viewer's back and forward history on the Search page: searches that found nothing,
// files viewed from the result list (with the search that listed them) and pages reached
// through links in the HTML display. Each item remembers where the user was (the entry
// reached and the HTML display's scroll position), so that coming back restores the place.
//
// THistory holds at most `capacity` items (20 for the main window); recording something
// new after moving back drops the forward part. While a move is carried out (navigating),
// nothing new is recorded. The window's buttons follow CanGoBack / CanGoForward through
// the callback given at creation, which runs after every change.
//
// planHistoryMove decides what a move to an item means (run the search again, show a
// listed file, load a page, or only scroll), so that the window merely carries it out.
//
// Ownership: the main window owns one THistory; the items belong to it. Thread: the main
// thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vellumar {

struct THistoryItem {
    std::string query;               // the search that led here; empty for a page from a link
    std::uint8_t kind = 1;           // always 1; compared when moving
    std::string fileName;            // the viewed file or page; empty for a search without files
    std::int32_t entryPosition = 0;  // 0-based entry shown when the user left
    std::int32_t htmlPosition = 0;   // the HTML display's scroll position when the user left
};

class THistory {
  public:
    using ButtonStates = std::function<void(bool backEnabled, bool forwardEnabled)>;

    explicit THistory(int capacity = 20, ButtonStates buttons = {});

    // The current item, or null when the history is empty.
    THistoryItem* Current();
    void Add(THistoryItem item);
    // Moves one step and returns the item moved to; null (and no move) at either end.
    THistoryItem* Back();
    THistoryItem* Forward();
    void Clear();
    void UpdateButtons();

    bool CanGoBack() const { return current_ > 0; }
    bool CanGoForward() const { return current_ < Count() - 1; }
    int Count() const { return static_cast<int>(items_.size()); }
    int CurrentIndex() const { return current_; }
    const THistoryItem& Item(int i) const { return *items_[static_cast<std::size_t>(i)]; }
    int Capacity() const { return capacity_; }

    // True while a back or forward move is carried out: recording is suppressed.
    bool Navigating() const { return navigating_; }
    void SetNavigating(bool navigating) { navigating_ = navigating; }

    // The recording points of searches, previews and links: the current item takes the
    // positions the user leaves, and a new item is added; both only while not navigating.
    void RecordPositions(std::int32_t entryPosition, std::int32_t htmlPosition);
    void Record(THistoryItem item);

  private:
    int capacity_;
    ButtonStates buttons_;
    std::vector<std::unique_ptr<THistoryItem>> items_;
    int current_ = -1;
    bool navigating_ = false;
};

// Sets the history's navigating flag for its lifetime.
class HistoryNavigation {
  public:
    explicit HistoryNavigation(THistory& history) : history_(history) {
        history_.SetNavigating(true);
    }
    ~HistoryNavigation() { history_.SetNavigating(false); }
    HistoryNavigation(const HistoryNavigation&) = delete;
    HistoryNavigation& operator=(const HistoryNavigation&) = delete;

  private:
    THistory& history_;
};

enum class HistoryMove {
    RunSearch,       // put the query into the search box and search again
    ShowListedFile,  // select fileName in the result list (if it is on the page) and show it
    LoadPage,        // load fileName into the HTML display at htmlPosition
    ScrollPage,      // the page is shown already: only scroll to htmlPosition
};

struct HistoryPlan {
    HistoryMove move = HistoryMove::RunSearch;
    std::string query;
    std::string fileName;
    std::int32_t entryPosition = 0;  // where the preview starts
    std::int32_t htmlPosition = 0;
};

// What moving from `left` (the item current before the move; may be null) to `target`
// means.
HistoryPlan planHistoryMove(const THistoryItem& target, const THistoryItem* left);

// The position of fileName among the result list's items, or -1. Paths compare exactly:
// the file system tells upper and lower case apart.
int findListedFile(const std::vector<std::string>& listItems, const std::string& fileName);

}  // namespace vellumar
