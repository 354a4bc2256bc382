// Paging through found files and marking the listed files that changed, against a real
// index.
#include <gtest/gtest.h>

#include "search/ResultPager.h"
#include "vellcore/EngineTestSupport.h"

using namespace vellumar;
using namespace enginetest;

namespace {

class ResultPages : public ::testing::Test {
  protected:
    void SetUp() override {
        index = createIndex(folder.path() / "idx");
        for (int i = 0; i < 250; ++i) ASSERT_TRUE(addText(*index, name(i), "common words"));
        ASSERT_TRUE(reopen(*index));
        int files = 0;
        std::int64_t entries = 0;
        ASSERT_NE(index->RunQuery("common", files, entries), 0);
        ASSERT_EQ(files, 250);
        pager.Reset(files);
    }
    static std::string name(int i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "/docs/f%03d.txt", i);
        return buffer;
    }
    std::string fill(PageMode mode, int size = 100) {
        pager.FillResultPage(index.get(), mode, size);
        const ResultPage& p = pager.page();
        EXPECT_EQ(p.names.size(), static_cast<std::size_t>(p.end - p.start));
        EXPECT_EQ(p.stamps.size(), p.names.size());
        if (!p.names.empty()) {
            EXPECT_EQ(p.names.front(), name(p.start));
        }
        return p.label + (p.canGoBack ? " back" : "") + (p.canGoForward ? " forward" : "");
    }

    TempFolder folder;
    std::unique_ptr<vellcore::IndexObject> index;
    ResultPager pager;
};

}  // namespace

TEST_F(ResultPages, TheLastPageStaysFullAndTheButtonsFollowThePage) {
    EXPECT_EQ(fill(PageMode::Current), "Records: 1-100 forward");
    EXPECT_EQ(fill(PageMode::Previous), "Records: 1-100 forward") << "never before the first";
    EXPECT_EQ(fill(PageMode::Next), "Records: 101-200 back forward");
    EXPECT_EQ(fill(PageMode::Next), "Records: 151-250 back");
    EXPECT_EQ(fill(PageMode::Next), "Records: 151-250 back") << "never past the last";
    EXPECT_EQ(fill(PageMode::Previous), "Records: 51-150 back forward");
    EXPECT_EQ(fill(PageMode::Last), "Records: 151-250 back");
    EXPECT_EQ(fill(PageMode::First), "Records: 1-100 forward");
    EXPECT_EQ(fill(PageMode::Current, 1000), "Records: 1-250") << "capped at the total";
    EXPECT_EQ(pager.pageIndexOf(249), 249);
    pager.Reset(250, 120);
    EXPECT_EQ(fill(PageMode::Current, 7), "Records: 121-127 back forward");
    EXPECT_EQ(pager.pageIndexOf(126), 6);
    EXPECT_EQ(pager.pageIndexOf(127), -1);
    EXPECT_EQ(pager.FillResultPage(nullptr, PageMode::Current, 100), -1);
    EXPECT_TRUE(pager.page().names.empty());
    pager.Reset(0);
    EXPECT_EQ(fill(PageMode::Last), "") << "nothing found: no page, no buttons";
}

TEST(PageSize, NumbersAboveZeroElseOneHundred) {
    const struct {
        const char* text;
        int size;
    } cases[] = {{"100", 100}, {"25", 25}, {" 7 ", 7}, {"+3", 3},    {"abc", 100},
                 {"-5", 100},  {"0", 100}, {"", 100},  {"12x", 100}, {"99999999999", 100}};
    for (const auto& c : cases) EXPECT_EQ(pageSizeFromText(c.text), c.size) << c.text;
}

TEST_F(ResultPages, ChangedFilesGetTheirPicturesButArchiveMembersAreNeverDeleted) {
    // Replace the index's results with a small set that has an archive member.
    ASSERT_TRUE(addText(*index, "/docs/a.zip//inner.txt", "rare"));
    ASSERT_TRUE(addText(*index, "/docs/gone.txt", "rare"));
    ASSERT_TRUE(addText(*index, "/docs/changed.txt", "rare", 5));
    ASSERT_TRUE(addText(*index, "/docs/same.txt", "rare"));
    ASSERT_TRUE(reopen(*index));
    int files = 0;
    std::int64_t entries = 0;
    ASSERT_NE(index->RunQuery("rare", files, entries), 0);
    ASSERT_EQ(files, 4);
    pager.Reset(files);
    pager.FillResultPage(index.get(), PageMode::Current, 100);

    // After an automatic update: two files gone, one re-indexed with a new stamp.
    index->BeginSession();
    ASSERT_TRUE(index->RemoveDocument("/docs/a.zip//inner.txt"));
    ASSERT_TRUE(index->RemoveDocument("/docs/gone.txt"));
    ASSERT_TRUE(addText(*index, "/docs/changed.txt", "rare", 6));
    index->EndSession();

    EXPECT_FALSE(pager.MarkChangedResults(*index, /*runFromCd=*/true));
    EXPECT_EQ(pager.page().pictures, std::vector<ItemPicture>(4, ItemPicture::None));
    EXPECT_TRUE(pager.MarkChangedResults(*index, false));
    EXPECT_EQ(pager.page().pictures,
              (std::vector<ItemPicture>{ItemPicture::None, ItemPicture::Deleted,
                                        ItemPicture::Modified, ItemPicture::None}));
    EXPECT_EQ(index->GetErrorCode(), 0);
    EXPECT_TRUE(isArchiveMember("/docs/a.zip//inner.txt"));
    EXPECT_FALSE(isArchiveMember("/docs/a.zip"));
}

TEST_F(ResultPages, NamesAreShownThroughTheMapper) {
    pager.setNameMapper([](const std::string& n) { return "/media/cd" + n; });
    pager.FillResultPage(index.get(), PageMode::Current, 2);
    EXPECT_EQ(pager.page().names,
              (std::vector<std::string>{"/media/cd/docs/f000.txt", "/media/cd/docs/f001.txt"}));
}
