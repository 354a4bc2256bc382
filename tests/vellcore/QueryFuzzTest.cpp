// Thousands of random queries, made of the language's own pieces and of random bytes:
// each must end with results or with a defined error code, never with a crash, and the
// results must hold together (hits of every result readable, entries their sum).
#include <random>

#include "EngineTestSupport.h"

using namespace enginetest;

namespace {

TEST(QueryFuzz, RandomQueriesGiveResultsOrADefinedCode) {
    TempFolder folder;
    auto index = createIndex(folder.path() / "idx");
    ASSERT_TRUE(index->AddWord("the", 0, 0));
    const char* texts[] = {
        "the quick brown fox jumps over the lazy dog",
        "pack my box with five dozen liquor jugs",
        "alpha@/r/a beta@/r/a/b gamma@/r/c delta@title the@/r/a",
        "fox fox fox dog box",
    };
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(addText(*index, "/f/" + std::to_string(i), texts[i % 4]));
    ASSERT_TRUE(reopen(*index));

    const std::vector<std::string> pieces = {"fox",      "dog",
                                             "the",      "box",
                                             "qu*",      "*o*",
                                             "?",        "*",
                                             "b?x",      "alpha",
                                             "gamma",    "&",
                                             "|",        "!",
                                             "(",        ")",
                                             "[",        "]",
                                             "~",        "~2",
                                             "~0",       "/r/a[",
                                             "//b[",     "//title[",
                                             "/r//*[",   "/[",
                                             "//",       "/",
                                             " ",        "  ",
                                             "\t",       "-",
                                             ",",        "\"",
                                             "\xC3\xA9", "\xFF",
                                             "\xE2\x82", std::string("\0", 1),
                                             "lazy dog", "~99999"};
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(pieces.size()) - 1);
    std::uniform_int_distribution<int> length(1, 12);
    std::uniform_int_distribution<int> byte(0, 255);
    int succeeded = 0, failed = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string q;
        const int n = length(rng);
        for (int i = 0; i < n; ++i) {
            if (round % 5 == 4)
                q += static_cast<char>(byte(rng));
            else
                q += pieces[pick(rng)];
            if (round % 3 == 0) q += ' ';
        }
        if (round % 97 == 0) q.insert(0, std::string(80, '('));
        int files = -1;
        std::int64_t entries = -1;
        index->ClearError();
        const int r = index->RunQuery(q, files, entries);
        if (r == 0) {
            ++failed;
            const int code = index->GetErrorCode();
            ASSERT_TRUE(code == vellcore::kBadValue || code == vellcore::kStopWordsOnly)
                << "query [" << q << "] code " << code;
            ASSERT_EQ(files, 0);
            continue;
        }
        ++succeeded;
        ASSERT_GE(r, 1);
        ASSERT_GE(files, 0);
        ASSERT_LE(files, 40);
        std::int64_t sum = 0;
        std::vector<vellcore::HitRecord> hits;
        for (int i = 0; i < files; ++i) {
            ASSERT_TRUE(index->GetHits(i, hits)) << q;
            sum += static_cast<std::int64_t>(hits.size());
        }
        ASSERT_EQ(sum, entries) << "query [" << q << "]";
        ASSERT_TRUE(index->SortResults(round % 3)) << q;
    }
    // Both kinds must have occurred, or the generator tests nothing.
    std::printf("fuzz: %d succeeded, %d failed\n", succeeded, failed);
    EXPECT_GT(succeeded, 200);
    EXPECT_GT(failed, 200);
}

}  // namespace
