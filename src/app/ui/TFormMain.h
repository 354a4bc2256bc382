// TFormMain: the main window, the whole visible program and the owner of every
// long-lived object. It holds the pages (Search, Indexes, Cache Watcher, a never shown
// web page, the hidden Options page, Monitoring), the tool bar, the status line and the
// menus, all by their classic names, and carries the settings between LoadSettings at
// creation and SaveSettings at shutdown.
//
// Start-up runs in two phases: the constructor (FormCreate) does everything that needs
// no index; DeferredStartup runs once on the first idle moment of the event loop. The
// handlers of later subsystems are defined in files under src/<subsystem>/ui/; those
// not built yet are empty hooks there.
//
// Objects owned here are declared in dependency order so that they are destroyed in
// reverse. The index-management core (IndexingCore: notifier, parser sets, indexer,
// catalogue, builder) is made in createCoreObjects and released in FormDestroy; the
// window mirrors its catalogue into cmbIndexName and cmbUsedIndex (IndexingBridge).
// Thread: main thread only; the notifier reaches the window only through its two events.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/StartupEnvironment.h"
#include "index/IndexBuilder.h"
#include "platform/ProgressThrottle.h"
#include "platform/Settings.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QFileSystemModel;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QTextBrowser;
class QTextEdit;
class QToolButton;
class QTreeView;
class QAction;

namespace vellumar {

class IndexingBridge;
class IndexingCore;
class QtMainThreadDispatcher;
class TLanguageList;
class QtUserInterface;
class TTrayIcon;
class TFormBrowse;
class TfrmTags;
class TFormChange;
class TFormResearch;
class TAboutBox;
class ClipFrame;

// What the window asks of a file dialog (see askFileName).
struct FileDialogRequest {
    bool save = false;
    QString caption;
    QString folder;  // where the dialog starts
    QString filter;  // Qt's form: "Dictionary Files (*.dic);;All Files (*)"
};

class TFormMain : public QMainWindow {
    Q_OBJECT
  public:
    // Page numbers of tabMain, used across the program.
    enum Page { pageSearch = 0, pageIndexes, pageWatcher, pageWeb, pageOptions, pageMonitoring };

    explicit TFormMain(StartupEnvironment environment, QWidget* parent = nullptr);
    ~TFormMain() override;

    // ---- Program-wide values set at start-up ----
    QString programFolder;                    // the home, without a trailing "/"
    std::vector<std::string> windowsFolders;  // the system folders
    QString systemTempFolder;
    QString programTempFolder;
    QString pdfTextFile;  // "pdftotxt.tmp" in the program temp folder
    QString helpFile;     // the program folder, the title and ".html"
    bool runFromCD = false;
    bool firstRun = false;
    bool WizardOnly = false;
    bool startupFlag = false;
    bool indexingBusy = false;
    bool searchEnabled = false;
    // The position of the index the Indexes page shows (-1: the page describes a new
    // index). The index open for searching is the catalogue's opened().
    int shownIndex = -1;

    // ---- Values the settings carry that no visible control holds ----
    FontSetting viewFont;                                   // FontDialog1
    std::int32_t viewBackColor = kColorWindow;              // ColorDialog1
    FontSetting cacheWatcherFont;                           // FontDialog2
    std::int32_t cacheWatcherBackColor = kColorButtonFace;  // ColorDialog2
    std::string hotKey = "S";
    std::vector<std::string> fileTypesToSelect = Settings::defaultFileTypes();
    std::vector<std::string> ExcludedFolders;  // sorted, see FormCreate step 16
    QString storedIndexName;                   // IndexName: selected at start-up, saved at shutdown
    bool storedWordWrap = true;         // WordWrap as loaded; FormShow puts it into chkWordWrap
    ProgressThrottle progressThrottle;  // the program-wide 500 ms progress throttle

    // Runs a modal dialog and returns its result; tests replace it to answer dialogs.
    std::function<int(QDialog&)> runModal;
    // Asks for a file name with the open or save dialog; "" when cancelled. Tests
    // replace it to answer.
    std::function<QString(const FileDialogRequest&)> askFileName;
    // Opens a text file in the desktop's editor; false when none could be started.
    std::function<bool(const QString& file)> openInEditor;

