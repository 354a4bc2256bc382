#include "wordmill/Parser.h"

#include <fcntl.h>
#include <immintrin.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <limits>
#include <vector>

#include "TokenStream.h"

namespace wordmill {

namespace {

// A document's offsets are 32-bit signed character counts.
constexpr std::uintmax_t kLargestDocument = std::numeric_limits<std::int32_t>::max();

// Words shown before and after a hit in a passage, and the most words of one hit shown.
constexpr std::int64_t kPassageContext = 8;
constexpr std::int64_t kPassageHitWords = 32;
// Text between two words of a passage longer than this is shown as " ... ".
constexpr std::size_t kLongestGap = 160;

// Room for a document of `size` bytes. A large buffer is backed by huge pages where the
// system offers them: touching 200 MB page by page costs 51,200 page faults, which on
// some (virtual) machines take as long as tokenising the text.
void reserveDocument(std::string& out, std::size_t size) {
    out.clear();
    out.reserve(size);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (size >= 4 * kHuge) {
        const auto begin = reinterpret_cast<std::uintptr_t>(out.data());
        const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
        const std::uintptr_t last = (begin + size) & ~(kHuge - 1);
        if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#endif
}

bool readWholeFile(const std::filesystem::path& file, std::string& out) {
    // Opened without blocking and checked on the open descriptor: a FIFO or a device in
    // the document's place is refused, never waited for or read without end.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<std::uintmax_t>(st.st_size) < kLargestDocument;
    if (ok) {
        const auto size = static_cast<std::size_t>(st.st_size);
        reserveDocument(out, size);
        out.resize(size);
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd, out.data() + got, size - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = n == 0;  // a file that shrank while being read keeps what was there
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        out.resize(got);
    }
    ::close(fd);
    return ok;
}

// Control characters other than TAB, LF and CR become blanks, as in the viewer. Eight
// bytes at a time: only a block holding a byte below 32 is looked at byte by byte.
void blankControlCharacters(std::string& text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    char* s = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t block;
        std::memcpy(&block, s + i, 8);
        if (((block - kOnes * 32) & ~block & kHigh) == 0) continue;
        for (std::size_t k = i; k < i + 8; ++k) {
            const auto b = static_cast<unsigned char>(s[k]);
            if (b < 32 && b != 9 && b != 10 && b != 13) s[k] = ' ';
        }
    }
    for (; i < n; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 32 && b != 9 && b != 10 && b != 13) s[i] = ' ';
    }
}

// The length of the valid UTF-8 sequence at s[i] (a byte of 0x80 or above), or 0: the
// rules of textfold::isValidUtf8 (no overlong forms, no surrogates, nothing past U+10FFFF).
inline std::size_t utf8SequenceAt(const unsigned char* s, std::size_t i, std::size_t n) {
    const unsigned b0 = s[i];
    auto continuation = [&](std::size_t k) { return i + k < n && (s[i + k] & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF) return continuation(1) ? 2 : 0;
    if ((b0 & 0xF0) == 0xE0) {
        if (!continuation(1) || !continuation(2)) return 0;
        const unsigned cp = ((b0 & 0x0F) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
        return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3)) return 0;
        const unsigned cp = ((b0 & 0x07) << 18) | ((s[i + 1] & 0x3Fu) << 12) |
                            ((s[i + 2] & 0x3Fu) << 6) | (s[i + 3] & 0x3Fu);
        return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

// One pass of AVX2 over the text, 32 bytes at a time: blanks the control characters and
// checks the sequences of other characters where a block holds any.
__attribute__((target("avx2"))) bool blankAndCheckUtf8Avx2(std::string& text) {
    auto* s = reinterpret_cast<unsigned char*>(text.data());
    const std::size_t n = text.size();
    const __m256i blank = _mm256_set1_epi8(' ');
    const __m256i highestControl = _mm256_set1_epi8(0x1F);
    const __m256i tab = _mm256_set1_epi8(9), lf = _mm256_set1_epi8(10), cr = _mm256_set1_epi8(13);
    bool valid = true;
    std::size_t i = 0;
    while (i + 32 <= n) {
        auto* at = reinterpret_cast<__m256i*>(s + i);
        __m256i b = _mm256_loadu_si256(at);
        const __m256i control = _mm256_andnot_si256(
            _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(b, tab), _mm256_cmpeq_epi8(b, lf)),
                            _mm256_cmpeq_epi8(b, cr)),
            _mm256_cmpeq_epi8(_mm256_min_epu8(b, highestControl), b));
        if (!_mm256_testz_si256(control, control)) {
            b = _mm256_blendv_epi8(b, blank, control);
            _mm256_storeu_si256(at, b);
        }
        auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(b));
        std::size_t next = i + 32;
        std::size_t after = i;  // the end of the last sequence checked
        while (high) {
            const std::size_t k = i + static_cast<std::size_t>(__builtin_ctz(high));
            high &= high - 1;
            if (k < after) continue;  // a continuation byte of that sequence
            const std::size_t length = utf8SequenceAt(s, k, n);
            if (!length) valid = false;
            after = k + (length ? length : 1);
        }
        i = std::max(next, after);
    }
    for (; i < n;) {
        if (s[i] < 0x80) {
            if (s[i] < 32 && s[i] != 9 && s[i] != 10 && s[i] != 13) s[i] = ' ';
            ++i;
            continue;
        }
        const std::size_t length = utf8SequenceAt(s, i, n);
        if (!length) valid = false;
        i += length ? length : 1;
    }
    return valid;
}

