// A parsed query resolved against one index: words checked against the stop-words,
// the dictionary and the word lengths, wildcards expanded over the index's words,
// element paths turned into field terms. The plan is what both the Xapian match and the
// per-document hit finder (HitFinder) work from.
//
// Exactness: Xapian answers most of the language exactly. A phrase with a gap (a
// stop-word inside it) and a "~" group cannot be said in Xapian; for them the Xapian
// query is a superset (or, under "!", a subset) and every candidate is checked against
// the plan.
//
// Threads: owned by the running query.
#pragma once

#include <xapian.h>

#include <string>
#include <vector>

#include "Fields.h"
#include "QueryParser.h"
#include "Words.h"

namespace vellcore {

constexpr std::size_t kMaxWildcardTerms = 10000;

// One word position of a phrase: the terms any of which may stand there.
struct PlanSlot {
    int offset = 0;          // from the phrase's first word
    std::vector<int> terms;  // indexes into QueryPlan::terms, ascending
};

struct PlanNode {
    QueryKind kind = QueryKind::Phrase;  // never Element: elements became field terms
    std::vector<PlanNode> children;
    std::vector<PlanSlot> slots;  // Phrase
    int length = 0;               // Phrase: words covered, gaps included
    int distance = 0;             // Near
};

struct QueryPlan {
    PlanNode root;
    std::vector<std::string> terms;  // every term the plan refers to, sorted
    Xapian::Query xapianQuery;
    bool exact = true;
    // Entries may be summed from within-document frequencies of these terms (no phrase,
    // no "~", and no word counted by two parts of the query).
    bool entriesFromFrequencies = false;
    std::vector<int> positiveTerms;
};

struct PlanContext {
    const Xapian::Database& db;
    const FieldTable& fields;
    const WordSet& stopWords;
    const WordSet& dictionary;  // empty: no dictionary
    int minWordLength;
    // Whether words too short to index took word numbers (format 2 and later), so that
    // a short word inside a phrase stands for one word.
    bool shortWordsNumbered;
};

// Throws EngineError: 2 for a wildcard that matches too many words, 10 when nothing is
// left to search for because every word was a stop-word, too short or not indexed.
QueryPlan planQuery(const QueryNode& root, const PlanContext& context);

}  // namespace vellcore
