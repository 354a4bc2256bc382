// The viewer history in the window: what is recorded, moves with the buttons and keys,
// the place in a document restored when coming back, files on another result page, pages
// reached through links, and the points that clear it.
#include "ViewerWindowFixture.h"

#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace vellumar;

namespace {

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

// Stands in for the result list and the Search page: a name asked for by the history is
// shown when it is "listed" (on the current page), as TResultList::selectListedFile does;
// a search asked for runs and, as "Stay on previously viewed" does, shows `stayOn`.
struct ListedFiles {
    ViewerWindowFixture& f;
    QString query;
    std::vector<std::string> listed;
    std::vector<QString> asked;
    std::string stayOn;

    ListedFiles(ViewerWindowFixture& fixture, QString q) : f(fixture), query(std::move(q)) {
        QObject::connect(&f.pane(), &TViewerPane::historyFileRequested, &f.pane(),
                         [this](const QString& name) {
                             asked.push_back(name);
                             const std::string file = name.toStdString();
                             if (std::find(listed.begin(), listed.end(), file) == listed.end())
                                 return;
                             const Found found = f.search(query, file);
                             f.pane().EntriesDelay(found.number, name, found.stamp);
                         });
        QObject::connect(&f.pane(), &TViewerPane::historySearchRequested, &f.pane(),
                         [this](const QString& expression) {
                             if (stayOn.empty()) return;
                             const Found found = f.search(expression, stayOn);
                             f.pane().EntriesDelay(found.number, QString::fromStdString(stayOn),
                                                   found.stamp);
                         });
    }
};

}  // namespace

class ViewerHistoryTest : public QObject {
    Q_OBJECT

  private slots:
    void twentyFiveViewedFilesLeaveTheLastTwenty() {
        ViewerWindowFixture f;
        for (int i = 0; i < 25; ++i)
            f.write(f.docs / ("f" + std::to_string(100 + i) + ".txt"), "beta");
        f.build("*.txt");
        THistory& history = *f.w->history();
        QVERIFY(!f.vp().cmdBack->isEnabled() && !f.vp().cmdForward->isEnabled());
        for (int i = 0; i < 25; ++i)
            QVERIFY(f.show("beta", f.docs / ("f" + std::to_string(100 + i) + ".txt")));
        QCOMPARE(history.Count(), 20);
        QCOMPARE(QString::fromStdString(history.Item(0).fileName), q(f.docs / "f105.txt"));
        ListedFiles list(f, QStringLiteral("beta"));  // nothing listed: nothing shown
        int backs = 0;
        while (f.vp().cmdBack->isEnabled() && backs < 30) {
            f.key(backs % 2 ? Qt::Key_F4 : Qt::Key_Left,
                  backs % 2 ? Qt::NoModifier : Qt::AltModifier);
            ++backs;
        }
        QCOMPARE(backs, 19);
        QCOMPARE(list.asked.back(), q(f.docs / "f105.txt"));
        QCOMPARE(history.CurrentIndex(), 0);
        f.key(Qt::Key_Left, Qt::AltModifier);  // nothing to go back to: nothing happens
        QCOMPARE(list.asked.size(), 19u);
        QVERIFY(f.vp().cmdForward->isEnabled());
        // The shown file stays: the files asked for were not on the result page.
        QCOMPARE(f.vp().rtfEntries->toPlainText(), QStringLiteral("beta"));
    }

