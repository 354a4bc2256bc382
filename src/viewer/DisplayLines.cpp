#include "viewer/DisplayLines.h"

#include <algorithm>

namespace vellumar {

std::size_t groupDisplayLines(char16_t* text, std::size_t length, std::size_t linesPerBlock) {
    constexpr char16_t kLineSeparator = 0x2028;
    constexpr char16_t kParagraphSeparator = 0x2029;
    linesPerBlock = std::max<std::size_t>(linesPerBlock, 1);
    std::size_t out = 0;
    std::size_t lines = 0;
    for (std::size_t in = 0; in < length; ++in) {
        char16_t c = text[in];
        if (c == u'\r' || c == u'\n' || c == kParagraphSeparator) {
            if (c == u'\r' && in + 1 < length && text[in + 1] == u'\n') ++in;
            c = ++lines % linesPerBlock == 0 ? u'\n' : kLineSeparator;
        }
        text[out++] = c;
    }
    return out;
}

}  // namespace vellumar
