#include "QueryPlan.h"

#include <algorithm>
#include <optional>
#include <set>
#include <unordered_map>

#include "Errors.h"
#include "Terms.h"

namespace vellcore {

namespace {

// Where a word is looked for: plain words, or the field terms of some fields.
struct Scope {
    bool plain = true;
    std::vector<int> fields;
};

class Planner {
  public:
    explicit Planner(const PlanContext& c) : c_(c) {}

    QueryPlan run(const QueryNode& root) {
        std::optional<PlanNode> resolved = resolve(root, Scope{});
        if (!resolved) {
            if (dropped_) fail(10, "the query holds only stop-words or words that are not indexed");
            fail(2, "the query holds no word to search for");
        }
        QueryPlan plan;
        plan.root = std::move(*resolved);
        renumber(plan);
        plan.xapianQuery = translate(plan, plan.root, true);
        plan.exact = exact_;
        plan.entriesFromFrequencies = exact_ && countableParts(plan);
        return plan;
    }

  private:
    int intern(const std::string& term) {
        const auto [it, added] = ids_.emplace(term, static_cast<int>(ids_.size()));
        return it->second;
    }

    std::vector<int> literalTerms(const std::string& word, const Scope& scope) {
        std::vector<int> out;
        if (scope.plain) {
            out.push_back(intern(word));
            return out;
        }
        for (int f : scope.fields) {
            const std::string term = fieldTerm(f, word);
            if (c_.db.term_exists(term)) out.push_back(intern(term));
        }
        return out;
    }

    std::vector<int> wildcardTerms(const std::string& pattern, const Scope& scope) {
        std::vector<std::string> prefixes;
        if (scope.plain)
            prefixes.emplace_back();
        else
            for (int f : scope.fields) prefixes.push_back(fieldTermPrefix(f));
        const std::string literal(literalPrefix(pattern));
        std::vector<int> out;
        for (const std::string& prefix : prefixes) {
            const std::string start = prefix + literal;
            for (auto it = c_.db.allterms_begin(start); it != c_.db.allterms_end(start); ++it) {
                const std::string term = *it;
                if (scope.plain && !isWordTerm(term)) break;  // name and field terms sort last
                if (!globMatch(pattern, std::string_view(term).substr(prefix.size()))) continue;
                if (out.size() >= kMaxWildcardTerms)
                    fail(2, "\"" + pattern + "\" matches more than " +
                                std::to_string(kMaxWildcardTerms) + " words");
                out.push_back(intern(term));
            }
        }
        return out;
    }

    bool skipped(const QueryAtom& atom) const {
        return c_.stopWords.count(atom.text) ||
               (!c_.dictionary.empty() && !c_.dictionary.count(atom.text));
    }

    std::optional<PlanNode> resolvePhrase(const QueryNode& n, const Scope& scope) {
        PlanNode p;
        p.kind = QueryKind::Phrase;
        int offset = 0;
        for (const QueryAtom& atom : n.atoms) {
            if (!atom.wildcard) {
                // The parsers never deliver words this short, but they count them (an index
                // of format 1 did not).
                if (atom.chars < static_cast<std::size_t>(c_.minWordLength)) {
                    dropped_ = true;
                    if (c_.shortWordsNumbered && !p.slots.empty()) ++offset;
                    continue;
                }
                // A stop-word, or a word the dictionary keeps out, still has a word number.
                if (skipped(atom)) {
                    dropped_ = true;
                    if (!p.slots.empty()) ++offset;
                    continue;
                }
            }
            PlanSlot slot;
            slot.offset = offset++;
            slot.terms =
                atom.wildcard ? wildcardTerms(atom.text, scope) : literalTerms(atom.text, scope);
            p.slots.push_back(std::move(slot));
        }
        if (p.slots.empty()) return std::nullopt;
        p.length = p.slots.back().offset + 1;
        return p;
    }