    // ---- The index-management core (created in createCoreObjects) ----
    IndexingCore* core() const { return core_.get(); }
    TLanguageList& languages() const { return *languages_; }
    // The cancel flag is the core's: setting it stops a running build at its next file,
    // and the notifier's Aborted stops a running walk at its next folder.
    void requestCancel();
    bool cancelFlag() const;
    bool notifierAborted() const;

    // ---- Part of start-up and shutdown (TFormMain.cpp) ----
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
    void tabMainChange(int page);
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled
    bool LoadSettings();  // true when the settings file existed
    void SaveSettings();
    Settings collectSettings() const;
    void applySettings(const Settings& settings);

    // Menus and tool bar (TFormMainMenus.cpp)
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
    void cmdSearchHelpClick();
    void cmdIndexesHelpClick();
    void cmdAboutClick();
    void btnCutClick();
    void btnCopyClick();
    void btnPasteClick();
    void mnuCopyClick();
    void Tech1Click();
    void showHelp(int context);

    // ---- Index management (src/index/ui/IndexesHandlers.cpp) ----
    int LoadIndexes();
    void UnloadAllIndexes();
    void cmbUsedIndexClick();
    void cmbIndexNameClick();
    void cmbIndexNameChange();
    void cmdUpdateClick(QObject* sender);
    void cmdUpdateFileClick();
    void cmdRemoveClick();
    void cmdSearchUpdateClick();
    void cmdChangeClick();
    void cmdBrowseClick();
    void txtFileNamesChange();
    void DisableIndexControls();
    void EnableIndexControls();
    void setIndexEditingControls(bool enabled);
    void enableIndexOptionControls();
    int countDefinitionFiles();
    void FillLanguageList();
    void cmbLanguageEnter();
    void cmbLanguageChange();
    void cmdCustLangsClick();
    void cmbDicChange();
    void cmbSWChange();
    void cmdDots1Click();
    void cmdDots2Click();
    void btnEditDicClick();
    void btnEditSwClick();
    void btnExportDidClick();
    void chkAutoUpdateClick();
    void chkArcClick();
    bool createCoreObjects();  // the notifier, index list, parser sets, viewer history
    void releaseCoreObjects();
    bool notifierGetAutoUpdate(int position);
    // The catalogue's insertions and removals, mirrored into both index boxes.
    void indexInserted(int position, const QString& name);
    void indexRemoved(int position);
    // The window's part of a build (BuildListener).
    void buildStarted();
    void buildFinished();
    void showBuildRequest(const IndexRequest& request);
    void showStatistics(const vellcore::IndexObject& index);

    // ---- Search and results (src/search/ui/SearchHandlers.cpp) ----
    void cmdOKClick();
    void btnFromFileClick();
    void cmbFileListClick();
    void chAlphaClick();
    void chRelClick();
    void btnAdvancedClick();
    void lstFilesClick();
    void lstFilesDblClick();
    void btnStartClick();
    void btnPrevClick();
    void btnNextClick();
    void btnEndClick();
    void ClearResults(bool clearExpression);

    // ---- Viewer (src/viewer/ui/ViewerHandlers.cpp) ----
    void scrNextPrevScroll(int position);
    void cmdBackClick();
    void cmdForwardClick();
    void cmdFontClick();
    void cmdBackColorClick();
    void chkWordWrapClick();
    void chkRtfPlainClick();
    void chkHtmlSourceClick();
    void chkStayOnClick();
    void applyViewFonts();

