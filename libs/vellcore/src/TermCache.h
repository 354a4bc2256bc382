// The words known to be in the index during one writing session, kept as 64-bit hashes
// in a flat open-addressing table: checking every distinct word of every stored document
// against it must cost next to nothing. A hash collision can only make a new word look
// known (the unique-word count would miss it); with 64-bit hashes that is negligible.
//
// Threads: owned by one IndexObject.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vellcore {

class TermCache {
  public:
    bool contains(std::string_view term) const {
        if (slots_.empty()) return false;
        const std::uint64_t h = hash(term);
        for (std::size_t i = h & mask(); slots_[i] != kEmpty; i = (i + 1) & mask())
            if (slots_[i] == h) return true;
        return false;
    }

    void insert(std::string_view term) {
        if ((used_ + 1) * 2 > slots_.size()) grow();
        const std::uint64_t h = hash(term);
        std::size_t i = h & mask();
        std::size_t tomb = SIZE_MAX;
        for (; slots_[i] != kEmpty; i = (i + 1) & mask()) {
            if (slots_[i] == h) return;
            if (slots_[i] == kDeleted && tomb == SIZE_MAX) tomb = i;
        }
        if (tomb != SIZE_MAX) {
            slots_[tomb] = h;
        } else {
            slots_[i] = h;
            ++used_;
        }
        ++size_;
    }

    void erase(std::string_view term) {
        if (slots_.empty()) return;
        const std::uint64_t h = hash(term);
        for (std::size_t i = h & mask(); slots_[i] != kEmpty; i = (i + 1) & mask())
            if (slots_[i] == h) {
                slots_[i] = kDeleted;
                --size_;
                return;
            }
    }

    std::size_t size() const { return size_; }
    void clear() {
        slots_.clear();
        used_ = size_ = 0;
    }

  private:
    static constexpr std::uint64_t kEmpty = 0, kDeleted = 1;

    static std::uint64_t hash(std::string_view s) {
        std::uint64_t h = 1469598103934665603ULL;  // FNV-1a, then a final mix
        for (unsigned char c : s) h = (h ^ c) * 1099511628211ULL;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return h < 2 ? h + 2 : h;
    }
    std::size_t mask() const { return slots_.size() - 1; }

    void grow() {
        std::vector<std::uint64_t> old = std::move(slots_);
        slots_.assign(old.empty() ? 1024 : old.size() * 2, kEmpty);
        used_ = size_ = 0;
        for (std::uint64_t h : old) {
            if (h == kEmpty || h == kDeleted) continue;
            std::size_t i = h & mask();
            while (slots_[i] != kEmpty) i = (i + 1) & mask();
            slots_[i] = h;
            ++used_;
            ++size_;
        }
    }

    std::vector<std::uint64_t> slots_;
    std::size_t used_ = 0;  // filled or deleted slots
    std::size_t size_ = 0;
};

}  // namespace vellcore
