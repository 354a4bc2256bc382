// What a folder report of the notifier does to an automatically updateable index: which
// folders are ignored, what the view hears, folders made, renamed and deleted inside the
// scope, and another process holding the home.
#include "CoreFixture.h"

#include "index/BuildResult.h"

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::testing;

namespace {

struct RecordingView : FolderChangeView {
    void updateStarting(int, const std::string& folder) override { started.push_back(folder); }
    void updateFinished(const FolderChangeReport& report) override { reports.push_back(report); }
    std::vector<std::string> started;
    std::vector<FolderChangeReport> reports;
};

class FolderChange : public CoreFixture {
  protected:
    // An automatically updateable index over docs and its subfolders, with the handler
    // attached as the window does at the end of start-up.
    void build(const std::string& scope) {
        IndexRequest r = request("docs", scope);
        r.autoUpdate = true;
        ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, r).code, 0);
        core->notifier.SetAutoUpdate(0, true);
        MonitoringFilter filter;
        filter.indexFolder = (root / "home" / "Indexes").string();
        filter.systemFolders = defaultSystemFolders();
        filter.tempFolder = "/nonexistent-temp";
        core->folderChanges.SetFilter(filter);
        core->folderChanges.SetView(&view);
        core->folderChanges.Attach();
    }
    void report(const std::string& folder) {
        bool stop = false;
        core->folderChanges.Handle(0, folder, stop);
        EXPECT_FALSE(stop);
    }
    RecordingView view;
};

}  // namespace

TEST(MonitoringFilterTest, IgnoresWholeNamesAndExactExclusions) {
    MonitoringFilter filter;
    filter.systemFolders = defaultSystemFolders();
    filter.tempFolder = "/tmp/";
    filter.indexFolder = "/home/ann/Indexes";
    filter.excludedFolders = {"/data/", "/"};
    EXPECT_TRUE(filter.Ignores("/usr/share/doc"));
    EXPECT_TRUE(filter.Ignores("/tmp"));
    EXPECT_FALSE(filter.Ignores("/tmpfiles")) << "a prefix of a name is not its folder";
    EXPECT_TRUE(filter.Ignores("/home/ann/Indexes/sub"));
    EXPECT_FALSE(filter.Ignores("/home/ann/IndexesOld"));
    EXPECT_TRUE(filter.Ignores("/data")) << "an excluded folder written with its slash";
    EXPECT_FALSE(filter.Ignores("/data/sub")) << "exclusions do not cover subfolders";
    EXPECT_TRUE(filter.Ignores("/")) << "the root as a listed folder";

    filter.systemFoldersOff = filter.tempFolderOff = filter.indexFolderOff = false;
    EXPECT_FALSE(filter.Ignores("/usr/share/doc"));
    EXPECT_FALSE(filter.Ignores("/tmp"));
    EXPECT_FALSE(filter.Ignores("/home/ann/Indexes/sub"));
}

TEST_F(FolderChange, UpdatesOnlyAutomaticIndexesOutsideIgnoredFolders) {
    write("docs/a.txt", "alpha");
    build(docs() + "/+<*.txt>");
    write("docs/b.txt", "bravo");

    core->notifier.SetAutoUpdate(0, false);
    report(docs());
    EXPECT_TRUE(view.started.empty()) << "an index without the flag is left alone";
    EXPECT_TRUE(search(0, "bravo").empty());

    core->notifier.SetAutoUpdate(0, true);
    MonitoringFilter filter = core->folderChanges.Filter();
    filter.excludedFolders = {docs() + "/"};
    core->folderChanges.SetFilter(filter);
    report(docs());
    EXPECT_TRUE(view.started.empty()) << "an excluded folder is ignored";

    filter.excludedFolders.clear();
    core->folderChanges.SetFilter(filter);
    report(docs());
    ASSERT_EQ(view.reports.size(), 1U);
    const FolderChangeReport& done = view.reports.front();
    EXPECT_EQ(done.indexName, "docs");
    EXPECT_EQ(done.outcome.code, 0);
    EXPECT_EQ(done.outcome.added, 1);
    EXPECT_EQ(done.outcome.replaced, 0);
    EXPECT_EQ(search(0, "bravo").size(), 1U);

    // The notifier's own path to the handler: a forced report of a watched folder.
    write("docs/a.txt", "alpha again");
    fs::last_write_time(root / "docs/a.txt",
                        fs::last_write_time(root / "docs/a.txt") + std::chrono::seconds(10));
    fs::remove(root / "docs/b.txt");
    core->notifier.FolderChanged(docs());
    ASSERT_EQ(view.reports.size(), 2U);
    EXPECT_EQ(view.reports.back().outcome.replaced, 1);
    EXPECT_EQ(view.reports.back().outcome.removed, 1);
    EXPECT_TRUE(search(0, "bravo").empty());
}

