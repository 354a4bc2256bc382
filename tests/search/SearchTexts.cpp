// The text rules of searching: the query history, the selected-word filter, the refining
// expressions and the list-file query, as tables.
#include <gtest/gtest.h>

#include "search/ListFileQuery.h"
#include "search/RefiningSearch.h"
#include "search/SearchHistory.h"

using namespace vellumar;

TEST(SearchHistory, OneEntryPerQueryIgnoringCaseNewestSpellingOnTopAtMostForty) {
    std::vector<std::string> history;
    rememberQuery(history, "cat");
    rememberQuery(history, "dog");
    rememberQuery(history, "Cat");
    EXPECT_EQ(history, (std::vector<std::string>{"Cat", "dog"}));
    rememberQuery(history, "\xC3\x84rger");      // Ärger
    rememberQuery(history, "\xC3\xA4rger");      // ärger: the same word
    rememberQuery(history, "\xCE\xA3\xCE\xBF");  // Σο
    rememberQuery(history, "\xCF\x83\xCE\xBF");  // σο
    EXPECT_EQ(history.size(), 4U);
    EXPECT_EQ(history[1], "\xC3\xA4rger");

    history.clear();
    for (int i = 1; i <= 41; ++i) rememberQuery(history, "q" + std::to_string(i));
    ASSERT_EQ(history.size(), 40U);
    EXPECT_EQ(history.front(), "q41");
    EXPECT_EQ(history.back(), "q2") << "the 41st query pushes the oldest out";

    EXPECT_FALSE(sameIgnoringCase("cat", "cats"));
    EXPECT_FALSE(sameIgnoringCase("cat\xFF", "CAT\xFF")) << "invalid UTF-8 compares by bytes";
    EXPECT_EQ(trimQuery("\t  red dog \r\n"), "red dog");
    EXPECT_EQ(trimQuery(" \x01 "), "");
}

TEST(RefiningSearch, SelectedWordsAndJoinedExpressions) {
    const auto table = textfold::englishTable();
    const struct {
        const char* selected;
        const char* query;
    } cases[] = {
        {"a cat, the dog", "cat the dog"},  // one-letter word dropped, punctuation one blank
        {"dog a", "dog a"},                 // ... except at the very end
        {"I saw x-ray and a", "saw ray and a"},
        {"  ...  ", ""},
        // the table says what a letter is: not é in English, but Greek above 255
        {"caf\xC3\xA9 \xCE\xB3\xCE\xAC\xCF\x84\xCE\xB1!", "caf \xCE\xB3\xCE\xAC\xCF\x84\xCE\xB1"},
        {"x y z", "z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterSelectedWords(table, c.selected), c.query) << c.selected;

    EXPECT_EQ(researchExpression("y", "x"), "(y) & (x)");
    EXPECT_EQ(researchExpression("", "x"), "x");
    std::vector<std::string> list;
    EXPECT_TRUE(rememberResearchText(list, "Red"));
    EXPECT_FALSE(rememberResearchText(list, "red"));
    EXPECT_TRUE(rememberResearchText(list, "blue"));
    EXPECT_EQ(list, (std::vector<std::string>{"Red", "blue"}));

    EXPECT_EQ(elementExpression("/a/c", "cat"), "/a/c[cat]");
    EXPECT_EQ(elementExpression("", "cat"), "cat");
    EXPECT_EQ(advancedSearchQuery(true, "dog", "/a[cat]"), "/a[cat]");
    EXPECT_EQ(advancedSearchQuery(false, " dog ", "/a[cat]"), "dog & /a[cat]");
    EXPECT_EQ(advancedSearchQuery(false, "  ", "/a[cat]"), "/a[cat]") << "no lone \"&\"";
}

TEST(ListFileQuery, WordsJoinedByBarsUnlessOtherTextStandsBetween) {
    auto parser = wordmill::CreateTextParser(textfold::englishTable());
    const struct {
        const char* text;
        const char* query;
    } cases[] = {
        {"cat dog\nbird", "cat | dog | bird"},
        {"cat\r\n\r\n\tdog", "cat | dog"},
        {"cat & dog", "cat & dog"},
        {"cat, dog", "cat, dog"},
        {"(cat dog) & !bird.", "(cat | dog) & !bird"},  // text after the last word is not used
        {"cat a dog", "cat a dog"},          // "a" is no word (too short), so it is other text
        {"caf\xE9 dog", "caf\xC3\xA9 dog"},  // Windows-1252; é is no English letter
        {"\xCE\xB3\xCE\xAC\xCF\x84\xCE\xB1 dog", "\xCE\xB3\xCE\xAC\xCF\x84\xCE\xB1 | dog"},
        {"", ""},
        {"  ... ", ""},
    };
    for (const auto& c : cases) {
        const auto query = queryFromListText(*parser, c.text);
        ASSERT_TRUE(query) << c.text;
        EXPECT_EQ(*query, c.query) << c.text;
    }
    parser->SetMinWordLength(4);
    EXPECT_EQ(*queryFromListText(*parser, "cat bird fish"), "cat bird | fish");
}

TEST(ListFileQuery, PathsInsideTheHomeAreStoredRelative) {
    EXPECT_EQ(storedListFilePath("/home/ann/.vellumar/lists/a.txt", "/home/ann/.vellumar"),
              "lists/a.txt");
    EXPECT_EQ(storedListFilePath("/home/ann/.vellumar/lists/a.txt", "/home/ann/.vellumar/"),
              "lists/a.txt");
    EXPECT_EQ(storedListFilePath("/home/ann/.vellumar2/a.txt", "/home/ann/.vellumar"),
              "/home/ann/.vellumar2/a.txt");
    EXPECT_EQ(storedListFilePath("/home/Ann/Lists/A.txt", "/home/ann"), "/home/Ann/Lists/A.txt")
        << "paths keep their case and compare exactly";
    EXPECT_EQ(resolveListFilePath(" lists/a.txt ", "/h"), "/h/lists/a.txt");
    EXPECT_EQ(resolveListFilePath("/x/a.txt", "/h"), "/x/a.txt");
}
