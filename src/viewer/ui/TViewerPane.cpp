#include "viewer/ui/TViewerPane.h"

#include "platform/Settings.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "viewer/ui/ViewColors.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTextBrowser>
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
    ui.rtfEntries = named(new QTextEdit(ui.viewerStack), "rtfEntries");
    ui.rtfEntries->setReadOnly(true);
    ui.rtfEntries->setAcceptRichText(false);
    ui.rtfEntries->setLineWrapMode(QTextEdit::NoWrap);
    ui.HTML1 = named(new QTextBrowser(ui.viewerStack), "HTML1");
    ui.HTML1->setOpenLinks(false);  // links are resolved by the program, never fetched
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

    connect(ui.mnuSearchSelWord, &QAction::triggered, this, &TViewerPane::mnuSearchSelWordClick);
    connect(ui.mnuWithinFound, &QAction::triggered, this, &TViewerPane::mnuWithinFoundClick);
    connect(ui.mnuCopy, &QAction::triggered, this, &TViewerPane::copyRequested);
    connect(ui.mnuFont, &QAction::triggered, this, &TViewerPane::cmdFontClick);
    connect(ui.mnuBackColor, &QAction::triggered, this, &TViewerPane::cmdBackColorClick);
    connect(ui.mnuWordWrap, &QAction::triggered, this, &TViewerPane::mnuWordWrapClick);
    connect(ui.mnuRtfPlain, &QAction::triggered, this, &TViewerPane::mnuRtfPlainClick);
    connect(ui.mnuHtmlSource, &QAction::triggered, this, &TViewerPane::mnuHtmlSourceClick);
    connect(ui.mnuStayOn, &QAction::triggered, this, &TViewerPane::mnuStayOnClick);
}

void TViewerPane::scrNextPrevScroll(int) {}   // Hook: showing entry `position` (preview).
void TViewerPane::cmdBackClick() {}           // Hook: viewer history.
void TViewerPane::cmdForwardClick() {}        // Hook: viewer history.
void TViewerPane::cmdFontClick() {}           // Hook: the font dialog (viewer modes).
void TViewerPane::cmdBackColorClick() {}      // Hook: the colour dialog (viewer modes).
void TViewerPane::mnuSearchSelWordClick() {}  // Hook: search for the selected word (refining).
void TViewerPane::mnuWithinFoundClick() {}    // Hook: search among files found (refining).
void TViewerPane::clearHistory() {}  // Hook: the viewer history is cleared here (viewer history).

void TViewerPane::chkWordWrapClick() {
    const bool wrap = host_.settings().wordWrap;
    ui.rtfEntries->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    ui.mnuWordWrap->setChecked(wrap);
}

void TViewerPane::chkRtfPlainClick() {
    ui.mnuRtfPlain->setChecked(host_.settings().rtfAsPlain);
    // Hook: moving the shown text between the viewers (viewer modes).
}

void TViewerPane::chkHtmlSourceClick() {
    ui.mnuHtmlSource->setChecked(host_.settings().htmlAsSource);
    // Hook: ShowCurrentView (viewer modes).
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
}

void TViewerPane::enableSearch(bool enabled) {
    if (!enabled) {
        for (QLabel* label : {ui.lblEntries1, ui.lblEntries2, ui.lblEntries3}) label->clear();
        clearPreview();
    }
    ui.ree->setEnabled(enabled);
    ui.rtfEntries->setEnabled(enabled);
}

void TViewerPane::clearPreview() {
    // Hook: the current document parser closes its document here (parser set).
    for (QLabel* label : {ui.lblEntries1, ui.lblEntries2, ui.lblEntries3}) label->clear();
    ui.scrNextPrev->hide();
    for (QTextEdit* viewer : {ui.ree, ui.rtfEntries}) {
        viewer->clear();
        viewer->setToolTip(QString());
    }
    ui.HTML1->clear();
    ui.pnlMsg->setFixedHeight(0);
    ui.pnlAttach->setFixedHeight(0);
}

void TViewerPane::setFormatMenusVisible(bool visible) {
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
        case Qt::Key_F2:
            if (!ui.scrNextPrev->isVisibleTo(window())) return false;
            ui.scrNextPrev->setValue(ui.scrNextPrev->value() + (key == Qt::Key_F3 ? 1 : -1));
            scrNextPrevScroll(ui.scrNextPrev->value());
            return true;
        default:
            return false;
    }
}

}  // namespace vellumar
