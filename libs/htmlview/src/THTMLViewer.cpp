#include "htmlview/THTMLViewer.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QUrl>

#include "FormWidgets.h"
#include "HtmlScan.h"

namespace htmlview {

namespace {

// Space that is not drawn: for placeholders, images off and images that cannot be had.
// Never a null value, which would make QTextDocument look for the file itself.
QImage emptyImage() {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

constexpr int kBottomMargin = 20;

}  // namespace

QString FormSubmission::value(const QString& name) const {
    for (const auto& field : fields)
        if (field.first == name) return field.second;
    return {};
}

THTMLViewer::THTMLViewer(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setMouseTracking(true);
    forms_ = std::make_unique<FormWidgets>(
        *this, [this](const FormSubmission& submission) { emit formSubmitted(submission); });
    connect(this, &QTextBrowser::anchorClicked, this, &THTMLViewer::linkActivated);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] {
                if (forms_) forms_->place();
            });
}

THTMLViewer::~THTMLViewer() {
    // The document outlives this part of the object; its layout must not reach the forms.
    disconnect(document()->documentLayout(), nullptr, this, nullptr);
}

bool THTMLViewer::readPage(const QString& file, QString& html) const {
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly)) return false;
    html = DecodePage(in.readAll());
    return in.error() == QFileDevice::NoError;
}

void THTMLViewer::showPage(const QString& html, const QString& file) {
    currentFile_ = file;
    base_ = BaseOf(html);
    const ScannedPage page =
        ScanForms(html, [this](const FieldInfo& field) { return forms_->sizeOf(field); });
    forms_->clear();
    setHtml(page.html);
    findPosition_ = 0;
    forms_->create(page);
}

bool THTMLViewer::LoadFromFile(const QString& file) {
    QString html;
    if (!readPage(file, html)) return false;
    const int leaving = ScrollPosition();
    stringBase_.clear();
    showPage(html, QFileInfo(file).absoluteFilePath());
    addToHistory(currentFile_, leaving);
    return true;
}

void THTMLViewer::LoadFromString(const QString& html, const QString& baseFile) {
    stringBase_ = baseFile;
    showPage(html, {});
}

bool THTMLViewer::Reload() {
    if (currentFile_.isEmpty()) return false;
    QString html;
    if (!readPage(currentFile_, html)) return false;
    const int scroll = ScrollPosition();
    showPage(html, currentFile_);
    SetScrollPosition(scroll);
    return true;
}

void THTMLViewer::Clear() {
    forms_->clear();
    clear();
    currentFile_.clear();
    stringBase_.clear();
    base_.clear();
    findPosition_ = 0;
}

QString THTMLViewer::HTMLExpandName(const QString& link) const {
    QUrl base;
    if (!base_.isEmpty() && base_ != QLatin1String("DosPath"))
        base = QUrl(base_);
    else if (!currentFile_.isEmpty() || !stringBase_.isEmpty())
        base = QUrl::fromLocalFile(currentFile_.isEmpty() ? stringBase_ : currentFile_);
    const QUrl expanded = base.resolved(QUrl(link));
    return expanded.isLocalFile() ? expanded.toLocalFile() : expanded.toString();
}

QString THTMLViewer::localFileFor(const QString& link) const {
    const QUrl url(link);
    if (!url.scheme().isEmpty() && !url.isLocalFile()) return {};
    if (url.isLocalFile()) return url.toLocalFile();
    if (currentFile_.isEmpty() && stringBase_.isEmpty()) return {};
    const QUrl page = QUrl::fromLocalFile(currentFile_.isEmpty() ? stringBase_ : currentFile_);
    const QUrl resolved = page.resolved(url);
    return resolved.isLocalFile() ? resolved.toLocalFile() : QString();
}

