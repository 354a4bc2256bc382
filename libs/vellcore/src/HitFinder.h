// Evaluates a query plan on one document from its term list and positions: whether the
// document really matches (for plans Xapian could only approximate) and where its hits
// are (GetHits, and the entry count of queries with phrases or "~").
//
// Threads: owned by the running query or GetHits call.
#pragma once

#include <xapian.h>

#include <cstdint>
#include <vector>

#include "QueryPlan.h"
#include "vellcore/IndexObject.h"

namespace vellcore {

class HitFinder {
  public:
    // positionlessWords: whether the index holds words added without a position; when it
    // does not, a document's positions say everything and its term list is never read.
    HitFinder(const Xapian::Database& db, const QueryPlan& plan, bool positionlessWords)
        : db_(db), plan_(plan), positionless_(positionlessWords), info_(plan.terms.size()) {}

    void load(Xapian::docid doc);
    bool matches();
    // Every occurrence of every positive part, sorted by word number, duplicates merged;
    // occurrences without a position come last as kNoPosition.
    void hits(std::vector<HitRecord>& out);

  private:
    struct TermInfo {
        unsigned generation = 0;  // info is about the loaded document when it matches
        bool positionsLoaded = false;
        std::vector<std::uint32_t> positions;  // Xapian positions (word number + 1)
        Xapian::termcount wdf = 0;
    };
    struct Occurrence {
        std::uint32_t start;
        int length;
    };

    TermInfo& info(int term);
    const std::vector<std::uint32_t>& positions(int term);
    Xapian::termcount wdf(int term);
    void loadFrequencies();
    std::vector<std::uint32_t> slotPositions(const PlanSlot& slot);
    bool slotPresent(const PlanSlot& slot);
    double slotEstimate(const PlanSlot& slot);
    // The starts of a phrase in the loaded document, worked out once per document.
    const std::vector<std::uint32_t>& phraseStarts(const PlanNode& phrase);
    std::vector<std::uint32_t> findPhraseStarts(const PlanNode& phrase);
    std::vector<Occurrence> occurrences(const PlanNode& phrase);
    bool near(const PlanNode& n, std::vector<HitRecord>* out);
    bool eval(const PlanNode& n);
    void collect(const PlanNode& n, bool positive, std::vector<HitRecord>& out);

    const Xapian::Database& db_;
    const QueryPlan& plan_;
    const bool positionless_;
    Xapian::docid doc_ = 0;
    unsigned generation_ = 0;
    bool frequenciesLoaded_ = false;
    std::vector<TermInfo> info_;                                                  // by term index
    std::vector<std::pair<const PlanNode*, std::vector<std::uint32_t>>> starts_;  // this document's
    // Average occurrences per document of each term (collection frequency / documents),
    // read from the database's statistics the first time a phrase needs them.
    std::vector<double> termEstimate_;
};

}  // namespace vellcore
