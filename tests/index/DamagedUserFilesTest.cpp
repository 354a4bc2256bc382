// Definition files and word lists that are not ordinary files, or are far too large: the
// catalogue and the builder go on at once with a warning naming the file and leave it as
// it is.
#include "CoreFixture.h"

#include "index/IndexFolder.h"
#include "index/WordLists.h"
#include "platform/UserFileReader.h"
#include "support/UnusualFiles.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;
using namespace testing_support;

namespace {

class DamagedUserFiles : public CoreFixture {};

// Whole builds run here, also under the sanitizers on a busy machine: the limit catches a
// read that never ends (a FIFO, /dev/zero) or crawls (a 50 MB line took 25 s), not a slow
// build.
constexpr std::chrono::seconds kAtOnce{10};

}  // namespace

TEST_F(DamagedUserFiles, AHugeDefinitionFileSkipsItsIndexWithAWarning) {
    write("docs/a.txt", "alpha");
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const fs::path definition = root / "home" / "Indexes" / "docs.inf";
    writeHugeLine(definition, "Parameters", "Scope", 50);
    const auto size = fs::file_size(definition);

    makeCore();
    ui.messages.clear();
    int loaded = -1;
    finishesWithin(kAtOnce, "loading the catalogue", [&] {
        loaded =
            core->catalogue.LoadIndexes(listDefinitionFiles((root / "home" / "Indexes").string()));
    });
    EXPECT_EQ(loaded, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              definition.string() + " is larger than 4 MB.\rThe index is skipped while loading.");
    EXPECT_EQ(fs::file_size(definition), size) << "the file is left as it is";
    EXPECT_TRUE(fs::is_directory(root / "home" / "Indexes" / "docs")) << "and so is the index";

    std::string problem;
    ASSERT_TRUE(makeSpecialFile(root / "home" / "fifo.inf", SpecialFile::Fifo));
    finishesWithin(kAtOnce, "a definition from a FIFO", [&] {
        EXPECT_FALSE(IndexDefinition::load(root / "home" / "fifo.inf", &problem).has_value());
    });
    EXPECT_EQ(problem, (root / "home" / "fifo.inf").string() + " is not an ordinary file");
}

TEST_F(DamagedUserFiles, WordListsThatCannotBeReadAreReportedAndNotUsed) {
    write("docs/a.txt", "alpha beta the");
    ASSERT_TRUE(makeSpecialFile(root / "home" / "stop.sw", SpecialFile::Fifo));
    ASSERT_TRUE(makeSpecialFile(root / "home" / "words.dic", SpecialFile::DevZeroLink));
    IndexRequest r = request("docs", docs() + "/+<*.txt>");
    r.useStopWords = true;
    r.stopWords = "stop.sw";
    r.useDictionary = true;
    r.dictionary = "words.dic";
    ui.answers = {MessageResult::Ok, MessageResult::Ok, MessageResult::Yes};
    BuildOutcome outcome;
    finishesWithin(kAtOnce, "a build with special word lists",
                   [&] { outcome = core->builder.Build(BuildKind::Create, -1, r); });
    ASSERT_EQ(outcome.code, 0);
    ASSERT_GE(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0], (root / "home" / "stop.sw").string() +
                                  " is not an ordinary file.\rThe word list is not used.");
    EXPECT_EQ(ui.messages[1], (root / "home" / "words.dic").string() +
                                  " is not an ordinary file.\rThe word list is not used.");
    EXPECT_TRUE(ui.saw("The filtering dictionary should contain words")) << "an empty dictionary";
    EXPECT_EQ(search(0, "the").size(), 1u) << "no stop-words were loaded";
    EXPECT_EQ(search(0, "beta").size(), 1u) << "no dictionary filters";
    EXPECT_FALSE(fs::is_regular_file(root / "home" / "stop.sw"));
}

TEST_F(DamagedUserFiles, AWordListOverItsLimitIsNotRead) {
    write("home/huge.sw", "the " + std::string(kWordListFileLimit, 'x'));
    auto index = vellcore::CreateIndexObject((root / "idx").string(), 0);
    const auto table = textfold::englishTable();
    ASSERT_TRUE(index->Prepare(2, "English (i)", &table, 32, 2, 50));
    std::string problem;
    int added = -1;
    finishesWithin(kAtOnce, "a stop-word list over the limit", [&] {
        added = loadStopWords(*index, core->indexingParsers.TextParser(), root / "home" / "huge.sw",
                              &problem);
    });
    EXPECT_EQ(added, 0);
    EXPECT_EQ(problem, (root / "home" / "huge.sw").string() +
                           " is larger than 32 MB.\rThe word list is not used.");
}
