// The HTML display: shows HTML pages read from files (the preview's page view, the Cache
// Watcher's pages) with what the program needs of it: the current file and the page's
// base, finding text from a find position without regard to case (selecting it and
// scrolling it into view), the find and scroll positions, named anchors compared without
// regard to case, events for link clicks, for the mouse over a link and for images, a
// page history of its own, and forms the user can fill in and submit.
//
// It never goes to the network: remote images and style sheets are never fetched, and a
// link is only reported (opening a web address is the window's decision). Images come
// from the image request handler (the window resolves them like links); without one, only
// files beside the page are read. Scripts are never run.
//
// Forms: QTextDocument draws no form controls, so each control's place in the page is
// reserved with a placeholder of its size, and a real widget (line edit, button, check
// box, combo box, text box) is laid over it, following the page as it scrolls or is laid
// out again. Pressing a submit button (or Enter in a text field) reports the form's action
// and its fields' names and values.
//
// Ownership: a Qt widget, owned by its parent. Thread: the main thread.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTextBrowser>

#include <functional>
#include <memory>

namespace htmlview {

struct FormSubmission {
    QString action;
    QString method;  // lower case: "get" unless the form says otherwise
    QString target;
    QList<QPair<QString, QString>> fields;  // name and value, in the page's order

    QString value(const QString& name) const;
};

class FormWidgets;

class THTMLViewer : public QTextBrowser {
    Q_OBJECT

  public:
    explicit THTMLViewer(QWidget* parent = nullptr);
    ~THTMLViewer() override;

    // Loads a page; false (and the display unchanged) when the file cannot be read.
    bool LoadFromFile(const QString& file);
    // Shows a page made by the program; it has no file (relative links resolve against
    // baseFile when given) and does not enter the history.
    void LoadFromString(const QString& html, const QString& baseFile = {});
    // Loads the current file again, keeping the scroll position (after a font change).
    bool Reload();
    void Clear();
    QString CurrentFile() const { return currentFile_; }
    // The page's <base href>, or empty.
    QString Base() const { return base_; }
    // A relative link expanded against the page's base, or against the page's file.
    QString HTMLExpandName(const QString& link) const;

    // Finds text from the find position without regard to case, selects it, moves the
    // find position behind it and scrolls it into view: when it lies outside the visible
    // part or within 20 pixels of its bottom, it is centred vertically.
    bool FindText(const QString& text);
    // Selects [start, start + length) of the display's text the same way.
    bool SelectRange(int start, int length);
    int FindPosition() const { return findPosition_; }
    void SetFindPosition(int position) { findPosition_ = position; }
    // The text in display positions (QTextDocument::toPlainText).
    QString PlainText() const;
    QString SelText() const;

    int ScrollPosition() const;
    void SetScrollPosition(int position);
    // Scrolls the named anchor to the top ("#" in front is dropped; names compare without
    // regard to case). False when the page has no such anchor.
    bool PositionTo(const QString& anchor);

    void SetDefaultFont(const QFont& font);
    void SetDefaultFontColor(const QColor& color);
    void SetDefaultBackground(const QColor& color);
    QString DefFontName() const { return font().family(); }
    int DefFontSize() const { return font().pointSize(); }
    QColor DefFontColor() const;
    QColor DefBackground() const;
    // Images off: no image is requested; pages show empty space instead.
    void SetViewImages(bool view) { viewImages_ = view; }

    // The page history: the newest file first, at most HistoryMaxCount (0: none).
    void SetHistoryMaxCount(int count);
    int HistoryMaxCount() const { return historyMax_; }
    QStringList History() const;
    int HistoryIndex() const { return historyIndex_; }
    // Shows the history's page `index` at the scroll position it was left at.
    void SetHistoryIndex(int index);
    void ClearHistory();

    // A link was clicked: the handler gets the link as written and returns whether it
    // took care of it. Unhandled, an anchor is scrolled to and a local page loaded.
    void SetHotSpotClickHandler(std::function<bool(const QString& url)> handler) {
        hotSpotClick_ = std::move(handler);
    }
    // An image is wanted: the handler gets its source as written and returns its bytes
    // (empty: no image).
    void SetImageRequestHandler(std::function<QByteArray(const QString& source)> handler) {
        imageRequest_ = std::move(handler);
    }

  signals:
    // The mouse entered a link (its address as written), or left it (empty).
    void hotSpotCovered(const QString& url);
    void formSubmitted(const htmlview::FormSubmission& submission);
    void historyChanged();

  protected:
    QVariant loadResource(int type, const QUrl& name) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool readPage(const QString& file, QString& html) const;
    void showPage(const QString& html, const QString& file);
    void linkActivated(const QUrl& url);
    void applySelection(const QTextCursor& cursor);
    void addToHistory(const QString& file, int leavingScroll);
    QString localFileFor(const QString& link) const;
    void layOutWhole();

    QString currentFile_;
    QString stringBase_;  // where a page given as a string resolves its links
    QString base_;
    int findPosition_ = 0;
    bool viewImages_ = true;
    QString pressedAnchor_;
    QString coveredAnchor_;
    std::function<bool(const QString&)> hotSpotClick_;
    std::function<QByteArray(const QString&)> imageRequest_;
    std::unique_ptr<FormWidgets> forms_;

    struct HistoryEntry {
        QString file;
        int scroll = 0;
    };
    QList<HistoryEntry> history_;
    int historyMax_ = 0;
    int historyIndex_ = -1;
};

}  // namespace htmlview
