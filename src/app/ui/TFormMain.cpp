// TFormMain: composing the frame and its pages, creation (FormCreate), showing,
// activation, closing and destruction, and the frame's services to the pages.
#include "app/ui/TFormMain.h"

#include "app/TApplication.h"
#include "app/ui/ClipFrame.h"
#include "app/ui/Icons.h"
#include "app/ui/TAboutBox.h"
#include "app/ui/THelpWindow.h"
#include "app/ui/TTrayIcon.h"
#include "index/IndexingCore.h"
#include "index/ui/TIndexesPage.h"
#include "index/ui/TextEditor.h"
#include "lang/TLanguageList.h"
#include "monitor/ui/QtMainThreadDispatcher.h"
#include "monitor/ui/TCacheWatcherPage.h"
#include "monitor/ui/TMonitoringPage.h"
#include "platform/Priority.h"
#include "platform/Snapcatch.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtUserInterface.h"
#include "platform/ui/Widgets.h"
#include "search/ui/TResultList.h"
#include "search/ui/TSearchPage.h"
#include "viewer/THistory.h"
#include "viewer/ui/TViewerPane.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <thread>

namespace vellumar {

namespace {
const QString kTitle = QStringLiteral("Vellumar");
const QString kVersion = QStringLiteral("8.1");
const QString kCancelQuestion = QStringLiteral(
    "Creating\\updating the index is not completed yet.\rIf you exit just right now, the index "
    "will be removed\rAre you sure to cancel creating/updating the index?");
}  // namespace

TFormMain::TFormMain(ProgramEnvironment environment, QWidget* parent)
    : QMainWindow(parent), environment_(std::move(environment)) {
    dialogs.runModal = [](QDialog& dialog) { return dialog.exec(); };
    dialogs.askFileName = [this](const FileDialogRequest& r) {
        return r.save ? QFileDialog::getSaveFileName(this, r.caption, r.folder, r.filter)
                      : QFileDialog::getOpenFileName(this, r.caption, r.folder, r.filter);
    };
    dialogs.openInEditor = [](const QString& file) { return openInTextEditor(file); };
    languages_ = std::make_unique<TLanguageList>();
    setObjectName(QStringLiteral("FormMain"));

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    buildToolBar();
    layout->addWidget(ui.pnlBar);
    ui.tabMain = named(new QTabWidget(content), "tabMain");
    layout->addWidget(ui.tabMain, 1);
    buildStatusLine();
    layout->addWidget(ui.pnlBot);

    searchPage_ = new TSearchPage(*this, results_);
    resultList_ = new TResultList(*this, results_);
    viewerPane_ = new TViewerPane(*this);
    searchPage_->placePanes(resultList_, viewerPane_, viewerPane_->entryBar());
    indexesPage_ = new TIndexesPage(*this);
    watcherPage_ = new TCacheWatcherPage(*this);
    monitoringPage_ = new TMonitoringPage(*this);
    ui.tabWeb = named(new QWidget, "tabWeb");
    ui.tabOptions = named(new QWidget, "tabOptions");
    ui.tabMain->addTab(searchPage_, QStringLiteral("Search"));
    ui.tabMain->addTab(indexesPage_, QStringLiteral("Indexes"));
    ui.tabMain->addTab(watcherPage_, QStringLiteral("Cache Watcher"));
    ui.tabMain->addTab(ui.tabWeb, QString());
    ui.tabMain->addTab(ui.tabOptions, QStringLiteral("Options"));
    ui.tabMain->addTab(monitoringPage_, QStringLiteral("Monitoring"));

    buildMenus();
    buildTray();
    clientArea_ = new ClipFrame(this);
    clientArea_->setContent(content);
    setCentralWidget(clientArea_);
    userInterface_ = new QtUserInterface(ui.txtStatus, this);
    wirePages();
    connect(ui.tabMain, &QTabWidget::currentChanged, this, &TFormMain::tabMainChange);
    qApp->installEventFilter(this);
    resize(780, 580);

    FormCreate();
    createDialogs();
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(this);
    FormDestroy();
    // The pages go while the frame they call is still whole.
    delete clientArea_;
}

QString TFormMain::windowCaption() const { return kTitle + QStringLiteral(" v") + kVersion; }

void TFormMain::FormCreate() {
    // 1. The web page is never shown; the Options page keeps its number but no controls
    // (the options live in the settings and the Options dialog).
    ui.tabMain->setTabVisible(pageOptions, false);
    ui.tabMain->setTabVisible(pageWeb, false);

    // 2. Titles.
    setApplicationTitle(kTitle);
    setWindowTitle(windowCaption());
    setWindowIcon(sunIcon(false));
    QApplication::setWindowIcon(sunIcon(false));

    // 3.
    progressThrottle_.reset();

    // 5. The exception handler (the hint handler is event(), StatusTip).
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance()))
        app->setExceptionHandler([this](const QString& message) { ApplicationException(message); });

    // 6. The program folder becomes the current directory.
    QDir::setCurrent(QString::fromStdString(environment_.home.string()));

    // 7. Read-only media.
    if (environment_.readOnlyMedia) {
        indexesPage_->setEnabled(false);
        ui.tabMain->setTabVisible(pageWatcher, false);
        ui.tabMain->setTabVisible(pageMonitoring, false);
    }

    // 8 - 11. Temporary folders, converters on read-only media, the help file.
    folders_ = prepareProgramFolders(environment_);
    if (environment_.readOnlyMedia) searchPage_->readOnlyMedia();

    // 12.
    // A home set up just now already has its settings file, with the index folder the
    // command-line tool uses too.
    state_.firstRun = !LoadSettings() || environment_.newHome;

    // 14.
    indexesPage_->FillLanguageList();

    // 15.
    try {
        createCoreObjects();
        history_ = std::make_unique<THistory>(20, [this](bool back, bool forward) {
            viewerPane_->showHistoryButtons(back, forward);
        });
        viewerPane_->setHistory(history_.get());
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string(error.what()) +
                                 ": can not create Notifier,\rIndexes and/or Parser objects.");
    }

    // 16. The not-monitored folders, sorted and without duplicates.
    settings_.notMonitoredDirectories = sortedFolderList(settings_.notMonitoredDirectories);
    monitoringPage_->showSettings();

    // 17. The second phase runs on the first idle moment of the event loop.
    QTimer::singleShot(0, this, [this] { DeferredStartup(); });
}

