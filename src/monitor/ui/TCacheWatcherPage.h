// TCacheWatcherPage: the "Cache Watcher" page: the HTML display HTML2 with the program's
// own pages (the start pages, the search form "form.htm", result pages) and its buttons,
// over the Cache Watcher core (monitor/cachewatch), which finds the browsers' caches,
// keeps the mirror of their pages, decides what a submitted form asks for and writes the
// result pages.
//
// The page never touches another page: creating the index goes out as
// createIndexRequested (the Indexes page fills its boxes and builds), and choosing the
// index for a search as indexSelectionRequested. Links on its pages go through the viewer
// core's ResolveLink: web addresses are handed to the desktop (openOutside), local pages
// load into HTML2, script links do nothing.
//
// Owned by the main window (as its page widget); main thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QMenu;
class QPushButton;
class QToolButton;

namespace htmlview {
class THTMLViewer;
struct FormSubmission;
}  // namespace htmlview

namespace vellumar {

class IndexingCore;
class PageHost;

namespace cachewatch {
class CacheWatcher;
}

class TCacheWatcherPage : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QPushButton* cmdNewSearch = nullptr;
        QToolButton* cmdCWBack = nullptr;
        QToolButton* cmdCWForward = nullptr;
        QPushButton* cmdCWHelp = nullptr;
        QFrame* pnlWatcher = nullptr;
        htmlview::THTMLViewer* HTML2 = nullptr;
        QMenu* mnuHTML2 = nullptr;
        QAction* mnuFont2 = nullptr;
        QAction* mnuBackColor2 = nullptr;
        QAction* mnuLoadBrowser = nullptr;
    };

    explicit TCacheWatcherPage(PageHost& host, QWidget* parent = nullptr);
    ~TCacheWatcherPage() override;
    // For tests and the page itself.
    const Controls& controls() const { return ui; }

    // Opens a web address with the desktop's browser; false when nothing could open it.
    // Tests replace it.
    std::function<bool(const QString& address)> openOutside;

    // ---- Handlers ----
    void ShowCacheWatcherStartPage();
    void CreateCacheWatcherIndex();
    void cmdNewSearchClick();
    void cmdCWBackClick();
    void cmdCWForwardClick();
    void cmdCWHelpClick();
    void HTML2FormSubmit(const htmlview::FormSubmission& submission);
    bool HTML2HotSpotClick(const QString& url);  // true: the page took care of it
    void HTML2HistoryChange();
    // A browser's cache folder changed: the mirror follows, and the index with it.
    // Automatic updating calls it for the folders the core names (foldersToWatch).
    void cacheFoldersChanged();
    // The browsers' cache folders to watch for cacheFoldersChanged.
    QStringList cacheFoldersToWatch();

    // ---- What the frame asks of the page ----
    void applyFont();     // the Cache Watcher font and background from Settings
    void clearHistory();  // at shutdown
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled
    // The Cache Watcher core, made for the window's index core on first use; null while
    // the window has no core.
    cachewatch::CacheWatcher* watcher();

  signals:
    // Fill the Indexes page with this index and build it (automatic updating on where it
    // may be, format filters on).
    void createIndexRequested(const QString& name, const QString& scope);
    // Select the index at position on the Indexes page, which opens it for searching.
    void indexSelectionRequested(int position);
    void clearResultsRequested(bool clearExpression);

  private:
    void runSearch(const QString& query);
    void showHtml(const std::string& html);
    void loadPage(const QString& file, const QString& anchor = {});

    PageHost& host_;
    Controls ui;
    IndexingCore* watcherCore_ = nullptr;  // the core watcher_ was made for
    std::unique_ptr<cachewatch::CacheWatcher> watcher_;
};

}  // namespace vellumar
