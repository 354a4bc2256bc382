// TFormMain: creation (FormCreate), the deferred start-up, showing, activation, closing
// and destruction. The pages are built in TFormMainPages*.cpp, menus and tool bar in
// TFormMainMenus.cpp, settings in TFormMainSettings.cpp.
#include "app/ui/TFormMain.h"

#include "app/TApplication.h"
#include "app/ui/ClipFrame.h"
#include "app/ui/Icons.h"
#include "app/ui/TAboutBox.h"
#include "app/ui/TTrayIcon.h"
#include "app/ui/Widgets.h"
#include "index/IndexingCore.h"
#include "index/ui/IndexingBridge.h"
#include "index/ui/TFormBrowse.h"
#include "index/ui/TFormChange.h"
#include "index/ui/TFormWizard.h"
#include "index/ui/TextEditor.h"
#include "lang/TLanguageList.h"
#include "monitor/MonitorLock.h"
#include "monitor/ui/QtMainThreadDispatcher.h"
#include "platform/Priority.h"
#include "platform/Settings.h"
#include "platform/Snapcatch.h"
#include "platform/TempFolders.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtUserInterface.h"
#include "search/ui/TFormResearch.h"
#include "search/ui/TfrmTags.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace vellumar {

namespace {
const QString kTitle = QStringLiteral("Vellumar");
const QString kVersion = QStringLiteral("8.1");
const QString kCancelQuestion = QStringLiteral(
    "Creating\\updating the index is not completed yet.\rIf you exit just right now, the index "
    "will be removed\rAre you sure to cancel creating/updating the index?");
}  // namespace

std::vector<std::string> systemFolders() { return {"/etc", "/usr", "/var", "/boot", "/opt"}; }

TFormMain::TFormMain(StartupEnvironment environment, QWidget* parent)
    : QMainWindow(parent), environment_(std::move(environment)) {
    runModal = [](QDialog& dialog) { return dialog.exec(); };
    askFileName = [this](const FileDialogRequest& r) {
        return r.save ? QFileDialog::getSaveFileName(this, r.caption, r.folder, r.filter)
                      : QFileDialog::getOpenFileName(this, r.caption, r.folder, r.filter);
    };
    openInEditor = [](const QString& file) { return openInTextEditor(file); };
    languages_ = std::make_unique<TLanguageList>();
    setObjectName(QStringLiteral("FormMain"));

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    buildToolBar();
    layout->addWidget(pnlBar);
    tabMain = named(new QTabWidget(content), "tabMain");
    layout->addWidget(tabMain, 1);
    buildStatusLine();
    layout->addWidget(pnlBot);
    buildSearchPage();
    buildIndexesPage();
    buildWatcherPage();
    buildWebPage();
    buildOptionsPage();
    buildMonitoringPage();
    buildMenus();
    buildTray();
    clientArea_ = new ClipFrame(this);
    clientArea_->setContent(content);
    setCentralWidget(clientArea_);
    userInterface = new QtUserInterface(txtStatus, this);
    connectSearchPage();
    connectIndexesPage();
    connectOtherPages();
    connect(tabMain, &QTabWidget::currentChanged, this, &TFormMain::tabMainChange);
    qApp->installEventFilter(this);
    resize(780, 580);

    FormCreate();
    createDialogs();
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(this);
    FormDestroy();
}

QString TFormMain::windowCaption() const { return kTitle + QStringLiteral(" v") + kVersion; }

