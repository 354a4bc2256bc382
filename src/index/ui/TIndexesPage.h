// TIndexesPage: the "Indexes" page: an index's name (cmbIndexName, which mirrors the
// catalogue), scope, folder, options, notes and statistics, and the handlers that create,
// update, cancel and remove indexes, load the catalogue, change the index folder, and
// manage languages, stop-word lists and filtering dictionaries. The builder does the
// work; the page reads its controls into an IndexRequest and shows the outcome.
//
// The index shown here and the index open for searching go together: choosing one here
// announces indexChosen (the Search page opens it), and showOpenedIndex follows the Search
// page. The caption of cmdUpdate shows the build state: "&Cancel" while an index is being
// built, else "&Update" for an existing index and "&Create" for a new name.
//
// The code is split by topic: TIndexesPage.cpp (layout, enabling rules),
// IndexesPageCatalogue.cpp, IndexesPageBuild.cpp, IndexesPageLanguages.cpp and
// IndexesPageWordLists.cpp and IndexesPageWizard.cpp.
//
// Owned by the main window (as its page widget); main thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace vellcore {
class IndexObject;
}

namespace vellumar {

class PageHost;
class TFormBrowse;
class TFormChange;
struct IndexRequest;
struct BuildOutcome;
enum class BuildKind;

class TIndexesPage : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
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
        TFormBrowse* FormBrowse = nullptr;  // made by createDialogs
        TFormChange* FormChange = nullptr;  // made by createDialogs
    };

    explicit TIndexesPage(PageHost& host, QWidget* parent = nullptr);
    // For tests and the page itself.
    const Controls& controls() const { return ui; }
    void createDialogs();  // after the settings are loaded: FormChange starts at the folder

    // ---- Catalogue (IndexesPageCatalogue.cpp) ----
    int LoadIndexes();
    void UnloadAllIndexes();
    void cmbIndexNameClick();
    void cmbIndexNameChange();
    void cmdChangeClick();
    int countDefinitionFiles();
    // The catalogue mirrored into cmbIndexName.
    void indexInserted(int position, const QString& name);
    void indexRemoved(int position);
    // The Search page opened the index at position: show it here too.
    void showOpenedIndex(int position);
    // Selects position and shows it unless it is shown already.
    void showIndex(int position);
    int selectedIndex() const;
    int shownIndex() const { return shownIndex_; }
    // Unloads every index and loads the index folder's catalogue again; returns how many
    // indexes were loaded.
    int reloadCatalogue();
    // The folder new indexes go to (the settings, the box, the dialog, the catalogue).
    void setIndexFolder(const QString& folder);
    void showStatistics(const vellcore::IndexObject& index);

    // ---- Building (IndexesPageBuild.cpp) ----
    void cmdUpdateClick(QObject* sender);  // sender: none when the program calls it
    void updateFile(const QString& fileName);
    void cmdRemoveClick();
    void showBusy(bool busy);  // the page's part of DisableIndexControls / EnableIndexControls
    void showBuildRequest(const IndexRequest& request);

    // ---- Enabling rules (TIndexesPage.cpp) ----
    void txtFileNamesChange();
    void setIndexEditingControls(bool enabled);
    void enableIndexOptionControls();
    void cmdBrowseClick();
    void chkAutoUpdateClick();
    void chkArcClick();
    // An automatic update changed the index at position: the statistics of the index in
    // use follow.
    void showAutoUpdatedIndex(int position, const QString& lastUpdated);
    // An automatic update runs (true) or ended.
    void showAutomaticUpdate(bool running);
    void cmdIndexesHelpClick();
    void showSettings();  // the index folder

    // ---- Languages (IndexesPageLanguages.cpp) ----
    void FillLanguageList();
    void cmbLanguageEnter();
    void cmbLanguageChange();
    void cmdCustLangsClick();

    // ---- Word lists (IndexesPageWordLists.cpp) ----
    void cmbDicChange();
    void cmbSWChange();
    void cmdDots1Click();
    void cmdDots2Click();
    void btnEditDicClick();
    void btnEditSwClick();
    void btnExportDidClick();
    // Edits the word list named in box (a dictionary or a stop-word list), as the "Edit"
    // buttons of the options and of the wizard do.
    void editWordListIn(QComboBox* box, bool dictionary);

    // ---- The index wizard's side (IndexesPageWizard.cpp) ----
    // What the wizard starts from: the page's indexes, folder and options.
    struct WizardStart {
        QStringList indexNames;
        int currentIndex = -1;
        QString indexFolder;
        QString maxLen, minLen;
        QStringList dictionaries, stopWords;  // the boxes' items
        bool archives = false;
    };
    WizardStart wizardStart() const;
    // The page's language items (text and data) and selection copied into box.
    void copyLanguagesTo(QComboBox& box) const;
    // What the wizard's Finish hands over. recreate: the name is an existing index that
    // the user chose to make anew (with the wizard's options, not the old ones).
    struct WizardChoices {
        QString name;
        QString scope;
        bool archives = false;
        QString languageName;
        QString maxLen, minLen;
        QString dictionary, stopWords;  // empty: none
        bool recreate = false;
    };
    // Fills the page as the wizard says; false when an index to recreate cannot be
    // removed (another program holds it; the message was shown).
    bool takeWizardChoices(const WizardChoices& choices);
    // Runs the folder dialog; true with its scope when it was closed with OK.
    bool browseScope(QString& scope);
    // Runs "Change"; true when the index folder changed.
    bool changeIndexFolder();
    // Names an index and its scope in the boxes and builds it (created, or updated when the
    // name exists), automatically updateable where the box allows it and with format
    // filters on: the Cache Watcher's index.
    void createNamedIndex(const QString& name, const QString& scope);

  signals:
    void indexChosen(int position);   // the Search page opens it unless it is open
    void indexCreated(int position);  // built and opened for searching
    void clearResultsRequested(bool clearExpression);
    void viewerHistoryInvalidated();
    void formatFiltersShown(bool shown);     // the index in use parses formats (or raw text)
    void removeAllowed(bool allowed);        // "&Remove" of the menu follows cmdRemove
    void searchUpdateAllowed(bool allowed);  // the Search page's "Update" button
    void buildEnded();
    void catalogueReloaded();  // another index folder was loaded

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void buildOptions(QWidget* parent);
    void connectControls();
    bool showsExistingIndex() const;
    void updateCaption();
    void setCreationOptionsLocked(bool locked);
    void showNewIndexState();
    void clearStatistics();
    void selectInBox(QComboBox* box, int position);
    IndexRequest requestFromControls();
    void runBuild(BuildKind kind, QObject* sender, const QString& fileName = {});
    void afterBuild(BuildKind kind, const BuildOutcome& outcome);
    void fillWordListBoxes();
    void chooseWordListFile(QComboBox* box, bool dictionary);
    void editWordListFile(QComboBox* box, const char* defaultFile);
    bool wizardOnly() const;
    bool readOnlyMedia() const;
    bool dropIndexToRecreate(int position);

    PageHost& host_;
    Controls ui;
    int shownIndex_ = -1;                 // the index the page shows; -1: it describes a new index
    bool creationOptionsLocked_ = false;  // the page shows an existing index
    bool showingIndex_ = false;           // cmbIndexNameClick is running
    bool wordListsFilled_ = false;        // cmbDic / cmbSW are filled once
    std::vector<std::string> languageProblemsShown_;  // by cmbLanguageEnter, once each
};

}  // namespace vellumar
