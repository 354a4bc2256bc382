// Phrases over documents with words too short to index, through the whole indexing path
// (parser set, document indexer, engine) for text, HTML, XML and RTF; stop-words inside a
// phrase; and an index built before short words were counted, which is offered a full
// update when it is opened and is rebuilt by it without losing its word lists.
#include "CoreFixture.h"
#include "support/OlderIndexFormat.h"

#include "index/IndexFolder.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;
using testing_support::makeFormatOne;

namespace {

class WordNumbers : public CoreFixture {
  protected:
    void writeDocuments() {
        write("docs/a.txt", "Python tutorial: file I/O, system calls and more");
        write("docs/b.html", "<html><body><p>file <i>I</i>/O, system calls</p></body></html>");
        write("docs/c.xml", "<doc><p>file I/O,</p><p>system calls</p></doc>");
        write("docs/d.rtf", R"({\rtf1 file {\b I}/O, system\par calls})");
        write("docs/e.txt", "the file system of the machine");
    }
    std::string scope() { return docs() + "/+<*.txt,*.html,*.xml,*.rtf>"; }
};

}  // namespace

TEST_F(WordNumbers, PhrasesNeverStepOverShortWordsInAnyFormat) {
    writeDocuments();
    IndexRequest r = request("docs", scope());
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const std::string d = docs();
    EXPECT_EQ(search(0, "file system"), std::vector<std::string>{d + "/e.txt"});
    EXPECT_EQ(search(0, "file I/O system"),
              (std::vector<std::string>{d + "/a.txt", d + "/b.html", d + "/c.xml", d + "/d.rtf"}));
    EXPECT_EQ(search(0, "file ~2 system").size(), 5u) << "\"I\" and \"O\" are two words between";
    EXPECT_EQ(search(0, "file ~1 system"), std::vector<std::string>{d + "/e.txt"});
}

TEST_F(WordNumbers, StopWordsInsideAPhraseStillMatchAsBefore) {
    write("docs/a.txt", "the state of the art");
    write("docs/b.txt", "state art");
    write("home/stop.sw", "of the");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.useStopWords = true;
    r.stopWords = "stop.sw";
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    EXPECT_EQ(search(0, "state of the art"), std::vector<std::string>{docs() + "/a.txt"});
    EXPECT_EQ(search(0, "state art"), std::vector<std::string>{docs() + "/b.txt"});
}

TEST_F(WordNumbers, AnIndexOfTheOlderFormatIsOfferedAnUpdateThatRebuildsIt) {
    writeDocuments();
    write("home/stop.sw", "the");
    IndexRequest r = request("docs", scope());
    r.useStopWords = true;
    r.stopWords = "stop.sw";
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const fs::path indexPath = root / "home" / "Indexes" / "docs";
    const auto files = listDefinitionFiles((root / "home" / "Indexes").string());

    // Declined: the index is searched as it is, and stays of its format.
    core->catalogue.UnloadAllIndexes();
    makeFormatOne(indexPath);
    makeCore();
    ASSERT_EQ(core->catalogue.LoadIndexes(files), 1);
    ui.answers = {MessageResult::No};
    ui.messages.clear();
    ASSERT_EQ(core->catalogue.OpenIndex(0, nullptr), 0);
    EXPECT_EQ(ui.messages, std::vector<std::string>{olderFormatQuestion("docs")});
    EXPECT_EQ(core->catalogue.object(0)->GetFormatVersion(), 1);

    // Accepted: the full update rebuilds every document the current way.
    core->catalogue.UnloadAllIndexes();
    makeCore();
    ASSERT_EQ(core->catalogue.LoadIndexes(files), 1);
    ui.answers = {MessageResult::Yes};
    ui.messages.clear();
    ASSERT_EQ(core->catalogue.OpenIndex(0, nullptr), 0);
    EXPECT_EQ(ui.messages.front(), olderFormatQuestion("docs"));
    EXPECT_EQ(core->catalogue.opened(), 0);
    vellcore::IndexObject* index = core->catalogue.object(0);
    EXPECT_EQ(index->GetFormatVersion(), vellcore::kFormatVersion);
    EXPECT_EQ(index->GetRecordCount(), 5);
    EXPECT_EQ(search(0, "file system"), std::vector<std::string>{docs() + "/e.txt"});
    EXPECT_TRUE(search(0, "the").empty()) << "the stop-words survived the rebuild";
    EXPECT_EQ(IndexDefinition::load(indexPath.string() + ".inf")->stopWords, "stop.sw");

    // Opened again: nothing more to offer.
    core->catalogue.UnloadIndex(0);
    ui.messages.clear();
    ASSERT_EQ(core->catalogue.OpenIndex(0, nullptr), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WordNumbers, ACompactingRebuildKeepsStopWordsAndDictionary) {
    for (int i = 0; i < 10; ++i) write("docs/f" + std::to_string(i) + ".txt", "alpha beta the");
    write("home/stop.sw", "the");
    write("home/words.dic", "alpha the");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.useStopWords = true;
    r.stopWords = "stop.sw";
    r.useDictionary = true;
    r.dictionary = "words.dic";
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    for (int i = 0; i < 6; ++i) {
        const fs::path p = root / "docs" / ("f" + std::to_string(i) + ".txt");
        fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(10));
    }
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);  // 6 of 10 replaced
    ASSERT_EQ(core->builder.Build(BuildKind::Update, 0, r).code, 0);  // rebuilt from scratch
    EXPECT_EQ(core->catalogue.object(0)->GetRemovedCount(), 0);
    EXPECT_EQ(search(0, "alpha").size(), 10u);
    EXPECT_TRUE(search(0, "beta").empty()) << "the dictionary still filters";
    EXPECT_TRUE(search(0, "the").empty()) << "the stop-word is still one";
}