    void comingBackSelectsTheEntryLeftAndNewViewsDropTheForwardPart() {
        ViewerWindowFixture f;
        std::string many;
        for (int i = 0; i < 10; ++i) many += "w" + std::to_string(i) + " beta\n";
        f.write(f.docs / "a.txt", many);
        f.write(f.docs / "b.txt", "one beta");
        f.write(f.docs / "e.txt", "two beta");
        f.write(f.docs / "d.txt", "three beta");
        f.build("*.txt");
        ListedFiles list(f, QStringLiteral("beta"));
        list.listed = {(f.docs / "a.txt").string(), (f.docs / "b.txt").string()};
        QVERIFY(f.show("beta", f.docs / "a.txt"));
        for (int i = 0; i < 5; ++i) f.key(Qt::Key_F3);
        QVERIFY(f.show("beta", f.docs / "b.txt"));
        QVERIFY(f.show("beta", f.docs / "e.txt"));
        f.pane().cmdBackClick();  // e is not listed: nothing shown, the position moves
        QCOMPARE(list.asked.back(), q(f.docs / "b.txt"));
        QCOMPARE(f.vp().rtfEntries->toPlainText(), QStringLiteral("one beta"));
        f.pane().cmdBackClick();
        QCOMPARE(f.vp().rtfEntries->toPlainText().left(8), QStringLiteral("w0 beta\n"));
        QCOMPARE(f.entryLabels(), QStringLiteral("6/10"));
        QVERIFY(f.vp()
                    .rtfEntries->toPlainText()
                    .left(f.vp().rtfEntries->SelStart())
                    .endsWith(QStringLiteral("w5 ")));
        QVERIFY(f.vp().cmdForward->isEnabled());
        QVERIFY(f.show("beta", f.docs / "d.txt"));
        THistory& history = *f.w->history();
        QVERIFY(!f.vp().cmdForward->isEnabled());
        QCOMPARE(history.Count(), 2);
        QCOMPARE(QString::fromStdString(history.Item(1).fileName), q(f.docs / "d.txt"));
    }

    void searchesRunAgainWhenTheirExpressionDiffers() {
        ViewerWindowFixture f;
        f.write(f.docs / "a.txt", "beta gamma");
        f.build("*.txt");
        QSignalSpy searches(&f.pane(), &TViewerPane::historySearchRequested);
        QVERIFY(f.show("beta", f.docs / "a.txt"));
        f.pane().rememberPositions();                                // a new search starts ...
        f.pane().recordSearchWithoutResults(QStringLiteral("zzz"));  // ... and finds nothing
        THistory& history = *f.w->history();
        QCOMPARE(history.Count(), 2);
        QVERIFY(history.Current()->fileName.empty());
        f.key(Qt::Key_F4);
        QCOMPARE(searches.count(), 1);
        QCOMPARE(searches.takeFirst().at(0).toString(), QStringLiteral("beta"));
        f.key(Qt::Key_F5);
        QCOMPARE(searches.takeFirst().at(0).toString(), QStringLiteral("zzz"));
        // While a move is carried out nothing is recorded, even when the search reports.
        QObject::connect(&f.pane(), &TViewerPane::historySearchRequested, &f.pane(),
                         [&](const QString& query) { f.pane().recordSearchWithoutResults(query); });
        f.key(Qt::Key_F4);
        QCOMPARE(history.Count(), 2);
    }

    void pagesReachedThroughLinksComeBackAtTheirScrollPosition() {
        ViewerWindowFixture f;
        std::string other = "<html><body>";
        for (int i = 0; i < 300; ++i) other += "<p>line " + std::to_string(i) + "</p>";
        f.write(f.docs / "other.html", other + "</body></html>");
        f.write(f.docs / "page.html", "<p>beta <a href=\"other.html\">on</a></p>");
        f.build("*.html");
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        ListedFiles list(f, QStringLiteral("beta"));
        list.stayOn = (f.docs / "page.html").string();
        QVERIFY(f.show("beta", f.docs / "page.html"));
        f.pane().HTML1HotSpotClick(QStringLiteral("other.html"));
        htmlview::THTMLViewer* html = f.vp().HTML1;
        html->SetScrollPosition(300);
        QCOMPARE(html->ScrollPosition(), 300);
        f.pane().cmdBackClick();  // the page's search runs again and stays on the page
        QCOMPARE(html->CurrentFile(), q(f.docs / "page.html"));
        QCOMPARE(f.selected(), QStringLiteral("beta"));
        QSignalSpy left(&f.pane(), &TViewerPane::viewedFileLeft);
        f.pane().cmdForwardClick();
        QCOMPARE(html->CurrentFile(), q(f.docs / "other.html"));
        QCOMPARE(html->ScrollPosition(), 300);
        QCOMPARE(left.count(), 1);
        QCOMPARE(f.w->statusText(), "Current file: " + q(f.docs / "other.html"));
        QVERIFY(!f.vp().scrNextPrev->isVisible());

        // Selecting another index on the Indexes page (and the like) empties the history.
        emit f.w->indexesPage().viewerHistoryInvalidated();
        QCOMPARE(f.w->history()->Count(), 0);
        QVERIFY(!f.vp().cmdBack->isEnabled() && !f.vp().cmdForward->isEnabled());
    }
};

QTEST_MAIN(ViewerHistoryTest)
#include "ViewerHistoryTest.moc"