TEST_F(FolderChange, NewRenamedAndDeletedFoldersFollowTheScope) {
    write("docs/a.txt", "alpha");
    write("docs/old/deep/d.txt", "delta");
    build(docs() + "/+<*.txt>");
    ASSERT_EQ(search(0, "delta").size(), 1U);

    // A tree made inside the scope is watched and indexed when its parent reports.
    write("docs/made/sub/m.txt", "mike");
    report(docs());
    EXPECT_EQ(search(0, "mike").size(), 1U);
    EXPECT_FALSE(core->notifier.FoldersOf(0, docs() + "/made/sub").empty())
        << "the new subfolder is watched too";

    // Renamed within the scope: the old names leave, the new ones are found.
    fs::rename(root / "docs/old", root / "docs/renamed");
    report(docs() + "/old");
    report(docs());
    const auto found = search(0, "delta");
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found.front(), docs() + "/renamed/deep/d.txt");
    EXPECT_TRUE(core->notifier.FoldersOf(0, docs() + "/old").empty());

    // Moved out of the scope: everything below it leaves, though only the top reports.
    fs::rename(root / "docs/renamed", root / "outside");
    report(docs() + "/renamed");
    EXPECT_TRUE(search(0, "delta").empty());
    ASSERT_FALSE(view.reports.empty());
    EXPECT_TRUE(view.reports.back().outcome.folderGone);

    // Deleted: the same.
    fs::remove_all(root / "docs/made");
    report(docs() + "/made");
    EXPECT_TRUE(search(0, "mike").empty());
    EXPECT_EQ(search(0, "alpha").size(), 1U);
}

TEST_F(FolderChange, ANewFolderHonoursTheScopesExclusions) {
    write("docs/a.txt", "alpha");
    build(docs() + "/+<*.txt>;-" + docs() + "/made/skip/+<*.*>");
    write("docs/made/keep/k.txt", "kilo");
    write("docs/made/skip/s.txt", "sierra");
    report(docs());
    EXPECT_EQ(search(0, "kilo").size(), 1U);
    EXPECT_TRUE(search(0, "sierra").empty()) << "an excluded subfolder stays out";
}

TEST_F(FolderChange, AHomeHeldElsewhereRefusesTheUpdate) {
    write("docs/a.txt", "alpha");
    build(docs() + "/<*.txt>");
    write("docs/b.txt", "bravo");
    // The build took the home; a watcher that started meanwhile would be refused, and one
    // that holds it refuses this process's writes.
    core->homeLock.Release();
    HomeLock watcher(root / "home", "watcher");
    ASSERT_TRUE(watcher.TryAcquire());
    EXPECT_EQ(watcher.Holder().rfind("watcher (process ", 0), 0U);
    report(docs());
    ASSERT_EQ(view.reports.size(), 1U);
    EXPECT_EQ(view.reports.front().outcome.message, kCannotModifyMessage);
    EXPECT_TRUE(search(0, "bravo").empty());
    IndexRequest again = request("docs", docs() + "/<*.txt>");
    EXPECT_FALSE(core->builder.Build(BuildKind::Update, 0, again).ran);
    EXPECT_TRUE(ui.saw(kCannotModifyMessage));

    watcher.Release();
    report(docs());
    EXPECT_EQ(search(0, "bravo").size(), 1U) << "the home is free again";
    HomeLock late(root / "home", "watcher");
    EXPECT_FALSE(late.TryAcquire()) << "the writer keeps the home";
}

TEST_F(FolderChange, TwoIndexesOverOneFolderAreUpdatedInTheirOrder) {
    write("docs/a.txt", "alpha");
    build(docs() + "/<*.txt>");
    IndexRequest second = request("second", docs() + "/<*.txt>");
    second.autoUpdate = true;
    ASSERT_EQ(core->builder.Build(BuildKind::Create, -1, second).code, 0);
    const int other = core->catalogue.find("second");
    ASSERT_GE(other, 0);
    core->notifier.SetAutoUpdate(other, true);
    write("docs/b.txt", "bravo");

    core->notifier.FolderChanged(docs());
    ASSERT_EQ(view.reports.size(), 2U);
    EXPECT_EQ(view.reports[0].indexName, "docs");
    EXPECT_EQ(view.reports[1].indexName, "second");
    EXPECT_EQ(view.reports[0].outcome.added, 1);
    EXPECT_EQ(view.reports[1].outcome.added, 1);
    EXPECT_EQ(search(other, "bravo").size(), 1U) << "the index not in use is updated too";
}