    // ---- Monitoring and the Cache Watcher (src/monitor/ui/MonitorHandlers.cpp) ----
    void ShowCacheWatcherStartPage();
    void cmdNewSearchClick();
    void cmdCWBackClick();
    void cmdCWForwardClick();
    void cmdCWHelpClick();
    void radNormalClick();
    void radSuspendedClick();
    void cmdAddDirsOffClick();
    void cmdRemoveDirsOffClick();
    void chkIndexFolderOffClick();
    void chkWindowsFolderOffClick();
    void chkTempFolderOffClick();
    void drvDirsOffChange();
    void attachScanFolderEvent();
    void attachFolderChangedEvent();
    void detachNotifierEvents();
    void shutDownNotifier();  // FormDestroy: Clear, Unlock when suspended, terminate
    // The unwatchable folders on the Monitoring page; returns the text ("" when none).
    QString showUnwatchableFolders();

    // ---- Controls ----
    QTabWidget* tabMain = nullptr;
    QWidget* tabSearch = nullptr;
    QWidget* tabIndexes = nullptr;
    QWidget* tabWatcher = nullptr;
    QWidget* tabWeb = nullptr;
    QWidget* tabOptions = nullptr;
    QWidget* tabMonitoring = nullptr;

    // Tool bar and status line
    QFrame* pnlBar = nullptr;
    QToolButton* btnNew = nullptr;
    QToolButton* btnOptions = nullptr;
    QToolButton* btnCut = nullptr;
    QToolButton* btnCopy = nullptr;
    QToolButton* btnPaste = nullptr;
    QFrame* pnlBot = nullptr;
    QLineEdit* txtStatus = nullptr;
    QProgressBar* prgBar = nullptr;

    // Main menu
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
    // Tray menu
    QMenu* mnuTray = nullptr;
    QAction* mnuActivate = nullptr;
    QAction* mnuExit = nullptr;

    // Search page
    QFrame* bvlSearchExpr = nullptr;
    QLabel* lblSearchExpr = nullptr;
    QComboBox* cmbSearchExpr = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* btnAdvanced = nullptr;
    QLabel* lblUsedIndex = nullptr;
    QComboBox* cmbUsedIndex = nullptr;
    QComboBox* cmbFileList = nullptr;
    QLabel* lblFile = nullptr;
    QPushButton* btnFromFile = nullptr;
    QLabel* lblSorting = nullptr;
    QCheckBox* chAlpha = nullptr;
    QCheckBox* chRel = nullptr;
    QLabel* lblTotalFiles = nullptr;
    QLabel* lblTotalFiles1 = nullptr;
    QLabel* lblTotalEntries = nullptr;
    QLabel* lblTotalEntries1 = nullptr;
    QPushButton* cmdSearchHelp = nullptr;
    QPushButton* cmdSearchUpdate = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdClose = nullptr;
    QSplitter* oxSplit = nullptr;
    QListWidget* lstFiles = nullptr;
    QLabel* pnlResultsWarning = nullptr;
    QLabel* lblFilesNum = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnEnd = nullptr;
    QFrame* pnlMsg = nullptr;
    QFrame* pnlAttach = nullptr;
    QStackedWidget* viewerStack = nullptr;
    QTextEdit* ree = nullptr;
    QTextEdit* rtfEntries = nullptr;
    QTextBrowser* HTML1 = nullptr;
    QTextEdit* currentTextViewer = nullptr;
    QLabel* lblEntries0 = nullptr;
    QLabel* lblEntries1 = nullptr;
    QLabel* lblEntries2 = nullptr;
    QLabel* lblEntries3 = nullptr;
    QScrollBar* scrNextPrev = nullptr;
    QFrame* pnlBF = nullptr;
    QToolButton* cmdBack = nullptr;
    QToolButton* cmdForward = nullptr;
    // Viewer pop-up menus
    QMenu* mnuRtf = nullptr;
    QAction* mnuSearchSelWord = nullptr;
    QAction* mnuWithinFound = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* Printfilelist1 = nullptr;
    QAction* mnuPrintSelected = nullptr;
    QAction* mnuExportAsText = nullptr;
    QAction* mnuFont = nullptr;
    QAction* mnuBackColor = nullptr;
    QAction* mnuWordWrap = nullptr;
    QAction* mnuRtfPlain = nullptr;
    QAction* mnuHtmlSource = nullptr;
    QAction* mnuHtmlBrowser = nullptr;
    QAction* mnuStayOn = nullptr;
    QAction* mnuFullView = nullptr;
    QMenu* mnuHTML2 = nullptr;
    QAction* mnuFont2 = nullptr;
    QAction* mnuBackColor2 = nullptr;
    QAction* mnuLoadBrowser = nullptr;

