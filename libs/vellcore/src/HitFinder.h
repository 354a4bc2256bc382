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
    HitFinder(const Xapian::Database& db, const QueryPlan& plan) : db_(db), plan_(plan) {}

    void load(Xapian::docid doc);
    bool matches();
    // Every occurrence of every positive part, sorted by word number, duplicates merged;
    // occurrences without a position come last as kNoPosition.
    void hits(std::vector<HitRecord>& out);

private:
    struct Present {
        int term;
        Xapian::termcount wdf;
        bool loaded = false;
        std::vector<std::uint32_t> positions;  // Xapian positions (word number + 1)
    };
    struct Occurrence {
        std::uint32_t start;
        int length;
    };

    Present* find(int term);
    const std::vector<std::uint32_t>& positions(Present& p);
    std::vector<std::uint32_t> slotPositions(const PlanSlot& slot);
    bool slotPresent(const PlanSlot& slot);
    std::vector<std::uint32_t> phraseStarts(const PlanNode& phrase);
    std::vector<Occurrence> occurrences(const PlanNode& phrase);
    bool near(const PlanNode& n, std::vector<HitRecord>* out);
    bool eval(const PlanNode& n);
    void collect(const PlanNode& n, bool positive, std::vector<HitRecord>& out);

    const Xapian::Database& db_;
    const QueryPlan& plan_;
    Xapian::docid doc_ = 0;
    std::vector<Present> present_;  // sorted by term index
};

}  // namespace vellcore
