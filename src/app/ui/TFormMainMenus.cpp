// The main menu, the tool bar, the status line, the tray icon and their handlers.
#include "app/ui/Icons.h"
#include "app/ui/TAboutBox.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TFormOptions.h"
#include "app/ui/TTrayIcon.h"
#include "index/ui/TFormWizard.h"
#include "index/ui/TIndexesPage.h"
#include "platform/SupportRequest.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Widgets.h"
#include "search/ui/TSearchPage.h"
#include "viewer/ui/TViewerPane.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTextEdit>

namespace vellumar {

void TFormMain::buildToolBar() {
    ui.pnlBar = named(new QFrame, "pnlBar");
    ui.pnlBar->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(ui.pnlBar);
    bar->setContentsMargins(2, 1, 2, 1);
    bar->setSpacing(1);
    ui.btnNew =
        makeToolButton(ui.pnlBar, "btnNew", toolIcon("document-new", QStringLiteral("\u2726")),
                       QStringLiteral("Index wizard"));
    ui.btnOptions = makeToolButton(ui.pnlBar, "btnOptions",
                                   toolIcon("preferences-system", QStringLiteral("\u2699")),
                                   QStringLiteral("Options"));
    ui.btnCut = makeToolButton(ui.pnlBar, "btnCut", toolIcon("edit-cut", QStringLiteral("\u2702")),
                               QStringLiteral("Cut"));
    ui.btnCopy =
        makeToolButton(ui.pnlBar, "btnCopy", toolIcon("edit-copy", QStringLiteral("\u2750")),
                       QStringLiteral("Copy"));
    ui.btnPaste =
        makeToolButton(ui.pnlBar, "btnPaste", toolIcon("edit-paste", QStringLiteral("\u25A4")),
                       QStringLiteral("Paste"));
    for (QToolButton* b : {ui.btnCut, ui.btnCopy, ui.btnPaste}) b->setEnabled(false);
    bar->addWidget(ui.btnNew);
    bar->addWidget(ui.btnOptions);
    bar->addSpacing(8);
    bar->addWidget(ui.btnCut);
    bar->addWidget(ui.btnCopy);
    bar->addWidget(ui.btnPaste);
    bar->addStretch(1);
    connect(ui.btnNew, &QToolButton::clicked, this, &TFormMain::btnNewClick);
    connect(ui.btnOptions, &QToolButton::clicked, this, &TFormMain::btnOptionsClick);
    connect(ui.btnCut, &QToolButton::clicked, this, &TFormMain::btnCutClick);
    connect(ui.btnCopy, &QToolButton::clicked, this, &TFormMain::btnCopyClick);
    connect(ui.btnPaste, &QToolButton::clicked, this, &TFormMain::btnPasteClick);
    // The clipboard buttons act on the control that had the focus before the click.
    for (QToolButton* b : {ui.btnNew, ui.btnOptions, ui.btnCut, ui.btnCopy, ui.btnPaste})
        b->setFocusPolicy(Qt::NoFocus);
}

void TFormMain::buildStatusLine() {
    ui.pnlBot = named(new QFrame, "pnlBot");
    auto* bottom = new QHBoxLayout(ui.pnlBot);
    bottom->setContentsMargins(0, 0, 0, 0);
    ui.txtStatus = named(new QLineEdit(ui.pnlBot), "txtStatus");
    ui.txtStatus->setReadOnly(true);
    ui.txtStatus->setFocusPolicy(Qt::NoFocus);
    ui.prgBar = named(new QProgressBar(ui.pnlBot), "prgBar");
    ui.prgBar->setMaximumWidth(160);
    ui.prgBar->setTextVisible(false);
    ui.prgBar->hide();
    bottom->addWidget(ui.txtStatus, 1);
    bottom->addWidget(ui.prgBar);
}

void TFormMain::buildMenus() {
    QMenuBar* bar = menuBar();
    ui.mnuFile = named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    ui.mnuIndex = named(ui.mnuFile->addMenu(QStringLiteral("&Index")), "mnuIndex");
    ui.mnuCreate = ui.mnuIndex->addAction(QStringLiteral("&Create"));
    ui.mnuRemove = ui.mnuIndex->addAction(QStringLiteral("&Remove"));
    ui.mnuRemove->setEnabled(false);
    ui.mnuCancel = ui.mnuIndex->addAction(QStringLiteral("C&ancel"));
    ui.mnuCancel->setEnabled(false);
    ui.mnuSave = ui.mnuFile->addAction(QStringLiteral("&Save"));
    ui.mnuSave->setEnabled(false);
    ui.mnuPrint = ui.mnuFile->addAction(QStringLiteral("&Print"));
    ui.mnuPrint->setEnabled(false);
    ui.mnuFile->addSeparator();
    ui.Exit1 = ui.mnuFile->addAction(QStringLiteral("E&xit"));
    ui.mnuEdit = named(bar->addMenu(QStringLiteral("&Edit")), "mnuEdit");
    ui.mnuCut = ui.mnuEdit->addAction(QStringLiteral("C&ut"));
    ui.mnuCopyMain = ui.mnuEdit->addAction(QStringLiteral("&Copy"));
    ui.mnuPaste = ui.mnuEdit->addAction(QStringLiteral("&Paste"));
    ui.mnuOptions = bar->addAction(QStringLiteral("Options"));
    ui.Help1 = bar->addAction(QStringLiteral("&Help"));
    ui.Tech1 = bar->addAction(QStringLiteral("S&upport"));
    ui.mnuCreate->setObjectName(QStringLiteral("mnuCreate"));
    ui.mnuRemove->setObjectName(QStringLiteral("mnuRemove"));
    ui.mnuCancel->setObjectName(QStringLiteral("mnuCancel"));
    ui.mnuOptions->setObjectName(QStringLiteral("mnuOptions"));

    connect(ui.mnuCreate, &QAction::triggered, this, &TFormMain::mnuCreateClick);
    connect(ui.mnuRemove, &QAction::triggered, this, &TFormMain::mnuRemoveClick);
    connect(ui.mnuCancel, &QAction::triggered, this,
            [this] { indexesPage_->cmdUpdateClick(ui.mnuCancel); });
    connect(ui.Exit1, &QAction::triggered, this, &TFormMain::Exit1Click);
    connect(ui.mnuCut, &QAction::triggered, this, &TFormMain::btnCutClick);
    connect(ui.mnuCopyMain, &QAction::triggered, this, &TFormMain::btnCopyClick);
    connect(ui.mnuPaste, &QAction::triggered, this, &TFormMain::btnPasteClick);
    connect(ui.mnuOptions, &QAction::triggered, this, &TFormMain::mnuOptionsClick);
    connect(ui.Help1, &QAction::triggered, this, &TFormMain::Help1Click);
    connect(ui.Tech1, &QAction::triggered, this, &TFormMain::Tech1Click);
}

void TFormMain::buildTray() {
    ui.mnuTray = named(new QMenu(this), "mnuTray");
    ui.mnuActivate = ui.mnuTray->addAction(QStringLiteral("Activate"));
    ui.mnuTray->addSeparator();
    ui.mnuExit = ui.mnuTray->addAction(QStringLiteral("Exit"));
    connect(ui.mnuActivate, &QAction::triggered, this, &TFormMain::mnuActivateClick);
    connect(ui.mnuExit, &QAction::triggered, this, &TFormMain::mnuExitClick);
    ui.TrayIcon1 = new TTrayIcon(this);
    ui.TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    ui.TrayIcon1->setToolTip(QStringLiteral("Vellumar"));
    ui.TrayIcon1->setIcon(sunIcon(false));
    ui.TrayIcon1->setPopupMenu(ui.mnuTray);
    connect(ui.TrayIcon1, &TTrayIcon::OnClick, this, &TFormMain::mnuActivateClick);
    connect(ui.TrayIcon1, &TTrayIcon::OnDblClick, this, &TFormMain::mnuActivateClick);
}

void TFormMain::cmdCloseClick() { close(); }
void TFormMain::Exit1Click() { close(); }

void TFormMain::mnuActivateClick() {
    if (isVisible()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void TFormMain::btnNewClick() {
    TFormWizard wizard(*indexesPage_, *this, this);
    wizardResult_ = runModal(wizard);
    if (wizardResult_ == TFormWizard::kFinished) indexesPage_->cmdUpdateClick(nullptr);
}

void TFormMain::mnuCreateClick() { btnNewClick(); }

void TFormMain::btnOptionsClick() {
    const Settings before = settings_;
    TFormOptions options(settings_, environment_.readOnlyMedia, indexesPage_->selectedIndex() >= 0,
                         this);
    wireOptions(options);
    connect(&options, &TFormOptions::valuesGivenBack, this, [&] { optionsGivenBack(before); });
    runModal(options);
}

void TFormMain::optionsGivenBack(const Settings& before) {
    if (settings_.wordWrap != before.wordWrap) viewerPane_->chkWordWrapClick();
    if (settings_.htmlAsSource != before.htmlAsSource) viewerPane_->chkHtmlSourceClick();
    if (settings_.rtfAsPlain != before.rtfAsPlain) viewerPane_->chkRtfPlainClick();
    // Read-only media keep the Indexes page disabled whatever the wizard setting says.
    indexesPage_->setEnabled(!settings_.wizardOnly && !environment_.readOnlyMedia);
    indexesPage_->setIndexEditingControls(!settings_.wizardOnly);
}

void TFormMain::mnuOptionsClick() { btnOptionsClick(); }

void TFormMain::mnuRemoveClick() {
    indexesPage_->cmdRemoveClick();
    const int selected = indexesPage_->selectedIndex();
    if (searchPage_->usedIndex() != selected) searchPage_->selectIndex(selected);
}

void TFormMain::Help1Click() { showHelp(1); }

void TFormMain::cmdAboutClick() { runModal(*ui.AboutBox); }

namespace {

// The edit operations of whatever control has the focus.
template <typename Operation>
void onFocusedEditor(Operation operation) {
    QWidget* focused = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focused); combo && combo->lineEdit())
        focused = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focused))
        operation(line);
    else if (auto* text = qobject_cast<QTextEdit*>(focused))
        operation(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focused))
        operation(plain);
}

}  // namespace

