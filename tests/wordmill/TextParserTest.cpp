#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "support/UnusualFiles.h"
#include "wordmill/Parser.h"

using namespace wordmill;
using namespace wordmill_test;

namespace {

std::vector<Word> wordsOf(const std::string& bytes, const textfold::CharTable& table,
                          int minLen = 2, int maxLen = 32) {
    auto parser = CreateTextParser(table);
    parser->SetMinWordLength(static_cast<std::uint8_t>(minLen));
    parser->SetMaxWordLength(static_cast<std::uint8_t>(maxLen));
    WordRecord record;
    EXPECT_TRUE(parser->OpenMemory(bytes, record));
    return allWords(*parser, record);
}

}  // namespace

TEST(TextParser, WordsFollowTheLanguageTableAndUnicodeLetters) {
    struct Case {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"Hello, World 42", {"Hello", "World"}},
        {"caf\xC3\xA9 na\xC3\xAFve", {"caf", "na", "ve"}},  // the English table has no accents
        {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 \xE2\x80\x94 Riga",
         {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", "Riga"}},
        {"", {}},
        {"   \t\r\n  ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts(wordsOf(c.text, textfold::englishTable())), c.words) << c.text;
    EXPECT_EQ(texts(wordsOf("caf\xC3\xA9 na\xC3\xAFve", latinTable())),
              (std::vector<std::string>{"caf\xC3\xA9", "na\xC3\xAFve"}));
}

TEST(TextParser, WordsOutsideTheLengthLimitsAreLeftOutButKeepTheirNumbers) {
    const auto words = wordsOf("a bb ccc dddd eeeee ff", textfold::englishTable(), 2, 4);
    ASSERT_EQ(texts(words), (std::vector<std::string>{"bb", "ccc", "dddd", "ff"}));
    std::vector<int> numbers;
    for (const Word& w : words) numbers.push_back(w.position);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 5})) << "\"a\" is 0, \"eeeee\" is 4";
    EXPECT_EQ(words[3].offset, 20);
    EXPECT_EQ(words[2].length, 4);
    // A minimum of 0 still never yields empty words.
    EXPECT_EQ(wordsOf("x yy", textfold::englishTable(), 0, 5).size(), 2u);
}

TEST(TextParser, OffsetsCountCharactersOfTheDecodedText) {
    const textfold::CharTable table = latinTable();
    // Valid UTF-8 with accents and a character outside the BMP, then the same words in
    // Windows-1252 (not valid UTF-8), which is decoded before counting.
    for (const std::string& bytes : {std::string("\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80 \xC3\xBC"
                                                 "ber Stra\xC3\x9F"
                                                 "e\r\nend"),
                                     std::string("\xE9t\xE9 \x80 \xFC"
                                                 "ber Stra\xDF"
                                                 "e\r\nend")}) {
        auto parser = CreateTextParser(table);
        WordRecord record;
        ASSERT_TRUE(parser->OpenMemory(bytes, record));
        EXPECT_EQ(parser->GetDocumentSize(), bytes.size());
        const auto words = allWords(*parser, record);
        ASSERT_EQ(words.size(), 4u);
        for (const Word& w : words) {
            EXPECT_EQ(charSlice(parser->DocumentText(), w.offset, w.span), w.text);
            EXPECT_EQ(w.span, w.length);
        }
        EXPECT_EQ(words[0].text, "\xC3\xA9t\xC3\xA9");
        EXPECT_EQ(words[1].offset, 6);
        EXPECT_EQ(words[2].text,
                  "Stra\xC3\x9F"
                  "e");
        EXPECT_EQ(words[3].offset, 19) << "CR and LF are characters too";
    }
}

