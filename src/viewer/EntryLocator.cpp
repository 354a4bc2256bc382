#include "viewer/EntryLocator.h"

#include <algorithm>
#include <exception>

#include "textfold/TextFold.h"

namespace vellumar {

namespace {

constexpr std::size_t kKeptWords = 1024;
constexpr std::int64_t kDisplayLookAhead = 1 << 16;

char16_t foldNonAscii(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
    const char32_t upper = textfold::unicodeUpper(unit);
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : unit;
}

inline char16_t foldUnit(char16_t unit) {
    if (unit < 0x80) return (unit >= 'a' && unit <= 'z') ? static_cast<char16_t>(unit - 32) : unit;
    return foldNonAscii(unit);
}

// A word of the document as the display search compares it.
void foldWord(std::string_view word, std::u16string& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos < word.size()) {
        const auto b = static_cast<unsigned char>(word[pos]);
        if (b < 0x80) {
            out += foldUnit(b);
            ++pos;
            continue;
        }
        const char32_t cp = textfold::nextUtf8(word, pos);
        if (cp > 0xFFFF) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += foldUnit(static_cast<char16_t>(cp));
        }
    }
}

std::size_t bytesOfChars(std::string_view text, std::size_t byte, std::int32_t chars) {
    for (std::int32_t i = 0; i < chars && byte < text.size(); ++i) textfold::nextUtf8(text, byte);
    return byte;
}

}  // namespace

char16_t FoldDisplayUnit(char16_t unit) { return foldUnit(unit); }

EntryLocator::EntryLocator(wordmill::Parser& parser, std::vector<vellcore::HitRecord> hits,
                           UserInterface* ui)
    : parser_(parser), hits_(std::move(hits)), entries_(hits_.size()), ui_(ui) {}

void EntryLocator::SetHtmlDisplayText(const std::u16string& text) {
    display_.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) display_[i] = foldUnit(text[i]);
    htmlMode_ = true;
    std::fill(entries_.begin(), entries_.end(), EntryRange{});
    if (wordsRead_ > 0) rewind();
}

void EntryLocator::rewind() {
    parser_.Rewind();
    kept_.clear();
    pending_.clear();
    nextNumber_ = 0;
    ended_ = false;
    failed_ = false;
    displayPos_ = 0;
    ++rewinds_;
}

bool EntryLocator::isHiddenTag(std::uint16_t tag) {
    if (tag == 0) return false;
    auto it = hiddenTags_.find(tag);
    if (it == hiddenTags_.end())
        it = hiddenTags_.emplace(tag, parser_.GetTagName(tag) == "title").first;
    return it->second;
}

bool EntryLocator::findInDisplay(const std::u16string& word, std::int64_t from, std::int64_t limit,
                                 std::int64_t& start, std::int64_t& end) const {
    limit = std::min<std::int64_t>(limit, static_cast<std::int64_t>(display_.size()));
    if (word.empty() || from >= limit) return false;
    const std::u16string_view window(display_.data() + from,
                                     static_cast<std::size_t>(limit - from));
    const std::size_t at = window.find(word);
    if (at == std::u16string_view::npos) return false;
    start = from + static_cast<std::int64_t>(at);
    end = start + static_cast<std::int64_t>(word.size());
    return true;
}

void EntryLocator::align(Word& word, const std::u16string& text, const Word* next,
                         const std::u16string& nextText) {
    word.aligned = true;
    if (word.hidden) return;
    std::int64_t start = 0, end = 0;
    const std::int64_t limit =
        displayPos_ + kDisplayLookAhead + static_cast<std::int64_t>(text.size());
    if (!findInDisplay(text, displayPos_, limit, start, end)) return;
    // The next word met first means this one is not shown: taking the later find would
    // put this word, and every word after it, in the wrong place.
    std::int64_t nextStart = 0, nextEnd = 0;
    if (next && !next->hidden && findInDisplay(nextText, displayPos_, start, nextStart, nextEnd))
        return;
    word.displayStart = start;
    word.displayEnd = end;
    displayPos_ = end;
}

