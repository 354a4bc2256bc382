#include "Entities.h"
#include "TokenStream.h"

namespace wordmill {

WordScanner::WordScanner(std::string_view text, const textfold::CharTable& table, bool markup,
                         bool html)
    : text_(text), table_(table), markup_(markup), html_(html) {
    for (int b = 0; b < 128; ++b) asciiWord_[b] = table[b] != 0 ? 1 : 0;
}

void WordScanner::advanceTo(std::size_t to) {
    if (to > text_.size()) to = text_.size();
    const char* s = text_.data();
    std::uint32_t n = 0;
    for (std::size_t i = pos_; i < to; ++i)
        n += (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
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
        const char32_t cp = ((b0 & 0x0Fu) << 12) | ((s[pos + 1] & 0x3Fu) << 6) | (s[pos + 2] & 0x3Fu);
        pos += 3;
        return cp;
    }
    const char32_t cp = ((b0 & 0x07u) << 18) | ((s[pos + 1] & 0x3Fu) << 12) |
                        ((s[pos + 2] & 0x3Fu) << 6) | (s[pos + 3] & 0x3Fu);
    pos += 4;
    return cp;
}

WordScanner::Stop WordScanner::scan(std::size_t limit, Token& token) {
    return scanImpl(limit, token, markup_);
}

WordScanner::Stop WordScanner::scanRaw(std::size_t limit, Token& token) {
    return scanImpl(limit, token, false);
}

WordScanner::Stop WordScanner::scanImpl(std::size_t limit, Token& token, bool allowMarkup) {
    const char* s = text_.data();
    const std::string_view bounded = text_.substr(0, limit);
    char32_t cp = 0;

    // Separators up to the next word.
    for (;;) {
        if (pos_ >= limit) return Stop::End;
        const auto b = static_cast<unsigned char>(s[pos_]);
        if (b < 0x80) {
            if (asciiWord_[b]) break;
            if (allowMarkup) {
                if (b == '<') return Stop::Markup;
                if (b == '&') {
                    const std::size_t n = decodeReference(bounded, pos_, html_, cp);
                    if (n && textfold::foldChar(table_, cp)) break;
                    const std::size_t step = n ? n : 1;
                    pos_ += step;  // references are ASCII: one byte, one character
                    chars_ += static_cast<std::uint32_t>(step);
                    continue;
                }
            }
            ++pos_;
            ++chars_;
            continue;
        }
        std::size_t p = pos_;
        cp = decodeAt(p);
        if (textfold::foldChar(table_, cp)) break;
        pos_ = p;
        ++chars_;
    }

    // The word.
    token.byteBegin = pos_;
    token.charBegin = chars_;
    bool buffered = false;
    std::size_t length = 0;
    while (pos_ < limit) {
        const auto b = static_cast<unsigned char>(s[pos_]);
        if (b < 0x80) {
            if (asciiWord_[b]) {
                if (buffered && length < kKeptWordChars) buffer_ += static_cast<char>(b);
                ++length;
                ++pos_;
                ++chars_;
                continue;
            }
            if (allowMarkup && b == '&') {
                const std::size_t n = decodeReference(bounded, pos_, html_, cp);
                if (n && textfold::foldChar(table_, cp)) {
                    if (!buffered) {
                        // Words this long are never delivered; their text does not matter.
                        if (length < kKeptWordChars)
                            buffer_.assign(s + token.byteBegin, pos_ - token.byteBegin);
                        else
                            buffer_.clear();
                        buffered = true;
                    }
                    if (length < kKeptWordChars) textfold::appendUtf8(buffer_, cp);
                    ++length;
                    pos_ += n;
                    chars_ += static_cast<std::uint32_t>(n);
                    continue;
                }
            }
            break;
        }
        std::size_t p = pos_;
        cp = decodeAt(p);
        if (!textfold::foldChar(table_, cp)) break;
        if (buffered && length < kKeptWordChars) buffer_.append(s + pos_, p - pos_);
        ++length;
        pos_ = p;
        ++chars_;
    }
    token.byteEnd = pos_;
    token.charEnd = chars_;
    token.length = length;
    token.text = buffered ? std::string_view(buffer_)
                          : text_.substr(token.byteBegin, pos_ - token.byteBegin);
    return Stop::Word;
}

}  // namespace wordmill
