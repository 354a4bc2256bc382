// The Search page: the query, the index to search, the result list and the preview.
#include "app/ui/Icons.h"
#include "app/ui/TFormMain.h"
#include "app/ui/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vellumar {

void TFormMain::buildSearchPage() {
    tabSearch = named(new QWidget, "tabSearch");
    tabMain->addTab(tabSearch, QStringLiteral("Search"));
    auto* page = new QVBoxLayout(tabSearch);
    page->setContentsMargins(4, 4, 4, 4);

    // The query area, with the page's buttons anchored at the right.
    auto* top = new QHBoxLayout;
    page->addLayout(top);
    bvlSearchExpr = named(new QFrame(tabSearch), "bvlSearchExpr");
    bvlSearchExpr->setFrameShape(QFrame::StyledPanel);
    top->addWidget(bvlSearchExpr, 1);
    auto* grid = new QGridLayout(bvlSearchExpr);
    grid->setContentsMargins(6, 4, 6, 4);

    cmbSearchExpr = named(new QComboBox(bvlSearchExpr), "cmbSearchExpr");
    cmbSearchExpr->setEditable(true);
    cmbSearchExpr->setInsertPolicy(QComboBox::NoInsert);
    cmbSearchExpr->setMinimumContentsLength(4);
    cmbSearchExpr->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblSearchExpr = makeLabel(bvlSearchExpr, "lblSearchExpr",
                              QStringLiteral("&Enter search expression:"), cmbSearchExpr);
    cmdOK = makeButton(bvlSearchExpr, "cmdOK", QStringLiteral("&Search"));
    cmdOK->setDefault(true);
    btnAdvanced = makeButton(bvlSearchExpr, "btnAdvanced", QStringLiteral("A&dvanced"),
                             QStringLiteral("Press the button enter XML query"));
    btnAdvanced->setEnabled(false);
    grid->addWidget(lblSearchExpr, 0, 0, 1, 2);
    grid->addWidget(cmbSearchExpr, 1, 0, 1, 2);
    grid->addWidget(cmdOK, 1, 2);
    grid->addWidget(btnAdvanced, 1, 3);

    cmbUsedIndex = named(new QComboBox(bvlSearchExpr), "cmbUsedIndex");
    cmbUsedIndex->setMinimumContentsLength(4);
    cmbUsedIndex->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblUsedIndex =
        makeLabel(bvlSearchExpr, "lblUsedIndex", QStringLiteral("&Index:"), cmbUsedIndex);
    cmbFileList = named(new QComboBox(bvlSearchExpr), "cmbFileList");
    cmbFileList->setMinimumContentsLength(4);
    cmbFileList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblFile = makeLabel(bvlSearchExpr, "lblFile", QStringLiteral("^ Search from List\\File"),
                        cmbFileList);
    btnFromFile = makeButton(bvlSearchExpr, "btnFromFile", QStringLiteral("&Browse"));
    grid->addWidget(lblUsedIndex, 2, 0);
    grid->addWidget(lblFile, 2, 1);
    grid->addWidget(cmbUsedIndex, 3, 0);
    grid->addWidget(cmbFileList, 3, 1);
    grid->addWidget(btnFromFile, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* counts = new QHBoxLayout;
    lblSorting = makeLabel(bvlSearchExpr, "lblSorting", QStringLiteral("Sort files:"));
    chAlpha = makeCheck(bvlSearchExpr, "chAlpha", QStringLiteral("&alphabetically"));
    chRel = makeCheck(bvlSearchExpr, "chRel", QStringLiteral("by &relevancy"));
    lblTotalFiles = makeLabel(bvlSearchExpr, "lblTotalFiles", QStringLiteral("Records:"));
    lblTotalFiles1 = makeLabel(bvlSearchExpr, "lblTotalFiles1", QString());
    lblTotalEntries = makeLabel(bvlSearchExpr, "lblTotalEntries", QStringLiteral("Entries:"));
    lblTotalEntries1 = makeLabel(bvlSearchExpr, "lblTotalEntries1", QString());
    for (QWidget* w : std::initializer_list<QWidget*>{lblSorting, chAlpha, chRel})
        counts->addWidget(w);
    counts->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*>{lblTotalFiles, lblTotalFiles1,
                                                      lblTotalEntries, lblTotalEntries1})
        counts->addWidget(w);
    grid->addLayout(counts, 4, 0, 1, 4);

    auto* side = new QVBoxLayout;
    cmdSearchHelp = makeButton(tabSearch, "cmdSearchHelp", QStringLiteral("&Help"));
    cmdSearchUpdate = makeButton(tabSearch, "cmdSearchUpdate", QStringLiteral("&Update"));
    cmdSearchUpdate->setEnabled(false);
    cmdAbout = makeButton(tabSearch, "cmdAbout", QStringLiteral("&About"));
    cmdClose = makeButton(tabSearch, "cmdClose", QStringLiteral("E&xit"));
    for (QPushButton* b : {cmdSearchHelp, cmdSearchUpdate, cmdAbout, cmdClose}) side->addWidget(b);
    side->addStretch(1);
    top->addLayout(side);

    // The result list over the preview.
    oxSplit = named(new QSplitter(Qt::Vertical, tabSearch), "oxSplit");
    page->addWidget(oxSplit, 1);
    auto* listPanel = new QWidget(oxSplit);
    auto* listLayout = new QVBoxLayout(listPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    lstFiles =
        named(new QListWidget(listPanel), "lstFiles",
              QStringLiteral("Click right mouse button to access shell operations. Double click "
                             "to run associated program."));
    lstFiles->setUniformItemSizes(true);
    listLayout->addWidget(lstFiles, 1);
    auto* pager = new QHBoxLayout;
    btnStart = makeButton(listPanel, "btnStart", QStringLiteral("<<"));
    btnPrev = makeButton(listPanel, "btnPrev", QStringLiteral("<-"));
    btnNext = makeButton(listPanel, "btnNext", QStringLiteral("->"));
    btnEnd = makeButton(listPanel, "btnEnd", QStringLiteral(">>"));
    for (QPushButton* b : {btnStart, btnPrev, btnNext, btnEnd}) {
        b->setEnabled(false);
        b->setMaximumWidth(40);
        pager->addWidget(b);
    }
    lblFilesNum = makeLabel(listPanel, "lblFilesNum", QString());
    pager->addWidget(lblFilesNum, 1);
    pnlResultsWarning = makeLabel(listPanel, "pnlResultsWarning",
                                  QStringLiteral("Warning! Index has been changed"));
    pnlResultsWarning->setStyleSheet(
        QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    pnlResultsWarning->hide();
    pager->addWidget(pnlResultsWarning);
    listLayout->addLayout(pager);

    auto* viewerPanel = new QWidget(oxSplit);
    auto* viewerLayout = new QVBoxLayout(viewerPanel);
    viewerLayout->setContentsMargins(0, 0, 0, 0);
    viewerLayout->setSpacing(0);
    pnlMsg = named(new QFrame(viewerPanel), "pnlMsg");
    pnlAttach = named(new QFrame(viewerPanel), "pnlAttach");
    viewerLayout->addWidget(pnlMsg);
    viewerLayout->addWidget(pnlAttach);
    viewerStack = named(new QStackedWidget(viewerPanel), "viewerStack");
    ree = named(new QTextEdit(viewerStack), "ree");
    ree->setReadOnly(true);
    rtfEntries = named(new QTextEdit(viewerStack), "rtfEntries");
    rtfEntries->setReadOnly(true);
    rtfEntries->setAcceptRichText(false);
    rtfEntries->setLineWrapMode(QTextEdit::NoWrap);
    HTML1 = named(new QTextBrowser(viewerStack), "HTML1");
    HTML1->setOpenLinks(false);  // links are resolved by the program, never fetched
    viewerStack->addWidget(ree);
    viewerStack->addWidget(rtfEntries);
    viewerStack->addWidget(HTML1);
    viewerStack->setCurrentWidget(rtfEntries);
    viewerLayout->addWidget(viewerStack, 1);
    oxSplit->setStretchFactor(0, 1);
    oxSplit->setStretchFactor(1, 2);

    // The entry navigator and the history buttons.
    auto* bottom = new QHBoxLayout;
    page->addLayout(bottom);
    lblEntries0 = makeLabel(tabSearch, "lblEntries0", QStringLiteral("Entries found:"));
    lblEntries1 = makeLabel(tabSearch, "lblEntries1", QString());
    lblEntries2 = makeLabel(tabSearch, "lblEntries2", QString());
    lblEntries3 = makeLabel(tabSearch, "lblEntries3", QString());
    scrNextPrev =
        named(new QScrollBar(Qt::Horizontal, tabSearch), "scrNextPrev",
              QStringLiteral("Navigate through the found entries: F3 - forward, F2 - backward"));
    scrNextPrev->setRange(0, 0);
    scrNextPrev->hide();
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblEntries0, lblEntries1, lblEntries2, lblEntries3})
        bottom->addWidget(w);
    bottom->addWidget(scrNextPrev, 1);
    pnlBF = named(new QFrame(tabSearch), "pnlBF");
    auto* bf = new QHBoxLayout(pnlBF);
    bf->setContentsMargins(0, 0, 0, 0);
    cmdBack = makeToolButton(
        pnlBF, "cmdBack", style()->standardIcon(QStyle::SP_ArrowBack),
        QStringLiteral("Go back through the history of search queries, resultant file "
                       "clicks and html jumps: F4"));
    cmdForward =
        makeToolButton(pnlBF, "cmdForward", style()->standardIcon(QStyle::SP_ArrowForward),
                       QStringLiteral("Go forward through the history of search queries, resultant "
                                      "file clicks and html jumps: F5"));
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    bf->addWidget(cmdBack);
    bf->addWidget(cmdForward);
    bottom->addStretch(0);
    bottom->addWidget(pnlBF);

    // The viewers' pop-up menu.
    mnuRtf = named(new QMenu(this), "mnuRtf");
    mnuSearchSelWord = mnuRtf->addAction(QStringLiteral("Search for Selected Word     Ctrl+S"));
    mnuWithinFound = mnuRtf->addAction(QStringLiteral("Search among Files Found"));
    mnuRtf->addSeparator();
    mnuCopy = mnuRtf->addAction(QStringLiteral("Copy"));
    Printfilelist1 = mnuRtf->addAction(QStringLiteral("Print file list"));
    mnuPrintSelected = mnuRtf->addAction(QStringLiteral("Print selected text"));
    mnuPrintSelected->setEnabled(false);
    mnuExportAsText = mnuRtf->addAction(QStringLiteral("Export File As Text"));
    mnuExportAsText->setVisible(false);
    mnuRtf->addSeparator();
    mnuFont = mnuRtf->addAction(QStringLiteral("Font..."));
    mnuBackColor = mnuRtf->addAction(QStringLiteral("Background Color..."));
    mnuWordWrap = mnuRtf->addAction(QStringLiteral("Word Wrap"));
    mnuRtfPlain = mnuRtf->addAction(QStringLiteral("View RTF as Plain Text"));
    mnuHtmlSource = mnuRtf->addAction(QStringLiteral("View HTML as Source"));
    mnuHtmlBrowser = mnuRtf->addAction(QStringLiteral("Load HTML into Browser"));
    mnuStayOn = mnuRtf->addAction(QStringLiteral("Stay on Previously Viewed"));
    mnuFullView = mnuRtf->addAction(QStringLiteral("Full Window View"));
    for (QAction* a : {mnuWordWrap, mnuRtfPlain, mnuHtmlSource, mnuStayOn, mnuFullView})
        a->setCheckable(true);
    mnuWordWrap->setChecked(true);
    mnuRtfPlain->setChecked(true);
    mnuStayOn->setChecked(true);
}

