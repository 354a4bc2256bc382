// Phrases against a brute-force count: random documents over a small vocabulary, random
// phrases (with wildcards, repeated words, the rare word anywhere in the phrase), and the
// files and entries the engine reports compared with counting every start by hand.
#include <fnmatch.h>

#include <random>

#include "EngineTestSupport.h"

using namespace enginetest;

namespace {

const std::vector<std::string> kWords = {"ant", "bee", "cat", "cow", "dog", "eel", "rare"};

// Starts of the phrase (words, "*" wildcards allowed) in the document.
int countStarts(const std::vector<std::string>& doc, const std::vector<std::string>& phrase) {
    int starts = 0;
    for (std::size_t s = 0; s + phrase.size() <= doc.size(); ++s) {
        bool all = true;
        for (std::size_t k = 0; k < phrase.size() && all; ++k)
            all = fnmatch(phrase[k].c_str(), doc[s + k].c_str(), 0) == 0;
        if (all) ++starts;
    }
    return starts;
}

std::string join(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

}  // namespace

TEST(PhraseCount, FilesAndEntriesMatchABruteForceCount) {
    TempFolder folder;
    auto index = createIndex(folder.path() / "idx");
    std::mt19937 random(7);
    std::vector<std::vector<std::string>> docs;
    for (int d = 0; d < 400; ++d) {
        std::vector<std::string> words(random() % 80);
        for (auto& w : words) {
            // "rare" is rare, "ant" very common: the rare word drives the phrase check.
            const unsigned r = random() % 100;
            w = r < 2 ? "rare" : r < 40 ? "ant" : kWords[1 + random() % 5];
        }
        docs.push_back(words);
        ASSERT_TRUE(addText(*index, "/d/" + std::to_string(d), join(words)));
    }
    ASSERT_TRUE(reopen(*index));

    std::vector<std::vector<std::string>> phrases = {
        {"ant", "ant"},         {"ant", "ant", "ant"}, {"rare", "ant"},      {"ant", "rare"},
        {"ant", "rare", "ant"}, {"c*", "dog"},         {"ant", "c*", "ant"}, {"bee", "bee", "rare"},
        {"*o*", "ant", "e*"},   {"dog", "cat", "cow"},
    };
    for (int q = 0; q < 30; ++q) {
        std::vector<std::string> p(2 + random() % 3);
        for (auto& w : p) w = kWords[random() % kWords.size()];
        phrases.push_back(p);
    }
    for (const auto& phrase : phrases) {
        int wantFiles = 0;
        std::int64_t wantEntries = 0;
        for (const auto& doc : docs) {
            const int starts = countStarts(doc, phrase);
            wantFiles += starts > 0;
            wantEntries += starts;
        }
        int files = -1;
        std::int64_t entries = -1;
        const std::string query = join(phrase);
        ASSERT_NE(index->RunQuery(query, files, entries), 0) << query;
        EXPECT_EQ(files, wantFiles) << query;
        EXPECT_EQ(entries, wantEntries) << query;

        // Negated, the phrase finds the other documents and highlights nothing of it.
        ASSERT_NE(index->RunQuery("bee & !(" + query + ")", files, entries), 0) << query;
        int wantOthers = 0;
        for (const auto& doc : docs)
            wantOthers += countStarts(doc, phrase) == 0 && countStarts(doc, {"bee"}) > 0;
        EXPECT_EQ(files, wantOthers) << "bee & !(" << query << ")";
    }
}

TEST(PhraseCount, HitsOfAPhraseAreItsStartsWithItsLength) {
    TempFolder folder;
    auto index = createIndex(folder.path() / "idx");
    ASSERT_TRUE(addText(*index, "/a", "ha ha ha rare ha ha"));  // overlapping starts
    ASSERT_TRUE(reopen(*index));
    int files = 0;
    std::int64_t entries = 0;
    ASSERT_NE(index->RunQuery("ha ha", files, entries), 0);
    EXPECT_EQ(entries, 3);
    std::vector<vellcore::HitRecord> hits;
    ASSERT_TRUE(index->GetHits(0, hits));
    ASSERT_EQ(hits.size(), 3U);
    EXPECT_EQ(hits[0].firstWord, 0U);
    EXPECT_EQ(hits[1].firstWord, 1U);
    EXPECT_EQ(hits[2].firstWord, 4U);
    EXPECT_EQ(hits[2].wordCount, 2);
    ASSERT_NE(index->RunQuery("ha rare ha", files, entries), 0);
    EXPECT_EQ(entries, 1);
    ASSERT_NE(index->RunQuery("rare ha ha", files, entries), 0);
    EXPECT_EQ(entries, 1) << "the rare word first";
    ASSERT_NE(index->RunQuery("ha ha rare", files, entries), 0);
    EXPECT_EQ(entries, 1) << "the rare word last";
    ASSERT_NE(index->RunQuery("ha ha | ha", files, entries), 0);
    EXPECT_EQ(entries, 8) << "the phrase's starts and the word's own hits, merged by position";
}
