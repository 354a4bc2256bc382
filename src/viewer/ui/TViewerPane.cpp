// TViewerPane: its controls, the pop-up menu and the view options.
#include "viewer/ui/TViewerPane.h"

#include "htmlview/THTMLViewer.h"
#include "index/IndexingCore.h"
#include "platform/ProgramSetup.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "viewer/DocumentPreview.h"
#include "viewer/THistory.h"
#include "viewer/ui/TRichEditEx.h"
#include "viewer/ui/ViewColors.h"

#include <QAction>
#include <QColorDialog>
#include <QFontDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vellumar {

TViewerPane::TViewerPane(PageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("pnlViewer"));
    build();
    buildMenu();
    currentTextViewer_ = ui.rtfEntries;
}

TViewerPane::~TViewerPane() = default;

void TViewerPane::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ui.pnlMsg = named(new QFrame(this), "pnlMsg");
    ui.pnlAttach = named(new QFrame(this), "pnlAttach");
    // The e-mail header and attachment panels are collapsed until a message is shown.
    ui.pnlMsg->setFixedHeight(0);
    ui.pnlAttach->setFixedHeight(0);
    layout->addWidget(ui.pnlMsg);
    layout->addWidget(ui.pnlAttach);
    ui.viewerStack = named(new QStackedWidget(this), "viewerStack");
    ui.ree = named(new QTextEdit(ui.viewerStack), "ree");
    ui.ree->setReadOnly(true);
    ui.ree->setUndoRedoEnabled(false);
    {
        // Like rtfEntries, ree keeps its selection visible while unfocused.
        QPalette colours = ui.ree->palette();
        colours.setColor(QPalette::Inactive, QPalette::Highlight,
                         colours.color(QPalette::Active, QPalette::Highlight));
        colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         colours.color(QPalette::Active, QPalette::HighlightedText));
        ui.ree->setPalette(colours);
    }
    ui.rtfEntries = named(new TRichEditEx(ui.viewerStack), "rtfEntries");
    ui.rtfEntries->setLineWrapMode(QPlainTextEdit::NoWrap);
    ui.HTML1 = named(new htmlview::THTMLViewer(ui.viewerStack), "HTML1");
    ui.HTML1->SetHotSpotClickHandler([this](const QString& url) {
        HTML1HotSpotClick(url);
        return true;  // the pane takes care of every link
    });
    ui.HTML1->SetImageRequestHandler(
        [this](const QString& source) { return HTML1ImageRequest(source); });
    connect(ui.HTML1, &htmlview::THTMLViewer::hotSpotCovered, this,
            &TViewerPane::HTML1HotSpotCovered);
    ui.viewerStack->addWidget(ui.ree);
    ui.viewerStack->addWidget(ui.rtfEntries);
    ui.viewerStack->addWidget(ui.HTML1);
    ui.viewerStack->setCurrentWidget(ui.rtfEntries);
    layout->addWidget(ui.viewerStack, 1);

    // The entry navigator and the history buttons.
    ui.entryBar = named(new QWidget(this), "pnlEntries");  // the frame lays it out
    auto* bottom = new QHBoxLayout(ui.entryBar);
    bottom->setContentsMargins(0, 0, 0, 0);
    QWidget* bar = ui.entryBar;
    ui.lblEntries0 = makeLabel(bar, "lblEntries0", QStringLiteral("Entries found:"));
    ui.lblEntries1 = makeLabel(bar, "lblEntries1", QString());
    ui.lblEntries2 = makeLabel(bar, "lblEntries2", QString());
    ui.lblEntries3 = makeLabel(bar, "lblEntries3", QString());
    ui.scrNextPrev =
        named(new QScrollBar(Qt::Horizontal, bar), "scrNextPrev",
              QStringLiteral("Navigate through the found entries: F3 - forward, F2 - backward"));
    ui.scrNextPrev->setRange(0, 0);
    // Dragging the thumb shows the entry number; the entry is located when it is let go,
    // so a drag across thousands of entries does not read the document for each.
    ui.scrNextPrev->setTracking(false);
    ui.scrNextPrev->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lblEntries0, ui.lblEntries1,
                                                      ui.lblEntries2, ui.lblEntries3})
        bottom->addWidget(w);
    bottom->addWidget(ui.scrNextPrev, 1);
    ui.pnlBF = named(new QFrame(bar), "pnlBF");
    auto* bf = new QHBoxLayout(ui.pnlBF);
    bf->setContentsMargins(0, 0, 0, 0);
    ui.cmdBack = makeToolButton(
        ui.pnlBF, "cmdBack", style()->standardIcon(QStyle::SP_ArrowBack),
        QStringLiteral("Go back through the history of search queries, resultant file "
                       "clicks and html jumps: F4"));
    ui.cmdForward =
        makeToolButton(ui.pnlBF, "cmdForward", style()->standardIcon(QStyle::SP_ArrowForward),
                       QStringLiteral("Go forward through the history of search queries, resultant "
                                      "file clicks and html jumps: F5"));
    ui.cmdBack->setEnabled(false);
    ui.cmdForward->setEnabled(false);
    bf->addWidget(ui.cmdBack);
    bf->addWidget(ui.cmdForward);
    bottom->addStretch(0);
    bottom->addWidget(ui.pnlBF);

    connect(ui.scrNextPrev, &QScrollBar::valueChanged, this, &TViewerPane::scrNextPrevScroll);
    connect(ui.scrNextPrev, &QScrollBar::sliderMoved, this,
            [this](int position) { ui.lblEntries1->setText(QString::number(position + 1)); });
    connect(ui.cmdBack, &QToolButton::clicked, this, &TViewerPane::cmdBackClick);
    connect(ui.cmdForward, &QToolButton::clicked, this, &TViewerPane::cmdForwardClick);
}

