// The minimal plain-Xapian program the engine is measured against: the same terms (the
// folded words, and the element's field terms) with the same positions, added straight
// to a WritableDatabase with Xapian's default flushing, the name as document data.
#include <xapian.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Corpus.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DATABASE DOCUMENTS\n", argv[0]);
        return 2;
    }
    const int docs = std::atoi(argv[2]);
    const bench::Corpus corpus;
    std::vector<std::string> upper(bench::kVocabulary), titled(bench::kVocabulary);
    for (int r = 0; r < bench::kVocabulary; ++r) {
        upper[r] = corpus.upper(r);
        titled[r] =
            "\xFF"
            "1:" +
            upper[r];  // the engine's field term for field 1
    }
    std::filesystem::remove_all(argv[1]);
    const auto start = std::chrono::steady_clock::now();
    Xapian::WritableDatabase db(argv[1], Xapian::DB_CREATE_OR_OVERWRITE);
    std::vector<int> ranks;
    for (int d = 0; d < docs; ++d) {
        corpus.document(d, ranks);
        Xapian::Document doc;
        for (int i = 0; i < bench::kWordsPerDoc; ++i) {
            doc.add_posting(upper[ranks[i]], i + 1);
            if (i < bench::kTitleWords) doc.add_posting(titled[ranks[i]], i + 1);
        }
        doc.set_data(bench::Corpus::name(d));
        db.add_document(doc);
    }
    db.commit();
    db.close();
    std::printf("xapian  index %d docs: %.1f s, peak memory %ld MiB\n", docs, bench::seconds(start),
                bench::peakRssMiB());
    return 0;
}