TEST(TextParser, BinaryAndBrokenInputIsReadSafely) {
    std::string binary;
    for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 7919) % 256);
    binary += " tail";
    auto parser = CreateTextParser(textfold::englishTable());
    WordRecord record;
    ASSERT_TRUE(parser->OpenMemory(binary, record));
    const auto words = allWords(*parser, record);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back().text, "tail");
    EXPECT_EQ(record.position, kDocumentEnd);
    for (unsigned char c : parser->DocumentText())
        EXPECT_TRUE(c >= 32 || c == 9 || c == 10 || c == 13)
            << "control characters are shown as blanks";
    EXPECT_TRUE(textfold::isValidUtf8(parser->DocumentText()));
    for (std::size_t i = 0; i < words.size(); i += words.size() / 16 + 1)
        ASSERT_EQ(charSlice(parser->DocumentText(), words[i].offset, words[i].span), words[i].text);

    // Truncated and overlong sequences make the whole file Windows-1252.
    const auto broken = wordsOf("ab\xE2\x82 cd \xC0\xAF ef", textfold::englishTable());
    EXPECT_EQ(texts(broken), (std::vector<std::string>{"ab", "cd", "ef"}));
}

TEST(TextParser, OneHugeWordIsSkippedButCounted) {
    std::string text = "before ";
    text.append(10u << 20, 'x');
    text += " after";
    auto parser = CreateTextParser(textfold::englishTable());
    parser->SetMaxWordLength(255);
    WordRecord record;
    ASSERT_TRUE(parser->OpenMemory(text, record));
    const auto words = allWords(*parser, record);
    ASSERT_EQ(texts(words), (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(words[1].position, 2);
    EXPECT_EQ(words[1].offset, static_cast<int>(7 + (10u << 20) + 1));
}

TEST(TextParser, OpenCloseRewindAndTheEndOfTheStream) {
    TempDir dir;
    writeFile(dir / "notes.txt", "one two three");
    auto parser = CreateTextParser(textfold::englishTable());
    WordRecord record;
    EXPECT_FALSE(parser->Open(dir / "missing.txt", record));
    EXPECT_FALSE(parser->Open(dir.path(), record)) << "a folder is not a document";
    // Nor a FIFO or a device, which must not block or fill memory.
    ASSERT_TRUE(
        testing_support::makeSpecialFile(dir / "fifo.txt", testing_support::SpecialFile::Fifo));
    ASSERT_TRUE(testing_support::makeSpecialFile(dir / "zero.txt",
                                                 testing_support::SpecialFile::DevZeroLink));
    testing_support::finishesWithin(std::chrono::seconds(2), "opening special files", [&] {
        EXPECT_FALSE(parser->Open(dir / "fifo.txt", record));
        EXPECT_FALSE(parser->Open(dir / "zero.txt", record));
    });
    EXPECT_FALSE(parser->NextWord(record));

    ASSERT_TRUE(parser->Open(dir / "notes.txt", record));
    EXPECT_EQ(parser->GetDocumentSize(), 13u);
    EXPECT_EQ(parser->GetTagName(), "notes.txt");
    ASSERT_TRUE(parser->NextWord(record));
    ASSERT_TRUE(parser->NextWord(record));
    EXPECT_EQ(record.text, "two");
    ASSERT_TRUE(parser->Rewind());
    EXPECT_EQ(texts(allWords(*parser, record)), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(parser->NextWord(record));
    EXPECT_EQ(record.position, kDocumentEnd) << "the end stays the end";

    parser->Close();
    EXPECT_EQ(parser->GetDocumentSize(), 0u);
    EXPECT_FALSE(parser->NextWord(record));
}

TEST(TextParser, KeepsItsOwnCopyOfTheTable) {
    auto table = std::make_unique<textfold::CharTable>(textfold::englishTable());
    auto parser = CreateTextParser(*table);
    (*table)['4'] = '4';
    parser->SetLanguageTable(*table);
    table.reset();  // the language list was refilled
    EXPECT_EQ(parser->GetLanguageTable()['4'], '4');
    WordRecord record;
    ASSERT_TRUE(parser->OpenMemory("route 44", record));
    EXPECT_EQ(texts(allWords(*parser, record)), (std::vector<std::string>{"route", "44"}));
}
