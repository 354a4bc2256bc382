// Scope entries the walk passes over are named with the reason, and only those.
#include "CoreFixture.h"

#include "index/BuildResult.h"
#include "index/IndexDefinition.h"
#include "index/ScopeCheck.h"

using namespace vellumar;
using namespace vellumar::testing;

TEST(ScopeCheck, NamesEverySkippedEntryWithItsReason) {
    const struct {
        const char* scope;
        std::vector<std::pair<std::string, std::string>> skipped;
    } cases[] = {
        {"/home/ann/docs/+<*.txt>;-/home/ann/docs/tmp/;/+<*.htm>", {}},
        {"/home/ann/docs+<*.txt>", {{"/home/ann/docs+<*.txt>", "a \"/\" is missing"}}},
        {"/home/ann/docs/*.TXT", {{"/home/ann/docs/*.txt", "not in a group"}}},
        {"docs/+<*.txt>", {{"docs/+<*.txt>", "not an absolute path"}}},
        {"<*.txt>", {{"<*.txt>", "names no folder"}}},
        {"/home/ann/docs/", {{"/home/ann/docs/", "no file patterns"}}},
        {"/home/ann/docs/+", {{"/home/ann/docs/+", "no file patterns"}}},
        {" x ; /a/<*>", {{"x", "names no folder"}}},
        {"-tmp/;/a/<*>", {{"-tmp/", "not an absolute path"}}},
    };
    for (const auto& c : cases) {
        const auto skipped = skippedScopeEntries(c.scope);
        ASSERT_EQ(skipped.size(), c.skipped.size()) << c.scope;
        for (std::size_t i = 0; i < skipped.size(); ++i) {
            EXPECT_EQ(skipped[i].entry, c.skipped[i].first) << c.scope;
            EXPECT_NE(skipped[i].reason.find(c.skipped[i].second), std::string::npos)
                << c.scope << ": " << skipped[i].reason;
        }
    }
    EXPECT_EQ(skippedScopeEntriesText(skippedScopeEntries("<a>;/x/y")),
              "Skipped in the scope: \"<a>\" (it names no folder); \"/x/y\" (the file patterns "
              "are not in a group, such as <*.txt>)");
    EXPECT_EQ(skippedScopeEntriesText({}), "");
}

namespace {
class BuildWarnings : public CoreFixture {};
}  // namespace

TEST_F(BuildWarnings, ASkippedEntryIsReportedBesideTheOutcome) {
    write("docs/a.txt", "alpha");
    IndexRequest r = request("docs", docs() + "+<*.txt>");
    EXPECT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, BuildResult::kNoFiles);
    const std::string expected = "Skipped in the scope: \"" + docs() +
                                 "+<*.txt>\" (a \"/\" is missing before the file "
                                 "patterns)";
    EXPECT_EQ(ui.statuses.back(), expected);
    EXPECT_EQ(core->builder.lastWarning(), expected);
    EXPECT_TRUE(ui.saw("Index wasn't created successfully: No files are found to index."));

    // A good entry beside it: the build succeeds and still names the bad one.
    r.scope = docs() + "/<*.txt>;" + docs() + "/sub<*.txt>";
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    EXPECT_NE(ui.statuses.back().find("sub<*.txt>"), std::string::npos) << ui.statuses.back();
}

TEST_F(BuildWarnings, ArchivesAndAutomaticUpdatingExcludeEachOther) {
    write("docs/a.txt", "alpha");
    IndexRequest r = request("docs", docs() + "/<*.txt>");
    r.archives = true;
    r.autoUpdate = true;
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
    const auto definition = IndexDefinition::load(root / "home" / "Indexes" / "docs.inf");
    EXPECT_TRUE(definition->archive);
    EXPECT_FALSE(definition->monitored);
    EXPECT_FALSE(core->notifier.GetAutoUpdate(0));
}
