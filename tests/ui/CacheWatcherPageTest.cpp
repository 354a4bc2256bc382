// The Cache Watcher page over its core: no browser at all, a Registry.ini naming one
// browser (creating the index from the page's own form), searches and their result pages
// (header order, a query with HTML in it), the page history and its purge, links (web
// addresses handed to the desktop, script links ignored, local pages loaded), and a
// Firefox disk cache followed after it changed.
#include "IndexFixture.h"

#include "cachewatch/CacheEntryWriter.h"
#include "htmlview/THTMLViewer.h"
#include "monitor/cachewatch/CacheWatcher.h"

#include <QCheckBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace vellumar;

namespace {

htmlview::FormSubmission form(const QString& action, const QString& query = {}) {
    htmlview::FormSubmission s;
    s.action = action;
    if (!query.isNull()) s.fields.append({QStringLiteral("SearchExpr"), query});
    return s;
}

// A home with the shipped form and no browser cache anywhere.
struct WatcherFixture : IndexFixture {
    QByteArray previousCacheHome = qgetenv("XDG_CACHE_HOME");
    fs::path cacheHome;
    fs::path ieCache;

    WatcherFixture() {
        cacheHome = fs::path(root.path().toStdString()) / "cache";
        ieCache = fs::path(root.path().toStdString()) / "ie cache";
        fs::create_directories(cacheHome);
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cacheHome.string()));
        fs::copy_file(fs::path(VELLUMAR_SOURCE_DIR) / "data" / "home" / "form.htm",
                      home / "form.htm");
    }
    ~WatcherFixture() { qputenv("XDG_CACHE_HOME", previousCacheHome); }

    void nameInternetExplorer() const {
        write(home / "Registry.ini",
              "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
              "Settings\\Cache\\Paths]\r\nDirectory=" +
                  ieCache.string() + "/\r\n");
    }

    static QString text(TFormMain& w) { return w.watcherPage().controls().HTML2->PlainText(); }
};

}  // namespace

class CacheWatcherPageTest : public QObject {
    Q_OBJECT

  private slots:
    void noBrowserAtAllOffersNothingToCreate() {
        WatcherFixture f;
        auto w = f.start();
        QVERIFY(WatcherFixture::text(*w).contains(
            QStringLiteral("You have not neither Mozilla Firefox nor Chromium nor Google Chrome "
                           "installed on your computer.")));
        QVERIFY(
            !WatcherFixture::text(*w).contains(QStringLiteral("No Cache Watcher Index exists")));
        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Create_Cache_Watcher_Index")));
        QCOMPARE(w->core()->catalogue.count(), 0);
        QVERIFY(WatcherFixture::text(*w).contains(QStringLiteral("You have not neither")));
        // A search without the index is no search either.
        w->watcherPage().HTML2FormSubmit(
            form(QStringLiteral("Execute_Search_Query"), QStringLiteral("x")));
        QCOMPARE(w->core()->catalogue.count(), 0);
        QVERIFY(!fs::exists(f.home / "Cache Watcher" / "1.tmp"));
    }