void TFormMain::btnCutClick() {
    onFocusedEditor([](auto* editor) { editor->cut(); });
}

void TFormMain::btnPasteClick() {
    onFocusedEditor([](auto* editor) { editor->paste(); });
}

void TFormMain::btnCopyClick() {
    // An HTML display puts its selected text on the clipboard (also when it is empty).
    QWidget* focused = QApplication::focusWidget();
    auto* display = qobject_cast<QTextBrowser*>(focused);
    if (display && display->window() == this) {  // HTML1 or HTML2
        QApplication::clipboard()->setText(display->textCursor().selectedText());
        return;
    }
    onFocusedEditor([](auto* editor) { editor->copy(); });
}

void TFormMain::mnuCopyClick() { btnCopyClick(); }

void TFormMain::Tech1Click() {
    const auto file = writeSupportRequest(environment_.systemTemp);
    if (!file) {
        showMessageBox(
            QStringLiteral("Cannot create file ") +
                QString::fromStdString((environment_.systemTemp / kSupportFileName).string()),
            MessageIcon::Error, MessageButtons::Ok, this);
        return;
    }
    // An editor that does not start is not reported: the file is there to be opened.
    CursorScope starting(CursorShape::AppStart);
    openInEditor(QString::fromStdString(file->string()));
}

}  // namespace vellumar
