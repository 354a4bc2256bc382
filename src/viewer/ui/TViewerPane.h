// TViewerPane: the preview of the Search page: the three viewers (the rich text viewer
// ree, the plain text viewer rtfEntries, the HTML display HTML1), the e-mail and attachment
// panels, the entry navigator (scrNextPrev and its labels), the history buttons and the
// viewers' pop-up menu. The view options are Settings values; the pane applies them
// (chkWordWrapClick and its kin) and its menu items change them. Showing a document,
// stepping through entries and the history are empty hooks until the viewer lands.
//
// Owned by the main window, placed into the Search page's splitter, its entry bar below
// it (entryBar); main thread only.
#pragma once

#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollBar;
class QStackedWidget;
class QTextBrowser;
class QTextEdit;
class QToolButton;

namespace vellumar {

class PageHost;

class TViewerPane : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QFrame* pnlMsg = nullptr;
        QFrame* pnlAttach = nullptr;
        QStackedWidget* viewerStack = nullptr;
        QTextEdit* ree = nullptr;
        QTextEdit* rtfEntries = nullptr;
        QTextBrowser* HTML1 = nullptr;
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
    // For tests and the pane itself.
    const Controls& controls() const { return ui; }
    // The entry navigator and the history buttons, laid out under the splitter.
    QWidget* entryBar() const { return ui.entryBar; }

    // ---- Handlers ----
    void scrNextPrevScroll(int position);
    void cmdBackClick();
    void cmdForwardClick();
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
    void mnuSearchSelWordClick();
    void mnuWithinFoundClick();

    // ---- What the frame and the other pages ask of the pane ----
    void showSettings();    // every view option, with the viewers' fonts and colours
    void applyViewFonts();  // the view font and background on the three viewers
    // The pane's part of EnableSearch / DisableSearch (the frame applies the fonts).
    void enableSearch(bool enabled);
    void clearPreview();  // the pane's part of ClearResults
    void clearHistory();  // an index went away or was shown afresh
    // The format filters of the index in use: off, the format menu items make no sense.
    void setFormatMenusVisible(bool visible);
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);  // true when handled

  signals:
    void copyRequested();  // "Copy" of the pop-up menu: the frame's copy command

  private:
    void build();
    void buildMenu();

    PageHost& host_;
    Controls ui;
    QTextEdit* currentTextViewer_ = nullptr;  // rtfEntries, or ree for rich text
};

}  // namespace vellumar
