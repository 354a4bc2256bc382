// The text parser's fast paths against plain reference implementations, on random text
// built to put every kind of character at every position of the 32- and 64-byte blocks
// the fast paths work in: control characters, separators, ASCII and accented letters,
// characters of two to four bytes, and broken sequences that make a text Windows-1252.
#include <gtest/gtest.h>

#include <random>

#include "TestHelpers.h"
#include "wordmill/Parser.h"

using namespace wordmill;
using namespace wordmill_test;

namespace {

// DocumentText as documented: valid UTF-8 kept, else read as Windows-1252; control
// characters other than TAB, LF and CR shown as blanks.
std::string referenceText(const std::string& bytes) {
    std::string text = textfold::toUtf8Document(bytes);
    for (char& c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 && b != 9 && b != 10 && b != 13) c = ' ';
    }
    return text;
}

// Every run of word characters, numbered from 0, delivered when its length fits.
std::vector<Word> referenceWords(const std::string& text, const textfold::CharTable& table,
                                 std::size_t minLength, std::size_t maxLength) {
    std::vector<Word> words;
    std::size_t pos = 0;
    int chars = 0, number = 0;
    while (pos < text.size()) {
        std::size_t next = pos;
        if (!textfold::foldChar(table, textfold::nextUtf8(text, next))) {
            pos = next, ++chars;
            continue;
        }
        const std::size_t begin = pos;
        const int firstChar = chars;
        while (pos < text.size()) {
            next = pos;
            if (!textfold::foldChar(table, textfold::nextUtf8(text, next))) break;
            pos = next, ++chars;
        }
        const int length = chars - firstChar;
        if (static_cast<std::size_t>(length) >= std::max<std::size_t>(minLength, 1) &&
            static_cast<std::size_t>(length) <= maxLength)
            words.push_back(
                {text.substr(begin, pos - begin), number, firstChar, length, 0, length});
        ++number;
    }
    return words;
}

std::string randomText(std::mt19937& rng, std::size_t pieces) {
    static const std::vector<std::string> kinds = {
        "a",
        "Z",
        "q",
        "word",
        " ",
        "  ",
        "\n",
        "\r\n",
        "\t",
        ",",
        "-",
        "42",
        std::string(1, '\0'),
        "\x01",
        "\x1f",
        "\x7f",
        "\xC3\xA9",
        "\xC3\x9F",
        "\xC2\xA0",  // é, ß, no-break space
        "\xC5\x93",
        "\xD0\x96",  // œ, Ж
        "\xE2\x80\x94",
        "\xE4\xB8\xAD",
        "\xEF\xBB\xBF",  // em dash, 中, BOM
        "\xF0\x9F\x98\x80",
        "\xF0\x90\x90\xB7",  // an emoji, a Deseret letter
    };
    static const std::vector<std::string> broken = {
        "\xC3", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xF5\x80\x80\x80", "\x80", "\xFF"};
    std::string text;
    for (std::size_t i = 0; i < pieces; ++i) text += kinds[rng() % kinds.size()];
    if (rng() % 4 == 0) text.insert(rng() % (text.size() + 1), broken[rng() % broken.size()]);
    return text;
}

}  // namespace

TEST(TextFastPath, DocumentTextAndWordsMatchTheReferenceEverywhereInABlock) {
    std::mt19937 rng(20261208);
    const textfold::CharTable tables[] = {textfold::englishTable(), latinTable()};
    auto parser = CreateTextParser(textfold::englishTable());
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = randomText(rng, 1 + rng() % 120);
        const textfold::CharTable& table = tables[round % 2];
        const std::size_t minLength = rng() % 4, maxLength = 3 + rng() % 6;
        parser->SetLanguageTable(table);
        parser->SetMinWordLength(static_cast<std::uint8_t>(minLength));
        parser->SetMaxWordLength(static_cast<std::uint8_t>(maxLength));
        WordRecord record;
        ASSERT_TRUE(parser->OpenMemory(bytes, record));
        const std::string expected = referenceText(bytes);
        ASSERT_EQ(parser->DocumentText(), expected) << "round " << round;
        const auto words = allWords(*parser, record);
        const auto wanted = referenceWords(expected, table, minLength, maxLength);
        ASSERT_EQ(words.size(), wanted.size()) << "round " << round;
        for (std::size_t i = 0; i < words.size(); ++i) {
            EXPECT_EQ(words[i].text, wanted[i].text) << "round " << round;
            EXPECT_EQ(words[i].position, wanted[i].position) << "round " << round;
            EXPECT_EQ(words[i].offset, wanted[i].offset) << "round " << round;
            EXPECT_EQ(words[i].length, wanted[i].length) << "round " << round;
        }
    }
}