    std::optional<PlanNode> resolve(const QueryNode& n, const Scope& scope) {
        switch (n.kind) {
            case QueryKind::Phrase:
                return resolvePhrase(n, scope);
            case QueryKind::Element: {
                std::vector<int> selected = c_.fields.select(n.path);
                Scope inner;
                inner.plain = false;
                if (scope.plain) {
                    inner.fields = std::move(selected);
                } else {
                    std::set_intersection(scope.fields.begin(), scope.fields.end(),
                                          selected.begin(), selected.end(),
                                          std::back_inserter(inner.fields));
                }
                return resolve(*n.children[0], inner);
            }
            case QueryKind::Not: {
                auto child = resolve(*n.children[0], scope);
                if (!child) return std::nullopt;
                PlanNode p;
                p.kind = QueryKind::Not;
                p.children.push_back(std::move(*child));
                return p;
            }
            default: {
                PlanNode p;
                p.kind = n.kind;
                p.distance = n.distance;
                for (const auto& child : n.children)
                    if (auto r = resolve(*child, scope)) p.children.push_back(std::move(*r));
                if (p.children.empty()) return std::nullopt;
                if (p.children.size() == 1) return std::move(p.children[0]);
                return p;
            }
        }
    }

    // Gives the terms their sorted order, which the hit finder relies on.
    void renumber(QueryPlan& plan) {
        plan.terms.resize(ids_.size());
        for (const auto& [term, id] : ids_) plan.terms[id] = term;
        std::vector<int> order(plan.terms.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return plan.terms[a] < plan.terms[b]; });
        std::vector<int> newId(order.size());
        std::vector<std::string> sorted(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            newId[order[i]] = static_cast<int>(i);
            sorted[i] = std::move(plan.terms[order[i]]);
        }
        plan.terms = std::move(sorted);
        remap(plan.root, newId);
    }

    static void remap(PlanNode& n, const std::vector<int>& newId) {
        for (PlanSlot& s : n.slots) {
            for (int& t : s.terms) t = newId[t];
            std::sort(s.terms.begin(), s.terms.end());
            s.terms.erase(std::unique(s.terms.begin(), s.terms.end()), s.terms.end());
        }
        for (PlanNode& child : n.children) remap(child, newId);
    }

    static Xapian::Query slotQuery(const QueryPlan& plan, const PlanSlot& slot, bool inPhrase) {
        if (slot.terms.empty()) return Xapian::Query::MatchNothing;
        if (slot.terms.size() == 1) return Xapian::Query(plan.terms[slot.terms[0]]);
        std::vector<Xapian::Query> subs;
        subs.reserve(slot.terms.size());
        for (int t : slot.terms) subs.emplace_back(plan.terms[t]);
        // Phrases accept only OR of terms; elsewhere a synonym weighs an expansion as one word.
        return Xapian::Query(inPhrase ? Xapian::Query::OP_OR : Xapian::Query::OP_SYNONYM,
                             subs.begin(), subs.end());
    }

