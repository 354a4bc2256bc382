#include "platform/QueryHistoryFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vellumar;
using List = std::vector<std::string>;

TEST(QueryHistoryFile, SplitsAtTheFirstFilesLine) {
    const struct {
        const char* text;
        List queries;
        List files;
    } cases[] = {
        {"", {}, {}},
        {"cat\r\ndog\r\n", {"cat", "dog"}, {}},  // no [files] line: everything is history
        {"cat\r\n[files]\r\nlists/a.txt\r\n/abs/b.txt\r\n", {"cat"}, {"lists/a.txt", "/abs/b.txt"}},
        {"[files]\r\n", {}, {}},
        {"a\n[files]\nb\n[files]\nc", {"a"}, {"b", "[files]", "c"}},  // only the first counts
        {"a\r[FILES]\r b \r", {"a", "[FILES]", " b "}, {}},           // exact match, any line end
        {"\r\n\r\nx\r\n\r\n", {"x"}, {}},
        {"caf\xe9\n", {"caf\xc3\xa9"}, {}},
    };
    for (const auto& c : cases) {
        const QueryHistory h = parseQueryHistory(c.text);
        EXPECT_EQ(h.queries, c.queries) << c.text;
        EXPECT_EQ(h.listFiles, c.files) << c.text;
    }
}

TEST(QueryHistoryFile, KeepsAtMostFortyQueriesAndDropsMonsterLines) {
    std::string text;
    for (int i = 0; i < 45; ++i) text += "q" + std::to_string(i) + "\r\n";
    text += std::string(kMaxQueryHistoryLine + 1, 'x') + "\r\n[files]\r\nf\r\n";
    const QueryHistory h = parseQueryHistory(text);
    ASSERT_EQ(h.queries.size(), 40U);
    EXPECT_EQ(h.queries.front(), "q0");
    EXPECT_EQ(h.queries.back(), "q39");
    EXPECT_EQ(h.listFiles, List{"f"});
}

TEST(QueryHistoryFile, WritesCrLfLinesAndReadsThemBack) {
    const QueryHistory h{{"cat & dog", "x\ny"}, {"list.txt"}};
    EXPECT_EQ(formatQueryHistory(h), "cat & dog\r\nx y\r\n[files]\r\nlist.txt\r\n");
    EXPECT_EQ(formatQueryHistory({}), "[files]\r\n");

    testing_support::TempDir tmp;
    const auto file = tmp.path() / "Qryhist.ini";
    EXPECT_EQ(loadQueryHistory(file), QueryHistory{});
    ASSERT_TRUE(saveQueryHistory(file, h));
    const QueryHistory back = loadQueryHistory(file);
    EXPECT_EQ(back.queries, (List{"cat & dog", "x y"}));
    EXPECT_EQ(back.listFiles, List{"list.txt"});
    EXPECT_FALSE(saveQueryHistory(tmp.path() / "missing" / "Qryhist.ini", h));
}
