// TResultList: the result list of the Search page: the found files one page at a time
// (lstFiles, owner-drawn with the modified and deleted pictures), the page buttons, the
// page counter and the "index has been changed" warning. Selecting a file asks for its
// preview (previewRequested); a double click opens it with the desktop's association; a
// right click shows the file's context menu.
//
// The page itself lives in the ResultState that the frame lends to this list and to the
// Search page: the search fills it, the list shows it and pages through it. The list
// keeps only the page's names, so paging through 200,000 found files costs one page.
// A listed name is kept as the engine's bytes for every file operation; the list shows it
// decoded (UTF-8, else Windows-1252).
//
// Clearing the results is here (ClearResults); the query text and the preview that
// clearing also empties belong to the Search page and the viewer pane, which follow
// resultsCleared.
//
// Owned by the main window, placed into the Search page's splitter; main thread only.
// Opening a file waits for the desktop's opener on a worker thread, so a slow opener
// never freezes the window; its outcome comes back to the main thread.
#pragma once

#include <QStringList>
#include <QWidget>

#include <string>

#include "search/ResultPager.h"
#include "search/ui/FileContextMenu.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vellumar {

class PageHost;
struct ResultState;

class TResultList : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QListWidget* lstFiles = nullptr;
        QPushButton* btnStart = nullptr;
        QPushButton* btnPrev = nullptr;
        QPushButton* btnNext = nullptr;
        QPushButton* btnEnd = nullptr;
        QLabel* lblFilesNum = nullptr;
        QLabel* pnlResultsWarning = nullptr;
    };

    TResultList(PageHost& host, ResultState& results, QWidget* parent = nullptr);
    // For tests and the list itself.
    const Controls& controls() const { return ui; }

    // ---- Handlers ----
    void lstFilesClick();
    void lstFilesDblClick();
    // The right button at a point of the list (viewport coordinates): the file's menu.
    void lstFilesMouseDown(const QPoint& position);
    void btnStartClick();
    void btnPrevClick();
    void btnNextClick();
    void btnEndClick();
    void ClearResults(bool clearExpression);
    // Fills lstFiles with a page of the index in use; returns the page start, -1 (and the
    // list cleared) when no index is open.
    int FillResultPage(PageMode mode);
    // Marks the listed files that changed in the index since they were listed, and shows
    // the warning. Nothing in the read-only media mode.
    void MarkChangedResults();
    // The selected found file indexed again on its own (updateFileRequested), then the
    // list is cleared by the Indexes page that ran the update.
    void cmdUpdateFileClick();

    // ---- What the Search page's search asks of the list ----
    void searchRunning(bool running);      // lstFiles disabled while a query runs
    void showFoundPage(int selectOnPage);  // the page the search filled; -1: select none

    // ---- What the viewer pane asks of the list ----
    // Selects a listed file by name (ignoring case), scrolls it to the top and asks for its
    // preview; false when the current page does not list it.
    bool selectListedFile(const QString& name);
    void markViewedModified();
    void deselectViewed();
    void selectViewedAgain();
    // The listed names of the current page, top to bottom, as the list shows them.
    QStringList listedFiles() const;

    // ---- What the frame asks of the list ----
    void enableSearch(bool enabled);  // the list's part of EnableSearch / DisableSearch
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled

    // Opens a file with the desktop's association; a failure is shown when the opener
    // reports it (openFinished follows in every case).
    void openFile(const std::string& name);
    // The engine's name of a listed file (the item's text when the page does not know it).
    std::string listedName(int row) const;
    ItemPicture picture(int row) const;
    // The context menu of a listed file, made but not shown (the right click shows it).
    FileContextMenu* contextMenuFor(int row);
    // Programs, the trash and the desktop's bus services; tests replace them.
    void setFileServices(const FileServices& services) { services_ = services; }
    bool contextMenuOpen() const;

  signals:
    void resultsCleared(bool clearExpression);
    void updateFileRequested(const QString& fileName);
    // The viewed item changed: the preview of result number resultNumber (page start +
    // row), as listed, with the stamp the engine stored for it.
    void previewRequested(int resultNumber, const QString& name, quint32 stamp);
    // An open finished: the opener's code (above 32: opened).
    void openFinished(int code);

  private:
    void build();
    void showPage();
    void setPicture(int row, ItemPicture picture);
    void selectRow(int row);  // without asking for a preview
    int selectedRow() const;

    PageHost& host_;
    ResultState& results_;
    FileServices services_;
    Controls ui;
};

}  // namespace vellumar