void TFormMain::FormCreate() {
    // 1. The Options page holds option values only; the web page is never shown.
    tabMain->setTabVisible(pageOptions, false);
    tabMain->setTabVisible(pageWeb, false);

    // 2. Titles.
    setApplicationTitle(kTitle);
    setWindowTitle(windowCaption());
    setWindowIcon(sunIcon(false));
    QApplication::setWindowIcon(sunIcon(false));

    // 3. Controls that the designed window kept hidden or collapsed.
    WizardOnly = false;
    chkAutoUpdate->setEnabled(true);
    currentTextViewer = rtfEntries;
    pnlMsg->setFixedHeight(0);
    pnlAttach->setFixedHeight(0);
    progressThrottle.reset();

    // 5. The exception handler (the hint handler is event(), StatusTip).
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance()))
        app->setExceptionHandler([this](const QString& message) { ApplicationException(message); });

    // 6. Program and system folders; the program folder becomes the current directory.
    programFolder = QString::fromStdString(environment_.home.string());
    windowsFolders = systemFolders();
    QDir::setCurrent(programFolder);

    // 7. Read-only media.
    runFromCD = environment_.readOnlyMedia;
    if (runFromCD) {
        cmdSearchUpdate->setEnabled(false);
        tabIndexes->setEnabled(false);
        tabMain->setTabVisible(pageWatcher, false);
        tabMain->setTabVisible(pageMonitoring, false);
    }

    // 8, 9. Temporary folders.
    systemTempFolder = QString::fromStdString(environment_.systemTemp.string());
    const fs::path temp =
        vellumar::programTempFolder(environment_.home, runFromCD, environment_.systemTemp);
    programTempFolder = QString::fromStdString(temp.string());
    prepareTempFolder(temp);
    if (runFromCD) {
        // Converters next to the program are used from the temporary folder, since the
        // media cannot hold their output; an existing copy is kept.
        for (const char* program : {"pdftotext", "gzip"}) {
            std::error_code ec;
            const fs::path source = environment_.home / program;
            if (fs::is_regular_file(source, ec) && !fs::exists(temp / program, ec))
                fs::copy_file(source, temp / program, ec);
        }
        cmdSearchUpdate->hide();
        for (QWidget* w : std::initializer_list<QWidget*>{chkStartup, cmdCustLangs, btnExportDid,
                                                          btnEditDic, btnEditSw})
            w->setEnabled(false);
    }

    // 10, 11.
    pdfTextFile = programTempFolder + QStringLiteral("/pdftotxt.tmp");
    helpFile = programFolder + QLatin1Char('/') + kTitle + QStringLiteral(".html");

    // 12.
    // A home set up just now already has its settings file, with the index folder the
    // command-line tool uses too.
    firstRun = !LoadSettings() || environment_.newHome;

    // 14.
    FillLanguageList();
    cmbLanguage->raise();

    // 15.
    try {
        createCoreObjects();
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) +
                                 ": can not create Notifier,\rIndexes and/or Parser objects.");
    }

    // 16. The not-monitored folders, sorted and without duplicates.
    std::vector<std::string> folders;
    for (int i = 0; i < lstDirsOff->count(); ++i)
        folders.push_back(lstDirsOff->item(i)->text().toStdString());
    ExcludedFolders = sortedFolderList(std::move(folders));
    lstDirsOff->clear();
    for (const std::string& folder : ExcludedFolders)
        lstDirsOff->addItem(QString::fromStdString(folder));

    // 17. The second phase runs on the first idle moment of the event loop.
    QTimer::singleShot(0, this, [this] { DeferredStartup(); });
}

void TFormMain::createDialogs() {
    // The index-folder dialog reads txtIndexFolder, so it comes after the settings.
    FormBrowse = new TFormBrowse(this);
    frmTags = new TfrmTags(this);
    FormChange = new TFormChange(this);
    FormChange->setFolder(txtIndexFolder->text());
    FormResearch = new TFormResearch(this);
    AboutBox = new TAboutBox(this);
}

void TFormMain::showWindowOrTray() {
    if (chkTray->isChecked()) TrayIcon1->setActive(true);
    if (TrayIcon1->Active()) return;
    // No notification area: hiding the program there would leave no way back to it.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
}

void TFormMain::createStartupFolders() {
    std::error_code ec;
    const fs::path indexes = environment_.home / "Indexes";
    fs::create_directories(environment_.home / "Cache Watcher", ec);
    fs::create_directories(indexes, ec);
    txtIndexFolder->setText(QString::fromStdString(indexes.string()));
    FormChange->setFolder(txtIndexFolder->text());
    if (core_) core_->catalogue.setIndexFolder(indexes.string());  // new indexes go there
}

