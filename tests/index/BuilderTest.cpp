// Creating, updating and removing indexes through the whole core: notifier walk, parser
// set, document indexer, engine and definition files.
#include "CoreFixture.h"
#include "archive/ArchiveMaker.h"

#include "index/BuildResult.h"
#include "index/IndexDefinition.h"
#include "index/IndexFolder.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;

namespace {
class Builder : public CoreFixture {};
}  // namespace

TEST_F(Builder, CreatesAnIndexFromAScopeAndWritesItsDefinition) {
    write("docs/a.txt", "The quick brown fox");
    write("docs/empty.txt", "");
    write("docs/sub/b.txt", "lazy dogs sleep");
    write("docs/sub/c.htm", "<html><title>Fox page</title><body>fox</body></html>");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.notes = "my notes";
    const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
    ASSERT_EQ(outcome.code, 0) << (ui.messages.empty() ? "" : ui.messages.back());
    ASSERT_EQ(outcome.position, 0);
    EXPECT_EQ(core->catalogue.count(), 1);
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 2) << "the empty file is skipped";
    EXPECT_EQ(search(0, "fox"), std::vector<std::string>{docs() + "/a.txt"});
    EXPECT_EQ(search(0, "lazy dogs"), std::vector<std::string>{docs() + "/sub/b.txt"});
    EXPECT_EQ(ui.statuses.back(), "All is OK!");

    const auto definition = IndexDefinition::load(root / "home" / "Indexes" / "docs.inf");
    ASSERT_TRUE(definition);
    EXPECT_EQ(definition->scope, r.scope);
    EXPECT_EQ(definition->notes, "my notes");
    EXPECT_FALSE(definition->lastUpdated.empty());
}

TEST_F(Builder, ValidationMessagesStopTheBuild) {
    const struct {
        std::string name, scope, max, min, message;
    } cases[] = {
        {"", "", "32", "2", ""},  // nothing typed: nothing said
        {"", "/x/+<*.txt>", "32", "2", "Index name not must be empty."},
        {"n", " ", "32", "2", "Location of files to index not must be empty."},
        {"n", "/x/<*>", "2", "2", "Make sure \"Maximum word length\""},
        {"n", "/x/<*>", "100", "2", "Make sure \"Maximum word length\""},
        {"n", "/x/<*>", "32", "0", "Make sure \"Maximum word length\""},
        {"n", "/x/<*>", "32", "33", "Make sure \"Maximum word length\""},
        {"n", "/x/<*>", "x", "2", "Make sure \"Maximum word length\""},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        IndexRequest r = request(c.name, c.scope);
        r.maxLength = c.max;
        r.minLength = c.min;
        const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
        EXPECT_FALSE(outcome.ran) << c.name << "|" << c.scope << "|" << c.max << "|" << c.min;
        if (c.message.empty())
            EXPECT_TRUE(ui.messages.empty());
        else
            EXPECT_TRUE(ui.saw(c.message)) << c.message;
    }
    EXPECT_EQ(core->catalogue.count(), 0);
}

TEST_F(Builder, AScopeWithNothingToIndexLeavesNoIndexBehind) {
    write("docs/a.pdfx", "not matched");
    IndexRequest r = request("nothing", docs() + "/+<*.txt>");
    const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
    EXPECT_EQ(outcome.code, BuildResult::kNoFiles);
    EXPECT_TRUE(ui.saw("Index wasn't created successfully: No files are found to index."));
    EXPECT_EQ(core->catalogue.count(), 0);
    EXPECT_EQ(core->notifier.ScopeCount(), 0) << "the scope list stays parallel";
    EXPECT_FALSE(fs::exists(root / "home" / "Indexes" / "nothing"));
    EXPECT_FALSE(fs::exists(root / "home" / "Indexes" / "nothing.inf"));
}

TEST_F(Builder, UpdateAddsNewAndChangedFilesAndDropsDeletedOnes) {
    write("docs/a.txt", "alpha");
    write("docs/b.txt", "beta");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    fs::remove(root / "docs" / "b.txt");
    write("docs/c.txt", "gamma");
    write("docs/a.txt", "alpha changed delta");
    const auto a = root / "docs" / "a.txt";
    fs::last_write_time(a, fs::last_write_time(a) + std::chrono::seconds(10));

    const BuildOutcome outcome = core->builder.Build(BuildKind::Update, 0, r);
    ASSERT_EQ(outcome.code, 0) << (ui.messages.empty() ? "" : ui.messages.back());
    EXPECT_TRUE(search(0, "beta").empty()) << "a deleted file leaves the index";
    EXPECT_EQ(search(0, "gamma"), std::vector<std::string>{docs() + "/c.txt"});
    EXPECT_EQ(search(0, "delta"), std::vector<std::string>{docs() + "/a.txt"});
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 2);
}

