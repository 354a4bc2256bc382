// TFormMain: the main window, the whole visible program and the owner of every
// long-lived object: the index-management core (the index objects through the catalogue,
// the notifier, the two parser sets), the language list, the settings (the one place the
// options live while the program runs, the excluded folders among them), the program-wide
// flags, and the window's frame: the page control, tool bar, menus, status line, tray
// icon, keys, start-up and shutdown.
//
// The pages are classes of their own in their subsystems' ui folders: TSearchPage,
// TResultList and TViewerPane (the Search page), TIndexesPage, TCacheWatcherPage and
// TMonitoringPage. They reach the frame through PageHost, which this class implements,
// and each other only through the signal-to-handler lines of TFormMainWiring.cpp.
//
// Start-up runs in two phases: the constructor (FormCreate) does everything that needs
// no index; DeferredStartup runs once on the first idle moment of the event loop.
// Owned objects are declared in dependency order, so they are destroyed in reverse.
//
// The code is split by topic: TFormMain.cpp (creation, showing, closing),
// TFormMainStartup.cpp, TFormMainCore.cpp (the core and the busy state),
// TFormMainWiring.cpp, TFormMainMenus.cpp, TFormMainKeys.cpp, TFormMainSettings.cpp.
//
// Thread: main thread only; the notifier reaches the window only through its two events.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

#include "platform/ProgramSetup.h"
#include "platform/ProgressThrottle.h"
#include "platform/Settings.h"
#include "platform/ui/PageHost.h"
#include "search/ResultState.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTabWidget;
class QToolButton;

namespace vellumar {

class ClipFrame;
class IndexingCore;
class QtMainThreadDispatcher;
class QtUserInterface;
class TAboutBox;
class TFormOptions;
class TCacheWatcherPage;
class TIndexesPage;
class TLanguageList;
class TMonitoringPage;
class TResultList;
class THistory;
class TSearchPage;
class TTrayIcon;
class TViewerPane;

class TFormMain : public QMainWindow, public PageHost {
    Q_OBJECT
  public:
    // The frame's own controls, by their given names.
    struct Controls {
        QTabWidget* tabMain = nullptr;
        QWidget* tabWeb = nullptr;
        QWidget* tabOptions = nullptr;
        QFrame* pnlBar = nullptr;
        QToolButton* btnNew = nullptr;
        QToolButton* btnOptions = nullptr;
        QToolButton* btnCut = nullptr;
        QToolButton* btnCopy = nullptr;
        QToolButton* btnPaste = nullptr;
        QFrame* pnlBot = nullptr;
        QLineEdit* txtStatus = nullptr;
        QProgressBar* prgBar = nullptr;
        QMenu* mnuFile = nullptr;
        QMenu* mnuIndex = nullptr;
        QAction* mnuCreate = nullptr;
        QAction* mnuRemove = nullptr;
        QAction* mnuCancel = nullptr;
        QAction* mnuSave = nullptr;
        QAction* mnuPrint = nullptr;
        QAction* Exit1 = nullptr;
        QMenu* mnuEdit = nullptr;
        QAction* mnuCut = nullptr;
        QAction* mnuCopyMain = nullptr;
        QAction* mnuPaste = nullptr;
        QAction* mnuOptions = nullptr;
        QAction* Help1 = nullptr;
        QAction* Tech1 = nullptr;
        QMenu* mnuTray = nullptr;
        QAction* mnuActivate = nullptr;
        QAction* mnuExit = nullptr;
        TTrayIcon* TrayIcon1 = nullptr;
        TAboutBox* AboutBox = nullptr;
    };

    // How the window runs its dialogs; tests replace these to answer without showing them.
    struct DialogSeams {
        std::function<int(QDialog&)> runModal;
        std::function<QString(const FileDialogRequest&)> askFileName;
        std::function<bool(const QString& file)> openInEditor;
    };

    explicit TFormMain(ProgramEnvironment environment, QWidget* parent = nullptr);
    ~TFormMain() override;

    DialogSeams dialogs;

    // For tests and the frame itself.
    const Controls& controls() const { return ui; }
    TSearchPage& searchPage() const { return *searchPage_; }
    TResultList& resultList() const { return *resultList_; }
    TViewerPane& viewerPane() const { return *viewerPane_; }
    TIndexesPage& indexesPage() const { return *indexesPage_; }
    TCacheWatcherPage& watcherPage() const { return *watcherPage_; }
    TMonitoringPage& monitoringPage() const { return *monitoringPage_; }
    // The viewer history (capacity 20) the viewer pane records into; null after FormDestroy.
    THistory* history() const { return history_.get(); }