QVariant THTMLViewer::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource) {
        if (name.scheme() == QLatin1String(kFieldScheme) || !viewImages_) return emptyImage();
        QByteArray data;
        if (imageRequest_) {
            data = imageRequest_(name.toString());
        } else if (const QString file = localFileFor(name.toString()); !file.isEmpty()) {
            QFile in(file);
            if (in.open(QIODevice::ReadOnly)) data = in.readAll();
        }
        QImage image;
        if (!data.isEmpty() && image.loadFromData(data)) return image;
        return emptyImage();
    }
    if (type == QTextDocument::StyleSheetResource) {
        // Style sheets beside the page only; a remote one is never fetched.
        if (const QString file = localFileFor(name.toString()); !file.isEmpty()) {
            QFile in(file);
            if (in.open(QIODevice::ReadOnly)) return DecodePage(in.readAll());
        }
        return QString(QLatin1String(""));
    }
    return QByteArray("");
}

void THTMLViewer::linkActivated(const QUrl& url) {
    // The link as written, not as QUrl rewrote it.
    const QString link = pressedAnchor_.isEmpty() ? url.toString() : pressedAnchor_;
    pressedAnchor_.clear();
    if (hotSpotClick_ && hotSpotClick_(link)) return;
    if (link.startsWith('#')) {
        PositionTo(link);
        return;
    }
    const QString file = localFileFor(link);
    if (!file.isEmpty() && QFileInfo(file).isFile() && LoadFromFile(file)) {
        const QString fragment = QUrl(link).fragment();
        if (!fragment.isEmpty()) PositionTo(fragment);
    }
}

void THTMLViewer::mousePressEvent(QMouseEvent* event) {
    pressedAnchor_ = anchorAt(event->position().toPoint());
    QTextBrowser::mousePressEvent(event);
}

void THTMLViewer::mouseMoveEvent(QMouseEvent* event) {
    const QString anchor = anchorAt(event->position().toPoint());
    if (anchor != coveredAnchor_) {
        coveredAnchor_ = anchor;
        emit hotSpotCovered(anchor);
    }
    QTextBrowser::mouseMoveEvent(event);
}

void THTMLViewer::leaveEvent(QEvent* event) {
    if (!coveredAnchor_.isEmpty()) {
        coveredAnchor_.clear();
        emit hotSpotCovered({});
    }
    QTextBrowser::leaveEvent(event);
}

void THTMLViewer::keyPressEvent(QKeyEvent* event) {
    pressedAnchor_.clear();  // a link opened from the keyboard comes without a press
    QTextBrowser::keyPressEvent(event);
}

void THTMLViewer::scrollContentsBy(int dx, int dy) {
    QTextBrowser::scrollContentsBy(dx, dy);
    forms_->place();
}

void THTMLViewer::resizeEvent(QResizeEvent* event) {
    QTextBrowser::resizeEvent(event);
    forms_->place();
}

void THTMLViewer::applySelection(const QTextCursor& cursor) {
    QTextCursor start(document());
    start.setPosition(cursor.selectionStart());
    QTextCursor end(document());
    end.setPosition(cursor.selectionEnd());
    // Decided before the selection scrolls anything itself.
    const QRect rect = cursorRect(start).united(cursorRect(end));
    const int height = viewport()->height();
    const bool centre = rect.top() < 0 || rect.bottom() > height - kBottomMargin;
    const int scroll = verticalScrollBar()->value();
    setTextCursor(cursor);
    verticalScrollBar()->setValue(centre ? scroll + rect.center().y() - height / 2 : scroll);
    findPosition_ = cursor.selectionEnd();
}

bool THTMLViewer::FindText(const QString& text) {
    if (text.isEmpty()) return false;
    const QTextCursor found = document()->find(text, findPosition_);
    if (found.isNull()) return false;
    applySelection(found);
    return true;
}

bool THTMLViewer::SelectRange(int start, int length) {
    const int last = document()->characterCount() - 1;
    if (start < 0 || length < 0 || start + length > last) return false;
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    applySelection(cursor);
    return true;
}