// Blanks the control characters (bytes below 32 are the same characters in UTF-8 and in
// Windows-1252) and says whether the text is valid UTF-8.
bool blankControlsAndCheckUtf8(std::string& text) {
    if (UseAvx2()) return blankAndCheckUtf8Avx2(text);
    blankControlCharacters(text);
    return textfold::isValidUtf8(text);
}

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

void appendCollapsed(std::string& out, std::string_view text) {
    bool space = false;
    std::string plain;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            space = true;
            continue;
        }
        if (space) plain += ' ';
        space = false;
        plain += c;
    }
    if (space) plain += ' ';
    appendEscaped(out, plain);
}

}  // namespace

struct PassageWord {
    std::string text;
    std::size_t byteBegin;
    std::size_t byteEnd;
    std::int64_t number;
};

// The words GetPassage has read most recently, so that nearby hits need no new scan.
struct PassageRing {
    std::deque<PassageWord> words;
    // Every delivered word numbered from here up to the stream's position is in `words`
    // (numbers have gaps where words were too short or too long to deliver).
    std::int64_t completeFrom = 0;
};

Parser::Parser() : table_(textfold::englishTable()) {}
Parser::~Parser() = default;

void Parser::SetMaxWordLength(std::uint8_t length) { maxLength_ = length; }
void Parser::SetMinWordLength(std::uint8_t length) { minLength_ = length; }
void Parser::SetLanguageTable(const textfold::CharTable& table) { table_ = table; }

bool Parser::Open(const std::filesystem::path& file, WordRecord& record) {
    Close();
    std::string bytes;
    if (!readWholeFile(file, bytes)) return false;
    path_ = file;
    return openBytes(std::move(bytes), record);
}

bool Parser::OpenMemory(std::string_view bytes, WordRecord& record) {
    Close();
    if (bytes.size() >= kLargestDocument) return false;
    return openBytes(std::string(bytes), record);
}

bool Parser::openBytes(std::string bytes, WordRecord& record) {
    documentSize_ = static_cast<std::uint32_t>(bytes.size());
    // Blanked before a conversion from Windows-1252 too: that maps no other byte to a
    // control character below 32.
    if (blankControlsAndCheckUtf8(bytes))
        text_ = std::move(bytes);
    else
        text_ = textfold::toUtf8Document(bytes);
    open_ = true;
    failed_ = false;
    documentOpened(record);
    stream_ = makeStream();
    wordCounter_ = 0;
    record.position = kDocumentEnd;
    return true;
}

void Parser::Close() {
    if (open_) documentClosed();
    stream_.reset();
    passageStream_.reset();
    passageRing_.reset();
    passageCounter_ = 0;
    open_ = false;
    failed_ = false;
    documentSize_ = 0;
    text_.clear();
    text_.shrink_to_fit();
    path_.clear();
}

bool Parser::Rewind() {
    if (!open_) return false;
    stream_ = makeStream();
    wordCounter_ = 0;
    failed_ = false;
    return true;
}

