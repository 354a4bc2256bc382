// Automatic updating in the window: an index made automatically updateable follows the
// changes in its folder on the notifier thread, with the listed results marked; monitoring
// suspended and resumed; an excluded folder and its catch-up; the two index check boxes;
// an automatic update that fails on a full disk; quitting while one runs; and the home
// shared with the watcher.
#include "SearchFixture.h"

#include "index/IndexBuilder.h"
#include "monitor/HomeLock.h"
#include "platform/Settings.h"
#include "support/SmallDisk.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace vellumar;

namespace {

// Lets the notifier thread run a few passes, serving its calls to the main thread.
void letPassesRun(int milliseconds = 1300) { QTest::qWait(milliseconds); }

// A later modification time, so the stamp tells the new version apart.
void touchLater(const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(10));
}

}  // namespace

class MonitoringTest : public QObject {
    Q_OBJECT

    // Starts with the index "docs" and makes it automatically updateable as a user does.
    static void startAutomatic(SearchFixture& f) {
        f.startWithIndex();
        const auto& ix = f.w->indexesPage().controls();
        ix.chkAutoUpdate->setChecked(true);
        f.w->indexesPage().chkAutoUpdateClick();
        QVERIFY(f.w->core()->notifier.GetAutoUpdate(0));
        QVERIFY(f.w->core()->notifier.WatchedCount() > 0);
    }

