// The main menu, the tool bar, the status line, the tray icon and their handlers.
#include "app/ui/Icons.h"
#include "app/ui/TAboutBox.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TFormOptions.h"
#include "app/ui/THelpWindow.h"
#include "app/ui/TTrayIcon.h"
#include "app/ui/Widgets.h"
#include "index/ui/TFormWizard.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"

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
    pnlBar = named(new QFrame, "pnlBar");
    pnlBar->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(pnlBar);
    bar->setContentsMargins(2, 1, 2, 1);
    bar->setSpacing(1);
    btnNew = makeToolButton(pnlBar, "btnNew", toolIcon("document-new", QStringLiteral("\u2726")),
                            QStringLiteral("Index wizard"));
    btnOptions = makeToolButton(pnlBar, "btnOptions",
                                toolIcon("preferences-system", QStringLiteral("\u2699")),
                                QStringLiteral("Options"));
    btnCut = makeToolButton(pnlBar, "btnCut", toolIcon("edit-cut", QStringLiteral("\u2702")),
                            QStringLiteral("Cut"));
    btnCopy = makeToolButton(pnlBar, "btnCopy", toolIcon("edit-copy", QStringLiteral("\u2750")),
                             QStringLiteral("Copy"));
    btnPaste = makeToolButton(pnlBar, "btnPaste", toolIcon("edit-paste", QStringLiteral("\u25A4")),
                              QStringLiteral("Paste"));
    for (QToolButton* b : {btnCut, btnCopy, btnPaste}) b->setEnabled(false);
    bar->addWidget(btnNew);
    bar->addWidget(btnOptions);
    bar->addSpacing(8);
    bar->addWidget(btnCut);
    bar->addWidget(btnCopy);
    bar->addWidget(btnPaste);
    bar->addStretch(1);
    connect(btnNew, &QToolButton::clicked, this, &TFormMain::btnNewClick);
    connect(btnOptions, &QToolButton::clicked, this, &TFormMain::btnOptionsClick);
    connect(btnCut, &QToolButton::clicked, this, &TFormMain::btnCutClick);
    connect(btnCopy, &QToolButton::clicked, this, &TFormMain::btnCopyClick);
    connect(btnPaste, &QToolButton::clicked, this, &TFormMain::btnPasteClick);
    // The clipboard buttons act on the control that had the focus before the click.
    for (QToolButton* b : {btnNew, btnOptions, btnCut, btnCopy, btnPaste})
        b->setFocusPolicy(Qt::NoFocus);
}

void TFormMain::buildStatusLine() {
    pnlBot = named(new QFrame, "pnlBot");
    auto* bottom = new QHBoxLayout(pnlBot);
    bottom->setContentsMargins(0, 0, 0, 0);
    txtStatus = named(new QLineEdit(pnlBot), "txtStatus");
    txtStatus->setReadOnly(true);
    txtStatus->setFocusPolicy(Qt::NoFocus);
    prgBar = named(new QProgressBar(pnlBot), "prgBar");
    prgBar->setMaximumWidth(160);
    prgBar->setTextVisible(false);
    prgBar->hide();
    bottom->addWidget(txtStatus, 1);
    bottom->addWidget(prgBar);
}

