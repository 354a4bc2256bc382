// TViewerPane: showing a found file with its entries, the viewer in front, stepping from
// entry to entry.
#include "viewer/ui/TViewerPane.h"

#include "htmlview/THTMLViewer.h"
#include "index/IndexingCore.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "viewer/DocumentPreview.h"
#include "viewer/THistory.h"
#include "viewer/ViewerModes.h"
#include "viewer/ui/TRichEditEx.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <exception>

namespace vellumar {

namespace {

const QString kCannotOpen = QStringLiteral("Can't open the file ");

// The RTF reader's formatting laid over the text in the rich viewer. Text in the
// document's default size keeps the viewer's font size.
void applyRtfRuns(QTextEdit& viewer, const std::string& text,
                  const std::vector<wordmill::RtfRun>& runs) {
    constexpr int kDefaultHalfPoints = 24;
    DisplayPositions positions(text);
    QTextCursor cursor(viewer.document());
    cursor.beginEditBlock();
    for (const wordmill::RtfRun& run : runs) {
        if (!run.bold && !run.italic && !run.underline &&
            run.fontSizeHalfPoints == kDefaultHalfPoints)
            continue;
        QTextCharFormat format;
        if (run.bold) format.setFontWeight(QFont::Bold);
        if (run.italic) format.setFontItalic(true);
        if (run.underline) format.setFontUnderline(true);
        if (run.fontSizeHalfPoints != kDefaultHalfPoints && run.fontSizeHalfPoints > 0)
            format.setFontPointSize(run.fontSizeHalfPoints / 2.0);
        const auto start = positions.ToDisplay(static_cast<std::int64_t>(run.start));
        const auto end = positions.ToDisplay(static_cast<std::int64_t>(run.start + run.length));
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

}  // namespace

void TViewerPane::setLastQuery(const QString& query) { lastQuery_ = query; }

void TViewerPane::EntriesDelay(int resultNumber, const QString& name, quint32 stamp) {
    ensurePreview();
    IndexingCore* core = host_.core();
    if (!preview_ || !core) return;
    const bool navigating = history_ && history_->Navigating();
    // The item the user leaves keeps the place reached, before anything changes.
    if (history_ && !navigating)
        history_->RecordPositions(ui.scrNextPrev->value(), ui.HTML1->ScrollPosition());

    CursorScope busy(CursorShape::Hourglass);
    PreviewRequest request;
    request.listName = name.toStdString();
    const int opened = core->catalogue.opened();
    request.index = opened >= 0 ? core->catalogue.object(opened) : nullptr;
    request.resultNumber = resultNumber;
    request.stamp = stamp;
    request.rawText = !formatFilters_;
    request.sizeLimitText = host_.settings().warnFileSizeKB;
    viewedName_ = name;
    viewedStamp_ = stamp;
    itemSelected_ = !name.isEmpty();
    const PreviewStatus status = preview_->Load(request);
    if (status == PreviewStatus::NothingListed) return;
    if (status != PreviewStatus::Shown) {
        // The message (if any) was shown; the viewers must not keep the file before.
        showFailedPreview();
        return;
    }
    if (history_ && !navigating)
        history_->Record({lastQuery_.toStdString(), 1, name.toStdString()});

    try {
        if (!LoadDocumentView(name)) {
            showFailedPreview();
            return;
        }
        // The new document's entry is chosen below; an old number must not be located.
        ui.lblEntries1->clear();
        ShowCurrentView();
    } catch (const std::exception&) {
        showFailedPreview();
        showMessageBox(kCannotOpen, MessageIcon::Warning);
        return;
    }

    const int count = static_cast<int>(preview_->HitCount());
    const bool modified = preview_->Modified();
    if (count > 0) {
        int start = 0;
        if (navigating && history_->Current())
            start = std::clamp(history_->Current()->entryPosition, 0, count - 1);
        ui.lblEntries2->setText(QStringLiteral("/"));
        ui.lblEntries3->setText(QString::number(count));
        setScrollRange(count, start);
        setEntryControlsVisible(true);
        scrNextPrevScroll(start);
    } else {
        ui.scrNextPrev->hide();
        const EntryLabels labels = entryLabelsFor(0, 0, modified);
        ui.lblEntries1->setText(QString::fromStdString(labels.number));
        ui.lblEntries2->clear();
        ui.lblEntries3->clear();
        ui.lblEntries1->show();
    }
    if (modified) emit viewedFileModified();
}

bool TViewerPane::LoadDocumentView(const QString& listName) {
    Q_UNUSED(listName);  // the preview decided the kind from the same name
    const QString file = QString::fromStdString(preview_->FileToShow().string());
    if (formatFilters_ && preview_->IsHtml()) {
        if (!ui.HTML1->LoadFromFile(file)) {
            showMessageBox(kCannotOpen + file, MessageIcon::Warning);
            return false;
        }
        if (history_ && history_->Navigating() && history_->Current())
            ui.HTML1->SetScrollPosition(history_->Current()->htmlPosition);
        preview_->SetHtmlDisplayText(ui.HTML1->PlainText().toStdU16String());
    } else {
        ui.HTML1->Clear();  // a large page must not stay in memory behind a text
    }
    loadTextViewers();
    return true;
}

void TViewerPane::loadTextViewers() {
    const TextViewer kind =
        textViewerFor(preview_->Kind(), formatFilters_, host_.settings().rtfAsPlain);
    // The text the parser numbered, so that its offsets are the viewer's positions.
    const QString text = viewerText(preview_->Text());
    if (kind == TextViewer::Rich) {
        ui.rtfEntries->clear();
        ui.ree->setPlainText(text);
        applyRtfRuns(*ui.ree, preview_->Text(), preview_->RtfRuns());
        currentTextViewer_ = ui.ree;
    } else {
        ui.ree->clear();
        ui.rtfEntries->setPlainText(text);
        currentTextViewer_ = ui.rtfEntries;
    }
    for (QWidget* viewer : std::initializer_list<QWidget*>{ui.ree, ui.rtfEntries})
        setHint(viewer, QString());
}

void TViewerPane::showFailedPreview() {
    if (preview_) preview_->Clear();
    for (QLabel* label : {ui.lblEntries1, ui.lblEntries2, ui.lblEntries3}) label->clear();
    ui.scrNextPrev->hide();
    ui.ree->clear();
    ui.rtfEntries->clear();
    for (QWidget* viewer : std::initializer_list<QWidget*>{ui.ree, ui.rtfEntries})
        setHint(viewer, QString());
    ui.HTML1->Clear();
    host_.setStatusText(QString());
}

void TViewerPane::setEntryControlsVisible(bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui.scrNextPrev, ui.lblEntries1,
                                                      ui.lblEntries2, ui.lblEntries3})
        w->setVisible(visible);
}

void TViewerPane::setScrollRange(int count, int position) {
    const QSignalBlocker quiet(ui.scrNextPrev);
    ui.scrNextPrev->setRange(0, count - 1);
    ui.scrNextPrev->setValue(position);
}

int TViewerPane::shownEntryNumber() const {
    bool number = false;
    const int shown = ui.lblEntries1->text().toInt(&number);
    return number ? shown : 0;
}

void TViewerPane::selectEntry(int i) {
    if (!preview_ || !preview_->IsShown() || i < 0 || i >= static_cast<int>(preview_->HitCount()))
        return;
    const auto entry = static_cast<std::size_t>(i);
    // An entry without a place (no position, or gone from a changed file) selects nothing
    // and leaves the view where it is.
    if (htmlMode_) {
        if (const auto range = preview_->HtmlSelectionOf(entry))
            ui.HTML1->SelectRange(static_cast<int>(range->start), static_cast<int>(range->length));
    } else if (const auto range = preview_->TextSelectionOf(entry)) {
        selectTextRange(currentTextViewer_, range->start, range->length);
    }
}

void TViewerPane::ShowCurrentView() {
    const bool shown = preview_ && preview_->IsShown() && itemSelected_;
    ViewState state;
    state.formatFiltersInUse = formatFilters_;
    state.isHtmlItem = shown && preview_->IsHtml();
    state.itemSelected = itemSelected_;
    state.htmlAsSource = host_.settings().htmlAsSource;
    const int number = shownEntryNumber();
    state.hasEntryNumber = number > 0;
    const ViewChoice choice = chooseView(state);
    const bool entries = shown && preview_->HitCount() > 0;
    if (choice.htmlInFront) {
        ui.viewerStack->setCurrentWidget(ui.HTML1);
        htmlMode_ = true;
        setEntryControlsVisible(choice.entryControlsVisible && entries);
    } else {
        ui.viewerStack->setCurrentWidget(currentTextViewer_);
        htmlMode_ = false;
        if (choice.selectEntry && entries) setEntryControlsVisible(true);
    }
    if (choice.selectEntry && entries) selectEntry(number - 1);
}

void TViewerPane::scrNextPrevScroll(int position) {
    // Only the listed file's own entries: after a link the bar has nothing to show.
    if (!preview_ || !preview_->IsShown() || !itemSelected_) return;
    if (position < 0 || position >= static_cast<int>(preview_->HitCount())) return;
    if (preview_->IsFileModified(viewedStamp_)) emit viewedFileModified();
    ui.lblEntries1->setText(QString::number(position + 1));
    selectEntry(position);
}

}  // namespace vellumar
