// Query medians over the benchmark corpus: the engine's RunQuery (all files and their
// entries) beside plain Xapian running the same query over the database the minimal
// program built, once as a boolean match in docid order (the engine's own match) and
// once ranked by BM25 (all matches). Runs alternate, so that noise hits both alike.
#include <xapian.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "Corpus.h"
#include "vellcore/IndexObject.h"

namespace {

struct Case {
    std::string label;
    std::string engineQuery;
    Xapian::Query xapianQuery;
};

double timeIt(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return bench::seconds(start) * 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ENGINE-INDEX XAPIAN-DATABASE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 11;
    const bench::Corpus corpus;
    auto index = vellcore::CreateIndexObject(argv[1], 0);
    if (!index->Prepare(3, "", nullptr, 32, 2, 50)) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], index->GetErrorMessage().c_str());
        return 1;
    }
    Xapian::Database db(argv[2]);
    const Xapian::doccount all = db.get_doccount();

    auto w = [&](int r) { return corpus.word(r); };
    auto u = [&](int r) { return corpus.upper(r); };
    const std::string prefix = w(7).substr(0, 2);
    std::string upperPrefix = prefix;
    for (char& c : upperPrefix) c = static_cast<char>(c - 'a' + 'A');
    const std::vector<Case> cases = {
        {"common word", w(0), Xapian::Query(u(0))},
        {"rare word", w(100000), Xapian::Query(u(100000))},
        {"AND of two", w(10) + " & " + w(100),
         Xapian::Query(Xapian::Query::OP_AND, Xapian::Query(u(10)), Xapian::Query(u(100)))},
        {"OR of two", w(50) + " | " + w(500),
         Xapian::Query(Xapian::Query::OP_OR, Xapian::Query(u(50)), Xapian::Query(u(500)))},
        {"3-word phrase", w(0) + " " + w(1) + " " + w(2),
         [&] {
             std::vector<Xapian::Query> p{Xapian::Query(u(0)), Xapian::Query(u(1)),
                                          Xapian::Query(u(2))};
             return Xapian::Query(Xapian::Query::OP_PHRASE, p.begin(), p.end(), 3);
         }()},
        {"prefix wildcard", prefix + "*", Xapian::Query(Xapian::Query::OP_WILDCARD, upperPrefix)},
        {"element query", std::string(bench::kTitleField) + "[" + w(5) + "]",
         Xapian::Query("\xFF"
                       "1:" +
                       u(5))},
    };

    std::printf("%-16s %8s %12s %12s %14s %14s\n", "query", "files", "entries", "engine ms",
                "xapian bool ms", "xapian bm25 ms");
    int firstOfCommon = -1;
    for (const Case& c : cases) {
        std::vector<double> engine, xbool, xbm25;
        int files = 0;
        std::int64_t entries = 0;
        Xapian::doccount matched = 0;
        for (int i = 0; i < runs; ++i) {
            engine.push_back(timeIt([&] {
                if (index->RunQuery(c.engineQuery, files, entries) == 0)
                    std::fprintf(stderr, "query %s failed: %s\n", c.engineQuery.c_str(),
                                 index->GetErrorMessage().c_str());
            }));
            xbool.push_back(timeIt([&] {
                Xapian::Enquire e(db);
                e.set_query(c.xapianQuery);
                e.set_weighting_scheme(Xapian::BoolWeight());
                e.set_docid_order(Xapian::Enquire::ASCENDING);
                matched = e.get_mset(0, all, all).size();
            }));
            xbm25.push_back(timeIt([&] {
                Xapian::Enquire e(db);
                e.set_query(c.xapianQuery);
                (void)e.get_mset(0, all, all).size();
            }));
        }
        if (static_cast<Xapian::doccount>(files) != matched)
            std::fprintf(stderr, "  note: engine found %d files, Xapian %u\n", files, matched);
        std::printf("%-16s %8d %12lld %12.2f %14.2f %14.2f\n", c.label.c_str(), files,
                    static_cast<long long>(entries), bench::median(engine), bench::median(xbool),
                    bench::median(xbm25));
        if (firstOfCommon < 0) firstOfCommon = 0;
    }

    // GetHits for one file of the common-word query beside reading the same positions.
    int files = 0;
    std::int64_t entries = 0;
    index->RunQuery(w(0), files, entries);
    std::string name;
    vellcore::Stamp stamp;
    index->GetResult(0, name, stamp);
    std::vector<double> hitsTimes, posTimes;
    std::size_t hitCount = 0, posCount = 0;
    const Xapian::docid doc = *db.postlist_begin(u(0));
    for (int i = 0; i < runs * 10; ++i) {
        hitsTimes.push_back(timeIt([&] {
            std::vector<vellcore::HitRecord> hits;
            index->GetHits(0, hits);
            hitCount = hits.size();
        }));
        posTimes.push_back(timeIt([&] {
            posCount = 0;
            for (auto p = db.positionlist_begin(doc, u(0)); p != db.positionlist_end(doc, u(0));
                 ++p)
                ++posCount;
        }));
    }
    std::printf(
        "GetHits one file: %zu hits, engine %.3f ms; Xapian positions of the word: %zu, %.3f ms\n",
        hitCount, bench::median(hitsTimes), posCount, bench::median(posTimes));
    return 0;
}
