// The Search page driven through its handlers: running queries and their failures, the
// query history, the sort boxes, staying on the viewed file, cancel while the engine lets
// messages through, list files, and no query while an index is built.
#include "SearchFixture.h"

#include "platform/Settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vellumar;

namespace {
const QString kFailed =
    QStringLiteral("Search operation failed. Make sure\rthe search expression is correct");
}

class SearchPageTest : public QObject {
    Q_OBJECT

  private slots:
    void aQueryFillsTheFirstPageAndFailuresLeaveTheIndexUsable() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat dog");
        f.write(f.docs / "b.txt", "cat cat");
        f.write(f.home / "stop.sw", "the");
        f.startWithIndex();
        QCOMPARE(f.sp().cmdOK->text(), QStringLiteral("&Search"));

        // searchStarting comes before anything is cleared.
        f.search("dog");
        int listedAtStart = -1;
        connect(&f.page(), &TSearchPage::searchStarting, this,
                [&] { listedAtStart = f.rl().lstFiles->count(); });
        QSignalSpy nothing(&f.page(), &TSearchPage::searchFoundNothing);
        f.search("  cat ");
        QCOMPARE(listedAtStart, 1);
        QCOMPARE(f.sp().cmdOK->text(), QStringLiteral("&OK"));
        QCOMPARE(f.page().lastQuery(), QStringLiteral("cat"));
        QCOMPARE(f.sp().cmbSearchExpr->currentText(), QStringLiteral("cat"));
        QCOMPARE(f.sp().lblTotalFiles1->text(), QStringLiteral("2"));
        QCOMPARE(f.sp().lblTotalEntries1->text(), QStringLiteral("3"));
        QCOMPARE(f.listed().size(), 2);
        QCOMPARE(f.rl().lblFilesNum->text(), QStringLiteral("Records: 1-2"));
        QVERIFY(f.rl().lstFiles->isEnabled());
        QCOMPARE(nothing.count(), 0);

        const QString malformed[] = {"( cat", "cat &", "&", "/[cat]", QString(10000, '(')};
        for (const QString& q : malformed) {
            f.search(q);
            QCOMPARE(f.messages().back(), kFailed);
            QCOMPARE(f.answers.messages().back().icon, MessageIcon::Warning);
            QCOMPARE(f.sp().cmdOK->text(), QStringLiteral("&OK"));
            QCOMPARE(f.rl().lstFiles->count(), 0);
            QVERIFY(!f.rl().lstFiles->isEnabled());
            QVERIFY(f.sp().lblTotalFiles1->text().isEmpty());
        }
        QCOMPARE(nothing.count(), 5);
        QCOMPARE(nothing.at(1).at(0).toString(), QStringLiteral("cat &"));
        QCOMPARE(f.sp().cmbSearchExpr->count(), 2);  // failures stay out of the history