    // ---- PageHost ----
    IndexingCore* core() override { return core_.get(); }
    TLanguageList& languages() override { return *languages_; }
    Settings& settings() override { return settings_; }
    ProgramState& state() override { return state_; }
    const ProgramEnvironment& environment() const override { return environment_; }
    UserInterface& userInterface() override;
    QString statusText() const override;
    void setStatusText(const QString& text) override;
    void showPage(Page page) override;
    void showHelp(int context) override;
    void setSearchEnabled(bool enabled) override;
    int runModal(QDialog& dialog) override { return dialogs.runModal(dialog); }
    QString askFileName(const FileDialogRequest& r) override { return dialogs.askFileName(r); }
    bool openInEditor(const QString& file) override { return dialogs.openInEditor(file); }

    const ProgramFolders& folders() const { return folders_; }
    // The cancel flag is the core's: setting it stops a running build at its next file,
    // and the notifier's Aborted stops a running walk at its next folder.
    void requestCancel();
    bool cancelFlag() const;
    bool notifierAborted() const;
    int lastWizardResult() const { return wizardResult_; }
    QString windowCaption() const;

    // ---- Start-up and shutdown (TFormMain.cpp, TFormMainStartup.cpp) ----
    void DeferredStartup();
    bool deferredStartupDone() const { return deferredStartupDone_; }
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    bool FormCloseQuery();     // true when the window may close
    void FormDestroy();        // runs once; saves the settings last
    void WMQueryEndSession();  // session end: SIGTERM, SIGHUP, the session manager
    void ApplicationException(const QString& message);
    void ApplicationHint(const QString& hint);
    void EnableSearch();
    void DisableSearch();
    bool LoadSettings();  // true when the settings file existed
    void SaveSettings();

    // ---- The busy state of a build (TFormMainCore.cpp) ----
    void DisableIndexControls();
    void EnableIndexControls();

    // ---- Page control and keys (TFormMainKeys.cpp) ----
    void tabMainChange(int page);
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled

    // ---- Menus and tool bar (TFormMainMenus.cpp) ----
    void cmdCloseClick();
    void Exit1Click();
    void mnuExitClick();
    void mnuActivateClick();
    void btnNewClick();
    void mnuCreateClick();
    void btnOptionsClick();
    void mnuOptionsClick();
    void mnuRemoveClick();
    void Help1Click();
    void cmdAboutClick();
    void btnCutClick();
    void btnCopyClick();
    void btnPasteClick();
    void mnuCopyClick();
    void Tech1Click();

  signals:
    // A document was stored while a build of this window runs (the statistics follow).
    void documentStored(int records);
    // The program should end (the window was closed, "Exit" was chosen, the session
    // ends, an unexpected error). main() connects it to the event loop's quit.
    void quitRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class CoreListener;
    struct CoreListenerDeleter {
        void operator()(CoreListener* listener) const;
    };

    void FormCreate();
    void createDialogs();
    void buildMenus();
    void buildToolBar();
    void buildStatusLine();
    void buildTray();
    void wirePages();
    void wireOptions(TFormOptions& options);
    void createCoreObjects();  // the core, its dispatcher and its listener
    void releaseCoreObjects();
    void showSettingsOnPages();
    void showWindowOrTray();
    void setToolButtonsForPage(int page);
    void createStartupFolders();
    void setBusyPictures(bool busy);
    void applyViewFonts();
    void optionsGivenBack(const Settings& before);
    void appendUnwatchableFolders();
    void buildStarted();
    void buildFinished();
    bool autoUpdateable(int position);
    void updateAutomaticIndexes(bool alsoApplicationTitle);

    ProgramEnvironment environment_;
    ProgramFolders folders_;
    Settings settings_;
    ProgramState state_;
    ProgressThrottle progressThrottle_;  // the program-wide 500 ms progress throttle
    ResultState results_;                // the Search page's found files, lent to its pages
    Controls ui;
    ClipFrame* clientArea_ = nullptr;
    QtUserInterface* userInterface_ = nullptr;
    TSearchPage* searchPage_ = nullptr;
    TResultList* resultList_ = nullptr;
    TViewerPane* viewerPane_ = nullptr;
    TIndexesPage* indexesPage_ = nullptr;
    TCacheWatcherPage* watcherPage_ = nullptr;
    TMonitoringPage* monitoringPage_ = nullptr;
    bool deferredStartupDone_ = false;
    bool destroyed_ = false;
    bool inPageChange_ = false;
    bool quitting_ = false;
    bool exceptionShown_ = false;  // one message; this window is already ending
    int wizardResult_ = 0;

    // Owned core objects, in dependency order (destroyed in reverse).
    std::unique_ptr<TLanguageList> languages_;
    std::unique_ptr<QtMainThreadDispatcher> dispatcher_;
    std::unique_ptr<IndexingCore> core_;
    std::unique_ptr<CoreListener, CoreListenerDeleter> coreListener_;
    std::unique_ptr<THistory> history_;
};

}  // namespace vellumar
