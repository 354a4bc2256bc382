#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/WizardSteps.h"

using namespace vellumar;

TEST(WizardSteps, NextAndBackPassOverTheFormatPage) {
    // Forward 1 2 4 5 6, back 6 5 4 2 1; the ends stay where they are.
    const std::vector<int> forward{1, 2, 4, 5, 6};
    for (std::size_t i = 0; i + 1 < forward.size(); ++i) {
        EXPECT_EQ(wizardNextPage(forward[i]), forward[i + 1]) << forward[i];
        EXPECT_EQ(wizardPreviousPage(forward[i + 1]), forward[i]) << forward[i + 1];
    }
    EXPECT_EQ(wizardNextPage(6), 6);
    EXPECT_EQ(wizardPreviousPage(1), 1);
    EXPECT_NE(wizardNextPage(2), 3);
    EXPECT_NE(wizardPreviousPage(4), 3);
}

TEST(WizardSteps, IndexNameChecks) {
    const std::vector<std::string> names{"Docs", "Mail archive"};
    struct Case {
        std::string name;
        IndexNameCheck expected;
    };
    const std::vector<Case> cases{
        {"", IndexNameCheck::Empty},
        {"  \t ", IndexNameCheck::Empty},
        {"Notes", IndexNameCheck::Ok},
        {"Docs", IndexNameCheck::Exists},
        {"  Docs ", IndexNameCheck::Exists},  // trimmed first
        {"docs", IndexNameCheck::Ok},         // exact comparison: another name
        {"Mail archive", IndexNameCheck::Exists},
        {"my.index", IndexNameCheck::BadName},
        {"a/b", IndexNameCheck::BadName},
    };
    for (const Case& c : cases)
        EXPECT_EQ(checkWizardIndexName(c.name, names), c.expected) << "[" << c.name << "]";
}

TEST(WizardSteps, RecreateQuestionKeepsItsWording) {
    EXPECT_EQ(recreateIndexQuestion("Docs"),
              "Index with name \"Docs\" already exists. Do ou want to recreate this index?");
}

TEST(WizardSteps, WordLengthLimits) {
    struct Case {
        std::string max, min;
        bool ok;
    };
    const std::vector<Case> cases{
        {"32", "2", true},   {"3", "1", true},    {"99", "32", true}, {" 40 ", "3", true},
        {"2", "1", false},   {"100", "2", false}, {"32", "0", false}, {"32", "33", false},
        {"", "2", false},    {"32", "", false},   {"3x", "2", false}, {"32", "-1", false},
        {"+32", "2", false}, {"1e1", "2", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wordLengthsAcceptable(c.max, c.min), c.ok) << c.max << " / " << c.min;
}