void TFormMain::connectSearchPage() {
    connect(cmdOK, &QPushButton::clicked, this, &TFormMain::cmdOKClick);
    connect(btnAdvanced, &QPushButton::clicked, this, &TFormMain::btnAdvancedClick);
    connect(btnFromFile, &QPushButton::clicked, this, &TFormMain::btnFromFileClick);
    connect(cmbFileList, &QComboBox::activated, this, [this](int) { cmbFileListClick(); });
    connect(cmbUsedIndex, &QComboBox::activated, this, [this](int) { cmbUsedIndexClick(); });
    connect(chAlpha, &QCheckBox::clicked, this, &TFormMain::chAlphaClick);
    connect(chRel, &QCheckBox::clicked, this, &TFormMain::chRelClick);
    connect(cmdSearchHelp, &QPushButton::clicked, this, &TFormMain::cmdSearchHelpClick);
    connect(cmdSearchUpdate, &QPushButton::clicked, this, &TFormMain::cmdSearchUpdateClick);
    connect(cmdAbout, &QPushButton::clicked, this, &TFormMain::cmdAboutClick);
    connect(cmdClose, &QPushButton::clicked, this, &TFormMain::cmdCloseClick);
    connect(lstFiles, &QListWidget::itemClicked, this, [this] { lstFilesClick(); });
    connect(lstFiles, &QListWidget::itemDoubleClicked, this, [this] { lstFilesDblClick(); });
    connect(btnStart, &QPushButton::clicked, this, &TFormMain::btnStartClick);
    connect(btnPrev, &QPushButton::clicked, this, &TFormMain::btnPrevClick);
    connect(btnNext, &QPushButton::clicked, this, &TFormMain::btnNextClick);
    connect(btnEnd, &QPushButton::clicked, this, &TFormMain::btnEndClick);
    connect(scrNextPrev, &QScrollBar::valueChanged, this, &TFormMain::scrNextPrevScroll);
    connect(cmdBack, &QToolButton::clicked, this, &TFormMain::cmdBackClick);
    connect(cmdForward, &QToolButton::clicked, this, &TFormMain::cmdForwardClick);
    connect(mnuCopy, &QAction::triggered, this, &TFormMain::mnuCopyClick);
    connect(mnuFont, &QAction::triggered, this, &TFormMain::cmdFontClick);
    connect(mnuBackColor, &QAction::triggered, this, &TFormMain::cmdBackColorClick);
    cmbSearchExpr->installEventFilter(this);
}

}  // namespace vellumar
