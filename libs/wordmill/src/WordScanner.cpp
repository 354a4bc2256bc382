#include <immintrin.h>

#include <cstdlib>
#include <string_view>

#include "Entities.h"
#include "TokenStream.h"

namespace wordmill {

namespace {

// The block masks with AVX2, 32 bytes at a time: a byte is an ASCII word character when
// the bit of its high nibble is set in the table entry of its low nibble (bytes of 0x80
// and above have no bit there).
__attribute__((target("avx2"))) void classifyBlockAvx2(const unsigned char* s,
                                                       const unsigned char* nibbleWords,
                                                       bool markup, std::uint64_t& word,
                                                       std::uint64_t& special) {
    const __m256i table =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(nibbleWords)));
    const __m256i highBits = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0,
                                              1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i low4 = _mm256_set1_epi8(0x0F);
    const __m256i zero = _mm256_setzero_si256();
    word = 0;
    special = 0;
    for (int half = 0; half < 2; ++half) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32 * half));
        const __m256i lo = _mm256_and_si256(b, low4);
        const __m256i hi = _mm256_and_si256(_mm256_srli_epi16(b, 4), low4);
        const __m256i bits =
            _mm256_and_si256(_mm256_shuffle_epi8(table, lo), _mm256_shuffle_epi8(highBits, hi));
        const auto notWord =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bits, zero)));
        auto other = static_cast<std::uint32_t>(_mm256_movemask_epi8(b)) |
                     static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, zero)));
        if (markup)  // "<" starts markup, "&" a reference
            other |= static_cast<std::uint32_t>(
                _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(b, _mm256_set1_epi8('<')),
                                                     _mm256_cmpeq_epi8(b, _mm256_set1_epi8('&')))));
        word |= static_cast<std::uint64_t>(~notWord) << (32 * half);
        special |= static_cast<std::uint64_t>(other) << (32 * half);
    }
}

// The end of the run of bytes of class `want` from p. Eight bytes at a time where the
// text allows: their classes are gathered into a bit mask without branches, so the end
// of a word costs one well-predicted test instead of a mispredicted loop exit.
inline std::size_t runEnd(const unsigned char* s, std::size_t p, std::size_t limit,
                          const unsigned char* cls, unsigned char want, bool sentinel) {
    while (p + 8 <= limit) {
        unsigned mask = 0;
        for (int k = 0; k < 8; ++k) mask |= static_cast<unsigned>(cls[s[p + k]] == want) << k;
        if (mask != 0xFF) return p + static_cast<std::size_t>(__builtin_ctz(~mask));
        p += 8;
    }
    if (sentinel)
        while (cls[s[p]] == want) ++p;
    else
        while (p < limit && cls[s[p]] == want) ++p;
    return p;
}

}  // namespace

WordScanner::WordScanner(std::string_view text, const textfold::CharTable& table, bool markup,
                         bool html)
    : text_(text), table_(table), markup_(markup), html_(html) {
    for (int b = 0; b < 128; ++b) asciiWord_[b] = table[b] != 0 ? 1 : 0;
    for (int b = 0; b < 256; ++b)
        byteClass_[b] = b >= 0x80 ? kSpecial : (table[b] != 0 ? kWord : kSeparator);
    byteClass_[0] = kSpecial;
    if (markup) {
        byteClass_['<'] = byteClass_['&'] = kSpecial;
        asciiWord_['<'] = asciiWord_['&'] = 0;  // markup and references, never word characters
    }
    for (int b = 0; b < 128; ++b)
        if (asciiWord_[b]) nibbleWords_[b & 15] |= static_cast<unsigned char>(1u << (b >> 4));
}