bool Parser::nextAccepted(TokenStream& stream, WordRecord& record, std::int32_t& counter,
                          Token* tokenOut) {
    const std::size_t shortest = std::max<std::size_t>(minLength_, 1);
    Token local;
    Token& token = tokenOut ? *tokenOut : local;
    for (;;) {
        const StreamResult r = stream.next(token);
        if (r == StreamResult::End) {
            record.position = kDocumentEnd;
            return false;
        }
        if (r == StreamResult::Error) {
            record.position = kParseFailed;
            return false;
        }
        // Every word takes its number, delivered or not: a phrase must never match across
        // a word that was left out for its length.
        const std::int32_t number = counter++;
        if (token.length < shortest || token.length > maxLength_) continue;
        record.text = token.text;
        record.length = static_cast<std::uint8_t>(token.length);
        record.position = number;
        record.offset = static_cast<std::int32_t>(token.charBegin);
        record.span = static_cast<std::int32_t>(token.charEnd - token.charBegin);
        record.byteOffset = static_cast<std::uint32_t>(token.byteBegin);
        record.tag = token.tag;
        return true;
    }
}

bool Parser::NextWord(WordRecord& record) {
    if (!open_ || !stream_) {
        record.position = kDocumentEnd;
        return false;
    }
    if (failed_) {
        record.position = kParseFailed;
        return false;
    }
    if (nextAccepted(*stream_, record, wordCounter_)) return true;
    if (record.position == kParseFailed) failed_ = true;
    // The stream is finished; later calls keep answering the same way.
    if (!failed_) stream_ = std::make_unique<EmptyStream>();
    return false;
}

bool Parser::GetPassage(const HitRecord* hits, std::size_t count, std::string& out) {
    out.clear();
    if (!open_ || !hits || count == 0 || hits[0].firstWord == kNoPosition) return false;
    const std::int64_t target = hits[0].firstWord;
    const std::int64_t hitWords = std::clamp<std::int64_t>(hits[0].wordCount, 1, kPassageHitWords);
    const std::int64_t firstNeeded = std::max<std::int64_t>(0, target - kPassageContext);
    const std::int64_t lastNeeded = target + hitWords - 1 + kPassageContext;

    if (!passageRing_) passageRing_ = std::make_unique<PassageRing>();
    auto& ring = passageRing_->words;
    const bool behind = passageRing_->completeFrom > firstNeeded;
    if (!passageStream_ || behind) {
        passageStream_ = makeStream();
        passageCounter_ = 0;
        ring.clear();
        passageRing_->completeFrom = 0;
    }
    const std::size_t keep = static_cast<std::size_t>(2 * kPassageContext + kPassageHitWords);
    WordRecord record;
    Token token;
    while (passageCounter_ <= lastNeeded) {
        if (!nextAccepted(*passageStream_, record, passageCounter_, &token)) {
            passageStream_ = std::make_unique<EmptyStream>();
            break;
        }
        ring.push_back({std::string(record.text), token.byteBegin, token.byteEnd, record.position});
        while (ring.size() > keep) {
            passageRing_->completeFrom = ring.front().number + 1;
            ring.pop_front();
        }
    }

    std::vector<const PassageWord*> shown;
    bool hasTarget = false;
    for (const PassageWord& w : ring) {
        if (w.number < firstNeeded || w.number > lastNeeded) continue;
        shown.push_back(&w);
        hasTarget = hasTarget || w.number == target;
    }
    if (!hasTarget) return false;

    auto isHit = [&](std::int64_t number) {
        for (std::size_t i = 0; i < count; ++i) {
            if (hits[i].firstWord == kNoPosition) continue;
            const std::int64_t first = hits[i].firstWord;
            if (first > lastNeeded) break;  // hits come in document order
            const std::int64_t last = first + std::max<std::int64_t>(hits[i].wordCount, 1) - 1;
            if (number >= first && number <= last) return true;
        }
        return false;
    };

    const bool source = passageShowsSourceText();
    bool inBold = false;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const PassageWord& w = *shown[i];
        const bool bold = isHit(w.number);
        if (i > 0) {
            const PassageWord& prev = *shown[i - 1];
            if (inBold && !bold) {
                out += "</b>";
                inBold = false;
            }
            if (source && prev.byteEnd <= w.byteBegin && w.byteBegin - prev.byteEnd <= kLongestGap)
                appendCollapsed(
                    out, std::string_view(text_).substr(prev.byteEnd, w.byteBegin - prev.byteEnd));
            else if (source && prev.byteEnd <= w.byteBegin)
                out += " ... ";
            else
                out += ' ';
        }
        if (bold && !inBold) {
            out += "<b>";
            inBold = true;
        }
        appendEscaped(out, w.text);
    }
    if (inBold) out += "</b>";
    return true;
}

std::string Parser::GetTagName(std::uint16_t tag) const { return {}; }

std::string Parser::GetTagName() const {
    if (!open_) return {};
    return path_.filename().string();
}

}  // namespace wordmill
