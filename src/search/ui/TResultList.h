// TResultList: the result list of the Search page: the found files one page at a time
// (lstFiles), the page buttons, the page counter and the "index has been changed"
// warning. Clearing the results is here (ClearResults); the query text and the preview
// that clearing also empties belong to the Search page and the viewer pane, which follow
// resultsCleared. Filling pages, paging and opening files are empty hooks until the
// result list lands.
//
// Owned by the main window, placed into the Search page's splitter; main thread only.
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace vellumar {

class PageHost;

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

    explicit TResultList(PageHost& host, QWidget* parent = nullptr);
    // For tests and the list itself.
    const Controls& controls() const { return ui; }

    // ---- Handlers ----
    void lstFilesClick();
    void lstFilesDblClick();
    void btnStartClick();
    void btnPrevClick();
    void btnNextClick();
    void btnEndClick();
    void ClearResults(bool clearExpression);
    // The selected found file indexed again on its own (updateFileRequested), then the
    // list is cleared by the Indexes page that ran the update.
    void cmdUpdateFileClick();

    // ---- What the frame asks of the list ----
    void enableSearch(bool enabled);  // the list's part of EnableSearch / DisableSearch
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled

  signals:
    void resultsCleared(bool clearExpression);
    void updateFileRequested(const QString& fileName);

  private:
    PageHost& host_;
    Controls ui;
};

}  // namespace vellumar
