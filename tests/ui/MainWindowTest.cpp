// The main window driven offscreen: start-up, settings through the controls, pages,
// keys, closing and session end.
#include "WindowFixture.h"

#include "app/ui/ClipFrame.h"
#include "index/ui/TFormChange.h"
#include "platform/ProfileFile.h"
#include "platform/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace vellumar;

namespace {

// Every key away from its default, the excluded folders already in their sorted order.
const char* kEverySetting =
    "[Indexes]\r\nIndexFolder=%1\r\nIndexName=Mail\r\nWizardOnly=1\r\n"
    "[Search Options]\r\nSorting=2\r\nQueryInFile=1\r\n"
    "[Cache Watcher]\r\nFontName=DejaVu "
    "Sans\r\nFontSize=11\r\nFontColor=255\r\nBackColor=16777215\r\n"
    "[Properties]\r\nStartUp=1\r\nTray=1\r\nHotKey=Q\r\n"
    "[View Options]\r\nStayOnPreviouslyViewed=0\r\nWordWrap=0\r\nFontName=DejaVu Sans "
    "Mono\r\nFontSize=13\r\n"
    "FontColor=65280\r\nFontBold=1\r\nFontItalic=1\r\nFontUnderline=1\r\nFontStrikeOut="
    "1\r\nBackColor=15790320\r\n"
    "HtmlAsSource=1\r\nRtfAsPlain=0\r\n"
    "[Monitoring]\r\nNotMonitoredDirectories=/a,\"/home/ann/My Files\",/Z\r\nIndexFolderOff=0\r\n"
    "WindowsFolderOff=0\r\nTempFolderOff=0\r\n"
    "[Miscellaneous]\r\nFileTypesToSelect=*.md,*.txt\r\n";

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void pagesMenusAndToolBarCarryTheirCaptions() {
        WindowFixture f;
        auto w = f.makeWindow();
        const auto& fr = w->controls();
        const QStringList captions{"Search", "Indexes", "Cache Watcher",
                                   "",       "Options", "Monitoring"};
        QCOMPARE(fr.tabMain->count(), captions.size());
        for (int i = 0; i < captions.size(); ++i) QCOMPARE(fr.tabMain->tabText(i), captions[i]);
        QVERIFY(!fr.tabMain->isTabVisible(pageWeb));
        QVERIFY(!fr.tabMain->isTabVisible(pageOptions));
        QVERIFY(fr.tabMain->isTabVisible(pageMonitoring));
        const QList<QPair<QToolButton*, QString>> hints{{fr.btnNew, "Index wizard"},
                                                        {fr.btnOptions, "Options"},
                                                        {fr.btnCut, "Cut"},
                                                        {fr.btnCopy, "Copy"},
                                                        {fr.btnPaste, "Paste"}};
        for (const auto& [button, hint] : hints) QCOMPARE(button->toolTip(), hint);
        QCOMPARE(w->windowTitle(), QStringLiteral("Vellumar v8.1"));
        QCOMPARE(fr.mnuIndex->actions().size(), 3);
        QVERIFY(!fr.mnuSave->isEnabled());
        QVERIFY(!fr.mnuPrint->isEnabled());
        QCOMPARE(fr.mnuTray->actions().first()->text(), QStringLiteral("Activate"));
        QCOMPARE(fr.mnuTray->actions().last()->text(), QStringLiteral("Exit"));
    }

