// Queries, their results and hits, sorting, and the word and element-path enumerations.
#include <algorithm>
#include <unordered_map>

#include "Errors.h"
#include "HitFinder.h"
#include "Impl.h"
#include "QueryParser.h"

namespace vellcore {

namespace {

// How often, in candidate documents, the progress callback runs during a query.
constexpr unsigned kProgressEvery = 1024;

// Sees every document Xapian matches, in docid order: keeps the window responsive, turns
// a cancel into "match nothing more", and does the per-document work of plans that need
// it (checking what Xapian could only approximate, counting hits) right here. Xapian has
// just read the document's positions for its own check, so the position table's blocks
// are still at hand; going over the documents again afterwards would read them anew.
class MatchVisitor : public Xapian::MatchDecider {
  public:
    MatchVisitor(IndexObject::Impl& impl, const QueryPlan& plan, HitFinder* finder)
        : impl_(impl), plan_(plan), finder_(finder) {}
    bool operator()(const Xapian::Document& doc) const override {
        if (++seen_ % kProgressEvery == 0) impl_.progress();
        if (impl_.search.cancel.load()) return false;
        const Xapian::docid id = doc.get_docid();
        if (!finder_) {
            accepted_.push_back(id);
            return true;
        }
        finder_->load(id);
        if (!plan_.exact && !finder_->matches()) return false;
        if (!plan_.entriesFromFrequencies) {
            finder_->hits(found_);
            entries_ += static_cast<std::int64_t>(found_.size());
        }
        accepted_.push_back(id);
        return true;
    }
    std::vector<Xapian::docid>& accepted() { return accepted_; }
    std::int64_t entries() const { return entries_; }

