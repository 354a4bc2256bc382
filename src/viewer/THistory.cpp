#include "viewer/THistory.h"

#include <algorithm>

namespace vellumar {

THistory::THistory(int capacity, ButtonStates buttons)
    : capacity_(std::max(1, capacity)), buttons_(std::move(buttons)) {}

THistoryItem* THistory::Current() {
    return current_ >= 0 ? items_[static_cast<std::size_t>(current_)].get() : nullptr;
}

void THistory::UpdateButtons() {
    if (buttons_) buttons_(CanGoBack(), CanGoForward());
}

void THistory::Add(THistoryItem item) {
    ++current_;
    items_.erase(items_.begin() + current_, items_.end());  // the forward part goes
    if (current_ == capacity_) {
        items_.erase(items_.begin());
        --current_;
    }
    items_.push_back(std::make_unique<THistoryItem>(std::move(item)));
    UpdateButtons();
}

THistoryItem* THistory::Back() {
    if (current_ <= 0) return nullptr;
    --current_;
    UpdateButtons();
    return Current();
}

THistoryItem* THistory::Forward() {
    if (current_ >= Count() - 1) return nullptr;
    ++current_;
    UpdateButtons();
    return Current();
}

void THistory::Clear() {
    items_.clear();
    current_ = -1;
    UpdateButtons();
}

void THistory::RecordPositions(std::int32_t entryPosition, std::int32_t htmlPosition) {
    if (navigating_) return;
    if (THistoryItem* item = Current()) {
        item->entryPosition = entryPosition;
        item->htmlPosition = htmlPosition;
    }
}

void THistory::Record(THistoryItem item) {
    if (!navigating_) Add(std::move(item));
}

HistoryPlan planHistoryMove(const THistoryItem& target, const THistoryItem* left) {
    HistoryPlan plan;
    plan.query = target.query;
    plan.fileName = target.fileName;
    plan.entryPosition = target.entryPosition;
    plan.htmlPosition = target.htmlPosition;
    const std::string leftQuery = left ? left->query : std::string();
    const std::string leftFile = left ? left->fileName : std::string();
    if (!target.query.empty()) {
        const bool sameSearch = left && target.query == leftQuery && target.kind == left->kind;
        plan.move = sameSearch ? HistoryMove::ShowListedFile : HistoryMove::RunSearch;
    } else {
        plan.move = target.fileName != leftFile ? HistoryMove::LoadPage : HistoryMove::ScrollPage;
    }
    return plan;
}

int findListedFile(const std::vector<std::string>& listItems, const std::string& fileName) {
    const auto it = std::find(listItems.begin(), listItems.end(), fileName);
    return it == listItems.end() ? -1 : static_cast<int>(it - listItems.begin());
}

}  // namespace vellumar
