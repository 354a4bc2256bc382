// The text viewers of the preview. TRichEditEx is the plain text viewer rtfEntries: a
// QPlainTextEdit (its layout works block by block, so a 10 MB text loads and scrolls
// quickly) whose selection is read and written as start and length in the control's
// positions, which reach far beyond 64K characters. Setting the start collapses the
// selection there; setting the length keeps the start and moves the end.
//
// The free functions select a range in either viewer (rtfEntries or the rich text viewer
// ree, a QTextEdit) and bring it into view: centred when it lies out of sight, otherwise
// left where it is, so that stepping through entries that share a screen does not jump.
//
// Owned by the viewer pane; main thread only.
#pragma once

#include <QPlainTextEdit>
#include <QTextEdit>

#include <string_view>

namespace vellumar {

class TRichEditEx : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TRichEditEx(QWidget* parent = nullptr);

    qint64 SelStart() const;
    qint64 SelLength() const;
    void SetSelStart(qint64 start);
    void SetSelLength(qint64 length);
    QString SelText() const;

    // Selects [start, start + length) and brings it into view; false when the range lies
    // outside the text (nothing changes then).
    bool SelectRange(qint64 start, qint64 length);

  private:
    // Whether the position is on screen now.
    bool shows(const QTextCursor& at) const;
};

// A document's UTF-8 text as the text viewers take it; a large text has its lines grouped
// into blocks (see DisplayLines.h), which keeps every position where it was.
QString viewerText(std::string_view utf8);

// The same for whichever text viewer is current (rtfEntries or ree).
bool selectTextRange(QWidget* viewer, qint64 start, qint64 length);
// The viewer's selected text (paragraph separators as line feeds), or empty.
QString selectedTextOf(const QWidget* viewer);

}  // namespace vellumar
