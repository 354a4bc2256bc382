// TViewerPane: the preview of the Search page: the three viewers (the rich text viewer
// ree, the plain text viewer rtfEntries, the HTML display HTML1), the e-mail and attachment
// panels, the entry navigator (scrNextPrev and its labels), the history buttons and the
// viewers' pop-up menu mnuRtf.
//
// A found file is shown by EntriesDelay (the result list asks for it): the core's
// DocumentPreview empties the temp folder, extracts an archive member, reads the hits,
// opens the document and asks before a large one; the pane then loads the viewers
// (LoadDocumentView), brings the right one to front (ShowCurrentView) and selects the
// first entry. F3/F2 and the scroll bar step through the entries (scrNextPrevScroll); each
// selection is exactly the entry's characters (the core maps the parser's offsets to the
// control's positions).
//
// The view options are Settings values; the pane applies them (chkWordWrapClick and its
// kin) and its menu items change them. Links in HTML1 go through the core's ResolveLink:
// pages load into HTML1, web addresses go to the desktop's browser, scripts never run, and
// images are read from local files only.
//
// The viewer history is the frame's THistory (handed over with setHistory); the pane
// records what it shows and carries out moves back and forward (GoToHistoryItem). A move
// that needs the Search page or the result list goes out as a signal.
//
// Files split by topic: TViewerPane.cpp (controls, menu, options), ViewerPanePreview.cpp
// (showing a file and its entries), ViewerPaneLinks.cpp (links, images, the browser),
// ViewerPaneHistory.cpp, ViewerPanePrint.cpp (printing, the pop-up menu's states).
//
// Owned by the main window, placed into the Search page's splitter, its entry bar below
// it (entryBar); main thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

#include "htmlview/THTMLViewer.h"
#include "viewer/ui/FullWindowView.h"
#include "viewer/ui/TRichEditEx.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollBar;
class QStackedWidget;
class QTextEdit;
class QToolButton;