    // positive: false under an odd number of "!". A node Xapian cannot say exactly becomes
    // a superset where positive and a subset (nothing) where negated, so the result is
    // always a superset that the hit finder then checks.
    Xapian::Query translate(const QueryPlan& plan, const PlanNode& n, bool positive) {
        switch (n.kind) {
            case QueryKind::Phrase: {
                if (n.slots.size() == 1) return slotQuery(plan, n.slots[0], false);
                std::vector<Xapian::Query> subs;
                for (const PlanSlot& s : n.slots) {
                    if (s.terms.empty()) return Xapian::Query::MatchNothing;
                    subs.push_back(slotQuery(plan, s, true));
                }
                if (n.length == static_cast<int>(n.slots.size()))
                    return Xapian::Query(Xapian::Query::OP_PHRASE, subs.begin(), subs.end(),
                                         static_cast<Xapian::termcount>(subs.size()));
                exact_ = false;
                if (!positive) return Xapian::Query::MatchNothing;
                return Xapian::Query(Xapian::Query::OP_PHRASE, subs.begin(), subs.end(),
                                     static_cast<Xapian::termcount>(n.length));
            }
            case QueryKind::Near: {
                exact_ = false;
                if (!positive) return Xapian::Query::MatchNothing;
                bool simple = true;
                Xapian::termcount window = static_cast<Xapian::termcount>(n.distance);
                for (const PlanNode& child : n.children) {
                    simple = simple && child.slots.size() == 1;
                    window += static_cast<Xapian::termcount>(child.length);
                }
                std::vector<Xapian::Query> subs;
                for (const PlanNode& child : n.children) {
                    if (simple && child.slots[0].terms.empty()) return Xapian::Query::MatchNothing;
                    subs.push_back(simple ? slotQuery(plan, child.slots[0], true)
                                          : translate(plan, child, true));
                }
                return Xapian::Query(simple ? Xapian::Query::OP_NEAR : Xapian::Query::OP_AND,
                                     subs.begin(), subs.end(), simple ? window : 0);
            }
            case QueryKind::Not:
                return Xapian::Query(Xapian::Query::OP_AND_NOT, Xapian::Query::MatchAll,
                                     translate(plan, n.children[0], !positive));
            case QueryKind::And: {
                std::vector<Xapian::Query> pos, neg;
                for (const PlanNode& child : n.children) {
                    if (child.kind == QueryKind::Not)
                        neg.push_back(translate(plan, child.children[0], !positive));
                    else
                        pos.push_back(translate(plan, child, positive));
                }
                Xapian::Query q =
                    pos.empty() ? Xapian::Query::MatchAll
                                : Xapian::Query(Xapian::Query::OP_AND, pos.begin(), pos.end());
                if (neg.empty()) return q;
                return Xapian::Query(Xapian::Query::OP_AND_NOT, q,
                                     Xapian::Query(Xapian::Query::OP_OR, neg.begin(), neg.end()));
            }
            default: {
                std::vector<Xapian::Query> subs;
                for (const PlanNode& child : n.children)
                    subs.push_back(translate(plan, child, positive));
                return Xapian::Query(Xapian::Query::OP_OR, subs.begin(), subs.end());
            }
        }
    }

    // True when every part that yields hits is a single word position and no word is
    // shared by two parts; then a document's entries are the sum of its frequencies.
    bool countableParts(QueryPlan& plan) {
        std::set<std::string_view> words;
        std::set<int> terms;
        bool ok = true;
        walkParts(plan.root, true, [&](const PlanNode& part) {
            if (part.kind != QueryKind::Phrase || part.slots.size() != 1) {
                ok = false;
                return;
            }
            std::set<std::string_view> mine;
            for (int t : part.slots[0].terms) mine.insert(termWord(plan.terms[t]));
            for (std::string_view w : mine)
                if (!words.insert(w).second) ok = false;
            terms.insert(part.slots[0].terms.begin(), part.slots[0].terms.end());
        });
        if (ok) plan.positiveTerms.assign(terms.begin(), terms.end());
        return ok;
    }

    template <typename F>
    static void walkParts(const PlanNode& n, bool positive, F&& f) {
        switch (n.kind) {
            case QueryKind::Phrase:
            case QueryKind::Near:
                if (positive) f(n);
                return;
            case QueryKind::Not:
                walkParts(n.children[0], !positive, f);
                return;
            default:
                for (const PlanNode& child : n.children) walkParts(child, positive, f);
        }
    }

    const PlanContext& c_;
    std::unordered_map<std::string, int> ids_;
    bool dropped_ = false;
    bool exact_ = true;
};

}  // namespace

QueryPlan planQuery(const QueryNode& root, const PlanContext& context) {
    return Planner(context).run(root);
}

}  // namespace vellcore
