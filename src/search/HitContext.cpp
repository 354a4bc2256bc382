#include "search/HitContext.h"

#include <algorithm>

namespace vellumar {

namespace {

constexpr std::size_t kLongestGap = 200;

struct WordAt {
    std::int64_t position;
    std::size_t begin, end;  // bytes in the document text
    std::string text;        // as the parser delivered it (references decoded)
};

// Runs of blanks, tabs and line breaks as one blank.
void appendCollapsed(std::string& out, std::string_view text) {
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = true;
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    if (blank) out += ' ';
}

}  // namespace

std::vector<HitContext> hitContexts(wordmill::Parser& parser,
                                    const std::vector<vellcore::HitRecord>& hits, int contextWords,
                                    bool showSourceText) {
    const std::int64_t around = std::max(contextWords, 0);
    // The word numbers worth keeping: each hit and its neighbours, merged.
    std::vector<std::pair<std::int64_t, std::int64_t>> wanted;
    for (const auto& h : hits) {
        if (h.firstWord == vellcore::kNoPosition) continue;
        const std::int64_t first = std::int64_t{h.firstWord} - around;
        const std::int64_t last =
            std::int64_t{h.firstWord} + std::max<int>(h.wordCount, 1) - 1 + around;
        wanted.emplace_back(std::max<std::int64_t>(first, 0), last);
    }
    if (wanted.empty() || !parser.IsOpen()) return {};
    std::sort(wanted.begin(), wanted.end());
    std::vector<std::pair<std::int64_t, std::int64_t>> merged;
    for (const auto& w : wanted) {
        if (!merged.empty() && w.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, w.second);
        else
            merged.push_back(w);
    }

    const std::string& doc = parser.DocumentText();
    std::vector<WordAt> words;
    std::size_t range = 0;
    wordmill::WordRecord record;
    parser.Rewind();
    while (range < merged.size() && parser.NextWord(record)) {
        const std::int64_t p = record.position;
        while (range < merged.size() && p > merged[range].second) ++range;
        if (range == merged.size() || p < merged[range].first) continue;
        std::size_t end = record.byteOffset;
        for (std::int32_t k = 0; k < record.span && end < doc.size(); ++k)
            textfold::nextUtf8(doc, end);
        words.push_back(WordAt{p, record.byteOffset, end, std::string(record.text)});
    }

    const auto at = [&](std::int64_t position) {
        return std::lower_bound(words.begin(), words.end(), position,
                                [](const WordAt& w, std::int64_t v) { return w.position < v; });
    };
    // What stands between two neighbouring kept words: for source text the document's
    // own (a long stretch without words, such as a table of numbers, as "..."), else a
    // blank.
    const auto gap = [&](std::vector<WordAt>::const_iterator left) {
        std::string out;
        const auto right = std::next(left);
        const auto between = std::string_view(doc).substr(left->end, right->begin - left->end);
        if (!showSourceText)
            out = " ";
        else if (between.size() > kLongestGap)
            out = " ... ";
        else
            appendCollapsed(out, between);
        return out;
    };
    // The text of kept words [from, to).
    const auto textOf = [&](std::vector<WordAt>::const_iterator from,
                            std::vector<WordAt>::const_iterator to) {
        std::string out;
        for (auto w = from; w != to; ++w) {
            if (w != from) out += gap(std::prev(w));
            if (showSourceText)
                out.append(doc, w->begin, w->end - w->begin);
            else
                out += w->text;
        }
        return out;
    };

    std::vector<HitContext> out;
    for (const auto& h : hits) {
        if (h.firstWord == vellcore::kNoPosition) continue;
        const auto first = at(h.firstWord);
        if (first == words.end() || first->position != h.firstWord) continue;
        const std::int64_t lastWord = std::int64_t{h.firstWord} + std::max<int>(h.wordCount, 1) - 1;
        const auto stop = at(lastWord + 1);
        const auto from = at(std::max<std::int64_t>(std::int64_t{h.firstWord} - around, 0));
        const auto to = at(lastWord + 1 + around);
        HitContext c;
        c.firstWord = h.firstWord;
        c.wordCount = h.wordCount;
        c.before = textOf(from, first);
        if (from != first) c.before += gap(std::prev(first));
        c.words = textOf(first, stop);
        if (stop != to) c.after = gap(std::prev(stop)) + textOf(stop, to);
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace vellumar