void TViewerPane::buildMenu() {
    ui.mnuRtf = named(new QMenu(this), "mnuRtf");
    QMenu* menu = ui.mnuRtf;
    ui.mnuSearchSelWord = menu->addAction(QStringLiteral("Search for Selected Word     Ctrl+S"));
    ui.mnuWithinFound = menu->addAction(QStringLiteral("Search among Files Found"));
    menu->addSeparator();
    ui.mnuCopy = menu->addAction(QStringLiteral("Copy"));
    ui.Printfilelist1 = menu->addAction(QStringLiteral("Print file list"));
    ui.mnuPrintSelected = menu->addAction(QStringLiteral("Print selected text"));
    ui.mnuPrintSelected->setEnabled(false);
    ui.mnuExportAsText = menu->addAction(QStringLiteral("Export File As Text"));
    ui.mnuExportAsText->setVisible(false);
    menu->addSeparator();
    ui.mnuFont = menu->addAction(QStringLiteral("Font..."));
    ui.mnuBackColor = menu->addAction(QStringLiteral("Background Color..."));
    ui.mnuWordWrap = menu->addAction(QStringLiteral("Word Wrap"));
    ui.mnuRtfPlain = menu->addAction(QStringLiteral("View RTF as Plain Text"));
    ui.mnuHtmlSource = menu->addAction(QStringLiteral("View HTML as Source"));
    ui.mnuHtmlBrowser = menu->addAction(QStringLiteral("Load HTML into Browser"));
    ui.mnuStayOn = menu->addAction(QStringLiteral("Stay on Previously Viewed"));
    ui.mnuFullView = menu->addAction(QStringLiteral("Full Window View"));
    for (QAction* a :
         {ui.mnuWordWrap, ui.mnuRtfPlain, ui.mnuHtmlSource, ui.mnuStayOn, ui.mnuFullView})
        a->setCheckable(true);
    ui.mnuWordWrap->setChecked(true);
    ui.mnuRtfPlain->setChecked(true);
    ui.mnuStayOn->setChecked(true);

    connect(menu, &QMenu::aboutToShow, this, &TViewerPane::mnuRtfPopup);
    connect(ui.mnuSearchSelWord, &QAction::triggered, this, &TViewerPane::mnuSearchSelWordClick);
    connect(ui.mnuWithinFound, &QAction::triggered, this, &TViewerPane::mnuWithinFoundClick);
    connect(ui.mnuCopy, &QAction::triggered, this, &TViewerPane::copyRequested);
    connect(ui.Printfilelist1, &QAction::triggered, this, &TViewerPane::Printfilelist1Click);
    connect(ui.mnuFont, &QAction::triggered, this, &TViewerPane::cmdFontClick);
    connect(ui.mnuBackColor, &QAction::triggered, this, &TViewerPane::cmdBackColorClick);
    connect(ui.mnuWordWrap, &QAction::triggered, this, &TViewerPane::mnuWordWrapClick);
    connect(ui.mnuRtfPlain, &QAction::triggered, this, &TViewerPane::mnuRtfPlainClick);
    connect(ui.mnuHtmlSource, &QAction::triggered, this, &TViewerPane::mnuHtmlSourceClick);
    connect(ui.mnuHtmlBrowser, &QAction::triggered, this, &TViewerPane::mnuHtmlBrowserClick);
    connect(ui.mnuStayOn, &QAction::triggered, this, &TViewerPane::mnuStayOnClick);
    connect(ui.mnuFullView, &QAction::triggered, this, &TViewerPane::mnuFullViewClick);
    for (QWidget* viewer : std::initializer_list<QWidget*>{ui.ree, ui.rtfEntries, ui.HTML1})
        connectViewer(viewer);
}