bool EntryLocator::readWord() {
    if (ended_ || interrupted_) return false;
    if (!parser_.NextWord(record_)) {
        ended_ = true;
        failed_ = record_.position == wordmill::kParseFailed;
        if (htmlMode_ && !kept_.empty() && !kept_.back().aligned)
            align(kept_.back(), pending_, nullptr, {});
        return false;
    }
    // Numbers only grow; they may jump over words left out for their length.
    if (record_.position < nextNumber_) {
        interrupted_ = true;
        return false;
    }
    ++wordsRead_;
    Word& word = kept_.emplace_back();
    if (kept_.size() > kKeptWords) kept_.pop_front();
    word.number = record_.position;
    word.offset = record_.offset;
    word.span = record_.span > 0 ? record_.span : record_.length;
    word.byteOffset = record_.byteOffset;
    word.aligned = !htmlMode_;
    nextNumber_ = word.number + 1;
    lastNumberRead_ = word.number;
    if (htmlMode_) {
        word.hidden = isHiddenTag(record_.tag);
        foldWord(record_.text, incoming_);
        // A word's display place is decided once the word after it is known.
        if (kept_.size() >= 2 && !kept_[kept_.size() - 2].aligned)
            align(kept_[kept_.size() - 2], pending_, &word, incoming_);
        pending_.swap(incoming_);
    }
    return true;
}

bool EntryLocator::wordNumbered(std::int64_t number, Word& out) {
    const auto kept = [&] {
        return !kept_.empty() && number >= kept_.front().number && number <= kept_.back().number;
    };
    if (!kept()) {
        if (number < nextNumber_) rewind();
        bool found = false;
        while (readWord()) {
            if (kept_.back().number >= number) {
                found = kept_.back().number == number;
                break;
            }
        }
        if (!found) return false;
    }
    // Kept words are in number order, with gaps where words were left out.
    const auto at = [&]() -> const Word* {
        const auto it =
            std::lower_bound(kept_.begin(), kept_.end(), number,
                             [](const Word& w, std::int64_t n) { return w.number < n; });
        return it != kept_.end() && it->number == number ? &*it : nullptr;
    };
    const Word* word = at();
    if (!word) return false;
    if (!word->aligned) {
        readWord();  // decides the display place of the word before it
        word = at();
        if (!word) return false;
    }
    out = *word;
    return true;
}

bool EntryLocator::lastKeptUpTo(std::int64_t number, Word& out) const {
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
        if (it->number <= number) {
            out = *it;
            return true;
        }
    return false;
}

void EntryLocator::reportParseError() {
    if (!ui_ || errorShown_) return;
    errorShown_ = true;
    ui_->showMessage("Error of file parsing.\rword num: " + std::to_string(lastNumberRead_),
                     MessageIcon::Warning, MessageButtons::Ok);
}

const EntryRange& EntryLocator::LocateEntry(std::size_t i) {
    EntryRange& entry = entries_[i];
    if (entry.state != EntryRange::State::Unlocated) return entry;
    const vellcore::HitRecord hit = hits_[i];
    if (hit.firstWord == vellcore::kNoPosition) {
        entry.state = EntryRange::State::NoPosition;
        return entry;
    }
    try {
        const std::int64_t first = hit.firstWord;
        const std::int64_t last = first + std::max<std::int64_t>(hit.wordCount, 1) - 1;
        Word start, end;
        if (!wordNumbered(first, start)) {
            entry.state = EntryRange::State::NotFound;
            if (failed_) reportParseError();
            return entry;
        }
        end = start;
        // A phrase whose last word was left out for its length, or cut short by the end
        // of the document, ends with the last word shown before that place.
        Word before;
        if (last != first && !wordNumbered(last, end) && lastKeptUpTo(last, before) &&
            before.number > start.number)
            end = before;
        const std::string_view text = parser_.DocumentText();
        entry.start = start.offset;
        entry.length = end.offset + end.span - start.offset;
        entry.byteStart = start.byteOffset;
        entry.byteEnd = bytesOfChars(text, end.byteOffset, end.span);
        if (start.displayStart >= 0) {
            entry.displayStart = start.displayStart;
            entry.displayEnd = std::max(start.displayEnd, end.displayEnd);
        }
        entry.state = EntryRange::State::Located;
    } catch (const std::exception&) {
        entry = EntryRange{};
        entry.state = EntryRange::State::NotFound;
        reportParseError();
    }
    return entry;
}

}  // namespace vellumar