    void firstRunMakesTheStartFoldersAndOpensTheWizard() {
        WindowFixture f;
        auto w = f.makeWindow();
        QVERIFY(w->state().firstRun);
        w->DeferredStartup();
        QVERIFY(fs::is_directory(f.home / "Indexes"));
        QVERIFY(fs::is_directory(f.home / "Cache Watcher"));
        QVERIFY(fs::is_directory(f.home / "tmp"));
        QCOMPARE(w->indexesPage().controls().txtIndexFolder->text(),
                 QString::fromStdString((f.home / "Indexes").string()));
        QCOMPARE(w->controls().tabMain->currentIndex(), int(pageIndexes));
        QCOMPARE(f.dialogsShown, std::vector<QString>{QStringLiteral("FormWizard")});
        QVERIFY(w->isVisible());
        QVERIFY(!w->state().searchEnabled);
        QVERIFY(!w->state().startup);
        w->DeferredStartup();  // the idle handler runs once only
        QCOMPARE(f.dialogsShown.size(), size_t(1));

        w->FormDestroy();
        const ProfileFile ini = ProfileFile::load(f.home / "Vellumar.ini");
        QCOMPARE(ini.readString("Indexes", "IndexFolder"), (f.home / "Indexes").string());
        QCOMPARE(WindowFixture::read(f.home / "Qryhist.ini"), std::string("[files]\r\n"));
    }