void TViewerPane::connectViewer(QWidget* viewer) {
    viewer->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(viewer, &QWidget::customContextMenuRequested, this, [this, viewer](const QPoint& at) {
        // The menu's commands (Copy) act on the focused control: the viewer clicked.
        viewer->setFocus(Qt::PopupFocusReason);
        const auto* area = static_cast<QAbstractScrollArea*>(viewer);
        ui.mnuRtf->popup(area->viewport()->mapToGlobal(at));
    });
}

QWidget* TViewerPane::currentTextViewer() const { return currentTextViewer_; }

void TViewerPane::ensurePreview() {
    if (preview_) return;
    IndexingCore* core = host_.core();
    if (!core) return;
    temp_ = std::make_unique<ProgramTempFolder>(core->settings.programTempFolder);
    PreviewOptions options;
    options.runFromCd = host_.environment().readOnlyMedia;
    options.archiveTools = {core->settings.home, std::chrono::seconds(60)};
    preview_ = std::make_unique<DocumentPreview>(core->viewerParsers, *temp_, host_.userInterface(),
                                                 options);
}

QStringList TViewerPane::listedFiles() {
    QStringList files;
    emit listedFilesWanted(files);
    return files;
}

// ---- Options ----

void TViewerPane::cmdFontClick() {
    QFontDialog dialog(ui.rtfEntries->font(), this);
    dialog.setObjectName(QStringLiteral("FontDialog1"));
    if (host_.runModal(dialog) != QDialog::Accepted) return;
    CursorScope busy(CursorShape::Hourglass);
    const QFont font = dialog.currentFont();
    FontSetting& setting = host_.settings().viewFont;
    setting.name = font.family().toStdString();
    if (font.pointSize() > 0) setting.size = font.pointSize();
    setting.bold = font.bold();
    setting.italic = font.italic();
    setting.underline = font.underline();
    setting.strikeOut = font.strikeOut();
    applyViewFonts();
}

void TViewerPane::cmdBackColorClick() {
    const QColor current = colorFromSetting(host_.settings().viewBackColor, window()->palette());
    QColorDialog dialog(current, this);
    dialog.setObjectName(QStringLiteral("ColorDialog1"));
    if (host_.runModal(dialog) != QDialog::Accepted) return;
    CursorScope busy(CursorShape::Hourglass);
    host_.settings().viewBackColor = colorToSetting(dialog.currentColor());
    applyViewFonts();
}

void TViewerPane::chkWordWrapClick() {
    const bool wrap = host_.settings().wordWrap;
    // The selection (the entry shown) stays; the view follows it.
    ui.rtfEntries->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    ui.rtfEntries->ensureCursorVisible();
    ui.mnuWordWrap->setChecked(wrap);
}

void TViewerPane::chkRtfPlainClick() {
    ui.mnuRtfPlain->setChecked(host_.settings().rtfAsPlain);
    // Only an RTF document moves between the viewers; any other stays in rtfEntries.
    if (preview_ && preview_->IsShown() && itemSelected_ && preview_->Kind() == DocumentKind::Rtf) {
        CursorScope busy(CursorShape::Hourglass);
        loadTextViewers();
        ShowCurrentView();
    }
}

void TViewerPane::chkHtmlSourceClick() {
    ui.mnuHtmlSource->setChecked(host_.settings().htmlAsSource);
    ShowCurrentView();
}

void TViewerPane::chkStayOnClick() {
    ui.mnuStayOn->setChecked(host_.settings().stayOnPreviouslyViewed);
}

void TViewerPane::mnuWordWrapClick() {
    host_.settings().wordWrap = ui.mnuWordWrap->isChecked();
    chkWordWrapClick();
}

void TViewerPane::mnuRtfPlainClick() {
    host_.settings().rtfAsPlain = ui.mnuRtfPlain->isChecked();
    chkRtfPlainClick();
}