QString THTMLViewer::PlainText() const { return document()->toPlainText(); }

QString THTMLViewer::SelText() const { return textCursor().selection().toPlainText(); }

int THTMLViewer::ScrollPosition() const { return verticalScrollBar()->value(); }

void THTMLViewer::layOutWhole() {
    // A fresh page is laid out lazily; the scroll range grows with the layout. Asking for
    // the last block's place lays the page out to its end (and the range follows).
    document()->documentLayout()->blockBoundingRect(document()->lastBlock());
}

void THTMLViewer::SetScrollPosition(int position) {
    layOutWhole();
    verticalScrollBar()->setValue(position);
}

bool THTMLViewer::PositionTo(const QString& anchor) {
    const QString wanted = (anchor.startsWith('#') ? anchor.mid(1) : anchor).toUpper();
    if (wanted.isEmpty()) return false;
    const auto named = [&wanted](const QTextCharFormat& format) {
        for (const QString& name : format.anchorNames())
            if (name.toUpper() == wanted) return true;
        return false;
    };
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        // An empty anchor (<a name="x"></a>, as most pages write them) names the block
        // that follows it; an anchor around text names its fragment.
        int position = named(block.charFormat()) ? block.position() : -1;
        for (auto it = block.begin(); position < 0 && !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor() && named(it.fragment().charFormat()))
                position = it.fragment().position();
        if (position < 0) continue;
        QTextCursor cursor(document());
        cursor.setPosition(position);
        layOutWhole();
        verticalScrollBar()->setValue(verticalScrollBar()->value() + cursorRect(cursor).top());
        return true;
    }
    return false;
}

void THTMLViewer::SetDefaultFont(const QFont& font) {
    setFont(font);
    document()->setDefaultFont(font);
}

void THTMLViewer::SetDefaultFontColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Text, color);
    setPalette(colours);
}

void THTMLViewer::SetDefaultBackground(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, color);
    setPalette(colours);
}

QColor THTMLViewer::DefFontColor() const { return palette().color(QPalette::Text); }

QColor THTMLViewer::DefBackground() const { return palette().color(QPalette::Base); }

void THTMLViewer::SetHistoryMaxCount(int count) {
    historyMax_ = std::max(0, count);
    if (history_.size() > historyMax_) {
        history_ = history_.mid(0, historyMax_);
        historyIndex_ = std::min<int>(historyIndex_, history_.size() - 1);
        emit historyChanged();
    }
}

QStringList THTMLViewer::History() const {
    QStringList files;
    for (const HistoryEntry& entry : history_) files.append(entry.file);
    return files;
}

void THTMLViewer::addToHistory(const QString& file, int leavingScroll) {
    if (historyMax_ <= 0) return;
    if (historyIndex_ >= 0 && historyIndex_ < history_.size())
        history_[historyIndex_].scroll = leavingScroll;
    // Pages after the one shown (reached by going back) give way to the new one.
    if (historyIndex_ > 0) history_ = history_.mid(historyIndex_);
    history_.prepend({file, 0});
    while (history_.size() > historyMax_) history_.removeLast();
    historyIndex_ = 0;
    emit historyChanged();
}

void THTMLViewer::SetHistoryIndex(int index) {
    if (index < 0 || index >= history_.size() || index == historyIndex_) return;
    QString html;
    if (!readPage(history_[index].file, html)) return;
    if (historyIndex_ >= 0 && historyIndex_ < history_.size())
        history_[historyIndex_].scroll = ScrollPosition();
    stringBase_.clear();
    showPage(html, history_[index].file);
    SetScrollPosition(history_[index].scroll);
    historyIndex_ = index;
    emit historyChanged();
}

void THTMLViewer::ClearHistory() {
    history_.clear();
    historyIndex_ = -1;
    emit historyChanged();
}

}  // namespace htmlview
