// The result list driven through its handlers: paging and the page size, selection and
// the preview requests, the pictures of changed files, opening files, and the context
// menu with file names that a shell would mangle.
#include "SearchFixture.h"

#include "search/ui/FileContextMenu.h"
#include "search/ui/FileDialogs.h"
#include "search/ui/ResultItemDelegate.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vellumar;

class ResultListTest : public QObject {
    Q_OBJECT

    QTemporaryDir xdg_;

  private slots:
    void initTestCase() {
        // No desktop of the machine's: no applications, no MIME database, a trash of ours.
        const QByteArray base = xdg_.path().toUtf8();
        qputenv("XDG_DATA_HOME", base + "/data");
        qputenv("XDG_DATA_DIRS", base + "/none");
        qputenv("XDG_CONFIG_HOME", base + "/config");
        qputenv("XDG_CONFIG_DIRS", base + "/none");
    }
    void cleanupTestCase() {
        // The trash holds a name that is not UTF-8, which QDir cannot remove.
        fs::remove_all(xdg_.path().toStdString());
    }

    void pagesMoveAndTheLastPageStaysFull() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.addDocuments(249, "cat");
        f.search("cat");
        const auto& rl = f.rl();
        const auto state = [&] {
            return rl.lblFilesNum->text() + QStringLiteral(" %1%2%3%4 %5")
                                                .arg(rl.btnStart->isEnabled())
                                                .arg(rl.btnPrev->isEnabled())
                                                .arg(rl.btnNext->isEnabled())
                                                .arg(rl.btnEnd->isEnabled())
                                                .arg(rl.lstFiles->count());
        };
        QCOMPARE(state(), QStringLiteral("Records: 1-100 0011 100"));
        f.list().btnNextClick();
        QCOMPARE(state(), QStringLiteral("Records: 101-200 1111 100"));
        QCOMPARE(rl.lstFiles->item(0)->text(), QStringLiteral("/gen/f0099.txt"));
        f.list().btnNextClick();
        QCOMPARE(state(), QStringLiteral("Records: 151-250 1100 100"));
        f.list().btnPrevClick();
        QCOMPARE(state(), QStringLiteral("Records: 51-150 1111 100"));
        f.list().btnEndClick();
        QCOMPARE(state(), QStringLiteral("Records: 151-250 1100 100"));
        f.list().btnStartClick();
        QCOMPARE(state(), QStringLiteral("Records: 1-100 0011 100"));

        // A page change clears the preview and forgets the viewed file.
        QSignalSpy cleared(&f.list(), &TResultList::resultsCleared);
        rl.lstFiles->setCurrentRow(5);
        f.list().btnNextClick();
        QCOMPARE(cleared.count(), 1);
        QVERIFY(rl.lstFiles->selectedItems().isEmpty());