TEST_F(Builder, CancelKeepsWhatWasIndexedAndWritesTheDefinition) {
    for (int i = 0; i < 30; ++i)
        write("docs/f" + std::to_string(i) + ".txt", "word" + std::to_string(i));
    // The user presses "Cancel" (and answers Yes) while the fifth document is stored.
    int stored = 0;
    core->indexer.setDocumentListener([&](const vellcore::IndexObject&) {
        if (++stored == 5) core->cancel = true;
    });
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
    EXPECT_EQ(outcome.code, BuildResult::kUserCancel);
    ASSERT_EQ(core->catalogue.count(), 1);
    EXPECT_GT(core->catalogue.object(0)->GetRecordCount(), 0);
    EXPECT_LT(core->catalogue.object(0)->GetRecordCount(), 30);
    EXPECT_TRUE(fs::exists(root / "home" / "Indexes" / "docs.inf"));
    EXPECT_EQ(core->builder.errorLog().lines().back(), "User Cancel");
    EXPECT_FALSE(fs::exists(core->builder.errorLogFile())) << "a cancelled build saves no log";
}

TEST_F(Builder, RemoveAsksAndDeletesEverything) {
    write("docs/a.txt", "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    ui.answers = {MessageResult::No};
    EXPECT_FALSE(core->builder.RemoveIndex(0));
    EXPECT_EQ(core->catalogue.count(), 1);
    EXPECT_TRUE(core->builder.RemoveIndex(0));
    EXPECT_EQ(core->catalogue.count(), 0);
    EXPECT_EQ(core->notifier.ScopeCount(), 0);
    EXPECT_FALSE(fs::exists(root / "home" / "Indexes" / "docs.inf"));
    EXPECT_TRUE(listDefinitionFiles((root / "home" / "Indexes").string()).empty());
}

TEST_F(Builder, EmptyDictionaryQuestionNoAbandonsYesBuildsUnfiltered) {
    write("docs/a.txt", "alpha beta");
    write("home/digits.dic", "12 34 56");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.useDictionary = true;
    r.dictionary = "digits.dic";
    ui.answers = {MessageResult::No};
    BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
    EXPECT_EQ(outcome.code, BuildResult::kAbandoned);
    EXPECT_TRUE(ui.saw("The filtering dictionary should contain words"));
    EXPECT_EQ(core->catalogue.count(), 0);
    EXPECT_FALSE(fs::exists(root / "home" / "Indexes" / "docs"));

    ui.answers = {MessageResult::Yes};
    outcome = core->builder.Build(BuildKind::Create, -1, r);
    ASSERT_EQ(outcome.code, 0);
    EXPECT_FALSE(r.useDictionary) << "the box is unchecked";
    EXPECT_EQ(search(0, "beta").size(), 1U);
    EXPECT_TRUE(IndexDefinition::load(root / "home" / "Indexes" / "docs.inf")->dictionary.empty());
}

TEST_F(Builder, DictionaryAndStopWordsShapeTheIndex) {
    write("docs/a.txt", "alpha beta gamma the");
    write("home/words.dic", "alpha gamma the");
    write("home/stop.sw", "the");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.useDictionary = true;
    r.dictionary = "words.dic";
    r.useStopWords = true;
    r.stopWords = (root / "home" / "stop.sw").string();
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    EXPECT_EQ(search(0, "alpha").size(), 1U);
    EXPECT_TRUE(search(0, "beta").empty()) << "not in the dictionary";
    const auto definition = IndexDefinition::load(root / "home" / "Indexes" / "docs.inf");
    EXPECT_EQ(definition->dictionary, "words.dic");
    EXPECT_EQ(definition->stopWords, r.stopWords);
}

TEST_F(Builder, CatalogueLoadsWhatTheBuilderWroteAndSkipsBrokenDefinitions) {
    write("docs/a.txt", "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    write("home/Indexes/orphan.inf", "[Parameters]\nScope=/x/<*>\n");
    fs::create_directories(root / "home" / "Indexes" / "blank");
    write("home/Indexes/blank.inf", "[Parameters]\nScope=\n");

    makeCore();
    const auto files = listDefinitionFiles((root / "home" / "Indexes").string());
    EXPECT_EQ(core->catalogue.LoadIndexes(files), 1);
    EXPECT_TRUE(ui.saw("Empty scope read from .INF file for\r\"blank\" index."));
    EXPECT_FALSE(fs::exists(root / "home" / "Indexes" / "orphan.inf"))
        << "a definition without its engine folder is removed";
    EXPECT_TRUE(fs::exists(root / "home" / "Indexes" / "blank.inf")) << "an empty scope is kept";
    ASSERT_EQ(core->catalogue.OpenIndex(0, nullptr), 0);
    EXPECT_EQ(search(0, "alpha").size(), 1U);
    EXPECT_EQ(core->notifier.ScopeCount(), 1);
}

TEST_F(Builder, AOneFileUpdateChangesOnlyThatFileAndTheTimeOfTheLastUpdate) {
    write("docs/a.txt", "alpha");
    write("docs/b.txt", "beta");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.notes = "kept";
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    write("home/Indexes/docs.inf",
          "[Parameters]\nScope=" + r.scope + "\nNotes=kept\nMonitored=1\nLastUpdated=old\n");

    write("docs/a.txt", "alpha gamma");
    const auto a = root / "docs" / "a.txt";
    fs::last_write_time(a, fs::last_write_time(a) + std::chrono::seconds(10));
    IndexRequest one = r;  // as the window fills it: the found file in place of the scope
    one.scope = docs() + "/a.txt";
    one.notes = "typed meanwhile";
    ASSERT_EQ(core->builder.Build(BuildKind::UpdateFile, 0, one).code, 0);
    EXPECT_EQ(search(0, "gamma"), std::vector<std::string>{docs() + "/a.txt"});
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 2);

    const auto definition = IndexDefinition::load(root / "home" / "Indexes" / "docs.inf");
    EXPECT_EQ(definition->scope, r.scope) << "the index is still walked and watched as before";
    EXPECT_EQ(definition->notes, "kept");
    EXPECT_TRUE(definition->monitored);
    EXPECT_NE(definition->lastUpdated, "old");
}

TEST_F(Builder, AOneFileUpdateOfAnArchiveMemberUpdatesItsArchive) {
    const fs::path zip = root / "docs" / "a.zip";
    ASSERT_TRUE(archive_test::makeArchive(zip, {{"one.txt", "alpha"}, {"sub/two.txt", "beta"}}));
    IndexRequest r = request("docs", docs() + "/<*.txt>");
    r.archives = true;
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const std::string member = zip.string() + "//sub/two.txt";
    ASSERT_EQ(search(0, "beta"), std::vector<std::string>{member});

    ASSERT_TRUE(archive_test::makeArchive(zip, {{"one.txt", "alpha"}, {"sub/two.txt", "gamma"}}));
    fs::last_write_time(zip, fs::last_write_time(zip) + std::chrono::seconds(10));
    IndexRequest one = r;
    one.scope = member;
    ASSERT_EQ(core->builder.Build(BuildKind::UpdateFile, 0, one).code, 0)
        << (ui.messages.empty() ? "" : ui.messages.back());
    EXPECT_EQ(search(0, "gamma"), std::vector<std::string>{member});
    EXPECT_TRUE(search(0, "beta").empty());
    EXPECT_EQ(search(0, "alpha").size(), 1U);

    // The archive is gone: so are its members.
    fs::remove(zip);
    ASSERT_EQ(core->builder.Build(BuildKind::UpdateFile, 0, one).code, 0);
    EXPECT_EQ(core->catalogue.object(0)->GetRecordCount(), 0);
}

TEST_F(Builder, MarkupWordsGoToTheirElementsAndUntaggedTextToNone) {
    // Body text follows the title and the heading: it must not be counted inside them.
    write("docs/page.htm",
          "<html><head><title>Annual report</title></head>"
          "<body><h1>Cats</h1>dogs and owls</body></html>");
    write("docs/order.xml", "<orders><customer>smith</customer>jones</orders>");
    IndexRequest r = request("docs", docs() + "/+<*.htm,*.xml>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const std::vector<std::string> page{docs() + "/page.htm"};
    const std::vector<std::string> order{docs() + "/order.xml"};
    EXPECT_EQ(search(0, "//title[report]"), page);
    EXPECT_EQ(search(0, "//h1[cats]"), page);
    EXPECT_TRUE(search(0, "//title[dogs]").empty());
    EXPECT_TRUE(search(0, "//h1[owls]").empty());
    EXPECT_EQ(search(0, "dogs & owls"), page);
    EXPECT_EQ(search(0, "//customer[smith]"), order);
    EXPECT_TRUE(search(0, "//customer[jones]").empty());
    EXPECT_EQ(search(0, "/orders[jones]"), order);
}
