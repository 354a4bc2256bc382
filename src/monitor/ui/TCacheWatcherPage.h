// TCacheWatcherPage: the "Cache Watcher" page: the HTML display HTML2 with the program's
// own pages (start page, forms, search results) and its buttons. The pages, forms and the
// display's history are empty hooks until the Cache Watcher lands.
//
// Owned by the main window (as its page widget); main thread only.
#pragma once

#include <QWidget>

class QAction;
class QFrame;
class QMenu;
class QPushButton;
class QTextBrowser;
class QToolButton;

namespace vellumar {

class PageHost;

class TCacheWatcherPage : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QPushButton* cmdNewSearch = nullptr;
        QToolButton* cmdCWBack = nullptr;
        QToolButton* cmdCWForward = nullptr;
        QPushButton* cmdCWHelp = nullptr;
        QFrame* pnlWatcher = nullptr;
        QTextBrowser* HTML2 = nullptr;
        QMenu* mnuHTML2 = nullptr;
        QAction* mnuFont2 = nullptr;
        QAction* mnuBackColor2 = nullptr;
        QAction* mnuLoadBrowser = nullptr;
    };

    explicit TCacheWatcherPage(PageHost& host, QWidget* parent = nullptr);
    // For tests and the page itself.
    const Controls& controls() const { return ui; }

    // ---- Handlers ----
    void ShowCacheWatcherStartPage();
    void cmdNewSearchClick();
    void cmdCWBackClick();
    void cmdCWForwardClick();
    void cmdCWHelpClick();

    // ---- What the frame asks of the page ----
    void applyFont();     // the Cache Watcher font and background from Settings
    void clearHistory();  // at shutdown
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled

  private:
    PageHost& host_;
    Controls ui;
};

}  // namespace vellumar
