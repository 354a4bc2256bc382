#include "wordmill/RtfReader.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

#include "textfold/TextFold.h"

namespace wordmill {

namespace {

constexpr std::size_t kDeepestGroup = 10000;
constexpr std::uintmax_t kLargestFile = 1u << 30;

// Destinations whose text is not document text.
constexpr std::array<const char*, 34> kSkippedDestinations = {
    "fonttbl",    "colortbl",     "stylesheet", "info",
    "pict",       "object",       "listtable",  "listoverridetable",
    "rsidtbl",    "generator",    "themedata",  "colorschememapping",
    "datastore",  "latentstyles", "xmlnsdecl",  "fldinst",
    "filetbl",    "revtbl",       "mmathPr",    "pgdsctbl",
    "header",     "footer",       "headerl",    "headerr",
    "headerf",    "footerl",      "footerr",    "footerf",
    "bkmkstart",  "bkmkend",      "xe",         "tc",
    "nonshppict", "private"};

struct GroupState {
    bool skip = false;
    int unicodeSkip = 1;  // \ucN: characters that stand in for each \u
    RtfRun format;
};

class RtfParser {
  public:
    explicit RtfParser(std::string_view in) : in_(in) {}

    std::optional<RtfDocument> run() {
        std::size_t p = 0;
        while (p < in_.size() &&
               (in_[p] == ' ' || in_[p] == '\r' || in_[p] == '\n' || in_[p] == '\t'))
            ++p;
        if (in_.compare(p, 5, "{\\rtf") != 0) return std::nullopt;
        pos_ = p;
        stack_.push_back(GroupState{});
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                ++pos_;
                if (stack_.size() >= kDeepestGroup) return std::nullopt;
                stack_.push_back(stack_.back());
                stack_.back().unicodeSkip = stack_[stack_.size() - 2].unicodeSkip;
                pendingSkip_ = 0;
            } else if (c == '}') {
                ++pos_;
                pendingSkip_ = 0;
                if (stack_.size() == 2) break;  // the document's own group ends the document
                stack_.pop_back();
            } else if (c == '\\') {
                controlSymbol();
            } else if (c == '\r' || c == '\n') {
                ++pos_;
            } else {
                ++pos_;
                if (consumeFallback()) continue;
                emitByte(static_cast<unsigned char>(c));
            }
        }
        flushSurrogate();
        return std::move(doc_);
    }

  private:
    GroupState& state() { return stack_.back(); }

    // Characters after \u that stand in for it are dropped.
    bool consumeFallback() {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return true;
        }
        return false;
    }

    void emitByte(unsigned char b) { emit(textfold::windows1252ToUnicode(b)); }

    void emit(char32_t cp) {
        if (state().skip) return;
        if (highSurrogate_) {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            if (cp >= 0xDC00 && cp <= 0xDFFF) {
                cp = 0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00);
            } else {
                put(0xFFFD);
            }
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            highSurrogate_ = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) cp = 0xFFFD;
        put(cp);
    }

    void flushSurrogate() {
        if (highSurrogate_) put(0xFFFD);
        highSurrogate_ = 0;
    }

    void put(char32_t cp) {
        if (cp == 0) return;
        RtfRun& f = state().format;
        if (doc_.runs.empty() || !doc_.runs.back().sameFormat(f) ||
            doc_.runs.back().start + doc_.runs.back().length != chars_) {
            RtfRun run = f;
            run.start = chars_;
            run.length = 0;
            doc_.runs.push_back(run);
        }
        ++doc_.runs.back().length;
        textfold::appendUtf8(doc_.text, cp);
        ++chars_;
    }

    static int hexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void controlSymbol() {
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            controlWord();
            return;
        }
        ++pos_;
        switch (c) {
            case '\'': {
                int value = -1;
                if (pos_ + 1 < in_.size()) {
                    const int h = hexDigit(in_[pos_]), l = hexDigit(in_[pos_ + 1]);
                    if (h >= 0 && l >= 0) value = h * 16 + l;
                }
                if (value < 0) return;
                pos_ += 2;
                if (consumeFallback()) return;
                emitByte(static_cast<unsigned char>(value));
                return;
            }
            case '\\':
            case '{':
            case '}':
                if (consumeFallback()) return;
                emit(static_cast<unsigned char>(c));
                return;
            case '~':
                emit(0xA0);
                return;
            case '_':
                emit('-');
                return;
            case '*':
                state().skip = true;
                return;
            case '\r':
            case '\n':
                emit('\n');
                return;
            default:
                return;  // \- (optional hyphen), \: and the like add nothing
        }
    }

    void controlWord() {
        char word[33];
        std::size_t len = 0;
        while (pos_ < in_.size() &&
               ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z'))) {
            if (len < 32) word[len++] = in_[pos_];
            ++pos_;
        }
        word[len] = 0;
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (pos_ < in_.size() && in_[pos_] == '-') negative = true, ++pos_;
        while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
            hasParam = true;
            if (param < 100000000) param = param * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        if (negative) param = -param;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        apply(word, hasParam, param);
    }

    void apply(const char* w, bool hasParam, long long param) {
        auto is = [w](const char* name) { return std::strcmp(w, name) == 0; };
        GroupState& s = state();
        if (is("par") || is("line") || is("sect") || is("page") || is("row")) return emit('\n');
        if (is("tab") || is("cell")) return emit('\t');
        if (is("emdash")) return emit(0x2014);
        if (is("endash")) return emit(0x2013);
        if (is("bullet")) return emit(0x2022);
        if (is("lquote")) return emit(0x2018);
        if (is("rquote")) return emit(0x2019);
        if (is("ldblquote")) return emit(0x201C);
        if (is("rdblquote")) return emit(0x201D);
        if (is("u") && hasParam) {
            long long v = param < 0 ? param + 65536 : param;
            if (v < 0 || v > 0xFFFF) v = 0xFFFD;
            emit(static_cast<char32_t>(v));
            pendingSkip_ = s.unicodeSkip;
            return;
        }
        if (is("uc")) {
            s.unicodeSkip = hasParam && param >= 0 && param < 16 ? static_cast<int>(param) : 1;
            return;
        }
        if (is("bin") && hasParam && param > 0) {
            pos_ += std::min<std::size_t>(static_cast<std::size_t>(param), in_.size() - pos_);
            return;
        }
        const bool on = !hasParam || param != 0;
        if (is("b"))
            s.format.bold = on;
        else if (is("i"))
            s.format.italic = on;
        else if (is("ul"))
            s.format.underline = on;
        else if (is("ulnone"))
            s.format.underline = false;
        else if (is("fs") && hasParam && param > 0 && param < 4000)
            s.format.fontSizeHalfPoints = static_cast<int>(param);
        else if (is("plain"))
            s.format = RtfRun{};
        else {
            for (const char* d : kSkippedDestinations)
                if (is(d)) {
                    s.skip = true;
                    break;
                }
        }
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    RtfDocument doc_;
    std::size_t chars_ = 0;
    int pendingSkip_ = 0;
    char32_t highSurrogate_ = 0;
};

}  // namespace

std::optional<RtfDocument> readRtf(std::string_view bytes) { return RtfParser(bytes).run(); }

std::optional<RtfDocument> readRtfFile(const std::filesystem::path& file) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kLargestFile) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return readRtf(bytes);
}

}  // namespace wordmill