    void oneBrowserCreateSearchAndResultPages() {
        WatcherFixture f;
        f.nameInternetExplorer();
        f.write(f.ieCache / "a.htm",
                "<!-- saved from url=(0024)http://example.com/apple -->\n<html><head><title>Fruit "
                "pie &amp; cream</title></head><body><p>An apple and another apple.</p></body>"
                "</html>");
        f.write(f.ieCache / "sub" / "b.shtm",
                "<html><head><title>Tart</title></head><body>apple tart</body></html>");
        f.write(f.ieCache / "c.txt", "apple outside the patterns");
        auto w = f.start();
        QVERIFY(WatcherFixture::text(*w).contains(QStringLiteral("No Cache Watcher Index exists")));

        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Create_Cache_Watcher_Index")));
        QCOMPARE(w->core()->catalogue.count(), 1);
        QCOMPARE(QString::fromStdString(w->core()->catalogue.name(0)),
                 QStringLiteral("Cache Watcher"));
        QCOMPARE(w->indexesPage().controls().txtFileNames->text(),
                 QString::fromStdString(f.ieCache.string()) + "/+<*.htm,*.shtm>");
        QVERIFY(w->indexesPage().controls().chkAutoUpdate->isChecked());
        QCOMPARE(w->controls().tabMain->currentIndex(), int(pageWatcher));
        const auto& c = w->watcherPage().controls();
        QCOMPARE(c.HTML2->CurrentFile(), QString::fromStdString((f.home / "form.htm").string()));

        // 3 entries in 2 files: the entries' count comes first, each in bold.
        w->watcherPage().HTML2FormSubmit(
            form(QStringLiteral("Execute_Search_Query"), QStringLiteral("apple")));
        const fs::path first = f.home / "Cache Watcher" / "1.tmp";
        QCOMPARE(c.HTML2->CurrentFile(), QString::fromStdString(first.string()));
        const std::string result = WindowFixture::read(first);
        const auto three = result.find("<b>3</b>");
        const auto two = result.find("<b>2</b>");
        QVERIFY2(three != std::string::npos && two != std::string::npos && three < two,
                 result.c_str());
        std::size_t blocks = 0;
        for (auto at = result.find("<DT><FONT SIZE=+1>"); at != std::string::npos;
             at = result.find("<DT><FONT SIZE=+1>", at + 1))
            ++blocks;
        QCOMPARE(blocks, std::size_t(2));
        QVERIFY(result.find("href=\"http://example.com/apple\"") != std::string::npos);
        QVERIFY(WatcherFixture::text(*w).contains(QStringLiteral("Fruit pie & cream")));
        QVERIFY(c.cmdCWBack->isEnabled() && !c.cmdCWForward->isEnabled());

        // HTML in the query shows as text.
        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Execute_Search_Query"),
                                              QStringLiteral("tart | <script>x</script>")));
        const std::string second = WindowFixture::read(f.home / "Cache Watcher" / "2.tmp");
        QVERIFY(second.find("<script>") == std::string::npos);
        QVERIFY(second.find("&lt;script&gt;") != std::string::npos);
        QVERIFY(WatcherFixture::text(*w).contains(QStringLiteral("<script>x</script>")));

        w->watcherPage().HTML2FormSubmit(
            form(QStringLiteral("Execute_Search_Query"), QStringLiteral("nowhere")));
        QVERIFY(
            WatcherFixture::text(*w).contains(QStringLiteral("There is nothing found for you.")));
    }

    void theFormTypedIntoAndSentWithEnter() {
        WatcherFixture f;
        f.nameInternetExplorer();
        f.write(f.ieCache / "a.htm", "<html><title>A</title><body>plum cake</body></html>");
        auto w = f.start();
        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Create_Cache_Watcher_Index")));
        const auto& c = w->watcherPage().controls();
        c.HTML2->resize(600, 400);
        c.HTML2->show();
        auto* field = c.HTML2->findChild<QLineEdit*>();
        QVERIFY(field);
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("plum"));
        QTest::keyClick(field, Qt::Key_Return);  // the field goes with the form page
        QTRY_COMPARE(c.HTML2->CurrentFile(),
                     QString::fromStdString((f.home / "Cache Watcher" / "1.tmp").string()));
        QVERIFY(WatcherFixture::text(*w).contains(QStringLiteral("plum")));
    }

    void historyKeepsTwentyPagesAndPurgesTheRest() {
        WatcherFixture f;
        f.nameInternetExplorer();
        f.write(f.ieCache / "a.htm", "<html><title>A</title><body>apple</body></html>");
        auto w = f.start();
        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Create_Cache_Watcher_Index")));
        const auto& c = w->watcherPage().controls();
        const fs::path folder = f.home / "Cache Watcher";
        // A stale page of an earlier run goes at the first change.
        f.write(folder / "99.tmp", "old");
        for (int i = 0; i < 20; ++i)
            w->watcherPage().HTML2FormSubmit(
                form(QStringLiteral("Execute_Search_Query"), QStringLiteral("apple")));
        QVERIFY(!fs::exists(folder / "99.tmp"));
        QCOMPARE(c.HTML2->History().size(), 20);
        QVERIFY(fs::exists(folder / "1.tmp"));  // still the oldest entry
        QVERIFY(
            !c.HTML2->History().contains(QString::fromStdString((f.home / "form.htm").string())));

        // Back keeps the pages; F4 and F5 step as the buttons do.
        w->watcherPage().cmdCWBackClick();
        QCOMPARE(c.HTML2->CurrentFile(), QString::fromStdString((folder / "19.tmp").string()));
        QVERIFY(c.cmdCWForward->isEnabled());
        QVERIFY(w->watcherPage().keyDown(Qt::Key_F5, Qt::NoModifier));
        QCOMPARE(c.HTML2->CurrentFile(), QString::fromStdString((folder / "20.tmp").string()));
        QVERIFY(!c.cmdCWForward->isEnabled());
        QVERIFY(fs::exists(folder / "19.tmp") && fs::exists(folder / "1.tmp"));

        // One more page pushes 1.tmp out of the history, and its file goes.
        w->watcherPage().HTML2FormSubmit(
            form(QStringLiteral("Execute_Search_Query"), QStringLiteral("apple")));
        QVERIFY(!fs::exists(folder / "1.tmp"));
        QVERIFY(fs::exists(folder / "2.tmp") && fs::exists(folder / "21.tmp"));
        w->watcherPage().clearHistory();
        QVERIFY(!fs::exists(folder / "21.tmp"));
    }

    void linksOpenOutsideLoadLocallyOrAreIgnored() {
        WatcherFixture f;
        f.nameInternetExplorer();
        f.write(f.ieCache / "a.htm", "<html><body><a name=\"end\">apple</a></body></html>");
        auto w = f.start();
        TCacheWatcherPage& page = w->watcherPage();
        QStringList opened;
        bool opens = true;
        page.openOutside = [&](const QString& address) {
            opened << address;
            return opens;
        };
        const auto& c = page.controls();
        QVERIFY(page.HTML2HotSpotClick(QStringLiteral("javascript:alert(1)")));
        QVERIFY(page.HTML2HotSpotClick(QStringLiteral("https://example.org/x")));
        QCOMPARE(opened, QStringList{"https://example.org/x"});
        QVERIFY(f.answers.messages().empty());
        opens = false;
        page.HTML2HotSpotClick(QStringLiteral("mailto:ann@example.org"));
        QCOMPARE(f.answers.messages().size(), std::size_t(1));
        QCOMPARE(f.answers.messages().back().icon, MessageIcon::Warning);

        const QString local = QString::fromStdString((f.ieCache / "a.htm").string());
        page.HTML2HotSpotClick(QStringLiteral("file://") + local + QStringLiteral("#end"));
        QCOMPARE(c.HTML2->CurrentFile(), local);
        page.HTML2HotSpotClick(QStringLiteral("file:///nowhere/gone.htm"));
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("Can't open the file /nowhere/gone.htm"));
        QCOMPARE(c.HTML2->CurrentFile(), local);
        QCOMPARE(opened.size(), 2);
    }

    void aFirefoxCacheIsMirroredAndFollowed() {
        WatcherFixture f;
        const fs::path entries =
            f.cacheHome / "mozilla" / "firefox" / "abc.default" / "cache2" / "entries";
        auto cache = [&](char n, const std::string& url, const std::string& html) {
            cachetest::writeFile(
                entries / (std::string(39, 'A') + n),
                cachetest::firefoxEntry(url, cachetest::httpHead("text/html"), html));
        };
        cache('1', "https://example.org/kiwi", "<html><title>Kiwi</title>kiwi fruit</html>");
        cachetest::writeFile(entries / std::string(40, 'B'),
                             cachetest::firefoxEntry("https://example.org/logo.png",
                                                     cachetest::httpHead("image/png"), "PNG"));
        auto w = f.start();
        QVERIFY(WatcherFixture::text(*w).contains(QStringLiteral("No Cache Watcher Index exists")));
        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Create_Cache_Watcher_Index")));
        QCOMPARE(w->core()->catalogue.count(), 1);
        QCOMPARE(IndexFixture::records(*w, 0), 1);  // the page, not the picture

        cache('2', "https://example.org/more", "<html><title>More</title>kiwi again</html>");
        w->watcherPage().cacheFoldersChanged();
        QCOMPARE(IndexFixture::records(*w, 0), 2);
        w->watcherPage().HTML2FormSubmit(
            form(QStringLiteral("Execute_Search_Query"), QStringLiteral("kiwi")));
        const std::string result = WindowFixture::read(f.home / "Cache Watcher" / "1.tmp");
        QVERIFY(result.find("<b>2</b>") != std::string::npos);
        QVERIFY(result.find("href=\"https://example.org/more\"") != std::string::npos);
    }

    void aMissingFormSaysSo() {
        WatcherFixture f;
        f.nameInternetExplorer();
        f.write(f.ieCache / "a.htm", "<html><body>apple</body></html>");
        auto w = f.start();
        w->watcherPage().HTML2FormSubmit(form(QStringLiteral("Create_Cache_Watcher_Index")));
        fs::remove(f.home / "form.htm");
        w->watcherPage().cmdNewSearchClick();
        QCOMPARE(f.answers.messages().back().text,
                 QString::fromStdString("Can't open the file " + (f.home / "form.htm").string()));
    }
};

QTEST_MAIN(CacheWatcherPageTest)
#include "CacheWatcherPageTest.moc"