void TFormMain::createDialogs() {
    // The index-folder dialog starts at the index folder, so it comes after the settings.
    indexesPage_->createDialogs();
    searchPage_->createDialogs();
    ui.AboutBox = new TAboutBox(this);
}

// ---- PageHost ----

UserInterface& TFormMain::userInterface() { return *userInterface_; }
QString TFormMain::statusText() const { return ui.txtStatus->text(); }
void TFormMain::setStatusText(const QString& text) { ui.txtStatus->setText(text); }
void TFormMain::showPage(Page page) { ui.tabMain->setCurrentIndex(page); }
void TFormMain::setSearchEnabled(bool enabled) { enabled ? EnableSearch() : DisableSearch(); }

void TFormMain::showHelp(int context) {
    CursorScope starting(CursorShape::AppStart);
    auto* help = findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new THelpWindow(this);
    const QString file = QString::fromStdString(folders_.helpFile.string());
    if (!help->showContext(file, context))
        showMessageBox(QStringLiteral("Can't open the file ") + file, MessageIcon::Warning,
                       MessageButtons::Ok, this);
}

// ---- Showing, activation, closing ----

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
    if (settings_.wizardOnly) indexesPage_->setIndexEditingControls(false);
    applyViewFonts();
}

void TFormMain::applyViewFonts() {
    viewerPane_->applyViewFonts();
    watcherPage_->applyFont();
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
    if (ui.TrayIcon1->Active()) {
        hide();
        return false;
    }
    if (state_.indexingBusy) {
        if (showMessageBox(kCancelQuestion, MessageIcon::Warning, MessageButtons::YesNo, this) !=
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
    if (state_.indexingBusy && showMessageBox(kCancelQuestion, MessageIcon::Warning,
                                              MessageButtons::YesNo, this) == MessageResult::No)
        return;
    requestCancel();
    quitting_ = true;
    emit quitRequested();
}

void TFormMain::WMQueryEndSession() {
    ui.TrayIcon1->setActive(false);
    quitting_ = true;
    if (state_.indexingBusy) {
        // A build is running further down the stack: stop it; the shutdown follows when
        // the event loop ends.
        requestCancel();
    } else if (searchPage_->searching()) {
        // So is a query: "&Cancel" ends it; the shutdown follows as above.
        searchPage_->cmdOKClick();
    } else {
        FormDestroy();
    }
    emit quitRequested();
}

void TFormMain::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    setScreenCursor(CursorShape::Hourglass);
    monitoringPage_->detachNotifierEvents();
    monitoringPage_->shutDownNotifier();
    // The index in use is remembered for the next start. With no index loaded at all (an
    // index folder on media that is not mounted, say) the name read at start-up is kept,
    // so that the choice is not lost.
    if (searchPage_->indexCount() > 0) {
        const int used = searchPage_->usedIndex();
        settings_.indexName = used >= 0 ? searchPage_->indexName(used).toStdString() : "";
    }
    {
        IdlePriorityScope idle;
        indexesPage_->UnloadAllIndexes();
    }
    viewerPane_->setHistory(nullptr);
    history_.reset();
    watcherPage_->clearHistory();
    viewerPane_->releasePreview();  // the document leaves the viewer's parser
    releaseCoreObjects();
    snapcatch::UnHook();  // after the notifier was told to end; harmless without a hook
    SaveSettings();
    setScreenCursor(CursorShape::Default);
}

void TFormMain::ApplicationException(const QString& message) {
    if (exceptionShown_) return;  // one message; the program is already ending
    exceptionShown_ = true;
    showMessageBox(message, MessageIcon::Error, MessageButtons::Ok, this);
    ui.TrayIcon1->setActive(false);
    quitting_ = true;
    emit quitRequested();
}

void TFormMain::ApplicationHint(const QString& hint) {
    ui.txtStatus->setText(hint);
    ui.txtStatus->repaint();
}

bool TFormMain::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ApplicationHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormMain::EnableSearch() {
    searchPage_->enableSearch(true);
    resultList_->enableSearch(true);
    viewerPane_->enableSearch(true);
    applyViewFonts();
    state_.searchEnabled = true;
    ui.txtStatus->clear();
}

void TFormMain::DisableSearch() {
    searchPage_->enableSearch(false);
    resultList_->enableSearch(false);
    viewerPane_->enableSearch(false);
    state_.searchEnabled = false;
}

}  // namespace vellumar
