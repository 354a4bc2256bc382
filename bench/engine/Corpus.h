// The synthetic corpus both benchmark indexers feed: documents of 500 words drawn from a
// Zipf-distributed (s = 1) vocabulary of 200,000 made-up words. Deterministic: the same
// seed gives the same words in the same order in every program. The first ten words of
// each document stand in the element "/doc/title", so element queries have something
// to find.
#pragma once

#include <sys/resource.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace bench {

constexpr int kVocabulary = 200000;
constexpr int kWordsPerDoc = 500;
constexpr int kTitleWords = 10;
constexpr const char* kTitleField = "/doc/title";

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : s_(seed ? seed : 1) {}
    std::uint64_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return s_;
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    std::uint64_t s_;
};

class Corpus {
  public:
    Corpus() {
        // Words of 3 to 12 lowercase letters, all different; word i has rank i.
        Rng rng(42);
        std::unordered_set<std::string> seen;
        words_.reserve(kVocabulary);
        while (static_cast<int>(words_.size()) < kVocabulary) {
            const int len = 3 + static_cast<int>(rng.next() % 10);
            std::string w;
            for (int i = 0; i < len; ++i) w += static_cast<char>('a' + rng.next() % 26);
            if (seen.insert(w).second) words_.push_back(std::move(w));
        }
        cdf_.resize(kVocabulary);
        double sum = 0;
        for (int i = 0; i < kVocabulary; ++i) cdf_[i] = (sum += 1.0 / (i + 1));
        for (double& c : cdf_) c /= sum;
    }

    const std::string& word(int rank) const { return words_[rank]; }
    std::string upper(int rank) const {
        std::string w = words_[rank];
        for (char& c : w) c = static_cast<char>(c - 'a' + 'A');
        return w;
    }

    // The word ranks of document d.
    void document(int d, std::vector<int>& ranks) const {
        Rng rng(0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(d + 1));
        ranks.resize(kWordsPerDoc);
        for (int& r : ranks) {
            const double u = rng.uniform();
            r = static_cast<int>(std::lower_bound(cdf_.begin(), cdf_.end(), u) - cdf_.begin());
            if (r >= kVocabulary) r = kVocabulary - 1;
        }
    }

    static std::string name(int d) {
        return "/bench/docs/folder" + std::to_string(d / 1000) + "/doc" + std::to_string(d) +
               ".txt";
    }

  private:
    std::vector<std::string> words_;
    std::vector<double> cdf_;
};

inline double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

inline long peakRssMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace bench
