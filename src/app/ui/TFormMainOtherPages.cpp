// The Cache Watcher, web, Options and Monitoring pages.
#include "app/ui/TFormMain.h"
#include "app/ui/Widgets.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellumar {

void TFormMain::buildWatcherPage() {
    tabWatcher = named(new QWidget, "tabWatcher");
    tabMain->addTab(tabWatcher, QStringLiteral("Cache Watcher"));
    auto* page = new QVBoxLayout(tabWatcher);
    page->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    page->addLayout(bar);
    cmdNewSearch = makeButton(tabWatcher, "cmdNewSearch", QStringLiteral("New &Search"),
                              QStringLiteral("Opens search screen"));
    cmdCWBack = makeToolButton(tabWatcher, "cmdCWBack", style()->standardIcon(QStyle::SP_ArrowBack),
                               QStringLiteral("Go back through the history of search results: F4"));
    cmdCWForward =
        makeToolButton(tabWatcher, "cmdCWForward", style()->standardIcon(QStyle::SP_ArrowForward),
                       QStringLiteral("Go forward through the history of search results: F5"));
    cmdCWBack->setEnabled(false);
    cmdCWForward->setEnabled(false);
    cmdCWHelp = makeButton(tabWatcher, "cmdCWHelp", QStringLiteral("&Help"),
                           QStringLiteral("Opens Help file"));
    bar->addStretch(1);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdNewSearch, cmdCWBack, cmdCWForward, cmdCWHelp})
        bar->addWidget(w);
    pnlWatcher = named(new QFrame(tabWatcher), "pnlWatcher");
    pnlWatcher->setFrameShape(QFrame::StyledPanel);
    page->addWidget(pnlWatcher, 1);
    auto* inner = new QVBoxLayout(pnlWatcher);
    inner->setContentsMargins(0, 0, 0, 0);
    HTML2 = named(new QTextBrowser(pnlWatcher), "HTML2");
    HTML2->setOpenLinks(false);  // links and forms are the program's to resolve; no network
    inner->addWidget(HTML2);

    mnuHTML2 = named(new QMenu(this), "mnuHTML2");
    mnuFont2 = mnuHTML2->addAction(QStringLiteral("Font..."));
    mnuBackColor2 = mnuHTML2->addAction(QStringLiteral("Background Color..."));
    mnuLoadBrowser = mnuHTML2->addAction(QStringLiteral("Load HTML into Browser"));
}

void TFormMain::buildWebPage() {
    tabWeb = named(new QWidget, "tabWeb");
    tabMain->addTab(tabWeb, QString());
}

void TFormMain::buildOptionsPage() {
    tabOptions = named(new QWidget, "tabOptions");
    tabMain->addTab(tabOptions, QStringLiteral("Options"));
    auto* page = new QHBoxLayout(tabOptions);

    pnlOpt1 = named(new QFrame(tabOptions), "pnlOpt1");
    auto* one = new QVBoxLayout(pnlOpt1);
    chkStartup = makeCheck(pnlOpt1, "chkStartup", QStringLiteral("Run at &login"));
    chkTray = makeCheck(
        pnlOpt1, "chkTray", QStringLiteral("Place icon into &Tray"),
        QStringLiteral("If checked, Vellumar will appear in the taskbar tray upon starting"));
    edHotKey = makeEdit(pnlOpt1, "edHotKey", QStringLiteral("S"));
    edHotKey->setMaxLength(1);
    lblHotKey = makeLabel(pnlOpt1, "lblHotKey", QStringLiteral("&Ctrl  +"), edHotKey);
    auto* hot = new QHBoxLayout;
    hot->addWidget(lblHotKey);
    hot->addWidget(edHotKey);
    one->addWidget(chkStartup);
    one->addWidget(chkTray);
    one->addLayout(hot);
    one->addStretch(1);

    pnlOpt2 = named(new QFrame(tabOptions), "pnlOpt2");
    auto* two = new QVBoxLayout(pnlOpt2);
    chkWordWrap = makeCheck(pnlOpt2, "chkWordWrap", QStringLiteral("Wo&rd wrap"));
    chkWordWrap->setChecked(true);
    chkRtfPlain = makeCheck(pnlOpt2, "chkRtfPlain", QStringLiteral("View RTF as &plain text"));
    chkRtfPlain->setChecked(true);
    chkHtmlSource = makeCheck(pnlOpt2, "chkHtmlSource", QStringLiteral("View &HTML as source"));
    chkStayOn = makeCheck(pnlOpt2, "chkStayOn", QStringLiteral("&Stay on previously viewed"));
    chkStayOn->setChecked(true);
    cmdFont = makeButton(pnlOpt2, "cmdFont", QStringLiteral("&Font"));
    cmdBackColor = makeButton(pnlOpt2, "cmdBackColor", QStringLiteral("&Background Color"));
    for (QWidget* w : std::initializer_list<QWidget*>{chkWordWrap, chkRtfPlain, chkHtmlSource,
                                                      chkStayOn, cmdFont, cmdBackColor})
        two->addWidget(w);
    two->addStretch(1);

    pnlOpt3 = named(new QFrame(tabOptions), "pnlOpt3");
    auto* three = new QFormLayout(pnlOpt3);
    edFiles = makeEdit(pnlOpt3, "edFiles", QStringLiteral("100"));
    edFilSiz = makeEdit(pnlOpt3, "edFilSiz", QStringLiteral("500"));
    lblFiles = makeLabel(pnlOpt3, "lblFiles", QStringLiteral("Show &maximum files:"), edFiles);
    lblFilSiz =
        makeLabel(pnlOpt3, "lblFilSiz", QStringLiteral("Warn if file is more than (KB)"), edFilSiz);
    three->addRow(lblFiles, edFiles);
    three->addRow(lblFilSiz, edFilSiz);
    cmdCustLangs =
        makeButton(pnlOpt3, "cmdCustLangs", QStringLiteral("Customize &Languages"),
                   QStringLiteral("Customize existing languages or create new language sets"));
    btnExportDid =
        makeButton(pnlOpt3, "btnExportDid", QStringLiteral("Index words --> Dictionary"));
    btnEditDic = makeButton(pnlOpt3, "btnEditDic", QStringLiteral("Edit Filtering &dictionary"));
    btnEditSw = makeButton(pnlOpt3, "btnEditSw", QStringLiteral("Edit Stop-&words"));
    for (QPushButton* b : {cmdCustLangs, btnExportDid, btnEditDic, btnEditSw}) three->addRow(b);

    page->addWidget(pnlOpt1, 1);
    page->addWidget(pnlOpt2, 1);
    page->addWidget(pnlOpt3, 1);
}