namespace {

// The HTML parser's words for text made of the pieces below only: simple tags separate
// words, the few references are decoded (a letter joins its word), anything else is as in
// plain text. Offsets and spans count characters of the source.
std::vector<Word> referenceHtmlWords(const std::string& text, const textfold::CharTable& table) {
    static const std::vector<std::pair<std::string, char32_t>> references = {
        {"&amp;", U'&'}, {"&eacute;", 0xE9}, {"&#233;", 0xE9}, {"&#x43;", U'C'}, {"&nbsp;", 0xA0}};
    std::vector<Word> words;
    std::string current;
    int chars = 0, number = 0, start = 0, length = 0;
    auto finish = [&] {
        if (length >= 2 && length <= 32)
            words.push_back({current, number, start, chars - start, 0, length});
        if (length > 0) ++number;
        current.clear();
        length = 0;
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '<' && pos + 1 < text.size() && text[pos + 1] != ' ') {
            const std::size_t end = text.find('>', pos) + 1;
            finish();
            chars += static_cast<int>(end - pos);
            pos = end;
            continue;
        }
        char32_t cp = 0;
        std::size_t next = pos, span = 1;
        bool decoded = false;
        if (text[pos] == '&')
            for (const auto& [name, value] : references)
                if (text.compare(pos, name.size(), name) == 0) {
                    cp = value, next = pos + name.size(), span = name.size(), decoded = true;
                    break;
                }
        if (!decoded) cp = textfold::nextUtf8(text, next);
        if (textfold::foldChar(table, cp)) {
            if (length == 0) start = chars;
            textfold::appendUtf8(current, cp);
            ++length;
        } else {
            finish();
        }
        chars += static_cast<int>(span);
        pos = next;
    }
    finish();
    return words;
}

}  // namespace

TEST(MarkupFastPath, HtmlWordsMatchTheReferenceEverywhereInABlock) {
    static const std::vector<std::string> pieces = {"a",         "word",         "Zed",
                                                    " ",         "\n",           ",",
                                                    "<b>",       "</b>",         "<p>",
                                                    "< ",        "&amp;",        "&eacute;",
                                                    "&#233;",    "&#x43;",       "&nbsp;",
                                                    "&unknown;", "& ",           "\xC3\xA9",
                                                    "\xC5\x93",  "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                                    "42"};
    std::mt19937 rng(8122026);
    auto parser = CreateHtmlParser(latinTable());
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (std::size_t i = 0, n = 1 + rng() % 100; i < n; ++i)
            text += pieces[rng() % pieces.size()];
        WordRecord record;
        ASSERT_TRUE(parser->OpenMemory(text, record));
        const auto words = allWords(*parser, record);
        const auto wanted = referenceHtmlWords(text, latinTable());
        ASSERT_EQ(words.size(), wanted.size()) << text;
        for (std::size_t i = 0; i < words.size(); ++i) {
            EXPECT_EQ(words[i].text, wanted[i].text) << text;
            EXPECT_EQ(words[i].position, wanted[i].position) << text;
            EXPECT_EQ(words[i].offset, wanted[i].offset) << text;
            EXPECT_EQ(words[i].span, wanted[i].span) << text;
            EXPECT_EQ(words[i].length, wanted[i].length) << text;
        }
    }
}
