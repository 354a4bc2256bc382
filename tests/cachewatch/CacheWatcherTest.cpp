// The Cache Watcher through the whole core: creating its index from the browsers'
// caches, searching it, the result files and their purge.
#include <fstream>
#include <sstream>

#include "CacheEntryWriter.h"
#include "index/CoreFixture.h"
#include "monitor/cachewatch/CacheWatcher.h"
#include "support/TempDir.h"

using namespace vellumar;
using namespace vellumar::cachewatch;
using namespace vellumar::testing;
using namespace cachetest;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class CacheWatcherCore : public CoreFixture {
  protected:
    fs::path home() const { return root / "home"; }
    fs::path entries() const {
        return root / "cache" / "mozilla" / "firefox" / "x.default" / "cache2" / "entries";
    }
    void cachePage(int n, const std::string& url, const std::string& html) {
        writeFile(entries() / ("00112233445566778899AABBCCDDEEFF0011223" + std::to_string(n)),
                  firefoxEntry(url, httpHead("text/html", "gzip"), gzip(html)));
    }
    std::unique_ptr<CacheWatcher> watcher() {
        return std::make_unique<CacheWatcher>(*core, home(), root / "cache");
    }
};

TEST_F(CacheWatcherCore, WithoutAnyBrowserNothingIsCreated) {
    auto cw = watcher();
    StartPage start = cw->startPage();
    EXPECT_EQ(start.kind, StartPageKind::NoBrowser);
    EXPECT_NE(start.html.find("You have not neither Mozilla Firefox nor Chromium nor Google Chrome "
                              "installed on your computer."),
              std::string::npos);

    // The create action submitted anyway builds nothing and shows that page again.
    const FormDecision d = decideFormSubmission(kCreateIndexAction, {}, cw->indexPosition() >= 0);
    ASSERT_EQ(d.step, FormStep::CreateIndex);
    const BuildOutcome outcome = cw->CreateCacheWatcherIndex(request("", ""), true);
    EXPECT_FALSE(outcome.ran);
    EXPECT_EQ(core->catalogue.count(), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(cw->startPage().kind, StartPageKind::NoBrowser);
}

TEST_F(CacheWatcherCore, SearchesThePagesOfABrowserCache) {
    cachePage(1, "https://sea.example/log",
              "<html><head><title>Keeper's &lt;log&gt;</title></head><body>The lighthouse keeper. "
              "&lt;script&gt; A lighthouse.</body></html>");
    cachePage(2, "https://sea.example/gulls",
              "<html><body>Gulls over the lighthouse</body></html>");
    cachePage(3, "https://sea.example/other", "<html><body>Nothing here</body></html>");
    auto cw = watcher();
    EXPECT_EQ(cw->startPage().kind, StartPageKind::CreateIndex);
    EXPECT_EQ(cw->foldersToWatch(), std::vector<fs::path>{entries()});

    const BuildOutcome outcome = cw->CreateCacheWatcherIndex(request("", ""), true);
    ASSERT_EQ(outcome.code, 0) << (ui.messages.empty() ? "" : ui.messages.back());
    const int position = cw->indexPosition();
    ASSERT_GE(position, 0);
    const auto definition = IndexDefinition::load(core->catalogue.definitionFile(position));
    EXPECT_EQ(definition->scope,
              (home() / "Cache Watcher" / "pages").string() + "/+<*.htm,*.shtm>");
    EXPECT_TRUE(definition->monitored);
    const StartPage start = cw->startPage();
    EXPECT_EQ(start.kind, StartPageKind::SearchForm);
    EXPECT_EQ(start.formFile, home() / "form.htm");

    const FormDecision d =
        decideFormSubmission(kSearchAction, parseFormFields("SearchExpr=lighthouse"), true);
    ASSERT_EQ(d.step, FormStep::Search);
    SearchPage result = cw->runSearch(position, d.query, false);
    ASSERT_EQ(result.file, home() / "Cache Watcher" / "1.tmp") << result.html;
    std::string page = readAll(result.file);
    EXPECT_NE(page.find("has been found <b>3</b>  entries in  <b>2</b> files."), std::string::npos)
        << page;
    EXPECT_EQ(count(page, "<DT><FONT SIZE=+1><b>"), 2);
    EXPECT_NE(page.find("<a href=\"https://sea.example/log\">Keeper&#39;s &lt;log&gt;</a>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<a href=\"https://sea.example/gulls\">"), std::string::npos);
    EXPECT_EQ(count(page, "<LI>..."), 3) << "one passage per entry";
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(ui.statuses.back(), "");

    // Before each search the mirror follows the cache, and the index the mirror: a page
    // that left the cache is no longer found, one that arrived is.
    fs::remove(entries() / "00112233445566778899AABBCCDDEEFF00112231");
    cachePage(4, "https://sea.example/new", "<html><body>a new lighthouse</body></html>");
    result = cw->runSearch(position, "lighthouse", false);
    ASSERT_EQ(result.file, home() / "Cache Watcher" / "2.tmp");
    page = readAll(result.file);
    EXPECT_NE(page.find("<b>2</b>  entries in  <b>2</b>"), std::string::npos) << page;
    EXPECT_EQ(page.find("sea.example/log"), std::string::npos);
    EXPECT_NE(page.find("sea.example/new"), std::string::npos);

    EXPECT_EQ(cw->runSearch(position, "seaweed", false).html, kNothingFoundPage);
    EXPECT_EQ(cw->runSearch(position, "(((", false).html, kSearchErrorPage);
    EXPECT_EQ(cw->resultPages().counter(), 2) << "no file for message pages";
}

TEST_F(CacheWatcherCore, RegistryCacheFilesWithOddNamesAndAddresses) {
    const fs::path ie = root / "ie cache";
    write("ie cache/a<b>.htm",
          "<!-- saved from url=(0019)javascript:alert(1) -->\n<html><body>beacon</body></html>");
    write("ie cache/sub/c.shtm",
          "<!-- saved from url=(0018)http://x.example/c -->\n<html><title>C</title>beacon</html>");
    write("home/Registry.ini",
          "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
          "Settings\\Cache\\Paths]\nDirectory=" +
              ie.string() + "/\n");
    auto cw = watcher();
    EXPECT_TRUE(cw->foldersToWatch().empty());
    ASSERT_EQ(cw->CreateCacheWatcherIndex(request("", ""), false).code, 0);
    const int position = cw->indexPosition();
    const SearchPage result = cw->runSearch(position, "beacon", false);
    ASSERT_FALSE(result.file.empty()) << result.html;
    const std::string page = readAll(result.file);
    EXPECT_EQ(page.find("javascript"), std::string::npos) << page;
    EXPECT_NE(page.find("<b>a&lt;b&gt;.htm</b>"), std::string::npos) << page;
    EXPECT_NE(page.find("\">" + ie.string() + "/a&lt;b&gt;.htm</A>"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"http://x.example/c\">C</a>"), std::string::npos);
    // A second creation in the same run updates the index rather than failing.
    EXPECT_EQ(cw->CreateCacheWatcherIndex(request("", ""), false).code, 0);
    EXPECT_EQ(core->catalogue.count(), 1);
}

TEST(ResultPagesFiles, HistoryKeepsItsPagesAndDropsTheRest) {
    ::testing_support::TempDir dir;
    ResultPages pages(dir / "Cache Watcher");
    std::vector<std::string> written;
    for (int i = 0; i < 4; ++i)
        written.push_back(std::get<fs::path>(pages.write("<html>" + std::to_string(i))).string());
    EXPECT_EQ(written[3], (dir / "Cache Watcher" / "4.tmp").string());
    cachetest::writeFile(dir / "Cache Watcher" / "pages" / "keep.htm", "mirror");
    fs::create_directories(dir / "Cache Watcher" / "folder.tmp");

    // The newest page is 4; the history (newest first) lost 1 and 2.
    auto buttons =
        pages.historyChanged({written[3], "file://" + written[2], "/elsewhere/form.htm"}, 0);
    EXPECT_TRUE(buttons.back);
    EXPECT_FALSE(buttons.forward);
    EXPECT_FALSE(fs::exists(written[0]));
    EXPECT_FALSE(fs::exists(written[1]));
    EXPECT_TRUE(fs::exists(written[2]));
    EXPECT_TRUE(fs::exists(dir / "Cache Watcher" / "pages" / "keep.htm"));
    EXPECT_TRUE(fs::exists(dir / "Cache Watcher" / "folder.tmp"));

    // Going back changes the position, not the newest entry: nothing is purged, even a
    // file the list does not hold.
    cachetest::writeFile(dir / "Cache Watcher" / "9.tmp", "stray");
    buttons = pages.historyChanged({written[3], written[2]}, 1);
    EXPECT_FALSE(buttons.back);
    EXPECT_TRUE(buttons.forward);
    EXPECT_TRUE(fs::exists(dir / "Cache Watcher" / "9.tmp"));
    // An empty history purges every result page.
    pages.historyChanged({}, -1);
    EXPECT_FALSE(fs::exists(written[3]));
    EXPECT_FALSE(fs::exists(dir / "Cache Watcher" / "9.tmp"));
}

TEST(ResultPagesFiles, APageThatCannotBeWrittenTakesTheCounterBack) {
    ::testing_support::TempDir dir;
    cachetest::writeFile(dir / "Cache Watcher", "a file where the folder should be");
    ResultPages pages(dir / "Cache Watcher");
    const auto written = pages.write("<html>");
    ASSERT_TRUE(std::holds_alternative<std::string>(written));
    EXPECT_EQ(std::get<std::string>(written), kCannotCreateResultFilePage);
    EXPECT_EQ(pages.counter(), 0);
    if (fs::exists("/dev/full")) {
        fs::remove(dir / "Cache Watcher");
        fs::create_directories(dir / "Cache Watcher");
        fs::create_symlink("/dev/full", dir / "Cache Watcher" / "1.tmp");
        const auto full = pages.write(std::string(1 << 16, 'x'));
        ASSERT_TRUE(std::holds_alternative<std::string>(full));
        EXPECT_EQ(std::get<std::string>(full), kCannotWriteResultFilePage);
        EXPECT_EQ(pages.counter(), 0);
    }
}

}  // namespace
