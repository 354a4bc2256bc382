// Builds the benchmark corpus through the engine: BeginDocument and AddWord for every
// word, as the indexing step does, then CloseFiles. Prints seconds and peak memory.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Corpus.h"
#include "vellcore/IndexObject.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s INDEX-PATH DOCUMENTS\n", argv[0]);
        return 2;
    }
    const int docs = std::atoi(argv[2]);
    const bench::Corpus corpus;
    std::filesystem::remove_all(argv[1]);
    const auto start = std::chrono::steady_clock::now();
    auto index = vellcore::CreateIndexObject(argv[1], 0);
    const auto table = textfold::englishTable();
    if (!index->Prepare(2, "English (i)", &table, 32, 2, 50)) {
        std::fprintf(stderr, "Prepare failed: %s\n", index->GetErrorMessage().c_str());
        return 1;
    }
    const int title = index->GetFieldNumber(bench::kTitleField);
    std::vector<int> ranks;
    for (int d = 0; d < docs; ++d) {
        corpus.document(d, ranks);
        if (!index->BeginDocument(bench::Corpus::name(d), 1, 4000)) return 1;
        for (int i = 0; i < bench::kWordsPerDoc; ++i)
            if (!index->AddWord(corpus.word(ranks[i]), i, i < bench::kTitleWords ? title : 0))
                return 1;
    }
    if (!index->CloseFiles()) {
        std::fprintf(stderr, "CloseFiles failed: %s\n", index->GetErrorMessage().c_str());
        return 1;
    }
    std::printf("engine  index %d docs: %.1f s, peak memory %ld MiB\n", docs, bench::seconds(start),
                bench::peakRssMiB());
    return 0;
}
