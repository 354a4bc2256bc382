// GetPassage: the text around a hit for the Cache Watcher's result pages.
#include <gtest/gtest.h>

#include "TestHelpers.h"
#include "wordmill/Parser.h"

using namespace wordmill;
using namespace wordmill_test;

namespace {

std::string passage(Parser& parser, std::vector<HitRecord> hits) {
    std::string out;
    if (!parser.GetPassage(hits.data(), hits.size(), out)) return "<none>";
    return out;
}

}  // namespace

TEST(Passage, ShowsTheTextAroundAHitWithTheHitInBold) {
    auto parser = CreateTextParser(textfold::englishTable());
    WordRecord record;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text +=
            "w" + std::string(1, static_cast<char>('a' + i % 26)) + (i == 20 ? " <&> " : "  \n ");
    ASSERT_TRUE(parser->OpenMemory(text, record));

    EXPECT_EQ(passage(*parser, {{0, 0, 1}}), "<b>wa</b> wb wc wd we wf wg wh wi");
    // Eight words either side; the text between them keeps its punctuation, escaped.
    EXPECT_EQ(passage(*parser, {{20, 0, 2}, {22, 0, 1}, {35, 0, 1}}),
              "wm wn wo wp wq wr ws wt <b>wu &lt;&amp;&gt; wv ww</b> wx wy wz wa wb wc wd");
    // Going back to an earlier hit restarts the passage stream; later, NextWord is untouched.
    EXPECT_EQ(passage(*parser, {{1, 0, 1}}), "wa <b>wb</b> wc wd we wf wg wh wi wj");
    ASSERT_TRUE(parser->NextWord(record));
    EXPECT_EQ(record.position, 0);

    EXPECT_EQ(passage(*parser, {{kNoPosition, 0, 1}}), "<none>");
    EXPECT_EQ(passage(*parser, {{40, 0, 1}}), "<none>") << "beyond the last word";
    EXPECT_EQ(passage(*parser, {}), "<none>");
}

TEST(Passage, MarkupIsNeverPartOfAPassage) {
    auto parser = CreateHtmlParser(textfold::englishTable());
    WordRecord record;
    ASSERT_TRUE(
        parser->OpenMemory("<p>alpha <script>x</script><b>beta</b> &lt;gamma&gt;</p>", record));
    EXPECT_EQ(passage(*parser, {{1, 0, 1}}), "alpha <b>beta</b> gamma");
    parser->Close();
    EXPECT_EQ(passage(*parser, {{0, 0, 1}}), "<none>");
}