void TFormMain::DeferredStartup() {
    // 1. Runs once.
    if (deferredStartupDone_) return;
    deferredStartupDone_ = true;
    shownIndex = -1;
    startupFlag = true;
    if (!environment_.homeProblem.isEmpty())
        ShowMessage(environment_.homeProblem, MessageIcon::Warning, MessageButtons::Ok, this);

    // 2, 3.
    hide();
    attachScanFolderEvent();

    // 4.
    int definitionFiles = 0;
    try {
        FillLanguageList();
        cmbLanguage->raise();
        definitionFiles = countDefinitionFiles();
    } catch (...) {
        ShowMessage(QStringLiteral("Loading error."), MessageIcon::Warning, MessageButtons::Ok,
                    this);
        definitionFiles = 0;
    }

    // 5.
    setScreenCursor(CursorShape::Hourglass);
    if (definitionFiles > 0) {
        // 6.1 - 6.3
        EnableSearch();
        tabMain->setCurrentIndex(pageSearch);
        showWindowOrTray();
        processPendingMessages();
        int loaded = 0;
        {
            IdlePriorityScope idle;
            loaded = LoadIndexes();
        }
        if (loaded > 0) {
            // 6.4 Open each index once; bring the automatically updateable ones up to date.
            int remembered = -1;
            const QString stored = storedIndexName.trimmed();
            // An index dropped on the way (found broken, not repaired) leaves the next
            // one at the same position, which is then tried.
            for (int i = 0; i < cmbUsedIndex->count();) {
                const int count = cmbUsedIndex->count();
                cmbUsedIndex->setCurrentIndex(i);
                cmbUsedIndexClick();
                if (cmbUsedIndex->count() < count) continue;
                if (remembered < 0 &&
                    cmbUsedIndex->itemText(i).trimmed().compare(stored, Qt::CaseInsensitive) == 0)
                    remembered = i;
                if (notifierGetAutoUpdate(i)) {
                    const MonitorLock lock(core_->notifier);
                    const QString caption = windowTitle();
                    setWindowTitle(caption + QStringLiteral(" - ") +
                                   QStringLiteral("Updating index ") + QStringLiteral("..."));
                    tabMain->setCurrentIndex(pageIndexes);
                    processPendingMessages();
                    cmdUpdateClick(nullptr);
                    setWindowTitle(caption);
                    if (cmbUsedIndex->count() < count) {
                        if (remembered == i) remembered = -1;
                        continue;
                    }
                }
                ++i;
            }
            const int target = remembered >= 0 ? remembered : 0;
            if (cmbUsedIndex->count() > target && cmbUsedIndex->currentIndex() != target) {
                cmbUsedIndex->setCurrentIndex(target);
                cmbUsedIndexClick();
            }
        } else {
            // 6.5
            DisableSearch();
            tabMain->setCurrentIndex(pageIndexes);
        }
    } else {
        // 7. Errors creating the folders are ignored.
        DisableSearch();
        tabMain->setCurrentIndex(pageIndexes);
        if (firstRun) createStartupFolders();
    }
    // 8, 9.
    setScreenCursor(CursorShape::Default);
    wizardResult_ = 0;
    if (WizardOnly || firstRun) {
        TFormWizard wizard(this);
        wizardResult_ = runModal(wizard);
        if (quitting_) return;  // the session ended while the wizard was open
    }
    // 10 - 13.
    if (isHidden() && !TrayIcon1->Active()) showWindowOrTray();
    ShowCacheWatcherStartPage();
    if (wizardResult_ == 6) cmdUpdateClick(nullptr);
    startupFlag = false;
    attachFolderChangedEvent();
    enableIndexOptionControls();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The viewer settings are applied at the first showing; showing the window again
    // from the tray keeps what the user changed meanwhile.
    static const char* kShownOnce = "vellumarShownOnce";
    if (!event->spontaneous() && !property(kShownOnce).toBool()) {
        setProperty(kShownOnce, true);
        FormShow();
    }
}