void WordScanner::advanceTo(std::size_t to) {
    if (to > text_.size()) to = text_.size();
    const char* s = text_.data();
    std::uint32_t n = 0;
    for (std::size_t i = pos_; i < to; ++i) n += (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
    chars_ += n;
    pos_ = to;
}

char32_t WordScanner::decodeAt(std::size_t& pos) const {
    const auto* s = reinterpret_cast<const unsigned char*>(text_.data());
    const unsigned char b0 = s[pos];
    if (b0 < 0x80) return s[pos++];
    if (b0 < 0xE0) {
        const char32_t cp = ((b0 & 0x1Fu) << 6) | (s[pos + 1] & 0x3Fu);
        pos += 2;
        return cp;
    }
    if (b0 < 0xF0) {
        const char32_t cp =
            ((b0 & 0x0Fu) << 12) | ((s[pos + 1] & 0x3Fu) << 6) | (s[pos + 2] & 0x3Fu);
        pos += 3;
        return cp;
    }
    const char32_t cp = ((b0 & 0x07u) << 18) | ((s[pos + 1] & 0x3Fu) << 12) |
                        ((s[pos + 2] & 0x3Fu) << 6) | (s[pos + 3] & 0x3Fu);
    pos += 4;
    return cp;
}

bool UseAvx2() {
    static const bool use = [] {
        const char* setting = std::getenv("VELLUMAR_SIMD");
        if (setting && std::string_view(setting) == "0") return false;
        __builtin_cpu_init();  // in case this runs before the runtime's own start-up did
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return use;
}

void WordScanner::loadBlock(std::size_t index) {
    block_.index = index;
    const std::size_t begin = index * 64;
    const auto* s = reinterpret_cast<const unsigned char*>(text_.data()) + begin;
    if (UseAvx2() && begin + 64 <= text_.size()) {
        classifyBlockAvx2(s, nibbleWords_, markup_, block_.word, block_.special);
        return;
    }
    const std::size_t n =
        begin < text_.size() ? std::min<std::size_t>(64, text_.size() - begin) : 0;
    std::uint64_t word = 0, special = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned char c = byteClass_[s[k]];
        word |= static_cast<std::uint64_t>(c == kWord) << k;
        special |= static_cast<std::uint64_t>(c == kSpecial) << k;
    }
    if (n < 64) special |= ~std::uint64_t{0} << n;  // the end of the text stops every run
    block_.word = word;
    block_.special = special;
}

std::size_t WordScanner::nextNotSeparator(std::size_t p) {
    for (;;) {
        const std::size_t index = p / 64;
        if (index != block_.index) loadBlock(index);
        const std::uint64_t found = (block_.word | block_.special) >> (p % 64);
        if (found) return p + static_cast<std::size_t>(__builtin_ctzll(found));
        p = (index + 1) * 64;
    }
}

std::size_t WordScanner::nextNotWord(std::size_t p) {
    for (;;) {
        const std::size_t index = p / 64;
        if (index != block_.index) loadBlock(index);
        const std::uint64_t found = ~block_.word >> (p % 64);
        if (found) return p + static_cast<std::size_t>(__builtin_ctzll(found));
        p = (index + 1) * 64;
    }
}

WordScanner::Stop WordScanner::scanText(Token& token) {
    const auto* s = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t size = text_.size();
    std::size_t p = pos_;
    std::uint32_t chars = chars_;
    // Separators up to the next word: runs of ASCII (one byte, one character) in one step.
    for (;;) {
        const std::size_t q = nextNotSeparator(p);
        chars += static_cast<std::uint32_t>(q - p);
        p = q;
        if (p >= size) {
            pos_ = size, chars_ = chars;
            return Stop::End;
        }
        if (s[p] < 0x80) {
            if (asciiWord_[s[p]]) break;
            ++p, ++chars;  // a NUL
            continue;
        }
        std::size_t next = p;
        if (textfold::foldChar(table_, decodeAt(next))) break;
        p = next;
        ++chars;
    }
    token.byteBegin = p;
    token.charBegin = chars;
    std::size_t length = 0;
    for (;;) {
        const std::size_t q = nextNotWord(p);
        length += q - p;
        chars += static_cast<std::uint32_t>(q - p);
        p = q;
        if (p >= size || s[p] < 0x80) break;
        std::size_t next = p;
        if (!textfold::foldChar(table_, decodeAt(next))) break;
        ++length;
        p = next;
        ++chars;
    }
    pos_ = p;
    chars_ = chars;
    token.byteEnd = p;
    token.charEnd = chars;
    token.length = length;
    token.text = text_.substr(token.byteBegin, p - token.byteBegin);
    return Stop::Word;
}

WordScanner::Stop WordScanner::scanMarkupText(Token& token) {
    const auto* s = reinterpret_cast<const unsigned char*>(text_.data());
    const std::size_t size = text_.size();
    std::size_t p = pos_;
    std::uint32_t chars = chars_;
    for (;;) {
        const std::size_t q = nextNotSeparator(p);
        chars += static_cast<std::uint32_t>(q - p);
        p = q;
        if (p >= size) {
            pos_ = size, chars_ = chars;
            return Stop::End;
        }
        const unsigned char b = s[p];
        if (b < 0x80) {
            if (asciiWord_[b]) break;
            if (b == '<' || b == '&') {
                // Markup goes back to the caller; a reference takes the careful path.
                pos_ = p, chars_ = chars;
                return b == '<' ? Stop::Markup : scanImpl<true>(size, token);
            }
            ++p, ++chars;  // a NUL
            continue;
        }
        std::size_t next = p;
        if (textfold::foldChar(table_, decodeAt(next))) break;
        p = next;
        ++chars;
    }
    const std::size_t begin = p;
    const std::uint32_t firstChar = chars;
    std::size_t length = 0;
    for (;;) {
        const std::size_t q = nextNotWord(p);
        length += q - p;
        chars += static_cast<std::uint32_t>(q - p);
        p = q;
        if (p >= size) break;
        if (s[p] == '&') {
            // A reference may go on with the word: the careful path reads it from its start.
            pos_ = begin, chars_ = firstChar;
            return scanImpl<true>(size, token);
        }
        if (s[p] < 0x80) break;
        std::size_t next = p;
        if (!textfold::foldChar(table_, decodeAt(next))) break;
        ++length;
        p = next;
        ++chars;
    }
    pos_ = p;
    chars_ = chars;
    token.byteBegin = begin;
    token.charBegin = firstChar;
    token.byteEnd = p;
    token.charEnd = chars;
    token.length = length;
    token.text = text_.substr(begin, p - begin);
    return Stop::Word;
}

WordScanner::Stop WordScanner::scan(std::size_t limit, Token& token) {
    if (!markup_) return scanImpl<false>(limit, token);
    // Up to the end of the text, runs are found in the block masks.
    return limit == text_.size() ? scanMarkupText(token) : scanImpl<true>(limit, token);
}

WordScanner::Stop WordScanner::scanRaw(std::size_t limit, Token& token) {
    // In a CDATA section "<" and "&" are plain separators.
    const unsigned char lt = byteClass_['<'], amp = byteClass_['&'];
    byteClass_['<'] = kSeparator;
    byteClass_['&'] = kSeparator;
    const Stop stop = scanImpl<false>(limit, token);
    byteClass_['<'] = lt;
    byteClass_['&'] = amp;
    return stop;
}

template <bool allowMarkup>
WordScanner::Stop WordScanner::scanImpl(std::size_t limit, Token& token) {
    // Positions live in locals in the loops: the compiler cannot keep members in
    // registers across the writes into buffer_.
    const auto* s = reinterpret_cast<const unsigned char*>(text_.data());
    const unsigned char* word = asciiWord_;
    const unsigned char* cls = byteClass_;
    const std::string_view bounded = text_.substr(0, limit);
    std::size_t p = pos_;
    std::uint32_t chars = chars_;
    char32_t cp = 0;
    // At the end of the whole text the string's terminating NUL (class kSpecial; the
    // text itself holds none) stops the fast loops without a bounds test.
    const bool sentinel = limit == text_.size() && s[limit] == 0;

    // Separators up to the next word.
    for (;;) {
        const std::size_t runStart = p;
        p = runEnd(s, p, limit, cls, kSeparator, sentinel);
        chars += static_cast<std::uint32_t>(p - runStart);
        if (p >= limit) {
            pos_ = p, chars_ = chars;
            return Stop::End;
        }
        const unsigned char b = s[p];
        if (b < 0x80) {
            if (word[b]) break;
            if (allowMarkup && b == '<') {
                pos_ = p, chars_ = chars;
                return Stop::Markup;
            }
            if (!allowMarkup || b != '&') {  // a separator byte (CDATA's "<" or "&", a NUL)
                ++p, ++chars;
                continue;
            }
            // '&' in markup text
            const std::size_t n = decodeReference(bounded, p, html_, cp);
            if (n && textfold::foldChar(table_, cp)) break;
            const std::size_t step = n ? n : 1;
            p += step;  // references are ASCII: one byte, one character
            chars += static_cast<std::uint32_t>(step);
            continue;
        }
        std::size_t q = p;
        cp = decodeAt(q);
        if (textfold::foldChar(table_, cp)) break;
        p = q;
        ++chars;
    }

    // The word.
    token.byteBegin = p;
    token.charBegin = chars;
    bool buffered = false;
    std::size_t length = 0;
    for (;;) {
        // Runs of ASCII word characters, the common case.
        if (!buffered) {
            const std::size_t runStart = p;
            p = runEnd(s, p, limit, cls, kWord, sentinel);
            length += p - runStart;
            chars += static_cast<std::uint32_t>(p - runStart);
        }
        if (p >= limit) break;
        const unsigned char b = s[p];
        if (b < 0x80) {
            if (word[b]) {  // only reached for buffered words
                if (buffered && length < kKeptWordChars) buffer_ += static_cast<char>(b);
                ++length, ++p, ++chars;
                continue;
            }
            if (allowMarkup && b == '&') {
                const std::size_t n = decodeReference(bounded, p, html_, cp);
                if (n && textfold::foldChar(table_, cp)) {
                    if (!buffered) {
                        // Words this long are never delivered; their text does not matter.
                        if (length < kKeptWordChars)
                            buffer_.assign(text_.data() + token.byteBegin, p - token.byteBegin);
                        else
                            buffer_.clear();
                        buffered = true;
                    }
                    if (length < kKeptWordChars) textfold::appendUtf8(buffer_, cp);
                    ++length;
                    p += n;
                    chars += static_cast<std::uint32_t>(n);
                    continue;
                }
            }
            break;
        }
        std::size_t q = p;
        cp = decodeAt(q);
        if (!textfold::foldChar(table_, cp)) break;
        if (buffered && length < kKeptWordChars) buffer_.append(text_.data() + p, q - p);
        ++length;
        p = q;
        ++chars;
    }
    pos_ = p;
    chars_ = chars;
    token.byteEnd = p;
    token.charEnd = chars;
    token.length = length;
    token.text =
        buffered ? std::string_view(buffer_) : text_.substr(token.byteBegin, p - token.byteBegin);
    return Stop::Word;
}

}  // namespace wordmill

namespace wordmill {
template WordScanner::Stop WordScanner::scanImpl<true>(std::size_t, Token&);
template WordScanner::Stop WordScanner::scanImpl<false>(std::size_t, Token&);
}  // namespace wordmill
