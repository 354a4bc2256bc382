#include "viewer/DisplayPositions.h"

#include <algorithm>
#include <limits>

namespace vellumar {

namespace {

constexpr std::int64_t kMarkEvery = 1 << 16;

}  // namespace

DisplayPositions::DisplayPositions(std::string_view text) : text_(text) {
    Mark start;
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") {
        start.byte = 3;  // the byte-order mark: one character, no display position
        start.offset = 1;
    }
    cursor_ = start;
    marks_.push_back(start);
}

void DisplayPositions::walkTo(Mark& at, std::int64_t offset) {
    const std::size_t n = text_.size();
    const char* s = text_.data();
    std::size_t byte = at.byte;
    std::int64_t chars = at.offset;
    std::int64_t display = at.display;
    while (chars < offset && byte < n) {
        const auto b = static_cast<unsigned char>(s[byte]);
        if (b < 0x80) {
            // "\r\n" is one block separator: the "\n" behind a "\r" takes no position.
            if (!(b == '\n' && byte > 0 && s[byte - 1] == '\r')) ++display;
            ++byte;
        } else if (b >= 0xF0) {
            display += 2;  // a surrogate pair
            byte += 4;
        } else {
            ++display;
            byte += b >= 0xE0 ? 3 : 2;
        }
        ++chars;
        if (chars - marks_.back().offset >= kMarkEvery) marks_.push_back({byte, chars, display});
    }
    at = {std::min(byte, n), chars, display};
}

std::int64_t DisplayPositions::ToDisplay(std::int64_t offset) {
    if (offset <= marks_.front().offset) return marks_.front().display;
    if (offset < cursor_.offset) {
        // Behind the last lookup: start again from the nearest mark before the offset.
        auto mark = std::upper_bound(marks_.begin(), marks_.end(), offset,
                                     [](std::int64_t o, const Mark& m) { return o < m.offset; });
        cursor_ = *std::prev(mark);
    }
    walkTo(cursor_, offset);
    return cursor_.display;
}

std::int64_t DisplayPositions::End() { return ToDisplay(std::numeric_limits<std::int64_t>::max()); }

}  // namespace vellumar
