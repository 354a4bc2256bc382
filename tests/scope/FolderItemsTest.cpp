#include <gtest/gtest.h>

#include "ExpectMessage.h"

#include <string>
#include <vector>

#include "scope/DirItem.h"
#include "scope/ScopeArrays.h"

using namespace vellumar;

TEST(ScopeArrays, InsertDeleteAndTheirErrors) {
    TScopeNumberArray numbers;
    numbers.Insert(0, 5);
    numbers.Insert(1, 7);  // at count: appends
    numbers.Insert(0, 3);
    EXPECT_EQ(numbers.Count(), 3);
    EXPECT_EQ(numbers.Get(0), 3);
    EXPECT_EQ(numbers.Get(2), 7);
    EXPECT_EQ(numbers.IndexOf(7), 2);
    EXPECT_EQ(numbers.IndexOf(4), -1);
    EXPECT_THROW_MESSAGE(numbers.Insert(4, 1), EScopeNumbersError, "Invalid index while inserting");
    EXPECT_THROW_MESSAGE(numbers.Get(3), EScopeNumbersError,
                         "Read TScopeNumberArray out of range!");
    EXPECT_THROW(numbers.Get(-1), EScopeNumbersError);
    numbers.Delete(3);  // at count: nothing
    numbers.Delete(-1);
    EXPECT_EQ(numbers.Count(), 3);
    numbers.Delete(0);
    EXPECT_EQ(numbers.Get(0), 5);

    TBooleanArray flags;
    flags.Insert(0, true);
    flags.Insert(1, false);
    flags.Put(1, true);
    EXPECT_TRUE(flags.Get(1));
    EXPECT_THROW_MESSAGE(flags.Put(2, true), EBooleanError, "Write TTBooleanArray out of range!");
    EXPECT_THROW_MESSAGE(flags.Get(2), EBooleanError, "Read TBooleanArray out of range!");
    EXPECT_THROW_MESSAGE(flags.Insert(3, true), EBooleanError,
                         "Invalid index while inserting in TBooleanArray");
    flags.Delete(2);
    EXPECT_EQ(flags.Count(), 2);
}

TEST(DirItem, PatternsStayOrderedByNumberThenByAdding) {
    TDirItem folder("/home/Ann");
    EXPECT_EQ(folder.GetKey(), "/home/Ann");
    folder.AddPattern(2, "<*.b>", false);
    folder.AddPattern(0, "<*.a>", false);
    folder.AddPattern(2, "<*.c>", true);
    folder.AddPattern(1, "", false);  // empty text: nothing
    folder.AddPattern(1, "<*.d>", false);
    std::vector<std::string> texts;
    for (const auto& p : folder.Patterns()) texts.push_back(std::to_string(p.number) + p.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"0<*.a>", "1<*.d>", "2<*.b>", "2<*.c>"}));

    std::int32_t first = 0, end = 0;
    folder.FindNumber(2, first, end);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(end, 4);
    folder.FindNumber(3, first, end);
    EXPECT_EQ(first, -1);
    EXPECT_EQ(end, 4);
    folder.FindNumber(0, first, end);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(end, 1);
    folder.DeletePatterns(2, 4);
    EXPECT_EQ(folder.PatternCount(), 2);
}

TEST(DirItem, ExclusionsTakePatternsOutOfANewRegistration) {
    struct Case {
        std::vector<std::string> exclusions;
        std::string patterns;
        bool kept;
        std::string after;
    };
    const std::vector<Case> cases = {
        {{"<*.doc>"}, "<*.txt,*.doc>", true, "<*.txt>"},
        {{"<*.txt>"}, "<*.txt,*.doc>", true, "<*.doc>"},
        {{"<*.doc>"}, "<*.txt,*.doc,*.rtf>", true, "<*.txt,*.rtf>"},
        {{"<*.*>"}, "<*.txt,*.doc>", false, ""},
        {{"<*>"}, "<*.txt>", false, ""},
        {{"<*.txt>"}, "<*.txt>", false, ""},
        // A group left empty goes with its label.
        {{"<*.xml>"}, "<*.txt><orders:*.xml>", true, "<*.txt>"},
        {{"<*.xml>"}, "<orders:*.xml,*.htm>", true, "<orders:*.htm>"},
        // Whole tokens only: excluding *.do leaves *.doc alone.
        {{"<*.do>"}, "<*.txt,*.doc>", true, "<*.txt,*.doc>"},
        {{"<txt>"}, "<*.txt>", true, "<*.txt>"},
        // Every occurrence goes.
        {{"<*.doc>"}, "<*.doc><n:*.doc,*.x>", true, "<n:*.x>"},
        // Exclusions of several items (several indexes) add up.
        {{"<*.a>", "<*.b>"}, "<*.a,*.b,*.c>", true, "<*.c>"},
        // Labels of an exclusion are not patterns.
        {{"<orders:*.xml>"}, "<*.txt><orders:*.htm>", true, "<*.txt><orders:*.htm>"},
        // An unclosed exclusion group applies the tokens before the unclosed one.
        {{"<*.a,*.b"}, "<*.a,*.b,*.c>", true, "<*.b,*.c>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.patterns);
        TDirItem folder("/docs");
        for (std::size_t i = 0; i < c.exclusions.size(); ++i)
            folder.AddPattern(static_cast<std::int32_t>(i), c.exclusions[i], true);
        folder.AddPattern(9, "<*.a,*.b,*.c,*.doc,*.txt>", false);  // inclusions take nothing out
        std::string patterns = c.patterns;
        EXPECT_EQ(subtractExclusions(folder, patterns), c.kept);
        if (c.kept) {
            EXPECT_EQ(patterns, c.after);
        }
    }
}