    void everySettingRoundTripsThroughTheControls() {
        WindowFixture f;
        const fs::path indexes = f.home / "Indexes";
        fs::create_directories(indexes / "kept");
        f.write(indexes / "kept" / "data", "x");
        f.write(f.home / "Vellumar.ini", QString::fromLatin1(kEverySetting)
                                             .arg(QString::fromStdString(indexes.string()))
                                             .toStdString());
        f.write(f.home / "Qryhist.ini", "cat & dog\r\nzebra\r\n[files]\r\nlists/words.txt\r\n");
        const Settings written = loadSettings({f.home / "Vellumar.ini", {}, false}, {}).settings;

        auto w = f.makeWindow();
        const auto& sp = w->searchPage().controls();
        const auto& vp = w->viewerPane().controls();
        const auto& mp = w->monitoringPage().controls();
        QVERIFY(!w->state().firstRun);
        QCOMPARE(w->indexesPage().controls().txtIndexFolder->text(),
                 QString::fromStdString(indexes.string()));
        QVERIFY(w->settings().wizardOnly);
        QVERIFY(sp.chRel->isChecked());
        QVERIFY(!sp.chAlpha->isChecked());
        QVERIFY(w->settings() == written);  // the one place the options live
        const TViewerPane::Controls& viewer = w->viewerPane().controls();
        QVERIFY(!viewer.mnuStayOn->isChecked());
        QVERIFY(viewer.mnuHtmlSource->isChecked());
        QVERIFY(!viewer.mnuRtfPlain->isChecked());
        QCOMPARE(mp.lstDirsOff->count(), 3);
        QCOMPARE(mp.lstDirsOff->item(1)->text(), QStringLiteral("/home/ann/My Files"));
        QVERIFY(!mp.chkIndexFolderOff->isChecked());
        QVERIFY(!mp.chkWindowsFolderOff->isChecked());
        QVERIFY(!mp.chkTempFolderOff->isChecked());
        QCOMPARE(sp.cmbSearchExpr->count(), 2);
        QCOMPARE(sp.cmbSearchExpr->itemText(0), QStringLiteral("cat & dog"));
        QCOMPARE(sp.cmbFileList->count(), 1);
        QCOMPARE(sp.cmbFileList->itemText(0), QStringLiteral("lists/words.txt"));
        w->FormShow();
        QVERIFY(!viewer.mnuWordWrap->isChecked());
        QCOMPARE(viewer.rtfEntries->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(vp.rtfEntries->font().pointSize(), 13);
        QVERIFY(vp.rtfEntries->font().bold());
        QCOMPARE(vp.rtfEntries->palette().color(QPalette::Text), QColor(0, 255, 0));

        w->FormDestroy();
        const Settings saved = loadSettings({f.home / "Vellumar.ini", {}, false}, {}).settings;
        // IndexName is the index in use at shutdown; with none loaded the stored one stays.
        QVERIFY(saved == written);
        QCOMPARE(saved.indexName, std::string("Mail"));
        QCOMPARE(WindowFixture::read(f.home / "Qryhist.ini"),
                 std::string("cat & dog\r\nzebra\r\n[files]\r\nlists/words.txt\r\n"));
    }

    void oddValuesReadAsTheirDefaults() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini",
                "[Search "
                "Options]\nSorting=3\n[Properties]\nHotKey=\n[Miscellaneous]\nFileTypesToSelect=\n"
                "[Monitoring]\nNotMonitoredDirectories=/b,/a,/b\n");
        f.write(f.home / "Qryhist.ini", "one\r\ntwo\r\nthree\r\n");
        auto w = f.makeWindow();
        const auto& sp = w->searchPage().controls();
        QVERIFY(!sp.chAlpha->isChecked());
        QVERIFY(!sp.chRel->isChecked());
        QCOMPARE(w->settings().hotKey, std::string("S"));
        QCOMPARE(w->settings().fileTypesToSelect, Settings::defaultFileTypes());
        QCOMPARE(sp.cmbSearchExpr->count(), 3);
        QCOMPARE(sp.cmbFileList->count(), 0);
        // Sorted, duplicates dropped, and the list box follows.
        QCOMPARE(w->settings().notMonitoredDirectories, (std::vector<std::string>{"/a", "/b"}));
        QCOMPARE(w->monitoringPage().controls().lstDirsOff->count(), 2);
        w->FormDestroy();
        QCOMPARE(ProfileFile::load(f.home / "Vellumar.ini").readString("Search Options", "Sorting"),
                 std::string("0"));
    }

    void choicesOnThePagesAreKeptInTheSettings() {
        WindowFixture f;
        auto w = f.makeWindow();
        const auto& sp = w->searchPage().controls();
        const auto& vp = w->viewerPane().controls();
        sp.chAlpha->click();
        QCOMPARE(w->settings().sorting, 1);
        sp.chRel->click();  // the other order unchecks the first
        QVERIFY(!sp.chAlpha->isChecked());
        QCOMPARE(w->settings().sorting, 2);
        vp.mnuStayOn->trigger();
        vp.mnuWordWrap->trigger();
        QVERIFY(!w->settings().stayOnPreviouslyViewed && !w->settings().wordWrap);
        QCOMPARE(vp.rtfEntries->lineWrapMode(), QPlainTextEdit::NoWrap);
        w->monitoringPage().controls().chkTempFolderOff->click();
        w->FormDestroy();
        const Settings saved = loadSettings({f.home / "Vellumar.ini", {}, false}, {}).settings;
        QCOMPARE(saved.sorting, 2);
        QVERIFY(!saved.stayOnPreviouslyViewed && !saved.wordWrap && !saved.tempFolderOff);
    }

    void clearingTheResultsEmptiesThePreviewAndWhenAskedTheQuery() {
        WindowFixture f;
        auto w = f.makeWindow();
        const auto& sp = w->searchPage().controls();
        const auto& vp = w->viewerPane().controls();
        const auto& rl = w->resultList().controls();
        sp.cmbSearchExpr->setEditText(QStringLiteral("cat"));
        vp.rtfEntries->setPlainText(QStringLiteral("shown"));
        rl.lstFiles->addItem(QStringLiteral("/docs/a.txt"));
        w->resultList().ClearResults(false);
        QCOMPARE(sp.cmbSearchExpr->currentText(), QStringLiteral("cat"));
        QVERIFY(vp.rtfEntries->toPlainText().isEmpty());
        QCOMPARE(rl.lstFiles->count(), 0);
        vp.rtfEntries->setPlainText(QStringLiteral("shown"));
        w->resultList().ClearResults(true);
        QVERIFY(sp.cmbSearchExpr->currentText().isEmpty());
        QVERIFY(vp.rtfEntries->toPlainText().isEmpty());
    }

    void definitionFilesAreListedAsAListBoxSortsThem() {
        WindowFixture f;
        const fs::path indexes = f.home / "Indexes";
        f.write(f.home / "Vellumar.ini", "[Indexes]\nIndexFolder=" + indexes.string() + "\n");
        for (const char* name : {"c.INF", "B.inf", "a.inf", "my.index.inf", "notes.txt"})
            f.write(indexes / name, "[Parameters]\n");
        fs::create_directories(indexes / "folder.inf");
        auto w = f.makeWindow();
        QCOMPARE(w->indexesPage().countDefinitionFiles(), 4);
        QCOMPARE(w->indexesPage().controls().FormChange->definitionFiles(),
                 (QStringList{"a.inf", "B.inf", "c.INF", "my.index.inf"}));
        // Definition files but no index loaded: the Indexes page, search off, no wizard.
        w->DeferredStartup();
        QCOMPARE(w->controls().tabMain->currentIndex(), int(pageIndexes));
        QVERIFY(!w->state().searchEnabled);
        QVERIFY(!w->searchPage().controls().cmdOK->isEnabled());
        QVERIFY(f.dialogsShown.empty());
    }

    void aSecondInstanceOnTheSameHomeNeverMixesTheFile() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Indexes]\n");
        auto first = f.makeWindow();
        auto second = f.makeWindow();
        first->settings().tray = true;
        first->settings().hotKey = "A";
        second->settings().tray = false;
        second->settings().hotKey = "B";
        first->FormDestroy();
        second->FormDestroy();
        const Settings saved = loadSettings({f.home / "Vellumar.ini", {}, false}, {}).settings;
        QVERIFY(!saved.tray);  // the last writer wins, whole
        QCOMPARE(saved.hotKey, std::string("B"));
        QVERIFY(saved == second->settings());
    }

    void traySettingKeepsTheWindowHidden() {
        WindowFixture f;
        f.trayAvailable = true;
        f.write(f.home / "Vellumar.ini", "[Properties]\nTray=1\n");
        auto w = f.makeWindow();
        QSignalSpy quit(w.get(), &TFormMain::quitRequested);
        w->DeferredStartup();
        QVERIFY(w->controls().TrayIcon1->Active());
        QVERIFY(!w->isVisible());
        w->mnuActivateClick();
        QVERIFY(w->isVisible());
        QVERIFY(!w->close());  // closing only hides while the icon is in the tray
        QVERIFY(!w->isVisible());
        QCOMPARE(quit.count(), 0);
        w->mnuExitClick();  // "Exit" of the tray menu ends the program without a question
        QCOMPARE(quit.count(), 1);
    }

    void withoutANotificationAreaTheWindowShowsAnyway() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Properties]\nTray=1\n");
        auto w = f.makeWindow();
        w->DeferredStartup();
        QVERIFY(!w->controls().TrayIcon1->Active());
        QVERIFY(w->isVisible());
    }

    void theIndexesPageCannotBeLeftWhileBusy() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Indexes]\nWizardOnly=0\n");
        auto w = f.makeWindow();
        const auto& fr = w->controls();
        w->DeferredStartup();
        fr.tabMain->setCurrentIndex(pageIndexes);
        w->DisableIndexControls();
        QVERIFY(w->state().indexingBusy);
        QVERIFY(!fr.pnlBar->isEnabled());
        QVERIFY(fr.mnuCancel->isEnabled());
        for (int page : {int(pageSearch), int(pageWatcher), int(pageMonitoring)}) {
            fr.tabMain->setCurrentIndex(page);
            QCOMPARE(fr.tabMain->currentIndex(), int(pageIndexes));
        }
        w->EnableIndexControls();
        QVERIFY(fr.pnlBar->isEnabled());
        QVERIFY(!w->indexesPage().controls().cmdRemove->isEnabled());  // no index is selected
        fr.tabMain->setCurrentIndex(pageSearch);
        QCOMPARE(fr.tabMain->currentIndex(), int(pageSearch));
        QCOMPARE(fr.txtStatus->text(),
                 QStringLiteral(
                     "No index is available. Go to the Indexes-tab and create or find one(s)"));
        fr.tabMain->setCurrentIndex(pageMonitoring);
        QVERIFY(fr.btnCopy->isEnabled());  // other pages enable the clipboard buttons
    }

    void closingWhileBusyAsksAndNoKeepsTheWindow() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Indexes]\n");
        auto w = f.makeWindow();
        w->DeferredStartup();
        w->DisableIndexControls();
        QSignalSpy quit(w.get(), &TFormMain::quitRequested);
        MessageResponderScope answers;
        answers.queueAnswer(MessageResult::No);
        QVERIFY(!w->close());
        QCOMPARE(answers.messages().size(), size_t(1));
        QCOMPARE(
            answers.messages()[0].text,
            QStringLiteral(
                "Creating\\updating the index is not completed yet.\rIf you exit just right now, "
                "the index will be removed\rAre you sure to cancel creating/updating the index?"));
        QCOMPARE(answers.messages()[0].buttons, MessageButtons::YesNo);
        QCOMPARE(answers.messages()[0].icon, MessageIcon::Warning);
        QVERIFY(!w->cancelFlag());
        QCOMPARE(quit.count(), 0);

        answers.queueAnswer(MessageResult::Yes);
        QVERIFY(w->close());
        QVERIFY(w->cancelFlag());
        QVERIFY(w->notifierAborted());
        QCOMPARE(quit.count(), 1);
    }

    void sessionEndSavesAtOnceUnlessABuildRuns() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Properties]\nStartUp=1\n");
        auto w = f.makeWindow();
        w->DeferredStartup();
        w->settings().startUp = false;
        w->DisableIndexControls();
        QSignalSpy quit(w.get(), &TFormMain::quitRequested);
        w->WMQueryEndSession();
        QCOMPARE(quit.count(), 1);
        QVERIFY(w->cancelFlag());
        // With a build on the stack the shutdown waits for the event loop to end.
        QCOMPARE(ProfileFile::load(f.home / "Vellumar.ini").readString("Properties", "StartUp"),
                 std::string("1"));
        w->EnableIndexControls();
        w->WMQueryEndSession();
        QCOMPARE(ProfileFile::load(f.home / "Vellumar.ini").readString("Properties", "StartUp"),
                 std::string("0"));
    }

    void anUnwritableSettingsFileIsReportedAndNothingIsWritten() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini" / "inside", "x");  // a folder where the file should be
        MessageResponderScope answers;
        auto w = f.makeWindow();
        const QString file = QString::fromStdString((f.home / "Vellumar.ini").string());
        QCOMPARE(answers.messages().size(), size_t(1));  // read as damaged, at once
        QCOMPARE(answers.messages()[0].text,
                 file + QStringLiteral(" is not an ordinary file.\rDefault values are used; "
                                       "the file is left as it is."));
        QCOMPARE(answers.messages()[0].icon, MessageIcon::Warning);
        w->FormDestroy();
        QCOMPARE(answers.messages().size(), size_t(2));
        QCOMPARE(answers.messages()[1].text,
                 QStringLiteral("Can not write the configuration parameters to ") + file +
                     QStringLiteral(" file"));
        QCOMPARE(answers.messages()[1].icon, MessageIcon::Error);
        QVERIFY(!fs::exists(f.home / "Qryhist.ini"));
    }

    void aHomeProblemIsToldAndStartUpGoesOn() {
        WindowFixture f;
        f.environment.homeProblem = "Can not create the folder /x.";
        auto w = f.makeWindow();
        MessageResponderScope answers;
        w->DeferredStartup();
        QCOMPARE(answers.messages().size(), size_t(1));
        QCOMPARE(answers.messages()[0].text, QStringLiteral("Can not create the folder /x."));
        QVERIFY(w->isVisible());
    }

    void readOnlyMediaHidesPagesAndKeepsTheProgramFilesAlone() {
        WindowFixture f;
        f.environment.readOnlyMedia = true;
        const std::string before = "[Properties]\r\nTray=0\r\n[View Options]\r\nWordWrap=0\r\n";
        f.write(f.home / "Vellumar.ini", before);
        f.write(f.home / "Qryhist.ini", "old query\r\n");
        f.write(f.home / "pdftotext", "converter");
        auto w = f.makeWindow();
        const auto& sp = w->searchPage().controls();
        const auto& fr = w->controls();
        QVERIFY(w->environment().readOnlyMedia);
        QVERIFY(!w->indexesPage().isEnabled());
        QVERIFY(!fr.tabMain->isTabVisible(pageWatcher));
        QVERIFY(!fr.tabMain->isTabVisible(pageMonitoring));
        QVERIFY(sp.cmdSearchUpdate->isHidden());
        QCOMPARE(sp.cmbSearchExpr->count(),
                 0);  // no query history from read-only media
        const fs::path temp = w->folders().programTemp;
        QCOMPARE(temp.parent_path(), f.environment.systemTemp);
        QVERIFY(fs::exists(temp / "pdftotext"));
        QCOMPARE(w->folders().pdfTextFile.parent_path(), temp);

        w->settings().stayOnPreviouslyViewed = false;
        w->FormDestroy();
        QCOMPARE(WindowFixture::read(f.home / "Vellumar.ini"), before);
        QCOMPARE(WindowFixture::read(f.home / "Qryhist.ini"), std::string("old query\r\n"));
        const ProfileFile user = ProfileFile::load(f.environment.userConfigFolder / "Vellumar.ini");
        QCOMPARE(user.readString("View Options", "StayOnPreviouslyViewed"), std::string("0"));
        QCOMPARE(user.readString("View Options", "WordWrap"), std::string("0"));
        QVERIFY(!user.find("Indexes", "IndexFolder"));
    }

    void controlsStopMovingBelowTheMinimumClientSize() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Indexes]\n");
        auto w = f.makeWindow();
        const auto& sp = w->searchPage().controls();
        w->DeferredStartup();
        auto* client = static_cast<ClipFrame*>(w->centralWidget());
        auto rightEdgeAt = [&](QSize size) {
            w->resize(size);
            QCoreApplication::processEvents();
            w->centralWidget()->resize(size);  // the client area itself, whatever the frame adds
            QCoreApplication::processEvents();
            return client->content()->size();
        };
        QCOMPARE(rightEdgeAt({700, 500}), QSize(700, 500));
        const QSize atMinimum = rightEdgeAt({333, 241});
        QCOMPARE(atMinimum, QSize(333, 241));
        const QPoint closeAtMinimum = sp.cmdClose->mapTo(client->content(), QPoint());
        QCOMPARE(rightEdgeAt({300, 200}), atMinimum);
        QCOMPARE(rightEdgeAt({120, 90}), atMinimum);
        QCOMPARE(sp.cmdClose->mapTo(client->content(), QPoint()), closeAtMinimum);
    }

    void keysActOnTheSearchPageOnly() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Indexes]\n");
        auto w = f.makeWindow();
        const auto& rl = w->resultList().controls();
        const auto& vp = w->viewerPane().controls();
        const auto& fr = w->controls();
        w->DeferredStartup();
        fr.tabMain->setCurrentIndex(pageSearch);
        rl.lstFiles->addItems({"/a", "/b", "/c"});
        rl.lstFiles->setCurrentRow(2);
        QVERIFY(w->FormKeyDown(Qt::Key_Down, Qt::AltModifier));
        QCOMPARE(rl.lstFiles->currentRow(),
                 2);  // the last file stays selected
        QVERIFY(w->FormKeyDown(Qt::Key_Up, Qt::AltModifier));
        QCOMPARE(rl.lstFiles->currentRow(), 1);
        rl.lstFiles->setCurrentRow(0);
        QVERIFY(w->FormKeyDown(Qt::Key_Up, Qt::AltModifier));
        QCOMPARE(rl.lstFiles->currentRow(), 0);
        QVERIFY(!w->FormKeyDown(Qt::Key_Down, Qt::NoModifier));  // plain arrows belong to the list
        QVERIFY(!w->FormKeyDown(Qt::Key_F3, Qt::NoModifier));    // no entries shown
        vp.scrNextPrev->setRange(0, 2);
        vp.scrNextPrev->show();
        for (int i = 0; i < 4; ++i) QVERIFY(w->FormKeyDown(Qt::Key_F3, Qt::NoModifier));
        QCOMPARE(vp.scrNextPrev->value(), 2);  // clamped at the last entry
        QVERIFY(w->FormKeyDown(Qt::Key_F2, Qt::NoModifier));
        QCOMPARE(vp.scrNextPrev->value(), 1);
        QVERIFY(w->FormKeyDown(Qt::Key_Return, Qt::NoModifier));  // one search, not two
        fr.tabMain->setCurrentIndex(pageIndexes);
        QVERIFY(!w->FormKeyDown(Qt::Key_Return, Qt::NoModifier));
    }

    void theWindowSeesAKeyOnceBeforeTheFocusedControl() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Indexes]\n");
        auto w = f.makeWindow();
        const auto& rl = w->resultList().controls();
        const auto& vp = w->viewerPane().controls();
        w->DeferredStartup();
        w->controls().tabMain->setCurrentIndex(pageSearch);
        rl.lstFiles->setEnabled(true);
        rl.lstFiles->addItems({"/a", "/b", "/c"});
        rl.lstFiles->setCurrentRow(0);
        vp.scrNextPrev->setRange(0, 5);
        vp.scrNextPrev->show();
        QApplication::setActiveWindow(w.get());
        rl.lstFiles->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(rl.lstFiles, Qt::Key_F3);
        QCOMPARE(vp.scrNextPrev->value(),
                 1);  // handled once, not again by a parent
        QTest::keyClick(rl.lstFiles, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(rl.lstFiles->currentRow(), 1);
        QTest::keyClick(rl.lstFiles, Qt::Key_Down);  // the list's own key
        QCOMPARE(rl.lstFiles->currentRow(), 2);
    }

    void hintsGoToTheStatusLine() {
        WindowFixture f;
        auto w = f.makeWindow();
        QStatusTipEvent tip(w->resultList().controls().lstFiles->statusTip());
        QCoreApplication::sendEvent(w.get(), &tip);
        QCOMPARE(w->controls().txtStatus->text(),
                 QStringLiteral(
                     "Click right mouse button to access shell operations. Double click to run "
                     "associated program."));
    }

    void anUncaughtErrorIsShownAndEndsTheProgram() {
        WindowFixture f;
        f.trayAvailable = true;
        f.write(f.home / "Vellumar.ini", "[Properties]\nTray=1\n");
        auto w = f.makeWindow();
        const auto& fr = w->controls();
        w->DeferredStartup();
        QVERIFY(fr.TrayIcon1->Active());
        QSignalSpy quit(w.get(), &TFormMain::quitRequested);
        MessageResponderScope answers;
        w->ApplicationException(QStringLiteral("Access violation"));
        QCOMPARE(answers.messages().size(), size_t(1));
        QCOMPARE(answers.messages()[0].icon, MessageIcon::Error);
        QVERIFY(!fr.TrayIcon1->Active());
        QCOMPARE(quit.count(), 1);
    }

    void everyWindowShowsItsOwnUnexpectedErrorOnce() {
        // An error met by one window (the test above) does not silence a later window.
        WindowFixture f;
        for (int window = 0; window < 2; ++window) {
            auto w = f.makeWindow();
            MessageResponderScope answers;
            w->ApplicationException(QStringLiteral("Disk on fire"));
            w->ApplicationException(QStringLiteral("Still on fire"));  // already ending
            QCOMPARE(answers.messages().size(), size_t(1));
            QCOMPARE(answers.messages()[0].text, QStringLiteral("Disk on fire"));
        }
    }

    void aFinishedFixtureLeavesTheTrayToTheDesktop() {
        // The fixture's tray hook reads the fixture; once the fixture is gone, the tray is
        // the desktop's again (offscreen: none) instead of a read of freed memory.
        {
            auto f = std::make_unique<WindowFixture>();
            f->trayAvailable = true;
            TTrayIcon icon;
            QVERIFY(icon.setActive(true));
        }
        TTrayIcon icon;
        QCOMPARE(icon.setActive(true), QSystemTrayIcon::isSystemTrayAvailable());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
