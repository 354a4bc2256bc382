// TSearchPage: the "Search" page of the main window: the query box, the index to search
// (cmbUsedIndex, which mirrors the catalogue), the list-file query, the sort boxes, the
// counters and the page's buttons. The result list and the viewer pane are pages of their
// own; the frame places them into this page's splitter (placePanes).
//
// Opening the chosen index for searching is here (cmbUsedIndexClick); the page then
// announces indexOpened so that the Indexes page shows the same index. Running a query
// and the list-file query are empty hooks until search execution lands.
//
// Owned by the main window (as its page widget); main thread only.
#pragma once

#include <QWidget>

#include "platform/QueryHistoryFile.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSplitter;

namespace vellumar {

class PageHost;
class TFormResearch;
class TfrmTags;

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

    explicit TSearchPage(PageHost& host, QWidget* parent = nullptr);
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

  signals:
    void indexOpened(int position);  // cmbUsedIndexClick opened the index at position
    void clearResultsRequested(bool clearExpression);
    void updateRequested(QObject* sender);  // the page's "Update" runs the Indexes page's
    void aboutClicked();
    void closeClicked();
    void queryFocusChanged(bool hasFocus);  // the clipboard buttons follow the query box

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void connectControls();
    bool openRepairing(int position);

    PageHost& host_;
    Controls ui;
};

}  // namespace vellumar
