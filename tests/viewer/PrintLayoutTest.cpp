// The printed file list's layout: heading, line height, page breaks that never cut a line.
#include <gtest/gtest.h>

#include "viewer/PrintLayout.h"

namespace vellumar {
namespace {

TEST(PrintLayoutTest, AHundredFilesOnPagesOfSixtyLines) {
    const int text = 42, line = 50, page = 3158;  // 60 lines between the margins
    const FileListLayout layout = layOutFileList(100, text, page);
    EXPECT_EQ(layout.lineHeight, line);
    EXPECT_EQ(layout.heading.page, 0);
    EXPECT_EQ(layout.heading.y, 100);
    ASSERT_EQ(layout.items.size(), 100u);
    EXPECT_EQ(layout.items[0].y, 100 + 2 * line);
    EXPECT_EQ(layout.items[0].x, 100);
    int previousPage = 0, previousY = 0;
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const PrintPlacement& p = layout.items[i];
        EXPECT_LE(p.y + text, page - 50) << i;  // never into the bottom margin
        if (p.page != previousPage) {
            EXPECT_EQ(p.page, previousPage + 1);
            EXPECT_GT(previousY + line + text, page - 50) << i;  // it would not have fit
            EXPECT_EQ(p.y, 100 + line) << i;                     // one line below the top margin
        } else if (i > 0) {
            EXPECT_EQ(p.y, previousY + line) << i;
        }
        previousPage = p.page;
        previousY = p.y;
    }
    // The first page holds the heading and 58 files, the next the remaining 42.
    EXPECT_EQ(layout.items[57].page, 0);
    EXPECT_EQ(layout.items[58].page, 1);
    EXPECT_EQ(layout.items[99].page, 1);
    EXPECT_EQ(layout.pageCount, 2);
}

TEST(PrintLayoutTest, AnEmptyListPrintsOnlyTheHeadingAndTinyPagesStillProgress) {
    const FileListLayout empty = layOutFileList(0, 40, 3000);
    EXPECT_TRUE(empty.items.empty());
    EXPECT_EQ(empty.pageCount, 1);
    EXPECT_EQ(fileListHeading("cat & dog"), "File list found for \"cat & dog\":");

    const FileListLayout tiny = layOutFileList(3, 40, 100);  // no line fits anywhere
    ASSERT_EQ(tiny.items.size(), 3u);
    EXPECT_EQ(tiny.items[0].page, 0);
    EXPECT_EQ(tiny.items[1].page, 1);
    EXPECT_EQ(tiny.items[2].page, 2);
    EXPECT_EQ(tiny.pageCount, 3);
}

}  // namespace
}  // namespace vellumar
