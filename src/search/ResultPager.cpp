#include "search/ResultPager.h"

#include <algorithm>
#include <charconv>

namespace vellumar {

int pageSizeFromText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value <= 0)
        return kDefaultPageSize;
    return value;
}

bool isArchiveMember(std::string_view name) { return name.find("//") != std::string_view::npos; }

void ResultPager::Reset(int total, int start) {
    total_ = std::max(total, 0);
    start_ = std::max(start, 0);
    ClearPage();
}

void ResultPager::ClearPage() {
    page_ = ResultPage{};
    lastError_ = 0;
}

int ResultPager::FillResultPage(vellcore::IndexObject* index, PageMode mode, int pageSize) {
    ClearPage();
    if (!index) return -1;
    if (total_ == 0) return start_ = 0;  // nothing to list, no "Records: 1-0"
    const int size = std::min(pageSize > 0 ? pageSize : kDefaultPageSize, total_);
    // 64-bit arithmetic: a start near the top of int plus a page must not wrap.
    std::int64_t start = start_;
    switch (mode) {
        case PageMode::Current:
            break;
        case PageMode::Next:
            start += size;
            break;
        case PageMode::Last:
            start = std::int64_t{total_} - size;
            break;
        case PageMode::Previous:
            start -= size;
            break;
        case PageMode::First:
            start = 0;
            break;
    }
    if (start < 0) start = 0;
    std::int64_t end = start + size;
    if (end > total_) {
        // The last page is moved back so that it stays full.
        start = std::max<std::int64_t>(std::int64_t{total_} - size, 0);
        end = total_;
    }
    page_.names.reserve(static_cast<std::size_t>(end - start));
    page_.stamps.reserve(static_cast<std::size_t>(end - start));
    std::string name;
    for (std::int64_t i = start; i < end; ++i) {
        vellcore::Stamp stamp = 0;
        if (!index->GetResult(static_cast<int>(i), name, stamp)) {
            lastError_ = index->GetErrorCode();
            index->ClearError();
            end = i;
            break;
        }
        // Only the part before a NUL is a name.
        if (const auto nul = name.find('\0'); nul != std::string::npos) name.resize(nul);
        page_.names.push_back(mapper_ ? mapper_(name) : name);
        page_.stamps.push_back(stamp);
    }
    page_.pictures.assign(page_.names.size(), ItemPicture::None);
    page_.start = static_cast<int>(start);
    page_.end = static_cast<int>(end);
    page_.label = "Records: " + std::to_string(start + 1) + "-" + std::to_string(end);
    page_.canGoBack = start > 0;
    page_.canGoForward = end < total_;
    start_ = static_cast<int>(start);
    return start_;
}

bool ResultPager::MarkChangedResults(vellcore::IndexObject& index, bool runFromCd) {
    if (runFromCd) return false;
    for (std::size_t p = 0; p < page_.names.size(); ++p) {
        vellcore::Stamp stored = 0;
        if (index.FindDocument(page_.names[p], stored)) {
            page_.pictures[p] =
                stored == page_.stamps[p] ? ItemPicture::None : ItemPicture::Modified;
        } else if (index.GetErrorCode() != 0) {
            // The index could not be asked: say nothing rather than something wrong.
            index.ClearError();
        } else if (!isArchiveMember(page_.names[p])) {
            page_.pictures[p] = ItemPicture::Deleted;
        }
    }
    return true;
}

int ResultPager::pageIndexOf(int resultNumber) const {
    if (resultNumber < page_.start || resultNumber >= page_.end) return -1;
    return resultNumber - page_.start;
}

}  // namespace vellumar