void TFormMain::FormShow() {
    if (WizardOnly) setIndexEditingControls(false);
    applyViewFonts();
    chkWordWrap->setChecked(storedWordWrap);
}

void TFormMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || destroyed_) return;
    if (isActiveWindow())
        FormActivate();
    else
        FormDeactivate();
}

void TFormMain::FormActivate() {
    std::this_thread::yield();
    processPendingMessages();
    ProcessPriority::set(PriorityClass::Normal);
    std::this_thread::yield();
    processPendingMessages();
}

void TFormMain::FormDeactivate() {
    std::this_thread::yield();
    processPendingMessages();
    ProcessPriority::set(PriorityClass::Idle);
    std::this_thread::yield();
    processPendingMessages();
}

bool TFormMain::FormCloseQuery() {
    if (TrayIcon1->Active()) {
        hide();
        return false;
    }
    if (indexingBusy) {
        if (ShowMessage(kCancelQuestion, MessageIcon::Warning, MessageButtons::YesNo, this) !=
            MessageResult::Yes)
            return false;
        requestCancel();
    }
    return true;
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (quitting_ || FormCloseQuery()) {
        event->accept();
        quitting_ = true;
        emit quitRequested();
    } else {
        event->ignore();
    }
}

void TFormMain::mnuExitClick() {
    if (indexingBusy && ShowMessage(kCancelQuestion, MessageIcon::Warning, MessageButtons::YesNo,
                                    this) == MessageResult::No)
        return;
    requestCancel();
    quitting_ = true;
    emit quitRequested();
}

void TFormMain::WMQueryEndSession() {
    TrayIcon1->setActive(false);
    quitting_ = true;
    if (indexingBusy) {
        // A build is running further down the stack: stop it; the shutdown follows when
        // the event loop ends.
        requestCancel();
    } else {
        FormDestroy();
    }
    emit quitRequested();
}

void TFormMain::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    setScreenCursor(CursorShape::Hourglass);
    detachNotifierEvents();
    shutDownNotifier();
    // The index in use is remembered for the next start. With no index loaded at all (an
    // index folder on media that is not mounted, say) the name read at start-up is kept,
    // so that the choice is not lost.
    if (cmbUsedIndex->count() > 0) storedIndexName = cmbUsedIndex->currentText();
    {
        IdlePriorityScope idle;
        UnloadAllIndexes();
    }
    HTML2->clearHistory();
    releaseCoreObjects();
    snapcatch::UnHook();  // after the notifier was told to end; harmless without a hook
    SaveSettings();
    setScreenCursor(CursorShape::Default);
}

void TFormMain::ApplicationException(const QString& message) {
    static bool ending = false;
    if (ending) return;  // one message; the program is already ending
    ending = true;
    ShowMessage(message, MessageIcon::Error, MessageButtons::Ok, this);
    TrayIcon1->setActive(false);
    quitting_ = true;
    emit quitRequested();
}

void TFormMain::ApplicationHint(const QString& hint) {
    txtStatus->setText(hint);
    txtStatus->repaint();
}

bool TFormMain::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ApplicationHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMain::EnableSearch() {
    for (QWidget* w : std::initializer_list<QWidget*>{cmbSearchExpr, cmbFileList, cmdOK, lstFiles,
                                                      ree, rtfEntries})
        w->setEnabled(true);
    applyViewFonts();
    searchEnabled = true;
    txtStatus->clear();
}

void TFormMain::DisableSearch() {
    cmbSearchExpr->clearEditText();
    cmbSearchExpr->setEnabled(false);
    cmbFileList->setEnabled(false);
    cmdOK->setEnabled(false);
    for (QLabel* label : {lblTotalFiles1, lblTotalEntries1, lblEntries1, lblEntries2, lblEntries3})
        label->clear();
    lstFiles->clear();
    ree->clear();
    rtfEntries->clear();
    HTML1->clear();
    ClearResults(false);
    pnlResultsWarning->hide();
    scrNextPrev->hide();
    lstFiles->setEnabled(false);
    ree->setEnabled(false);
    rtfEntries->setEnabled(false);
    searchEnabled = false;
}

}  // namespace vellumar
