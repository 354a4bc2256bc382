// The query language on any bytes, run against a small index with fields, stop-words and
// documents that hold phrases: a query either fails with code 2 (malformed) or 10 (only
// skipped words), or finds files whose hits can all be read and add up to its entries.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "vellcore/IndexObject.h"

namespace {

struct FuzzIndex {
    std::filesystem::path folder;
    std::unique_ptr<vellcore::IndexObject> index;

    FuzzIndex() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vellumar-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        folder = pattern;
        index = vellcore::CreateIndexObject((folder / "idx").string(), 0);
        const auto table = textfold::englishTable();
        FUZZ_CHECK(index->Prepare(2, "English (i)", &table, 32, 2, 50));
        FUZZ_CHECK(index->AddWord("the", 0, 0));
        const char* texts[] = {
            "the quick brown fox jumps over the lazy dog",
            "file system calls and the file I O system",
            "alpha@/r/a beta@/r/a/b gamma@/r/c delta@title the@/r/a",
            "fox fox fox dog box cat ~ near far",
        };
        for (int d = 0; d < 12; ++d) {
            FUZZ_CHECK(index->BeginDocument("/f/" + std::to_string(d), 1, 10));
            std::istringstream in(texts[d % 4]);
            std::string token;
            int position = 0;
            while (in >> token) {
                int field = 0;
                const auto at = token.find('@');
                if (at != std::string::npos) {
                    field = index->GetFieldNumber(token.substr(at + 1));
                    token.resize(at);
                }
                // Gaps in the numbers, as the parsers leave for short words.
                FUZZ_CHECK(index->AddWord(token, position, field));
                position += 1 + (token.size() == 1);
            }
        }
        FUZZ_CHECK(index->CloseFiles() && index->Prepare(3, "", nullptr, 32, 2, 50));
        index->BeginSession();
    }
    ~FuzzIndex() {
        index->EndSession();
        index.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzIndex fixture;
    vellcore::IndexObject& index = *fixture.index;
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    int files = -1;
    std::int64_t entries = -1;
    index.ClearError();
    if (index.RunQuery(query, files, entries) == 0) {
        const int code = index.GetErrorCode();
        FUZZ_CHECK(code == vellcore::kBadValue || code == vellcore::kStopWordsOnly);
        FUZZ_CHECK(files == 0);
        return 0;
    }
    FUZZ_CHECK(files >= 0 && files <= 12);
    std::int64_t sum = 0;
    std::vector<vellcore::HitRecord> hits;
    for (int i = 0; i < files; ++i) {
        FUZZ_CHECK(index.GetHits(i, hits));
        sum += static_cast<std::int64_t>(hits.size());
        for (std::size_t h = 1; h < hits.size(); ++h)
            FUZZ_CHECK(hits[h - 1].firstWord <= hits[h].firstWord ||
                       hits[h].firstWord == vellcore::kNoPosition);
    }
    FUZZ_CHECK(sum == entries);
    FUZZ_CHECK(index.SortResults(2) && index.SortResults(1) && index.SortResults(0));
    return 0;
}
