// Entry location straight over a parser, with hit lists made by hand: hits the engine
// cannot place, hits beyond the document, a document that fails to parse, and the HTML
// display's text with words the page does not show.
#include <gtest/gtest.h>

#include "index/CoreFixture.h"
#include "viewer/EntryLocator.h"
#include "wordmill/Parser.h"

namespace vellumar {
namespace {

using testing::ScriptedUserInterface;

std::vector<vellcore::HitRecord> hits(std::initializer_list<std::pair<std::uint32_t, int>> list) {
    std::vector<vellcore::HitRecord> out;
    for (const auto& [first, count] : list)
        out.push_back({first, 0, static_cast<std::uint16_t>(count)});
    return out;
}

TEST(EntryLocatorTest, HitsWithoutAPlaceAreNeverGivenANeighboursRange) {
    auto parser = wordmill::CreateTextParser(textfold::englishTable());
    wordmill::WordRecord record;
    ASSERT_TRUE(parser->OpenMemory("zero one two three", record));
    ScriptedUserInterface ui;
    EntryLocator locator(*parser, hits({{1, 1}, {vellcore::kNoPosition, 1}, {9, 1}, {2, 5}}), &ui);
    EXPECT_EQ(locator.LocateEntry(0).start, 5);
    EXPECT_EQ(locator.LocateEntry(1).state, EntryRange::State::NoPosition);
    EXPECT_EQ(locator.LocateEntry(2).state, EntryRange::State::NotFound);
    // A phrase running past the end ends with the document's last word.
    const EntryRange& cut = locator.LocateEntry(3);
    EXPECT_EQ(cut.start, 9);
    EXPECT_EQ(cut.length, 9);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(EntryLocatorTest, AHitBeyondAParseFailureReportsTheLastWordReadOnce) {
    auto parser = wordmill::CreateXmlParser(textfold::englishTable());
    wordmill::WordRecord record;
    ASSERT_TRUE(parser->OpenMemory("<a><b>first second</b><c>third</a>", record));
    ScriptedUserInterface ui;
    EntryLocator locator(*parser, hits({{1, 1}, {7, 1}, {8, 1}}), &ui);
    EXPECT_TRUE(locator.LocateEntry(0).located());
    EXPECT_EQ(locator.LocateEntry(1).state, EntryRange::State::NotFound);
    EXPECT_EQ(locator.LocateEntry(2).state, EntryRange::State::NotFound);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Error of file parsing.\rword num: 2");
}

TEST(EntryLocatorTest, WordsMissingFromTheDisplayDoNotDragTheFindAway) {
    auto parser = wordmill::CreateHtmlParser(textfold::englishTable());
    wordmill::WordRecord record;
    // The button's word is in the source but the display shows a field there instead.
    ASSERT_TRUE(parser->OpenMemory(
        "<p>Press <button>Go</button> to go on.</p><p>Then Go home and go to bed.</p>", record));
    // Words: Press0 Go1 to2 go3 on4 Then5 Go6 home7 and8 go9 to10 bed11
    EntryLocator locator(*parser, hits({{1, 1}, {3, 1}, {6, 2}, {11, 1}}));
    locator.SetHtmlDisplayText(u"Press \uFFFC to go on.\nThen Go home and go to bed.");
    // The button's "Go" would match the "go" after "to" (case is ignored); taking it
    // would put every later word on a later occurrence.
    EXPECT_TRUE(locator.LocateEntry(0).located());
    EXPECT_EQ(locator.LocateEntry(0).displayStart, -1);
    EXPECT_EQ(locator.LocateEntry(1).displayStart, 11);
    EXPECT_EQ(locator.LocateEntry(2).displayStart, 23);
    EXPECT_EQ(locator.LocateEntry(2).displayEnd, 30);
    EXPECT_EQ(locator.LocateEntry(3).displayStart, 41);
}

TEST(EntryLocatorTest, DisplaySearchIgnoresCaseBeyondAscii) {
    auto parser = wordmill::CreateHtmlParser(textfold::englishTable());
    wordmill::WordRecord record;
    // Greek letters are words above code point 255.
    ASSERT_TRUE(parser->OpenMemory("<p>\u03b1\u03b2\u03b3 abc \U0001F600 xyz</p>", record));
    EntryLocator locator(*parser, hits({{0, 1}, {2, 1}}));
    locator.SetHtmlDisplayText(u"\u0391\u0392\u0393 ABC \U0001F600 xyz");
    EXPECT_EQ(locator.LocateEntry(0).displayStart, 0);
    EXPECT_EQ(locator.LocateEntry(0).displayEnd, 3);
    EXPECT_EQ(locator.LocateEntry(1).displayStart, 11);
}

}  // namespace
}  // namespace vellumar