void TFormMain::buildMonitoringPage() {
    tabMonitoring = named(new QWidget, "tabMonitoring");
    tabMain->addTab(tabMonitoring, QStringLiteral("Monitoring"));
    auto* page = new QVBoxLayout(tabMonitoring);
    page->setContentsMargins(4, 4, 4, 4);

    fraMonitoring1 =
        named(new QGroupBox(QStringLiteral("Monitoring"), tabMonitoring), "fraMonitoring1");
    auto* state = new QHBoxLayout(fraMonitoring1);
    radNormal =
        named(new QRadioButton(QStringLiteral("&Normal"), fraMonitoring1), "radNormal",
              QStringLiteral("Ensures immediate updating of automatically updateable indexes. "
                             "Launches suspended updatings."));
    radSuspended =
        named(new QRadioButton(QStringLiteral("Sus&pended"), fraMonitoring1), "radSuspended",
              QStringLiteral("Switching to \"Suspended\" suspends updatings of automatically "
                             "updateable indexes."));
    radNormal->setChecked(true);
    state->addWidget(radNormal);
    state->addWidget(radSuspended);
    state->addStretch(1);
    page->addWidget(fraMonitoring1);
    // Folders the system refused to watch: indexed, but their changes are not seen.
    lblUnwatchable = makeLabel(tabMonitoring, "lblUnwatchable", QString());
    lblUnwatchable->setWordWrap(true);
    lblUnwatchable->hide();
    page->addWidget(lblUnwatchable);

    fraMonitoring2 =
        named(new QGroupBox(QStringLiteral("Folders"), tabMonitoring), "fraMonitoring2");
    page->addWidget(fraMonitoring2, 1);
    auto* grid = new QGridLayout(fraMonitoring2);
    lstDirsOff = named(
        new QListWidget(fraMonitoring2), "lstDirsOff",
        QStringLiteral("Place here those folders the system ignores the changings of files from"));
    lstDirsOff->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lblDirsOff1 = makeLabel(fraMonitoring2, "lblDirsOff1",
                            QStringLiteral("E&xclude from monitoring:"), lstDirsOff);
    cmdAddDirsOff = makeButton(
        fraMonitoring2, "cmdAddDirsOff", QStringLiteral("<< &Add"),
        QStringLiteral("Adds current folder to list of folders excluded from monitoring"));
    cmdRemoveDirsOff = makeButton(fraMonitoring2, "cmdRemoveDirsOff", QStringLiteral("&Remove >>"),
                                  QStringLiteral("Removes selected folder from monitor exclusion"));
    dirDirsOff = named(new QTreeView(fraMonitoring2), "dirDirsOff",
                       QStringLiteral("Double click to make a folder the current"));
    dirDirsOff->setHeaderHidden(true);
    lblDirsOff2 =
        makeLabel(fraMonitoring2, "lblDirsOff2", QStringLiteral("Select a &folder:"), dirDirsOff);
    drvDirsOff = named(new QComboBox(fraMonitoring2), "drvDirsOff");
    drvDirsOff->setMinimumContentsLength(4);
    drvDirsOff->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblDirsOff3 =
        makeLabel(fraMonitoring2, "lblDirsOff3", QStringLiteral("Select a &drive:"), drvDirsOff);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAddDirsOff);
    buttons->addWidget(cmdRemoveDirsOff);
    buttons->addStretch(3);
    grid->addWidget(lblDirsOff1, 0, 0);
    grid->addWidget(lstDirsOff, 1, 0, 3, 1);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->addWidget(lblDirsOff2, 0, 2);
    grid->addWidget(dirDirsOff, 1, 2);
    grid->addWidget(lblDirsOff3, 2, 2);
    grid->addWidget(drvDirsOff, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);

    chkIndexFolderOff = makeCheck(
        tabMonitoring, "chkIndexFolderOff", QStringLiteral("Do not monitor &Index folder"),
        QStringLiteral("Excludes Index folder from monitoring to ignore index file changings."));
    chkWindowsFolderOff = makeCheck(
        tabMonitoring, "chkWindowsFolderOff", QStringLiteral("Do not monitor &system folders"),
        QStringLiteral("Excludes system folders from monitoring to ignore changes of swap "
                       "file, registry database files etc."));
    chkTempFolderOff = makeCheck(tabMonitoring, "chkTempFolderOff",
                                 QStringLiteral("Do not monitor &temporary folder"));
    for (QCheckBox* box : {chkIndexFolderOff, chkWindowsFolderOff, chkTempFolderOff}) {
        box->setChecked(true);
        page->addWidget(box);
    }

    // The volumes stand in for drives.
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drvDirsOff->addItem(volume.rootPath());
}

