#include "viewer/ui/TRichEditEx.h"

#include "viewer/DisplayLines.h"

#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace vellumar {

namespace {

qint64 lastPosition(const QTextDocument& document) {
    return std::max(0, document.characterCount() - 1);
}

QTextCursor rangeCursor(QTextDocument* document, qint64 start, qint64 length) {
    QTextCursor cursor(document);
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
    return cursor;
}

bool inView(const QRect& rect, const QWidget* viewport) {
    return rect.top() >= 0 && rect.bottom() <= viewport->height();
}

QString plainSelection(const QTextCursor& cursor) {
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace

TRichEditEx::TRichEditEx(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // The selection of an entry stays visible while another control has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

qint64 TRichEditEx::SelStart() const { return textCursor().selectionStart(); }

qint64 TRichEditEx::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEditEx::SetSelStart(qint64 start) {
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(std::clamp<qint64>(start, 0, lastPosition(*document()))));
    setTextCursor(cursor);
}

void TRichEditEx::SetSelLength(qint64 length) {
    const qint64 start = SelStart();
    const qint64 end = std::clamp<qint64>(start + length, 0, lastPosition(*document()));
    setTextCursor(rangeCursor(document(), start, end - start));
}

QString TRichEditEx::SelText() const { return plainSelection(textCursor()); }

bool TRichEditEx::SelectRange(qint64 start, qint64 length) {
    if (start < 0 || length < 0 || start + length > lastPosition(*document())) return false;
    QTextCursor begin(document());
    begin.setPosition(static_cast<int>(start));
    QTextCursor end(document());
    end.setPosition(static_cast<int>(start + length));
    // Decided before selecting: selecting scrolls the entry just into view, at the edge.
    const bool shown = shows(begin) && shows(end);
    setTextCursor(rangeCursor(document(), start, length));
    if (!shown) {
        // Centre the entry's start; a long phrase shows from its beginning.
        QTextCursor keep = textCursor();
        setTextCursor(begin);
        centerCursor();
        setTextCursor(keep);
    }
    return true;
}

bool TRichEditEx::shows(const QTextCursor& at) const {
    // Only blocks on screen are measured: the geometry of a block far away is found by
    // laying out every block up to it.
    const int block = at.blockNumber();
    const int bottom = cursorForPosition(QPoint(0, viewport()->height() - 1)).blockNumber();
    if (block < firstVisibleBlock().blockNumber() || block > bottom) return false;
    return inView(cursorRect(at), viewport());
}

QString viewerText(std::string_view utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (static_cast<std::size_t>(text.size()) >= kGroupLinesFrom) {
        const std::size_t length = groupDisplayLines(reinterpret_cast<char16_t*>(text.data()),
                                                     static_cast<std::size_t>(text.size()));
        text.truncate(static_cast<qsizetype>(length));
    }
    return text;
}

bool selectTextRange(QWidget* viewer, qint64 start, qint64 length) {
    if (auto* plain = qobject_cast<TRichEditEx*>(viewer)) return plain->SelectRange(start, length);
    auto* rich = qobject_cast<QTextEdit*>(viewer);
    if (!rich || start < 0 || length < 0 || start + length > lastPosition(*rich->document()))
        return false;
    QTextCursor begin(rich->document());
    begin.setPosition(static_cast<int>(start));
    const bool visible = inView(rich->cursorRect(begin), rich->viewport());
    rich->setTextCursor(rangeCursor(rich->document(), start, length));
    if (!visible) {
        const QRect rect = rich->cursorRect(begin);
        QScrollBar* bar = rich->verticalScrollBar();
        bar->setValue(bar->value() + rect.center().y() - rich->viewport()->height() / 2);
    }
    return true;
}

QString selectedTextOf(const QWidget* viewer) {
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(viewer))
        return plainSelection(plain->textCursor());
    if (auto* rich = qobject_cast<const QTextEdit*>(viewer))
        return plainSelection(rich->textCursor());
    return {};
}

}  // namespace vellumar
