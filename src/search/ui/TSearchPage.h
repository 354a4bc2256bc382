// TSearchPage: the "Search" page of the main window: the query box, the index to search
// (cmbUsedIndex, which mirrors the catalogue), the list-file query, the sort boxes, the
// counters and the page's buttons. The result list and the viewer pane are pages of their
// own; the frame places them into this page's splitter (placePanes).
//
// Opening the chosen index for searching is here (cmbUsedIndexClick); the page then
// announces indexOpened so that the Indexes page shows the same index.
//
// "&Search" runs the query through the core's SearchRunner into the ResultState that the
// frame lends to this page and to the result list; the list shows the page the search
// filled (resultsReady). While the query runs the button reads "&Cancel" and the engine
// lets the window's messages through, but only that button, Enter and Escape reach the
// page then (they cancel): every other click and key waits until the query has ended, so
// nothing can close or change the index under it. The refining searches (selected words,
// among the files found, the advanced element query) end in the same search.
//
// The code is split by topic: TSearchPage.cpp (the controls, the index in use),
// TSearchPageRun.cpp (running a query, the history, the list-file query) and
// TSearchPageRefine.cpp (the refining searches).
//
// Owned by the main window (as its page widget); main thread only.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/QueryHistoryFile.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSplitter;

namespace vellcore {
class IndexObject;
}

namespace vellumar {

class PageHost;
class SearchRunner;
class TFormResearch;
class TfrmTags;
struct ResultState;

class TSearchPage : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QFrame* bvlSearchExpr = nullptr;
        QLabel* lblSearchExpr = nullptr;
        QComboBox* cmbSearchExpr = nullptr;
        QPushButton* cmdOK = nullptr;
        QPushButton* btnAdvanced = nullptr;
        QLabel* lblUsedIndex = nullptr;
        QComboBox* cmbUsedIndex = nullptr;
        QLabel* lblFile = nullptr;
        QComboBox* cmbFileList = nullptr;
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
        TfrmTags* frmTags = nullptr;            // made by createDialogs
        TFormResearch* FormResearch = nullptr;  // made by createDialogs
    };

    TSearchPage(PageHost& host, ResultState& results, QWidget* parent = nullptr);
    ~TSearchPage() override;
    // For tests and the page itself.
    const Controls& controls() const { return ui; }

    // The result list over the viewer in the splitter, the viewer's entry bar below it.
    void placePanes(QWidget* resultList, QWidget* viewer, QWidget* entryBar);
    void createDialogs();

    // ---- Handlers ----
    void cmdOKClick();
    void btnFromFileClick();
    void cmbFileListClick();
    void chAlphaClick();
    void chRelClick();
    void btnAdvancedClick();
    void cmbUsedIndexClick();
    void cmdSearchUpdateClick();
    void cmdSearchHelpClick();
    void cmbSearchExprEnter();  // the whole query selected, the clipboard buttons on
    void cmbSearchExprExit();   // the clipboard buttons off

    // ---- Searching, for the viewer pane and the frame ----
    // Puts the query into the query box and searches (nothing while a search runs).
    void runQuery(const QString& query);
    // The trimmed expression of the last search that ran.
    QString lastQuery() const { return lastQuery_; }
    bool searching() const;
    // "Search for Selected Word": the selected text reduced to its words, searched.
    void searchForSelectedWord(const QString& selectedText);
    // "Search among Files Found": the dialog, prefilled with the selected text; its
    // expression is searched within the last search.
    void searchWithinFound(const QString& selectedText);

    // ---- What the frame and the other pages ask of the page ----
    void showSettings();  // the sort boxes from Settings::sorting
    void setQueryHistory(const QueryHistory& history);
    QueryHistory queryHistory() const;
    void enableSearch(bool enabled);  // this page's part of EnableSearch / DisableSearch
    void clearQuery();
    // Focuses the query box when it can take the focus; false when it cannot.
    bool focusQuery();
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled
    void readOnlyMedia();                                    // the Update button goes

    // cmbUsedIndex mirrors the catalogue.
    void indexInserted(int position, const QString& name);
    void indexRemoved(int position);
    int indexCount() const;
    int usedIndex() const;
    QString indexName(int position) const;
    // Selects the position without running the click handler (-1: none).
    void selectIndex(int position);
    // The Indexes page chose an index: select it and open it unless it is open already.
    void useIndex(int position);
    // A new index was built and opened: select it, "Advanced" as its tags allow.
    void showCreatedIndex(int position);
    void setUpdateEnabled(bool enabled);  // cmdSearchUpdate
    void indexBuildStarted();
    void indexBuildFinished();

  signals:
    void indexOpened(int position);  // cmbUsedIndexClick opened the index at position
    void clearResultsRequested(bool clearExpression);
    void updateRequested(QObject* sender);  // the page's "Update" runs the Indexes page's
    void aboutClicked();
    void closeClicked();
    void queryFocusChanged(bool hasFocus);  // the clipboard buttons follow the query box
    // At the start of every search, before anything is cleared.
    void searchStarting();
    // A search failed or found no file.
    void searchFoundNothing(const QString& query);
    // A query runs (the result list is disabled) or ended by cancel.
    void searchRunning(bool running);
    // The search filled the first page: the list shows it and selects selectOnPage (-1: no
    // selection).
    void resultsReady(int selectOnPage);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void connectControls();
    bool openRepairing(int position);
    vellcore::IndexObject* indexInUse() const;
    void cancelSearch();
    void showHistory(const std::vector<std::string>& history, const QString& query);
    // The query box, the list-file box, its button and "Advanced", during a build.
    void setQueryControlsEnabled(bool enabled);
    void closeTagTree();

    PageHost& host_;
    ResultState& results_;
    std::unique_ptr<SearchRunner> runner_;
    QString lastQuery_;
    Controls ui;
};

}  // namespace vellumar
