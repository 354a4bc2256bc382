#include "HitFinder.h"

#include <algorithm>

#include "Terms.h"

namespace vellcore {

namespace {

void sortUnique(std::vector<std::uint32_t>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

HitRecord record(std::uint32_t termPos, int length) {
    return HitRecord{toWordNumber(termPos), 0,
                     static_cast<std::uint16_t>(std::min(length, 0xFFFF))};
}

// Identical operands ("cat ~ cat") need distinct occurrences.
bool sameOperand(const PlanNode& a, const PlanNode& b) {
    if (a.slots.size() != b.slots.size()) return false;
    for (std::size_t i = 0; i < a.slots.size(); ++i)
        if (a.slots[i].offset != b.slots[i].offset || a.slots[i].terms != b.slots[i].terms)
            return false;
    return true;
}

}  // namespace

void HitFinder::load(Xapian::docid doc) {
    doc_ = doc;
    ++generation_;
    frequenciesLoaded_ = false;
    starts_.clear();
}

HitFinder::TermInfo& HitFinder::info(int term) {
    TermInfo& i = info_[term];
    if (i.generation != generation_) {
        i.generation = generation_;
        i.positionsLoaded = false;
        i.positions.clear();
        i.wdf = 0;
    }
    return i;
}

const std::vector<std::uint32_t>& HitFinder::positions(int term) {
    TermInfo& i = info(term);
    if (!i.positionsLoaded) {
        const std::string& t = plan_.terms[static_cast<std::size_t>(term)];
        for (auto it = db_.positionlist_begin(doc_, t); it != db_.positionlist_end(doc_, t); ++it)
            i.positions.push_back(*it);
        i.positionsLoaded = true;
    }
    return i.positions;
}

// Reads the within-document frequencies of all the plan's terms from the term list.
void HitFinder::loadFrequencies() {
    frequenciesLoaded_ = true;
    const std::vector<std::string>& terms = plan_.terms;
    if (terms.empty()) return;
    auto it = db_.termlist_begin(doc_);
    const auto end = db_.termlist_end(doc_);
    if (terms.size() <= 16) {
        for (std::size_t k = 0; k < terms.size() && it != end; ++k) {
            it.skip_to(terms[k]);
            if (it != end && *it == terms[k]) info(static_cast<int>(k)).wdf = it.get_wdf();
        }
        return;
    }
    for (; it != end; ++it) {
        const std::string term = *it;
        const auto found = std::lower_bound(terms.begin(), terms.end(), term);
        if (found != terms.end() && *found == term)
            info(static_cast<int>(found - terms.begin())).wdf = it.get_wdf();
    }
}

Xapian::termcount HitFinder::wdf(int term) {
    if (!frequenciesLoaded_) loadFrequencies();
    return info(term).wdf;
}

std::vector<std::uint32_t> HitFinder::slotPositions(const PlanSlot& slot) {
    std::vector<std::uint32_t> out;
    for (int t : slot.terms) {
        const auto& pos = positions(t);
        out.insert(out.end(), pos.begin(), pos.end());
    }
    if (slot.terms.size() > 1) sortUnique(out);
    return out;
}

bool HitFinder::slotPresent(const PlanSlot& slot) {
    for (int t : slot.terms)
        if (!positions(t).empty() || (positionless_ && wdf(t) > 0)) return true;
    return false;
}

double HitFinder::slotEstimate(const PlanSlot& slot) {
    if (termEstimate_.empty()) {
        termEstimate_.resize(plan_.terms.size());
        for (std::size_t t = 0; t < plan_.terms.size(); ++t) {
            const Xapian::doccount docs = db_.get_termfreq(plan_.terms[t]);
            termEstimate_[t] =
                docs ? static_cast<double>(db_.get_collection_freq(plan_.terms[t])) / docs : 0.0;
        }
    }
    double sum = 0;
    for (int t : slot.terms) sum += termEstimate_[static_cast<std::size_t>(t)];
    return sum;
}

// Every start of the phrase in the loaded document. The slot whose words are rarest
// drives: its positions are read whole, and each of them asks the other slots for one
// position, through position iterators that only ever move forward. A frequent word
// ("of" in "out of memory") is thus decoded only as far as the last candidate needs,
// and never copied.
const std::vector<std::uint32_t>& HitFinder::phraseStarts(const PlanNode& phrase) {
    for (const auto& [node, starts] : starts_)
        if (node == &phrase) return starts;
    starts_.emplace_back(&phrase, findPhraseStarts(phrase));
    return starts_.back().second;
}

std::vector<std::uint32_t> HitFinder::findPhraseStarts(const PlanNode& phrase) {
    const std::vector<PlanSlot>& slots = phrase.slots;
    std::size_t driver = 0;
    double best = slotEstimate(slots[0]);
    for (std::size_t k = 1; k < slots.size(); ++k) {
        const double e = slotEstimate(slots[k]);
        if (e < best) {
            best = e;
            driver = k;
        }
    }
    const std::vector<std::uint32_t> anchor = slotPositions(slots[driver]);
    if (anchor.empty()) return {};
    const auto driverOffset = static_cast<std::uint32_t>(slots[driver].offset);

    // A word read whole already is walked in its list; any other lazily.
    struct Cursor {
        const std::vector<std::uint32_t>* list = nullptr;
        std::size_t at = 0;
        Xapian::PositionIterator it;
        bool done() const { return list ? at >= list->size() : it == Xapian::PositionIterator(); }
        std::uint32_t value() const { return list ? (*list)[at] : *it; }
        void skipTo(std::uint32_t want) {
            if (!list) {
                it.skip_to(want);
                return;
            }
            at = static_cast<std::size_t>(
                std::lower_bound(list->begin() + static_cast<std::ptrdiff_t>(at), list->end(),
                                 want) -
                list->begin());
        }
    };
    std::vector<std::vector<Cursor>> cursors(slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
        if (k == driver) continue;
        for (int t : slots[k].terms) {
            Cursor c;
            if (info(t).positionsLoaded)
                c.list = &info(t).positions;
            else
                c.it = db_.positionlist_begin(doc_, plan_.terms[static_cast<std::size_t>(t)]);
            if (!c.done()) cursors[k].push_back(std::move(c));
        }
        if (cursors[k].empty()) return {};
    }

    std::vector<std::uint32_t> starts;
    for (std::uint32_t p : anchor) {
        if (p <= driverOffset) continue;  // positions start at 1: no room before it
        const std::uint32_t start = p - driverOffset;
        bool all = true;
        for (std::size_t k = 0; k < slots.size() && all; ++k) {
            if (k == driver) continue;
            const std::uint32_t want = start + static_cast<std::uint32_t>(slots[k].offset);
            bool here = false;
            for (Cursor& c : cursors[k]) {
                if (c.done()) continue;
                if (c.value() < want) c.skipTo(want);
                if (!c.done() && c.value() == want) here = true;
            }
            all = here;
        }
        if (all) starts.push_back(start);
    }
    return starts;
}

std::vector<HitFinder::Occurrence> HitFinder::occurrences(const PlanNode& phrase) {
    std::vector<Occurrence> out;
    const std::vector<std::uint32_t> starts =
        phrase.slots.size() == 1 ? slotPositions(phrase.slots[0]) : phraseStarts(phrase);
    out.reserve(starts.size());
    for (std::uint32_t s : starts) out.push_back(Occurrence{s, phrase.length});
    return out;
}

// A "~" group matches where one occurrence of each operand lies inside a stretch of
// (distance + the operands' lengths) words. Every occurrence inside such a stretch is a hit.
bool HitFinder::near(const PlanNode& n, std::vector<HitRecord>* out) {
    const std::size_t k = n.children.size();
    std::vector<std::vector<Occurrence>> occ(k);
    std::uint64_t window = static_cast<std::uint64_t>(n.distance);
    for (std::size_t i = 0; i < k; ++i) {
        occ[i] = occurrences(n.children[i]);
        if (occ[i].empty()) return false;
        window += static_cast<std::uint64_t>(n.children[i].length);
    }
    // How many distinct occurrences each operand needs (identical operands share them).
    std::vector<std::size_t> need(k, 1);
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = 0; j < k; ++j)
            if (i != j && sameOperand(n.children[i], n.children[j])) ++need[i];

