#include "search/SearchRunner.h"

#include "search/SearchHistory.h"

namespace vellumar {

namespace {

// Ends the session on every way out, and leaves the engine without a callback into a
// user interface that may be gone by the next query.
class RunningQuery {
  public:
    RunningQuery(vellcore::IndexObject& index, vellcore::IndexObject*& running)
        : index_(index), running_(running) {
        index_.BeginSession();
        running_ = &index_;
    }
    ~RunningQuery() {
        running_ = nullptr;
        index_.SetProgressCallback({});
        index_.EndSession();
    }
    RunningQuery(const RunningQuery&) = delete;
    RunningQuery& operator=(const RunningQuery&) = delete;

  private:
    vellcore::IndexObject& index_;
    vellcore::IndexObject*& running_;
};

}  // namespace

SortOrder sortOrderFromSetting(std::int32_t sorting) {
    if (sorting == 1) return SortOrder::Alphabetical;
    if (sorting == 2) return SortOrder::Relevance;
    return SortOrder::Engine;
}

SearchFailure failureForCode(int code) {
    switch (code) {
        case vellcore::kNoSpace:
            return {code, "Out of memory or disk space.", MessageIcon::Error};
        case vellcore::kStopWordsOnly:
            return {code,
                    "No files can be found. May be the query contains only stop words. See the "
                    "list of stop words in the \"Options\"/\"Edit Stop-words\"",
                    MessageIcon::Warning};
        default:
            return {code, "Search operation failed. Make sure\rthe search expression is correct",
                    MessageIcon::Warning};
    }
}

SearchOutcome SearchRunner::Run(vellcore::IndexObject& index, const SearchRequest& request,
                                ResultPager& pager, std::vector<std::string>& history) {
    SearchOutcome outcome;
    cancelled_ = false;
    pager.Reset(0);
    RunningQuery session(index, running_);
    // The engine only remembers the name; nothing here can fail.
    if (request.stayOn && !request.viewedFile.empty()) index.SetStayOnFile(request.viewedFile);
    outcome.query = trimQuery(request.text);
    index.SetProgressCallback([this] { ui_.processPendingMessages(); });

    int files = 0;
    std::int64_t entries = 0;
    const int position = index.RunQuery(outcome.query, files, entries);
    outcome.cancelled = cancelled_;
    if (position == 0) {
        outcome.failure = failureForCode(index.GetErrorCode());
        index.ClearError();
        return outcome;
    }
    if (request.sort != SortOrder::Engine) {
        // A sort that fails leaves the engine's order, which is still a valid answer.
        const vellcore::ResultOrder order =
            request.sort == SortOrder::Alphabetical ? vellcore::kByName : vellcore::kByRelevance;
        if (!index.SortResults(order)) index.ClearError();
    }
    rememberQuery(history, outcome.query);
    outcome.files = files;
    outcome.entries = entries;
    if (files == 0) return outcome;

    // The viewed file's place after sorting: the engine's first answer counts in its own
    // order, which the sort has just changed.
    const int viewed = request.stayOn ? index.GetStayOnFilePosition() : 0;
    const bool stay = viewed >= 1 && viewed <= files;
    pager.Reset(files, stay ? viewed - 1 : 0);
    pager.FillResultPage(&index, PageMode::Current, request.pageSize);
    if (stay) outcome.selectOnPage = pager.pageIndexOf(viewed - 1);
    return outcome;
}

void SearchRunner::Cancel() {
    if (!running_) return;
    cancelled_ = true;
    running_->CancelSearch();
}

}  // namespace vellumar