    // Indexes page
    QLabel* lblIndexName = nullptr;
    QComboBox* cmbIndexName = nullptr;
    QLabel* lblFileNames = nullptr;
    QLineEdit* txtFileNames = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdRemove = nullptr;
    QLabel* lblIndexFolder = nullptr;
    QLineEdit* txtIndexFolder = nullptr;
    QPushButton* cmdChange = nullptr;
    QLabel* lblNotes = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QPushButton* cmdIndexesHelp = nullptr;
    QGroupBox* bvlOptions = nullptr;
    QWidget* pnlStat2 = nullptr;
    QLabel* lblLanguage = nullptr;
    QComboBox* cmbLanguage = nullptr;
    QLabel* lblMaxLen = nullptr;
    QLineEdit* txtMaxLen = nullptr;
    QLabel* lblMinLen = nullptr;
    QLineEdit* txtMinLen = nullptr;
    QLabel* lblDic = nullptr;
    QComboBox* cmbDic = nullptr;
    QToolButton* cmdDots1 = nullptr;
    QCheckBox* chDic = nullptr;
    QLabel* lblSW = nullptr;
    QComboBox* cmbSW = nullptr;
    QToolButton* cmdDots2 = nullptr;
    QCheckBox* chSW = nullptr;
    QGroupBox* bvlAutoUpdate = nullptr;
    QWidget* pnlBoxes1 = nullptr;
    QCheckBox* chkAutoUpdate = nullptr;
    QCheckBox* chkArc = nullptr;
    QCheckBox* chkFileAsText = nullptr;
    QCheckBox* chExpress = nullptr;
    QGroupBox* bvlStatistics = nullptr;
    QWidget* pnlStat = nullptr;
    QLabel* lblFileCount1 = nullptr;
    QLabel* lblFileRem1 = nullptr;
    QLabel* lblVolume1 = nullptr;
    QLabel* lblWordCount1 = nullptr;
    QLabel* L1 = nullptr;
    QLabel* lblUniqWordCount = nullptr;
    QLabel* lblLastUpdated1 = nullptr;

    // Cache Watcher page
    QPushButton* cmdNewSearch = nullptr;
    QToolButton* cmdCWBack = nullptr;
    QToolButton* cmdCWForward = nullptr;
    QPushButton* cmdCWHelp = nullptr;
    QFrame* pnlWatcher = nullptr;
    QTextBrowser* HTML2 = nullptr;

    // Options page (hidden; the Options dialog edits these)
    QFrame* pnlOpt1 = nullptr;
    QFrame* pnlOpt2 = nullptr;
    QFrame* pnlOpt3 = nullptr;
    QCheckBox* chkStartup = nullptr;
    QCheckBox* chkTray = nullptr;
    QLabel* lblHotKey = nullptr;
    QLineEdit* edHotKey = nullptr;
    QCheckBox* chkWordWrap = nullptr;
    QCheckBox* chkRtfPlain = nullptr;
    QCheckBox* chkHtmlSource = nullptr;
    QCheckBox* chkStayOn = nullptr;
    QPushButton* cmdFont = nullptr;
    QPushButton* cmdBackColor = nullptr;
    QLabel* lblFiles = nullptr;
    QLineEdit* edFiles = nullptr;
    QLabel* lblFilSiz = nullptr;
    QLineEdit* edFilSiz = nullptr;
    QPushButton* cmdCustLangs = nullptr;
    QPushButton* btnExportDid = nullptr;
    QPushButton* btnEditDic = nullptr;
    QPushButton* btnEditSw = nullptr;