    std::vector<std::uint32_t> candidates;
    for (const auto& list : occ)
        for (const Occurrence& o : list) candidates.push_back(o.start);
    sortUnique(candidates);

    std::vector<std::vector<char>> hit(k);
    for (std::size_t i = 0; i < k; ++i) hit[i].assign(occ[i].size(), 0);
    bool any = false;
    for (std::uint32_t s : candidates) {
        const std::uint64_t last = s + window - 1;
        bool valid = true;
        std::vector<std::pair<std::size_t, std::size_t>> inside(k);
        for (std::size_t i = 0; i < k && valid; ++i) {
            const auto& list = occ[i];
            const auto first =
                std::lower_bound(list.begin(), list.end(), s,
                                 [](const Occurrence& o, std::uint32_t v) { return o.start < v; });
            auto stop = first;
            while (stop != list.end() &&
                   stop->start + static_cast<std::uint64_t>(stop->length) - 1 <= last)
                ++stop;
            inside[i] = {static_cast<std::size_t>(first - list.begin()),
                         static_cast<std::size_t>(stop - list.begin())};
            valid = inside[i].second - inside[i].first >= need[i];
        }
        if (!valid) continue;
        any = true;
        if (!out) return true;
        for (std::size_t i = 0; i < k; ++i)
            for (std::size_t j = inside[i].first; j < inside[i].second; ++j) hit[i][j] = 1;
    }
    if (out)
        for (std::size_t i = 0; i < k; ++i)
            for (std::size_t j = 0; j < occ[i].size(); ++j)
                if (hit[i][j]) out->push_back(record(occ[i][j].start, occ[i][j].length));
    return any;
}

bool HitFinder::eval(const PlanNode& n) {
    switch (n.kind) {
        case QueryKind::Phrase:
            return n.slots.size() == 1 ? slotPresent(n.slots[0]) : !phraseStarts(n).empty();
        case QueryKind::Near:
            return near(n, nullptr);
        case QueryKind::Not:
            return !eval(n.children[0]);
        case QueryKind::And:
            for (const PlanNode& c : n.children)
                if (!eval(c)) return false;
            return true;
        default:
            for (const PlanNode& c : n.children)
                if (eval(c)) return true;
            return false;
    }
}

bool HitFinder::matches() { return eval(plan_.root); }

void HitFinder::collect(const PlanNode& n, bool positive, std::vector<HitRecord>& out) {
    switch (n.kind) {
        case QueryKind::Phrase:
            if (!positive) return;
            if (n.slots.size() == 1) {
                for (int t : n.slots[0].terms) {
                    const auto& pos = positions(t);
                    for (std::uint32_t v : pos) out.push_back(record(v, 1));
                    if (!positionless_) continue;
                    // Words added without a word number still count as hits.
                    const Xapian::termcount all = wdf(t);
                    for (auto i = static_cast<Xapian::termcount>(pos.size()); i < all; ++i)
                        out.push_back(HitRecord{kNoPosition, 0, 1});
                }
            } else {
                for (std::uint32_t s : phraseStarts(n)) out.push_back(record(s, n.length));
            }
            return;
        case QueryKind::Near:
            if (positive) near(n, &out);
            return;
        case QueryKind::Not:
            collect(n.children[0], !positive, out);
            return;
        default:
            for (const PlanNode& c : n.children) collect(c, positive, out);
    }
}

void HitFinder::hits(std::vector<HitRecord>& out) {
    out.clear();
    collect(plan_.root, true, out);
    const auto less = [](const HitRecord& a, const HitRecord& b) {
        return a.firstWord != b.firstWord ? a.firstWord < b.firstWord : a.wordCount < b.wordCount;
    };
    std::stable_sort(out.begin(), out.end(), less);
    // Merge duplicates, but keep every occurrence that has no position.
    std::size_t w = 0;
    for (std::size_t r = 0; r < out.size(); ++r) {
        if (w > 0 && out[r].firstWord != kNoPosition && out[w - 1].firstWord == out[r].firstWord &&
            out[w - 1].wordCount == out[r].wordCount)
            continue;
        out[w++] = out[r];
    }
    out.resize(w);
}

}  // namespace vellcore