        for (const char* text : {"abc", "-5", "0", " 30 "}) {
            f.w->settings().maximumFiles = text;
            f.search("cat");
            QCOMPARE(rl.lblFilesNum->text(),
                     QStringLiteral("Records: 1-%1").arg(std::string(text) == " 30 " ? 30 : 100));
        }
    }

    void selectionAsksForThePreviewAndTheViewerMovesIt() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.startWithIndex();
        f.addDocuments(20, "cat");
        f.w->settings().stayOnPreviouslyViewed = false;
        f.w->settings().maximumFiles = "10";
        f.search("cat");
        f.list().btnNextClick();
        QSignalSpy preview(&f.list(), &TResultList::previewRequested);
        const auto& rl = f.rl();
        rl.lstFiles->setCurrentRow(3);
        QCOMPARE(preview.count(), 1);
        QCOMPARE(preview.back().at(0).toInt(), 13);  // page start + row
        QCOMPARE(preview.back().at(1).toString(), QStringLiteral("/gen/f0012.txt"));
        QCOMPARE(preview.back().at(2).toUInt(), 1u);
        f.list().lstFilesClick();  // the viewed file again: nothing new
        QCOMPARE(preview.count(), 1);

        QVERIFY(f.list().selectListedFile(QStringLiteral("/GEN/F0015.TXT")));
        QCOMPARE(rl.lstFiles->currentRow(), 6);
        QCOMPARE(preview.back().at(0).toInt(), 16);
        QVERIFY(!f.list().selectListedFile(QStringLiteral("/gen/f0001.txt")));  // other page
        QCOMPARE(preview.count(), 2);

        f.list().markViewedModified();
        QCOMPARE(f.list().picture(6), ItemPicture::Modified);
        f.list().deselectViewed();
        QVERIFY(rl.lstFiles->selectedItems().isEmpty());
        rl.lstFiles->setCurrentRow(6);  // the same file is shown again after a link left it
        QCOMPARE(preview.count(), 3);
        rl.lstFiles->setCurrentRow(2);
        QCOMPARE(preview.count(), 4);
        {
            const QSignalBlocker quiet(rl.lstFiles);  // the selection moved without a preview
            rl.lstFiles->setCurrentRow(4);
        }
        f.list().selectViewedAgain();  // as after a failed open: back, and quietly
        QCOMPARE(rl.lstFiles->currentRow(), 2);
        QCOMPARE(preview.count(), 4);
    }

    void changedAndDeletedFilesGetTheirPictures() {
        SearchFixture f;
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) f.write(f.docs / name, "cat");
        f.startWithIndex();
        f.search("cat");
        const auto& rl = f.rl();
        QCOMPARE(rl.lstFiles->count(), 3);
        // What an automatic update of the folder does to the index.
        vellcore::IndexObject& index = f.index();
        index.BeginSession();
        QVERIFY(index.RemoveDocument((f.docs / "a.txt").string()));
        QVERIFY(index.BeginDocument((f.docs / "b.txt").string(), 12345, 7));
        QVERIFY(index.AddWord("cat", 0, 0));
        index.EndSession();
        QVERIFY(index.CloseFiles() && index.Prepare(3, "", nullptr, 32, 2, 50));
        f.list().MarkChangedResults();
        QCOMPARE(f.list().picture(0), ItemPicture::Deleted);
        QCOMPARE(f.list().picture(1), ItemPicture::Modified);
        QCOMPARE(f.list().picture(2), ItemPicture::None);
        QVERIFY(!rl.pnlResultsWarning->isHidden());

        // The pictures are drawn before the names.
        rl.lstFiles->resize(300, 100);
        const QImage image = rl.lstFiles->viewport()->grab().toImage();
        const QRect first = rl.lstFiles->visualItemRect(rl.lstFiles->item(0));
        const QRect third = rl.lstFiles->visualItemRect(rl.lstFiles->item(2));
        const auto reddish = [&](const QRect& row) {
            for (int x = row.left(); x < row.left() + row.height() + 4; ++x)
                for (int y = row.top(); y <= row.bottom(); ++y) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 150 && c.green() < 80 && c.blue() < 80) return true;
                }
            return false;
        };
        QVERIFY(reddish(first));
        QVERIFY(!reddish(third));

        f.search("cat");  // a new search lists the index as it is now
        QCOMPARE(rl.lstFiles->count(), 2);
        QVERIFY(rl.pnlResultsWarning->isHidden());
        // b.txt, previewed first, differs from what the index holds: the viewer marks it.
        QCOMPARE(f.list().picture(0), ItemPicture::Modified);
        QCOMPARE(f.list().picture(1), ItemPicture::None);
    }

    void openingUsesTheDesktopAndReportsFailures() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.write(f.docs / "gone.txt", "cat");
        f.startWithIndex();
        f.addDocuments(1, "cat", "/docs/a.zip//member");
        f.search("cat");
        QSignalSpy finished(&f.list(), &TResultList::openFinished);
        const auto open = [&](const QString& listed) {
            QVERIFY(f.list().selectListedFile(listed));
            f.list().lstFilesDblClick();
        };
        const QString a = QString::fromStdString((f.docs / "a.txt").string());
        open(a);
        QVERIFY(finished.wait());
        QCOMPARE(finished.back().at(0).toInt(), 33);
        const auto launched = f.launcher.launched();
        QCOMPARE(launched.size(), std::size_t{1});
        QCOMPARE(launched[0], (std::vector<std::string>{"xdg-open", (f.docs / "a.txt").string()}));

        open(QStringLiteral("/docs/a.zip//member0000.txt"));  // never opened
        QCOMPARE(f.launcher.launched().size(), std::size_t{1});

        fs::remove(f.docs / "gone.txt");
        open(QString::fromStdString((f.docs / "gone.txt").string()));
        QVERIFY(finished.wait());
        QCOMPARE(f.messages().back(), QStringLiteral("The specified file was not found"));

        f.launcher.result.exitStatus = 4;  // xdg-open: nothing opens the type
        open(a);
        QVERIFY(finished.wait());
        QCOMPARE(f.messages().back(),
                 QStringLiteral("There is no application associated\rwith the given filename "
                                "extension"));
        QCOMPARE(f.answers.messages().back().icon, MessageIcon::Warning);
        QCOMPARE(f.rl().lstFiles->currentRow(), 0);  // the viewed file stays selected
    }

    void theContextMenuHandlesNamesAShellWouldMangle() {
        SearchFixture f;
        const std::string odd = "-a \"quoted\" b\xff.txt";
        const fs::path file = f.docs / odd;
        f.write(file, "cat");
        f.startWithIndex();
        f.search("cat");
        QCOMPARE(f.listed(), QStringList{QString::fromStdString(f.docs.string()) +
                                         QStringLiteral("/-a \"quoted\" b\u00ff.txt")});
        FileContextMenu* menu = f.list().contextMenuFor(0);
        QVERIFY(menu && menu->fileName() == file.string());
        const auto& act = menu->actions();
        for (QAction* a : {act.open, act.openWith, act.openFolder, act.copyPath, act.copyFile,
                           act.moveToTrash, act.properties})
            QVERIFY2(a->isEnabled(), qPrintable(a->text()));

        act.copyPath->trigger();  // not UTF-8: the address keeps every byte
        QVERIFY(QApplication::clipboard()->text().endsWith("/-a%20%22quoted%22%20b%FF.txt"));
        act.copyFile->trigger();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data && data->data("text/uri-list").endsWith("b%FF.txt\r\n"));

        f.w->dialogs.runModal = [&](QDialog& dialog) {
            if (auto* with = qobject_cast<TOpenWithDialog*>(&dialog))
                with->controls().txtCommand->setText("viewer --new-window");
            if (auto* props = qobject_cast<TFilePropertiesDialog*>(&dialog))
                f.dialogsShown.push_back(props->valueOf("Name:") + "|" + props->valueOf("Size:"));
            return int(QDialog::Accepted);
        };
        act.openWith->trigger();
        act.openFolder->trigger();
        act.properties->trigger();
        QSignalSpy finished(&f.list(), &TResultList::openFinished);
        act.open->trigger();
        QVERIFY(finished.wait());
        const auto launched = f.launcher.launched();
        QCOMPARE(launched.size(), std::size_t{3});
        QCOMPARE(launched[0], (std::vector<std::string>{"viewer", "--new-window", file.string()}));
        QCOMPARE(launched[1], (std::vector<std::string>{"xdg-open", f.docs.string()}));
        QCOMPARE(launched[2], (std::vector<std::string>{"xdg-open", file.string()}));
        QCOMPARE(f.dialogsShown.back(), QStringLiteral("-a \"quoted\" b\u00ff.txt|3 bytes"));

        f.answers.queueAnswer(MessageResult::No);
        act.moveToTrash->trigger();
        QVERIFY(fs::exists(file));
        act.moveToTrash->trigger();  // Yes
        QVERIFY(!fs::exists(file));
        QVERIFY(fs::exists(fs::path(xdg_.path().toStdString()) / "data/Trash/files" / odd));
        QCOMPARE(f.list().picture(0), ItemPicture::Deleted);

        // An archive member offers only what makes sense for it.
        f.addDocuments(1, "cat", (f.docs / "a.zip//member").string());
        f.write(f.docs / "a.zip", "zip");
        f.search("cat");
        FileContextMenu* member = f.list().contextMenuFor(f.rl().lstFiles->count() - 1);
        QVERIFY(!member->actions().open->isEnabled() &&
                !member->actions().moveToTrash->isEnabled());
        QVERIFY(member->actions().openFolder->isEnabled() &&
                member->actions().copyPath->isEnabled());
    }

    void aRightClickSelectsAndNeverOpensASecondMenu() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat");
        f.write(f.docs / "b.txt", "cat");
        f.startWithIndex();
        f.search("cat");
        f.w->show();
        QSignalSpy preview(&f.list(), &TResultList::previewRequested);
        const auto& rl = f.rl();
        const QPoint second = rl.lstFiles->visualItemRect(rl.lstFiles->item(1)).center();
        bool openWhileShown = false;
        QWidget* nested = nullptr;
        QTimer::singleShot(100, this, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            openWhileShown = f.list().contextMenuOpen();
            f.list().lstFilesMouseDown(second);  // a second right click while it shows
            nested = QApplication::activePopupWidget() != popup ? popup : nullptr;
            if (popup) popup->close();
        });
        f.list().lstFilesMouseDown(second);
        QVERIFY(openWhileShown && !nested);
        QVERIFY(!f.list().contextMenuOpen());
        QCOMPARE(rl.lstFiles->currentRow(), 1);
        QCOMPARE(preview.count(), 1);
    }
};

QTEST_MAIN(ResultListTest)
#include "ResultListTest.moc"
