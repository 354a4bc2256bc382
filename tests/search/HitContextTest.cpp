// Hit context: the engine's word numbers found again by the parser that indexed the text.
#include <gtest/gtest.h>

#include "search/HitContext.h"
#include "vellcore/EngineTestSupport.h"

using namespace vellumar;

namespace {

// Indexes text with the parser as the indexing step does, runs query, and returns the
// hits' contexts as "before [words] after" lines.
std::vector<std::string> contexts(wordmill::Parser& parser, const std::string& text,
                                  const std::string& query, int around, bool source) {
    enginetest::TempFolder folder;
    auto index = enginetest::createIndex(folder.path() / "idx");
    wordmill::WordRecord record;
    EXPECT_TRUE(parser.OpenMemory(text, record));
    EXPECT_TRUE(index->BeginDocument("/doc", 1, text.size()));
    while (parser.NextWord(record)) EXPECT_TRUE(index->AddWord(record.text, record.position, 0));
    EXPECT_TRUE(enginetest::reopen(*index));
    int files = 0;
    std::int64_t entries = 0;
    EXPECT_NE(index->RunQuery(query, files, entries), 0) << index->GetErrorMessage();
    std::vector<vellcore::HitRecord> hits;
    EXPECT_TRUE(index->GetHits(0, hits));
    std::vector<std::string> out;
    for (const auto& c : hitContexts(parser, hits, around, source))
        out.push_back(c.before + "[" + c.words + "]" + c.after);
    return out;
}

}  // namespace

TEST(HitContext, WordNumbersMeetTheParsersWordsWithTheTextBetween) {
    auto text = wordmill::CreateTextParser(textfold::englishTable());
    // "A" and "I" are too short to be delivered but keep their word numbers: context is
    // counted in word numbers, so they take their place in it without being shown.
    const std::string story =
        "A red dog ran.\nI saw the red   dog,\tthen a cat;\r\n"
        "the end of the red dog";
    EXPECT_EQ(
        contexts(*text, story, "red dog", 2, true),
        (std::vector<std::string>{"[red dog] ran", "saw the [red dog], then", "of the [red dog]"}));
    // Context reaching into the neighbouring hit, and no context at all.
    EXPECT_EQ(contexts(*text, story, "dog | cat", 1, true).size(), 4U);
    EXPECT_EQ(contexts(*text, story, "cat", 0, true), std::vector<std::string>{"[cat]"});
    EXPECT_EQ(contexts(*text, story, "cat", 3, true),
              std::vector<std::string>{"dog, then a [cat]; the end of"});
}

TEST(HitContext, MarkupBetweenWordsIsLeftOutAndOddHitsAreSkipped) {
    auto html = wordmill::CreateHtmlParser(textfold::englishTable());
    const std::string page =
        "<html><head><title>Pets</title></head><body><p>The <b>red</b> dog &amp; "
        "caf&eacute; cat</p></body></html>";
    EXPECT_EQ(contexts(*html, page, "red dog", 2, false),
              std::vector<std::string>{"Pets The [red dog] caf cat"});

    wordmill::WordRecord record;
    ASSERT_TRUE(html->OpenMemory(page, record));
    const std::vector<vellcore::HitRecord> odd = {
        {vellcore::kNoPosition, 0, 1}, {400, 0, 1}, {1, 0, 1}};
    const auto c = hitContexts(*html, odd, 1, false);
    ASSERT_EQ(c.size(), 1U) << "no position, and beyond the document: no context";
    EXPECT_EQ(c[0].before + "|" + c[0].words + "|" + c[0].after, "Pets |The| red");
    html->Close();
    EXPECT_TRUE(hitContexts(*html, odd, 1, false).empty()) << "a closed parser";
}