void TViewerPane::mnuHtmlSourceClick() {
    host_.settings().htmlAsSource = ui.mnuHtmlSource->isChecked();
    chkHtmlSourceClick();
}

void TViewerPane::mnuStayOnClick() {
    host_.settings().stayOnPreviouslyViewed = ui.mnuStayOn->isChecked();
    chkStayOnClick();
}

void TViewerPane::mnuFullViewClick() {
    // The result area is the splitter the frame placed the pane in, with the result list.
    QWidget* area = qobject_cast<QSplitter*>(parentWidget());
    if (!fullView_.setOn(ui.mnuFullView->isChecked(), area, {ui.entryBar}))
        ui.mnuFullView->setChecked(false);
}

void TViewerPane::mnuSearchSelWordClick() {
    emit searchSelectedWordRequested(htmlMode_ ? ui.HTML1->SelText()
                                               : selectedTextOf(currentTextViewer_));
}

void TViewerPane::mnuWithinFoundClick() {
    emit searchWithinFoundRequested(htmlMode_ ? ui.HTML1->SelText()
                                              : selectedTextOf(currentTextViewer_));
}

void TViewerPane::showSettings() {
    applyViewFonts();  // word wrap with them
    ui.mnuRtfPlain->setChecked(host_.settings().rtfAsPlain);
    ui.mnuHtmlSource->setChecked(host_.settings().htmlAsSource);
    ui.mnuStayOn->setChecked(host_.settings().stayOnPreviouslyViewed);
}

void TViewerPane::applyViewFonts() {
    const Settings& settings = host_.settings();
    const QPalette base = window()->palette();
    for (QWidget* viewer : std::initializer_list<QWidget*>{ui.rtfEntries, ui.ree, ui.HTML1})
        applyViewSetting(*viewer, settings.viewFont, settings.viewBackColor, base);
    chkWordWrapClick();
    // A page is laid out again in the new font, where its entry is selected anew.
    if (htmlMode_ && !ui.HTML1->CurrentFile().isEmpty() && ui.HTML1->Reload()) ShowCurrentView();
}

void TViewerPane::enableSearch(bool enabled) {
    if (!enabled) clearPreview();
    ui.ree->setEnabled(enabled);
    ui.rtfEntries->setEnabled(enabled);
}

void TViewerPane::clearPreview() {
    // The document leaves the parser; an extracted member leaves the temp folder.
    if (preview_) preview_->Clear();
    if (temp_) temp_->Empty();
    itemSelected_ = false;
    viewedName_.clear();
    for (QLabel* label : {ui.lblEntries1, ui.lblEntries2, ui.lblEntries3}) label->clear();
    ui.scrNextPrev->hide();
    ui.ree->clear();
    ui.rtfEntries->clear();
    for (QWidget* viewer : std::initializer_list<QWidget*>{ui.ree, ui.rtfEntries})
        setHint(viewer, QString());
    ui.HTML1->Clear();
    ui.pnlMsg->setFixedHeight(0);
    ui.pnlAttach->setFixedHeight(0);
}

void TViewerPane::releasePreview() {
    clearPreview();
    preview_.reset();
    temp_.reset();
}

void TViewerPane::setFormatMenusVisible(bool visible) {
    formatFilters_ = visible;
    for (QAction* item : {ui.mnuRtfPlain, ui.mnuHtmlSource, ui.mnuHtmlBrowser})
        item->setVisible(visible);
}

bool TViewerPane::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    const bool alt = modifiers & Qt::AltModifier;
    switch (key) {
        case Qt::Key_F5:  // nothing else is done for the key
            if (ui.cmdForward->isEnabled()) cmdForwardClick();
            return true;
        case Qt::Key_F4:
            if (ui.cmdBack->isEnabled()) cmdBackClick();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (!alt) return false;
            if (key == Qt::Key_Left && ui.cmdBack->isEnabled()) cmdBackClick();
            if (key == Qt::Key_Right && ui.cmdForward->isEnabled()) cmdForwardClick();
            return true;
        case Qt::Key_F3:
        case Qt::Key_F2: {
            if (!ui.scrNextPrev->isVisibleTo(window())) return false;
            {
                // The bar clamps the value; the entry is shown once, also at either end.
                const QSignalBlocker quiet(ui.scrNextPrev);
                ui.scrNextPrev->setValue(ui.scrNextPrev->value() + (key == Qt::Key_F3 ? 1 : -1));
            }
            scrNextPrevScroll(ui.scrNextPrev->value());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace vellumar