void TFormMain::ensureFolderModel() {
    // The folder tree starts its file-system watcher only when the page is first shown.
    if (folderModel_) return;
    folderModel_ = new QFileSystemModel(this);
    folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folderModel_->setRootPath(QStringLiteral("/"));
    dirDirsOff->setModel(folderModel_);
    for (int column = 1; column < folderModel_->columnCount(); ++column)
        dirDirsOff->hideColumn(column);
    drvDirsOffChange();
}

void TFormMain::connectOtherPages() {
    connect(cmdNewSearch, &QPushButton::clicked, this, &TFormMain::cmdNewSearchClick);
    connect(cmdCWBack, &QToolButton::clicked, this, &TFormMain::cmdCWBackClick);
    connect(cmdCWForward, &QToolButton::clicked, this, &TFormMain::cmdCWForwardClick);
    connect(cmdCWHelp, &QPushButton::clicked, this, &TFormMain::cmdCWHelpClick);
    connect(cmdFont, &QPushButton::clicked, this, &TFormMain::cmdFontClick);
    connect(cmdBackColor, &QPushButton::clicked, this, &TFormMain::cmdBackColorClick);
    connect(chkWordWrap, &QCheckBox::clicked, this, &TFormMain::chkWordWrapClick);
    connect(chkRtfPlain, &QCheckBox::clicked, this, &TFormMain::chkRtfPlainClick);
    connect(chkHtmlSource, &QCheckBox::clicked, this, &TFormMain::chkHtmlSourceClick);
    connect(chkStayOn, &QCheckBox::clicked, this, &TFormMain::chkStayOnClick);
    connect(cmdCustLangs, &QPushButton::clicked, this, &TFormMain::cmdCustLangsClick);
    connect(btnExportDid, &QPushButton::clicked, this, &TFormMain::btnExportDidClick);
    connect(btnEditDic, &QPushButton::clicked, this, &TFormMain::btnEditDicClick);
    connect(btnEditSw, &QPushButton::clicked, this, &TFormMain::btnEditSwClick);
    connect(radNormal, &QRadioButton::clicked, this, &TFormMain::radNormalClick);
    connect(radSuspended, &QRadioButton::clicked, this, &TFormMain::radSuspendedClick);
    connect(cmdAddDirsOff, &QPushButton::clicked, this, &TFormMain::cmdAddDirsOffClick);
    connect(cmdRemoveDirsOff, &QPushButton::clicked, this, &TFormMain::cmdRemoveDirsOffClick);
    connect(chkIndexFolderOff, &QCheckBox::clicked, this, &TFormMain::chkIndexFolderOffClick);
    connect(chkWindowsFolderOff, &QCheckBox::clicked, this, &TFormMain::chkWindowsFolderOffClick);
    connect(chkTempFolderOff, &QCheckBox::clicked, this, &TFormMain::chkTempFolderOffClick);
    connect(drvDirsOff, &QComboBox::activated, this, [this](int) { drvDirsOffChange(); });
}

}  // namespace vellumar