  private slots:
    void changesFollowOnTheNotifierThreadAndMarkTheListedResults() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "alpha");
        startAutomatic(f);
        f.search("alpha");
        QCOMPARE(f.listed().size(), 1);
        QVERIFY(f.rl().pnlResultsWarning->isHidden());

        f.write(f.docs / "a.txt", "beta");
        touchLater(f.docs / "a.txt");
        f.write(f.docs / "sub" / "c.txt", "gamma");  // a new folder in the scope
        QTRY_COMPARE_WITH_TIMEOUT(f.w->indexesPage().controls().lblFileCount1->text(),
                                  QStringLiteral("2"), 5000);
        QVERIFY(!f.rl().pnlResultsWarning->isHidden());
        QCOMPARE(f.rl().pnlResultsWarning->text(),
                 QStringLiteral("Warning! Index has been changed"));
        QVERIFY(!f.w->indexesPage().controls().lblLastUpdated1->text().isEmpty());
        // The buttons are back once the update is over.
        QTRY_VERIFY_WITH_TIMEOUT(f.sp().cmdOK->isEnabled(), 5000);
        QCOMPARE(f.w->indexesPage().controls().cmdUpdate->text(), QStringLiteral("&Update"));
        f.search("gamma");
        QCOMPARE(f.listed().size(), 1);
        f.search("beta");
        QCOMPARE(f.listed().size(), 1);

        fs::remove_all(f.docs / "sub");
        QTRY_COMPARE_WITH_TIMEOUT(f.w->indexesPage().controls().lblFileCount1->text(),
                                  QStringLiteral("1"), 5000);
    }

    void suspendedChangesArriveAfterNormal() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "alpha");
        startAutomatic(f);
        const auto& mp = f.w->monitoringPage().controls();
        mp.radSuspended->setChecked(true);
        f.w->monitoringPage().radSuspendedClick();
        f.write(f.docs / "b.txt", "delta");
        letPassesRun();
        f.search("delta");
        QCOMPARE(f.listed().size(), 0);

        mp.radNormal->setChecked(true);
        f.w->monitoringPage().radNormalClick();
        QTRY_COMPARE_WITH_TIMEOUT(IndexFixture::records(*f.w, 0), 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(f.sp().cmdOK->isEnabled(), 5000);
        f.search("delta");
        QCOMPARE(f.listed().size(), 1);
    }

    void anExcludedFolderIsCaughtUpOnWhenRemovedFromTheList() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "alpha");
        startAutomatic(f);
        TMonitoringPage& page = f.w->monitoringPage();
        f.w->settings().notMonitoredDirectories = {"/zz", f.docs.string() + "/", "/aa"};
        page.showSettings();
        const auto& mp = page.controls();
        QCOMPARE(mp.lstDirsOff->count(), 3);
        QCOMPARE(mp.lstDirsOff->item(0)->text(), QStringLiteral("/aa"));

        f.write(f.docs / "b.txt", "echo");
        letPassesRun();
        QCOMPARE(IndexFixture::records(*f.w, 0), 1);

        mp.lstDirsOff->setCurrentRow(1);
        page.cmdRemoveDirsOffClick();
        // The catch-up runs at once, on the main thread.
        QCOMPARE(IndexFixture::records(*f.w, 0), 2);
        QCOMPARE(mp.lstDirsOff->count(), 2);
        QCOMPARE(f.w->settings().notMonitoredDirectories, (std::vector<std::string>{"/aa", "/zz"}));
    }

    void theTwoIndexBoxesExcludeEachOtherAndNoLeavesThemAsTheyWere() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "alpha");
        f.startWithIndex();
        TIndexesPage& page = f.w->indexesPage();
        const auto& ix = page.controls();
        ix.chkArc->setChecked(true);
        ix.chkAutoUpdate->setChecked(true);
        f.answers.queueAnswer(MessageResult::No);
        page.chkAutoUpdateClick();
        QVERIFY(f.saw(QStringLiteral("To make the index automatically updateable")));
        QVERIFY(!ix.chkAutoUpdate->isChecked());
        QVERIFY(ix.chkArc->isChecked());
        QVERIFY(!f.w->core()->notifier.GetAutoUpdate(0));

        ix.chkAutoUpdate->setChecked(true);
        page.chkAutoUpdateClick();  // Yes
        QVERIFY(!ix.chkArc->isChecked());
        QVERIFY(f.w->core()->notifier.GetAutoUpdate(0));
        QVERIFY(WindowFixture::read(f.indexes / "docs.inf").find("Monitored=1") !=
                    std::string::npos ||
                WindowFixture::read(f.indexes / "docs.inf").find("Monitored=true") !=
                    std::string::npos);

        ix.chkArc->setChecked(true);
        page.chkArcClick();
        QVERIFY(!ix.chkAutoUpdate->isChecked());
    }

    void aBurstInABrowsersCacheIsOneRefreshAndWaitsWhileSuspended() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "alpha");
        f.startWithIndex();
        const fs::path cache = fs::path(f.root.path().toStdString()) / "cache";
        fs::create_directories(cache);
        TMonitoringPage& page = f.w->monitoringPage();
        page.watchCacheFolders({QString::fromStdString(cache.string())});
        QSignalSpy changed(&page, &TMonitoringPage::cacheFoldersChanged);
        for (int i = 0; i < 20; ++i) f.write(cache / ("entry" + std::to_string(i)), "x");
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 5000);
        letPassesRun(2500);
        QCOMPARE(changed.count(), 1);

        page.controls().radSuspended->setChecked(true);
        page.radSuspendedClick();
        f.write(cache / "late", "x");
        letPassesRun(2500);
        QCOMPARE(changed.count(), 1);
        page.controls().radNormal->setChecked(true);
        page.radNormalClick();
        QCOMPARE(changed.count(), 2);
    }

    void anAutomaticUpdateOnAFullDiskSaysSoAndKeepsTheIndex() {
        SearchFixture f;
        vellumar::testing::SmallDisk disk(f.indexes, 16 * 1024);
        if (!disk.mounted()) QSKIP(disk.why().c_str());
        for (int i = 0; i < 40; ++i)
            f.write(f.docs / ("f" + std::to_string(i) + ".txt"),
                    "alpha " + std::string(1500, 'x') + " w" + std::to_string(i));
        startAutomatic(f);
        QVERIFY(disk.fill());
        for (int i = 0; i < 40; ++i) {
            const fs::path file = f.docs / ("f" + std::to_string(i) + ".txt");
            f.write(file, "omega " + std::string(1500, 'y') + " v" + std::to_string(i));
            touchLater(file);
        }
        QTRY_VERIFY_WITH_TIMEOUT(f.saw(QStringLiteral("Out of memory or disk space.: \"docs\" "
                                                      "index update failed.")),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(f.sp().cmdOK->isEnabled(), 5000);
        QCOMPARE(f.w->core()->catalogue.count(), 1);
        f.search("alpha");
        QCOMPARE(f.listed().size(), 40);

        // With room again, the next change brings the folder up to date.
        disk.makeRoom();
        f.write(f.docs / "late.txt", "omega");
        QTRY_COMPARE_WITH_TIMEOUT(IndexFixture::records(*f.w, 0), 41, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(f.sp().cmdOK->isEnabled(), 5000);
        f.search("omega");
        QCOMPARE(f.listed().size(), 41);
    }

    void quittingWhileAnAutomaticUpdateRunsEndsSoonAndKeepsTheIndex() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "alpha");
        startAutomatic(f);
        QSignalSpy running(&f.w->monitoringPage(), &TMonitoringPage::automaticUpdateRunning);
        // Enough new files that the automatic update is still running when "Exit" comes.
        for (int i = 0; i < 4000; ++i)
            f.write(f.docs / ("n" + std::to_string(i) + ".txt"),
                    "omega words number " + std::to_string(i));
        QTRY_VERIFY_WITH_TIMEOUT(!running.isEmpty(), 10000);
        QCOMPARE(running.first().first().toBool(), true);

        // As the program ends: "Exit", then what main does once the event loop is over.
        const std::size_t messages = f.answers.messages().size();
        QElapsedTimer clock;
        clock.start();
        f.w->mnuExitClick();
        f.w->FormDestroy();
        f.w.reset();
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        // At most the question whether to stop the update (answered Yes); no failure.
        for (std::size_t i = messages; i < f.answers.messages().size(); ++i)
            QVERIFY2(f.answers.messages()[i].text.startsWith(
                         QStringLiteral("Creating\\updating the index is not completed yet.")),
                     qPrintable(f.answers.messages()[i].text));

        // The next start finds the index whole: the old document and whatever the update
        // had stored before it stopped.
        f.w = f.start();
        QCOMPARE(f.w->core()->catalogue.count(), 1);
        const int records = IndexFixture::records(*f.w, 0);
        QVERIFY2(records >= 1 && records <= 4001, qPrintable(QString::number(records)));
        f.w->controls().tabMain->setCurrentIndex(vellumar::pageSearch);
        f.search("alpha");
        QCOMPARE(f.listed().size(), 1);
    }

    void theWatcherAndTheWindowNeverWriteOneHomeTogether() {
        {
            // The window first: a watcher cannot take the home.
            SearchFixture f;
            f.write(f.docs / "a.txt", "alpha");
            f.startWithIndex();
            HomeLock watcher(f.home, "watcher");
            QVERIFY(!watcher.TryAcquire());
        }
        // The watcher first: the window searches, but builds nothing.
        IndexFixture f;
        f.write(f.docs / "a.txt", "alpha");
        HomeLock watcher(f.home, "watcher");
        QVERIFY(watcher.TryAcquire());
        auto w = f.start();
        IndexFixture::create(*w, QStringLiteral("docs"), IndexFixture::scopeOf(f.docs));
        QVERIFY(f.saw(QString::fromUtf8(kCannotModifyMessage)));
        QCOMPARE(w->core()->catalogue.count(), 0);

        watcher.Release();
        IndexFixture::create(*w, QStringLiteral("docs"), IndexFixture::scopeOf(f.docs));
        QCOMPARE(w->core()->catalogue.count(), 1);
    }
};

QTEST_MAIN(MonitoringTest)
#include "MonitoringTest.moc"