    // Monitoring page
    QGroupBox* fraMonitoring1 = nullptr;
    QRadioButton* radNormal = nullptr;
    QRadioButton* radSuspended = nullptr;
    QGroupBox* fraMonitoring2 = nullptr;
    QLabel* lblDirsOff1 = nullptr;
    QListWidget* lstDirsOff = nullptr;
    QPushButton* cmdAddDirsOff = nullptr;
    QPushButton* cmdRemoveDirsOff = nullptr;
    QLabel* lblDirsOff2 = nullptr;
    QTreeView* dirDirsOff = nullptr;
    QLabel* lblDirsOff3 = nullptr;
    QComboBox* drvDirsOff = nullptr;
    QCheckBox* chkIndexFolderOff = nullptr;
    QCheckBox* chkWindowsFolderOff = nullptr;
    QCheckBox* chkTempFolderOff = nullptr;
    QLabel* lblUnwatchable = nullptr;

    // ---- Owned objects ----
    TTrayIcon* TrayIcon1 = nullptr;
    TFormBrowse* FormBrowse = nullptr;
    TfrmTags* frmTags = nullptr;
    TFormChange* FormChange = nullptr;
    TFormResearch* FormResearch = nullptr;
    TAboutBox* AboutBox = nullptr;
    QtUserInterface* userInterface = nullptr;

    const StartupEnvironment& environment() const { return environment_; }
    SettingsLocation settingsLocation() const;
    std::filesystem::path queryHistoryFile() const;
    int lastWizardResult() const { return wizardResult_; }

  signals:
    // A document was stored while a build of this window runs (the statistics follow).
    void documentStored(int records);
    // The program should end (the window was closed, "Exit" was chosen, the session
    // ends, an unexpected error). main() connects it to the event loop's quit.
    void quitRequested();

  public:
    QString windowCaption() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void createDialogs();
    void buildMenus();
    void buildToolBar();
    void buildStatusLine();
    void buildSearchPage();
    void buildIndexesPage();
    void buildWatcherPage();
    void buildWebPage();
    void buildOptionsPage();
    void buildMonitoringPage();
    void buildTray();
    void connectSearchPage();
    void connectIndexesPage();
    void connectOtherPages();
    void ensureFolderModel();
    void showWindowOrTray();
    void setToolButtonsForPage(int page);
    void createStartupFolders();
    // Index management helpers (src/index/ui)
    IndexRequest requestFromControls();
    void runBuild(BuildKind kind, QObject* sender, const QString& fileName = {});
    void afterBuild(BuildKind kind, const BuildOutcome& outcome);
    void selectInBox(QComboBox* box, int position);
    void setCreationOptionsLocked(bool locked);
    void showNewIndexState();
    void clearStatistics();
    void updateCaptionForSelection();
    bool openRepairing(int position);
    void fillWordListBoxes();
    void chooseWordListFile(QComboBox* box, bool dictionary);
    void editWordListFile(QComboBox* box, const char* defaultFile);
    int reloadCatalogue();
    void updateAutomaticIndexes(bool alsoApplicationTitle);

    StartupEnvironment environment_;
    ClipFrame* clientArea_ = nullptr;
    QFileSystemModel* folderModel_ = nullptr;
    bool deferredStartupDone_ = false;
    bool destroyed_ = false;
    bool inPageChange_ = false;
    bool quitting_ = false;
    int wizardResult_ = 0;
    bool creationOptionsLocked_ = false;  // the page shows an existing index
    bool showingIndex_ = false;           // cmbIndexNameClick is running
    bool wordListsFilled_ = false;        // cmbDic / cmbSW are filled once
    bool monitoringSuspended_ = false;    // radSuspended holds the notifier lock
    std::vector<std::string> languageProblemsShown_;  // by cmbLanguageEnter, once each

    // Owned core objects, in dependency order (destroyed in reverse).
    std::unique_ptr<TLanguageList> languages_;
    std::unique_ptr<QtMainThreadDispatcher> dispatcher_;
    std::unique_ptr<IndexingCore> core_;
    std::unique_ptr<IndexingBridge> bridge_;
};

}  // namespace vellumar