  private:
    IndexObject::Impl& impl_;
    const QueryPlan& plan_;
    HitFinder* finder_;
    mutable unsigned seen_ = 0;
    mutable std::vector<Xapian::docid> accepted_;
    mutable std::vector<HitRecord> found_;
    mutable std::int64_t entries_ = 0;
};

struct RunningFlag {
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
    bool& flag;
};

// The entries of a query whose hits are its words: the within-document frequencies of its
// positive terms, summed over the results. A term whose posting list is long beside the
// results is looked up per result; a short one is walked against a bitmap of results.
std::int64_t sumFrequencies(const Xapian::Database& d, const QueryPlan& plan,
                            const std::vector<Xapian::docid>& results) {
    if (results.empty()) return 0;
    std::vector<bool> isResult;
    std::int64_t total = 0;
    for (int t : plan.positiveTerms) {
        const std::string& term = plan.terms[t];
        auto p = d.postlist_begin(term);
        const auto end = d.postlist_end(term);
        if (d.get_termfreq(term) > 8 * results.size()) {
            for (Xapian::docid doc : results) {
                p.skip_to(doc);
                if (p == end) break;
                if (*p == doc) total += p.get_wdf();
            }
            continue;
        }
        if (isResult.empty()) {
            isResult.assign(static_cast<std::size_t>(results.back()) + 1, false);
            for (Xapian::docid doc : results) isResult[doc] = true;
        }
        for (p.skip_to(results.front()); p != end && *p <= results.back(); ++p)
            if (isResult[*p]) total += p.get_wdf();
    }
    return total;
}

}  // namespace

void IndexObject::Impl::progress() {
    if (!search.progress) return;
    try {
        search.progress();
    } catch (...) {
        // The callback only processes window messages; if it fails, stopping the query
        // is the safe answer.
        search.cancel = true;
    }
}

void IndexObject::Impl::clearResults() {
    search.plan.reset();
    search.results.clear();
    search.stayOnDoc = 0;
}

void IndexObject::Impl::resetEnumerations() {
    wordNext.reset();
    elementPaths.clear();
    elementNext = 0;
}

int IndexObject::Impl::runQuery(std::string_view query, int& files, std::int64_t& entries) {
    storePending();
    clearResults();
    search.cancel = false;
    const std::string stayOn = std::move(search.stayOnName);
    search.stayOnName.clear();
    RunningFlag running(search.running);

    // See what other processes committed since the index was opened.
    if (reader && reader->reopen()) loadState(*reader);

    ParsedQuery parsed = parseQuery(query, params.table, params.maxWordLength);
    if (!parsed.root) fail(2, parsed.error);
    Xapian::Database& d = db();
    const PlanContext context{
        d, fields, stopWords, dictionary, params.minWordLength, params.format >= 2};
    QueryPlan plan = planQuery(*parsed.root, context);
    progress();

    Xapian::Enquire enquire(d);
    enquire.set_query(plan.xapianQuery);
    enquire.set_weighting_scheme(Xapian::BoolWeight());
    enquire.set_docid_order(Xapian::Enquire::ASCENDING);
    HitFinder finder(d, plan, counters.positionless != 0);
    const bool perDocument = !plan.exact || !plan.entriesFromFrequencies;
    MatchVisitor visitor(*this, plan, perDocument ? &finder : nullptr);
    const Xapian::doccount all = std::max<Xapian::doccount>(d.get_doccount(), 1);
    // The visitor collects the documents itself: an MSet of every match would only hold
    // the same numbers again (some 60 bytes each), so it is asked for none.
    enquire.get_mset(0, 0, all, nullptr, &visitor);

    // A cancel during the match keeps what was matched.
    std::vector<Xapian::docid> results = std::move(visitor.accepted());
    const std::int64_t total = plan.entriesFromFrequencies ? 0 : visitor.entries();
    std::sort(results.begin(), results.end());
    const std::int64_t entriesFound =
        plan.entriesFromFrequencies ? sumFrequencies(d, plan, results) : total;

    search.results = std::move(results);
    search.plan = std::move(plan);
    if (!stayOn.empty()) {
        if (const auto hit = lookup(stayOn)) search.stayOnDoc = hit->doc;
    }
    files = static_cast<int>(search.results.size());
    entries = entriesFound;
    return stayOnPosition();
}

int IndexObject::Impl::stayOnPosition() const {
    if (!search.stayOnDoc) return 1;
    const auto& r = search.results;
    const auto it = std::find(r.begin(), r.end(), search.stayOnDoc);
    return it == r.end() ? 1 : static_cast<int>(it - r.begin()) + 1;
}

bool IndexObject::Impl::result(int index, std::string& name, Stamp& stamp) {
    if (index < 0 || static_cast<std::size_t>(index) >= search.results.size())
        fail(2, "result " + std::to_string(index) + " is beyond the " +
                    std::to_string(search.results.size()) + " results");
    Xapian::Document doc = db().get_document(search.results[index]);
    DocMeta meta;
    if (!unpackMeta(doc.get_value(kMetaSlot), meta)) fail(6, "a stored document is damaged");
    name = doc.get_value(kNameSlot);
    stamp = meta.stamp;
    return true;
}

bool IndexObject::Impl::hits(int index, std::vector<HitRecord>& out) {
    out.clear();
    if (index < 0 || static_cast<std::size_t>(index) >= search.results.size() || !search.plan)
        fail(2, "result " + std::to_string(index) + " is beyond the " +
                    std::to_string(search.results.size()) + " results");
    HitFinder finder(db(), *search.plan, counters.positionless != 0);
    finder.load(search.results[index]);
    finder.hits(out);
    return true;
}

bool IndexObject::Impl::sortResults(int how) {
    auto& r = search.results;
    switch (how) {
        case 0:
            std::sort(r.begin(), r.end());
            return true;
        case 1: {
            // Read the names in docid order through the value stream, then sort.
            std::vector<Xapian::docid> byDoc(r);
            std::sort(byDoc.begin(), byDoc.end());
            std::vector<std::pair<std::string, std::string>> keys;  // lower-cased, name
            std::unordered_map<Xapian::docid, std::size_t> slot;
            keys.reserve(byDoc.size());
            Xapian::Database& d = db();
            auto v = d.valuestream_begin(kNameSlot);
            const auto end = d.valuestream_end(kNameSlot);
            for (Xapian::docid doc : byDoc) {
                if (v != end) v.skip_to(doc);
                std::string name = (v != end && v.get_docid() == doc) ? *v : std::string();
                slot[doc] = keys.size();
                keys.emplace_back(asciiLower(name), std::move(name));
            }
            std::stable_sort(r.begin(), r.end(), [&](Xapian::docid a, Xapian::docid b) {
                const auto& ka = keys[slot[a]];
                const auto& kb = keys[slot[b]];
                return ka != kb ? ka < kb : a < b;
            });
            return true;
        }
        case 2: {
            if (!search.plan || r.empty()) return true;
            Xapian::Database& d = db();
            Xapian::Enquire enquire(d);
            enquire.set_query(search.plan->xapianQuery);
            const Xapian::doccount all = std::max<Xapian::doccount>(d.get_doccount(), 1);
            const Xapian::MSet ranked = enquire.get_mset(0, all, all);
            std::unordered_map<Xapian::docid, double> weight;
            weight.reserve(ranked.size());
            for (auto it = ranked.begin(); it != ranked.end(); ++it) weight[*it] = it.get_weight();
            std::stable_sort(r.begin(), r.end(), [&](Xapian::docid a, Xapian::docid b) {
                const double wa = weight.count(a) ? weight[a] : -1.0;
                const double wb = weight.count(b) ? weight[b] : -1.0;
                return wa != wb ? wa > wb : a < b;
            });
            return true;
        }
        default:
            fail(2, "SortResults takes 0, 1 or 2");
    }
}

bool IndexObject::Impl::enumWords(const std::string* pattern, std::string& word) {
    if (pattern) {
        storePending();
        resetEnumerations();
        const std::vector<QueryAtom> atoms =
            splitQueryToken(params.table, params.maxWordLength, *pattern);
        if (atoms.empty()) return false;
        wordPattern = atoms[0].text;
        wordNext = db().allterms_begin(std::string(literalPrefix(wordPattern)));
    }
    if (!wordNext) return false;
    const auto end = db().allterms_end();
    for (; *wordNext != end; ++*wordNext) {
        const std::string term = **wordNext;
        if (!isWordTerm(term)) break;
        if (!wordPattern.empty() && !globMatch(wordPattern, term)) {
            if (term.compare(0, literalPrefix(wordPattern).size(), literalPrefix(wordPattern)) != 0)
                break;
            continue;
        }
        word = term;
        ++*wordNext;
        return true;
    }
    wordNext.reset();
    return false;
}

bool IndexObject::Impl::enumElementPaths(bool first, std::string& path) {
    if (first) {
        storePending();
        elementPaths = fields.elementPaths();
        elementNext = 0;
    }
    if (elementNext >= elementPaths.size()) return false;
    path = elementPaths[elementNext++];
    return true;
}

}  // namespace vellcore
