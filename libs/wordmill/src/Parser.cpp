#include "wordmill/Parser.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
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

bool readWholeFile(const std::filesystem::path& file, std::string& out) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size >= kLargestDocument) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    out.resize(static_cast<std::size_t>(size));
    in.read(out.data(), static_cast<std::streamsize>(size));
    // A file that shrank while being read keeps what was there.
    out.resize(static_cast<std::size_t>(in.gcount()));
    return !in.bad();
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
    if (textfold::isValidUtf8(bytes))
        text_ = std::move(bytes);
    else
        text_ = textfold::toUtf8Document(bytes);
    blankControlCharacters(text_);
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