namespace vellumar {

class DocumentPreview;
class PageHost;
class ProgramTempFolder;
class THistory;
struct LinkContext;
struct THistoryItem;

class TViewerPane : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QFrame* pnlMsg = nullptr;
        QFrame* pnlAttach = nullptr;
        QStackedWidget* viewerStack = nullptr;
        QTextEdit* ree = nullptr;
        TRichEditEx* rtfEntries = nullptr;
        htmlview::THTMLViewer* HTML1 = nullptr;
        QWidget* entryBar = nullptr;
        QLabel* lblEntries0 = nullptr;
        QLabel* lblEntries1 = nullptr;
        QLabel* lblEntries2 = nullptr;
        QLabel* lblEntries3 = nullptr;
        QScrollBar* scrNextPrev = nullptr;
        QFrame* pnlBF = nullptr;
        QToolButton* cmdBack = nullptr;
        QToolButton* cmdForward = nullptr;
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
    };

    explicit TViewerPane(PageHost& host, QWidget* parent = nullptr);
    ~TViewerPane() override;
    // For tests and the pane itself.
    const Controls& controls() const { return ui; }
    // The entry navigator and the history buttons, laid out under the splitter.
    QWidget* entryBar() const { return ui.entryBar; }
    // The shown document; for tests and the benchmark.
    const DocumentPreview* preview() const { return preview_.get(); }

    // ---- Showing a found file (ViewerPanePreview.cpp) ----
    // Loads the preview of a listed file: resultNumber is the engine's result index (page
    // start + row), stamp the page's stamp of the file.
    void EntriesDelay(int resultNumber, const QString& name, quint32 stamp);
    void ShowCurrentView();
    void scrNextPrevScroll(int position);
    // The expression of the last search: history items and the printed heading carry it.
    void setLastQuery(const QString& query);
    QString lastQuery() const { return lastQuery_; }
    // True while the HTML display is in front.
    bool htmlMode() const { return htmlMode_; }
    // The text viewer in use: rtfEntries, or ree for an RTF document with its formatting.
    QWidget* currentTextViewer() const;

    // ---- Links of HTML1 (ViewerPaneLinks.cpp) ----
    void HTML1HotSpotClick(const QString& url);
    void HTML1HotSpotCovered(const QString& url);
    QByteArray HTML1ImageRequest(const QString& source);
    void mnuHtmlBrowserClick();

    // ---- History (ViewerPaneHistory.cpp) ----
    // The frame's history; null: none (nothing is recorded).
    void setHistory(THistory* history);
    // The history's button states (the frame's THistory reports them here).
    void showHistoryButtons(bool backEnabled, bool forwardEnabled);
    void cmdBackClick();
    void cmdForwardClick();
    void GoToHistoryItem(THistoryItem& target, THistoryItem* left);
    // The current history item takes the entry and HTML positions (a search starts).
    void rememberPositions();
    void recordSearchWithoutResults(const QString& query);
    void clearHistory();  // an index went away or was shown afresh

    // ---- Printing and the pop-up menu (ViewerPanePrint.cpp) ----
    void Printfilelist1Click();
    void mnuRtfPopup();  // the items' states and captions before the menu shows

    // ---- Options (TViewerPane.cpp) ----
    void cmdFontClick();
    void cmdBackColorClick();
    // The view options as Settings holds them, applied to the viewers and the menu.
    void chkWordWrapClick();
    void chkRtfPlainClick();
    void chkHtmlSourceClick();
    void chkStayOnClick();
    // The menu items change the setting, then apply it.
    void mnuWordWrapClick();
    void mnuRtfPlainClick();
    void mnuHtmlSourceClick();
    void mnuStayOnClick();
    void mnuFullViewClick();
    void mnuSearchSelWordClick();
    void mnuWithinFoundClick();

    // ---- What the frame and the other pages ask of the pane ----
    void showSettings();    // every view option, with the viewers' fonts and colours
    void applyViewFonts();  // the view font and background on the three viewers
    // The pane's part of EnableSearch / DisableSearch (the frame applies the fonts).
    void enableSearch(bool enabled);
    void clearPreview();  // the pane's part of ClearResults
    // Shutdown: the preview lets go of the viewer's parser set before the core goes.
    void releasePreview();
    // The format filters of the index in use: off, every file is shown as text and the
    // format menu items make no sense.
    void setFormatMenusVisible(bool visible);
    bool formatFiltersInUse() const { return formatFilters_; }
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled

  signals:
    void copyRequested();  // "Copy" of the pop-up menu: the frame's copy command
    // The viewed file changed since it was indexed: the result list shows the modified
    // picture on its item.
    void viewedFileModified();
    // A link took the viewer to a page that is not the listed file.
    void viewedFileLeft();
    // History moves that need the Search page or the result list.
    void historySearchRequested(const QString& query);
    void historyFileRequested(const QString& name);
    void searchSelectedWordRequested(const QString& selectedText);
    void searchWithinFoundRequested(const QString& selectedText);
    // The current result page's file names, top to bottom (for printing and the menu);
    // whoever answers fills `files` (a direct connection).
    void listedFilesWanted(QStringList& files);

  private:
    void build();
    void buildMenu();
    void connectViewer(QWidget* viewer);
    void ensurePreview();
    QStringList listedFiles();
    // ViewerPanePreview.cpp
    bool LoadDocumentView(const QString& listName);
    void loadTextViewers();
    void showFailedPreview();
    void setEntryControlsVisible(bool visible);
    void selectEntry(int i);
    int shownEntryNumber() const;
    void setScrollRange(int count, int position);
    // ViewerPaneLinks.cpp
    LinkContext linkContext() const;
    bool showLinkedPage(const QString& file, const QString& anchor);
    void openOutside(const QString& target);

    PageHost& host_;
    Controls ui;
    QWidget* currentTextViewer_ = nullptr;  // rtfEntries, or ree for rich text
    std::unique_ptr<ProgramTempFolder> temp_;
    std::unique_ptr<DocumentPreview> preview_;
    THistory* history_ = nullptr;
    FullWindowView fullView_;
    QString lastQuery_;
    QString viewedName_;
    quint32 viewedStamp_ = 0;
    bool itemSelected_ = false;  // the viewed file is the result list's selected item
    bool htmlMode_ = false;
    bool formatFilters_ = true;
};

}  // namespace vellumar