        f.search("zebra");
        QCOMPARE(f.sp().lblTotalFiles1->text(), QStringLiteral("0"));
        QCOMPARE(nothing.count(), 6);
        f.search("dog");
        QCOMPARE(f.listed().size(), 1);
        QVERIFY(f.rl().lstFiles->isEnabled());
    }

    void aQueryOfStopWordsOnlySaysSo() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "the cat");
        f.write(f.home / "stop.sw", "the");
        f.w = f.start();
        f.w->indexesPage().controls().cmbSW->setEditText("stop.sw");
        f.w->indexesPage().controls().chSW->setChecked(true);
        IndexFixture::create(*f.w, "docs", IndexFixture::scopeOf(f.docs));
        f.search("the");
        QVERIFY(f.messages().back().startsWith(
            "No files can be found. May be the query contains only stop words."));
        f.search("cat");
        QCOMPARE(f.listed().size(), 1);
    }

    void theHistoryKeepsFortyQueriesOnceEachAndIsSaved() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.search("cat");
        f.search("Cat");
        QCOMPARE(IndexFixture::items(f.sp().cmbSearchExpr), QStringList{"Cat"});
        // Words that find nothing still join the history.
        const auto word = [](int i) {
            return QStringLiteral("kat") + QChar('a' + i / 26) + QChar('a' + i % 26);
        };
        for (int i = 1; i <= 40; ++i) f.search(word(i));
        const QStringList history = IndexFixture::items(f.sp().cmbSearchExpr);
        QCOMPARE(history.size(), 40);
        QCOMPARE(history.front(), word(40));
        QVERIFY(!history.contains("Cat"));  // the 41st query pushed the oldest out
        QCOMPARE(f.sp().cmbSearchExpr->currentText(), word(40));
        f.w->SaveSettings();
        const std::string saved = WindowFixture::read(f.home / "Qryhist.ini");
        QVERIFY(saved.rfind((word(40) + "\r\n" + word(39) + "\r\n").toStdString(), 0) == 0);
    }

    void sortBoxesAreExclusiveAndOrderTheList() {
        SearchFixture f;
        f.write(f.docs / "b.txt", "cat");
        f.write(f.docs / "a.txt", "cat cat cat");
        f.write(f.docs / "c.txt", "cat dog");
        f.startWithIndex();
        f.sp().chAlpha->click();
        QCOMPARE(f.w->settings().sorting, 1);
        f.search("cat");
        QCOMPARE(f.listed().front(), QString::fromStdString((f.docs / "a.txt").string()));
        QCOMPARE(f.listed().back(), QString::fromStdString((f.docs / "c.txt").string()));
        f.sp().chRel->click();
        QVERIFY(!f.sp().chAlpha->isChecked());
        QCOMPARE(f.w->settings().sorting, 2);
        f.sp().chRel->click();
        QCOMPARE(f.w->settings().sorting, 0);
    }

    void aNewSearchStaysOnTheViewedFile() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.addDocuments(299, "cat");  // the file of result number n is /gen/f<n-1>
        QSignalSpy preview(&f.list(), &TResultList::previewRequested);
        f.search("cat");
        QCOMPARE(preview.count(), 1);  // stay-on with nothing viewed shows the first file
        f.list().btnEndClick();
        QCOMPARE(f.rl().lblFilesNum->text(), QStringLiteral("Records: 201-300"));
        f.rl().lstFiles->setCurrentRow(49);  // result 250
        QCOMPARE(preview.back().at(0).toInt(), 249);

        f.search("cat");
        QCOMPARE(f.rl().lblFilesNum->text(), QStringLiteral("Records: 201-300"));
        QCOMPARE(f.rl().lstFiles->currentRow(), 49);
        QCOMPARE(preview.back().at(0).toInt(), 249);
        QCOMPARE(preview.back().at(1).toString(), QStringLiteral("/gen/f0248.txt"));

        f.w->settings().stayOnPreviouslyViewed = false;
        f.rl().lstFiles->setCurrentRow(10);
        const int before = preview.count();
        f.search("cat");
        QCOMPARE(f.rl().lblFilesNum->text(), QStringLiteral("Records: 1-100"));
        QVERIFY(f.rl().lstFiles->selectedItems().isEmpty());
        QCOMPARE(preview.count(), before);
    }

    void cancelDuringALongQueryKeepsWhatWasFoundAndNothingElseGetsIn() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.addDocuments(4000, "cat");
        // Searches "cat" and acts at the second turn of the engine's pending messages (the
        // first comes before matching starts); a key typed at the first turn must wait.
        bool typedThrough = false;
        const auto searchActing = [&](const std::function<void()>& action) {
            int turns = 0;
            QTimer ticker;  // fires once per turn
            ticker.setInterval(0);
            connect(&ticker, &QTimer::timeout, this, [&] {
                if (++turns == 1) {
                    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
                    QApplication::sendEvent(f.sp().cmbSearchExpr->lineEdit(), &key);
                    return;
                }
                ticker.stop();
                typedThrough |= f.sp().cmbSearchExpr->currentText() != QStringLiteral("cat");
                QCOMPARE(f.sp().cmdOK->text(), QStringLiteral("&Cancel"));
                action();
            });
            ticker.start();
            f.search("cat");
            const bool ended = f.sp().cmdOK->text() == QStringLiteral("&OK") &&
                               f.sp().cmbSearchExpr->currentText() == QStringLiteral("cat") &&
                               f.rl().lstFiles->isEnabled() && !f.page().searching();
            return ended ? f.sp().lblTotalFiles1->text().toInt() : -1;
        };

        int found = searchActing([&] { f.page().cmdOKClick(); });
        QVERIFY2(found > 0 && found < 4001, qPrintable(QString::number(found)));
        // Closing the window while a query runs stops the query and keeps the window.
        bool closeAccepted = true;
        found = searchActing([&] {
            QCloseEvent close;
            QApplication::sendEvent(f.w.get(), &close);
            closeAccepted = close.isAccepted();
        });
        QVERIFY(!closeAccepted && found >= 0 && found < 4001);
        QVERIFY(!typedThrough);

        f.search("cat");
        QCOMPARE(f.sp().lblTotalFiles1->text(), QStringLiteral("4001"));
        // The session ends during a query: the query stops, the index stays until it has.
        found = searchActing([&] { f.w->WMQueryEndSession(); });
        QVERIFY(found >= 0 && found < 4001);
    }

    void listFilesSearchTheirWordsAndOddFilesAreIgnoredSilently() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.write(f.docs / "b.txt", "dog bird");
        f.write(f.home / "lists" / "words.txt", "cat\ndog");
        f.startWithIndex();
        f.w->dialogs.askFileName = [&](const FileDialogRequest&) {
            return QString::fromStdString((f.home / "lists" / "words.txt").string());
        };
        f.page().btnFromFileClick();
        QCOMPARE(f.sp().cmbFileList->currentText(), QStringLiteral("lists/words.txt"));
        QCOMPARE(f.sp().cmbSearchExpr->currentText(), QStringLiteral("cat | dog"));
        QCOMPARE(f.listed().size(), 2);

        const fs::path big = f.root.path().toStdString() + "/big.txt";
        f.write(big, "cat");
        fs::resize_file(big, 50 * 1024 * 1024);
        f.write(f.root.path().toStdString() + "/binary.txt", std::string("dog\0bird", 8));
        const fs::path locked = f.root.path().toStdString() + "/locked.txt";
        f.write(locked, "bird");
        ::chmod(locked.c_str(), 0);
        std::vector<fs::path> odd{big, f.root.path().toStdString() + "/binary.txt",
                                  f.root.path().toStdString() + "/missing.txt", f.docs};
        if (::access(locked.c_str(), R_OK) != 0) odd.push_back(locked);  // not as root
        const auto messages = f.answers.messages().size();
        for (const fs::path& file : odd) {
            f.sp().cmbFileList->insertItem(0, QString::fromStdString(file.string()));
            f.sp().cmbFileList->setCurrentIndex(0);
            f.page().cmbFileListClick();
            QCOMPARE(f.sp().cmbSearchExpr->currentText(), QStringLiteral("cat | dog"));
        }
        QCOMPARE(f.answers.messages().size(), messages);
        QCOMPARE(IndexFixture::items(f.sp().cmbSearchExpr), QStringList{"cat | dog"});
    }

    void noQueryRunsWhileAnIndexIsBuilt() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.search("cat");
        f.write(f.docs / "b.txt", "cat");
        QSignalSpy starting(&f.page(), &TSearchPage::searchStarting);
        bool disabled = false;
        connect(f.w.get(), &TFormMain::documentStored, this, [&] {
            disabled = !f.sp().cmdOK->isEnabled() && !f.sp().cmbSearchExpr->isEnabled() &&
                       !f.sp().cmbFileList->isEnabled();
            f.page().cmdOKClick();
            f.page().runQuery(QStringLiteral("cat"));
            f.page().searchForSelectedWord(QStringLiteral("cat"));
        });
        f.page().cmdSearchUpdateClick();
        QVERIFY(disabled);
        QCOMPARE(starting.count(), 0);
        QVERIFY(f.sp().cmdOK->isEnabled() && f.sp().cmbSearchExpr->isEnabled());
        f.search("cat");
        QCOMPARE(f.sp().lblTotalFiles1->text(), QStringLiteral("2"));
    }

    void theQueryBoxSelectsItsTextAndTurnsTheClipboardButtonsOn() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.sp().cmbSearchExpr->setEditText("cat & dog");
        f.page().cmbSearchExprEnter();
        QCOMPARE(f.sp().cmbSearchExpr->lineEdit()->selectedText(), QStringLiteral("cat & dog"));
        QVERIFY(f.w->controls().btnCut->isEnabled() && f.w->controls().btnPaste->isEnabled());
        f.page().cmbSearchExprExit();
        QVERIFY(!f.w->controls().btnCopy->isEnabled());
    }
};

QTEST_MAIN(SearchPageTest)
#include "SearchPageTest.moc"