void TFormMain::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuIndex = named(mnuFile->addMenu(QStringLiteral("&Index")), "mnuIndex");
    mnuCreate = mnuIndex->addAction(QStringLiteral("&Create"));
    mnuRemove = mnuIndex->addAction(QStringLiteral("&Remove"));
    mnuRemove->setEnabled(false);
    mnuCancel = mnuIndex->addAction(QStringLiteral("C&ancel"));
    mnuCancel->setEnabled(false);
    mnuSave = mnuFile->addAction(QStringLiteral("&Save"));
    mnuSave->setEnabled(false);
    mnuPrint = mnuFile->addAction(QStringLiteral("&Print"));
    mnuPrint->setEnabled(false);
    mnuFile->addSeparator();
    Exit1 = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuEdit = named(bar->addMenu(QStringLiteral("&Edit")), "mnuEdit");
    mnuCut = mnuEdit->addAction(QStringLiteral("C&ut"));
    mnuCopyMain = mnuEdit->addAction(QStringLiteral("&Copy"));
    mnuPaste = mnuEdit->addAction(QStringLiteral("&Paste"));
    mnuOptions = bar->addAction(QStringLiteral("Options"));
    Help1 = bar->addAction(QStringLiteral("&Help"));
    Tech1 = bar->addAction(QStringLiteral("S&upport"));
    mnuCreate->setObjectName(QStringLiteral("mnuCreate"));
    mnuRemove->setObjectName(QStringLiteral("mnuRemove"));
    mnuCancel->setObjectName(QStringLiteral("mnuCancel"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));

    connect(mnuCreate, &QAction::triggered, this, &TFormMain::mnuCreateClick);
    connect(mnuRemove, &QAction::triggered, this, &TFormMain::mnuRemoveClick);
    connect(mnuCancel, &QAction::triggered, this, [this] { cmdUpdateClick(cmdUpdate); });
    connect(Exit1, &QAction::triggered, this, &TFormMain::Exit1Click);
    connect(mnuCut, &QAction::triggered, this, &TFormMain::btnCutClick);
    connect(mnuCopyMain, &QAction::triggered, this, &TFormMain::btnCopyClick);
    connect(mnuPaste, &QAction::triggered, this, &TFormMain::btnPasteClick);
    connect(mnuOptions, &QAction::triggered, this, &TFormMain::mnuOptionsClick);
    connect(Help1, &QAction::triggered, this, &TFormMain::Help1Click);
    connect(Tech1, &QAction::triggered, this, &TFormMain::Tech1Click);
}

void TFormMain::buildTray() {
    mnuTray = named(new QMenu(this), "mnuTray");
    mnuActivate = mnuTray->addAction(QStringLiteral("Activate"));
    mnuTray->addSeparator();
    mnuExit = mnuTray->addAction(QStringLiteral("Exit"));
    connect(mnuActivate, &QAction::triggered, this, &TFormMain::mnuActivateClick);
    connect(mnuExit, &QAction::triggered, this, &TFormMain::mnuExitClick);
    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(QStringLiteral("Vellumar"));
    TrayIcon1->setIcon(sunIcon(false));
    TrayIcon1->setPopupMenu(mnuTray);
    connect(TrayIcon1, &TTrayIcon::OnClick, this, &TFormMain::mnuActivateClick);
    connect(TrayIcon1, &TTrayIcon::OnDblClick, this, &TFormMain::mnuActivateClick);
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
    TFormWizard wizard(this);
    wizardResult_ = runModal(wizard);
    if (wizardResult_ == 6) cmdUpdateClick(nullptr);
}

void TFormMain::mnuCreateClick() { btnNewClick(); }

void TFormMain::btnOptionsClick() {
    TFormOptions options(*this);
    runModal(options);
}

void TFormMain::mnuOptionsClick() { btnOptionsClick(); }

void TFormMain::mnuRemoveClick() {
    cmdRemoveClick();
    if (cmbUsedIndex->currentIndex() != cmbIndexName->currentIndex())
        cmbUsedIndex->setCurrentIndex(cmbIndexName->currentIndex());
}

void TFormMain::showHelp(int context) {
    CursorScope starting(CursorShape::AppStart);
    auto* help = findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new THelpWindow(this);
    if (!help->showContext(helpFile, context))
        ShowMessage(QStringLiteral("Can't open the file ") + helpFile, MessageIcon::Warning,
                    MessageButtons::Ok, this);
}

void TFormMain::Help1Click() { showHelp(1); }
void TFormMain::cmdSearchHelpClick() { showHelp(1); }
void TFormMain::cmdIndexesHelpClick() { showHelp(4); }

void TFormMain::cmdAboutClick() { runModal(*AboutBox); }

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
    if (focused == HTML1 || focused == HTML2) {
        QApplication::clipboard()->setText(
            static_cast<QTextBrowser*>(focused)->textCursor().selectedText());
        return;
    }
    onFocusedEditor([](auto* editor) { editor->copy(); });
}

void TFormMain::mnuCopyClick() { btnCopyClick(); }

void TFormMain::Tech1Click() {
    // Hook: the support request form arrives with the support request.
}

}  // namespace vellumar
