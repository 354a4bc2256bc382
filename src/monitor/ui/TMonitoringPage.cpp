#include "monitor/ui/TMonitoringPage.h"

#include "index/FolderChangeHandler.h"
#include "index/IndexingCore.h"
#include "monitor/MonitorLock.h"
#include "platform/ProgramSetup.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"

#include <algorithm>

#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellumar {

namespace {

// The window's side of an automatic update: its work is done on the main thread, whichever
// thread runs the update.
class WindowUpdateView : public FolderChangeView {
  public:
    WindowUpdateView(TMonitoringPage& page, TNotifier& notifier)
        : page_(page), notifier_(notifier) {}
    void updateStarting(int, const std::string&) override {
        notifier_.RunInMainThread([this] { page_.automaticUpdateStarting(); });
    }
    void updateFinished(const FolderChangeReport& report) override {
        notifier_.RunInMainThread([this, &report] { page_.automaticUpdateFinished(report); });
    }

  private:
    TMonitoringPage& page_;
    TNotifier& notifier_;
};

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
}

}  // namespace

TMonitoringPage::~TMonitoringPage() {
    // The core outlives the page only in tests; it must not call a view that is gone.
    if (IndexingCore* core = host_.core()) core->folderChanges.SetView(nullptr);
}

TMonitoringPage::TMonitoringPage(PageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("tabMonitoring"));
    build();
    connect(ui.radNormal, &QRadioButton::clicked, this, &TMonitoringPage::radNormalClick);
    connect(ui.radSuspended, &QRadioButton::clicked, this, &TMonitoringPage::radSuspendedClick);
    connect(ui.cmdAddDirsOff, &QPushButton::clicked, this, &TMonitoringPage::cmdAddDirsOffClick);
    connect(ui.cmdRemoveDirsOff, &QPushButton::clicked, this,
            &TMonitoringPage::cmdRemoveDirsOffClick);
    connect(ui.chkIndexFolderOff, &QCheckBox::clicked, this,
            &TMonitoringPage::chkIndexFolderOffClick);
    connect(ui.chkWindowsFolderOff, &QCheckBox::clicked, this,
            &TMonitoringPage::chkWindowsFolderOffClick);
    connect(ui.chkTempFolderOff, &QCheckBox::clicked, this,
            &TMonitoringPage::chkTempFolderOffClick);
    connect(ui.drvDirsOff, &QComboBox::activated, this, [this](int) { drvDirsOffChange(); });
}

void TMonitoringPage::build() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);

    ui.fraMonitoring1 = named(new QGroupBox(QStringLiteral("Monitoring"), this), "fraMonitoring1");
    auto* state = new QHBoxLayout(ui.fraMonitoring1);
    ui.radNormal =
        named(new QRadioButton(QStringLiteral("&Normal"), ui.fraMonitoring1), "radNormal",
              QStringLiteral("Ensures immediate updating of automatically updateable indexes. "
                             "Launches suspended updatings."));
    ui.radSuspended =
        named(new QRadioButton(QStringLiteral("Sus&pended"), ui.fraMonitoring1), "radSuspended",
              QStringLiteral("Switching to \"Suspended\" suspends updatings of automatically "
                             "updateable indexes."));
    ui.radNormal->setChecked(true);
    state->addWidget(ui.radNormal);
    state->addWidget(ui.radSuspended);
    state->addStretch(1);
    page->addWidget(ui.fraMonitoring1);
    // Folders the system refused to watch: indexed, but their changes are not seen.
    ui.lblUnwatchable = makeLabel(this, "lblUnwatchable", QString());
    ui.lblUnwatchable->setWordWrap(true);
    ui.lblUnwatchable->hide();
    page->addWidget(ui.lblUnwatchable);

    ui.fraMonitoring2 = named(new QGroupBox(QStringLiteral("Folders"), this), "fraMonitoring2");
    page->addWidget(ui.fraMonitoring2, 1);
    QWidget* folders = ui.fraMonitoring2;
    auto* grid = new QGridLayout(folders);
    ui.lstDirsOff = named(
        new QListWidget(folders), "lstDirsOff",
        QStringLiteral("Place here those folders the system ignores the changings of files from"));
    // The list's scroll range follows its widest folder.
    ui.lstDirsOff->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui.lstDirsOff->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ui.lblDirsOff1 = makeLabel(folders, "lblDirsOff1", QStringLiteral("E&xclude from monitoring:"),
                               ui.lstDirsOff);
    ui.cmdAddDirsOff = makeButton(
        folders, "cmdAddDirsOff", QStringLiteral("<< &Add"),
        QStringLiteral("Adds current folder to list of folders excluded from monitoring"));
    ui.cmdRemoveDirsOff =
        makeButton(folders, "cmdRemoveDirsOff", QStringLiteral("&Remove >>"),
                   QStringLiteral("Removes selected folder from monitor exclusion"));
    ui.dirDirsOff = named(new QTreeView(folders), "dirDirsOff",
                          QStringLiteral("Double click to make a folder the current"));
    ui.dirDirsOff->setHeaderHidden(true);
    ui.lblDirsOff2 =
        makeLabel(folders, "lblDirsOff2", QStringLiteral("Select a &folder:"), ui.dirDirsOff);
    ui.drvDirsOff = named(new QComboBox(folders), "drvDirsOff");
    ui.drvDirsOff->setMinimumContentsLength(4);
    ui.drvDirsOff->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblDirsOff3 =
        makeLabel(folders, "lblDirsOff3", QStringLiteral("Select a &drive:"), ui.drvDirsOff);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ui.cmdAddDirsOff);
    buttons->addWidget(ui.cmdRemoveDirsOff);
    buttons->addStretch(3);
    grid->addWidget(ui.lblDirsOff1, 0, 0);
    grid->addWidget(ui.lstDirsOff, 1, 0, 3, 1);
    grid->addLayout(buttons, 1, 1, 3, 1);
    grid->addWidget(ui.lblDirsOff2, 0, 2);
    grid->addWidget(ui.dirDirsOff, 1, 2);
    grid->addWidget(ui.lblDirsOff3, 2, 2);
    grid->addWidget(ui.drvDirsOff, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);

    ui.chkIndexFolderOff = makeCheck(
        this, "chkIndexFolderOff", QStringLiteral("Do not monitor &Index folder"),
        QStringLiteral("Excludes Index folder from monitoring to ignore index file changings."));
    ui.chkWindowsFolderOff = makeCheck(
        this, "chkWindowsFolderOff", QStringLiteral("Do not monitor &system folders"),
        QStringLiteral("Excludes system folders from monitoring to ignore changes of swap "
                       "file, registry database files etc."));
    ui.chkTempFolderOff =
        makeCheck(this, "chkTempFolderOff", QStringLiteral("Do not monitor &temporary folder"));
    for (QCheckBox* box : {ui.chkIndexFolderOff, ui.chkWindowsFolderOff, ui.chkTempFolderOff}) {
        box->setChecked(true);
        page->addWidget(box);
    }

    // The volumes stand in for drives.
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) ui.drvDirsOff->addItem(volume.rootPath());
}

void TMonitoringPage::showSettings() {
    Settings& settings = host_.settings();
    // Sorted once at start; duplicates already in the setting stay.
    std::stable_sort(settings.notMonitoredDirectories.begin(),
                     settings.notMonitoredDirectories.end(), lessIgnoringCase);
    showExcludedFolders();
    ui.chkIndexFolderOff->setChecked(settings.indexFolderOff);
    ui.chkWindowsFolderOff->setChecked(settings.windowsFolderOff);
    ui.chkTempFolderOff->setChecked(settings.tempFolderOff);
    applyMonitoringFilter();
}

void TMonitoringPage::showExcludedFolders() {
    ui.lstDirsOff->clear();
    for (const std::string& folder : host_.settings().notMonitoredDirectories)
        ui.lstDirsOff->addItem(QString::fromStdString(folder));
}

void TMonitoringPage::applyMonitoringFilter() {
    IndexingCore* core = host_.core();
    if (!core) return;
    const Settings& settings = host_.settings();
    MonitoringFilter filter;
    filter.excludedFolders = settings.notMonitoredDirectories;
    filter.indexFolderOff = settings.indexFolderOff;
    filter.systemFoldersOff = settings.windowsFolderOff;
    filter.tempFolderOff = settings.tempFolderOff;
    filter.indexFolder = settings.indexFolder;
    filter.systemFolders = defaultSystemFolders();
    filter.tempFolder = temporaryFolder();
    core->folderChanges.SetFilter(std::move(filter));
}

std::string TMonitoringPage::temporaryFolder() const {
    const std::string folder = host_.environment().systemTemp.string();
    return folder.empty() ? defaultTempFolder() : folder;
}

void TMonitoringPage::catchUpOn(const QString& folder) {
    IndexingCore* core = host_.core();
    if (!core || folder.isEmpty()) return;
    const CursorScope busy(CursorShape::Hourglass);
    const MonitorLock lock(core->notifier);
    core->notifier.FolderChanged(folderKeyOf(folder.toStdString()));
}

void TMonitoringPage::pageShown() {
    // The folder tree starts its file-system watcher only when the page is first shown.
    if (!folderModel_) {
        folderModel_ = new QFileSystemModel(this);
        folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
        folderModel_->setRootPath(QStringLiteral("/"));
        ui.dirDirsOff->setModel(folderModel_);
        for (int column = 1; column < folderModel_->columnCount(); ++column)
            ui.dirDirsOff->hideColumn(column);
        drvDirsOffChange();
    }
    showUnwatchableFolders();
}

void TMonitoringPage::cmdAddDirsOffClick() {
    if (!folderModel_ || !ui.dirDirsOff->currentIndex().isValid()) return;
    const QString folder = folderModel_->filePath(ui.dirDirsOff->currentIndex());
    if (folder.isEmpty()) return;
    std::vector<std::string>& excluded = host_.settings().notMonitoredDirectories;
    const std::string added = folder.toStdString();
    {
        IndexingCore* core = host_.core();
        std::unique_ptr<MonitorLock> lock;
        if (core) lock = std::make_unique<MonitorLock>(core->notifier);
        if (std::find(excluded.begin(), excluded.end(), added) != excluded.end()) return;
        excluded.insert(std::upper_bound(excluded.begin(), excluded.end(), added, lessIgnoringCase),
                        added);
        applyMonitoringFilter();
    }
    showExcludedFolders();
}

void TMonitoringPage::cmdRemoveDirsOffClick() {
    const int row = ui.lstDirsOff->currentRow();
    std::vector<std::string>& excluded = host_.settings().notMonitoredDirectories;
    if (row < 0 || row >= static_cast<int>(excluded.size())) return;
    const QString folder = ui.lstDirsOff->item(row)->text();
    {
        const CursorScope busy(CursorShape::Hourglass);
        IndexingCore* core = host_.core();
        std::unique_ptr<MonitorLock> lock;
        if (core) lock = std::make_unique<MonitorLock>(core->notifier);
        excluded.erase(excluded.begin() + row);
        applyMonitoringFilter();
        // What changed while the folder was excluded is indexed now.
        catchUpOn(folder);
    }
    showExcludedFolders();
}

void TMonitoringPage::attachFolderChangedEvent() {
    IndexingCore* core = host_.core();
    if (!core) return;
    if (!view_) view_ = std::make_unique<WindowUpdateView>(*this, core->notifier);
    applyMonitoringFilter();
    core->folderChanges.SetView(view_.get());
    core->folderChanges.Attach();
}

void TMonitoringPage::watchCacheFolders(const QStringList& folders) {
    if (!cacheWatch_) {
        cacheWatch_ = new QFileSystemWatcher(this);
        cacheQuiet_ = new QTimer(this);
        cacheQuiet_->setSingleShot(true);
        cacheQuiet_->setInterval(2000);
        connect(cacheWatch_, &QFileSystemWatcher::directoryChanged, cacheQuiet_,
                qOverload<>(&QTimer::start));
        connect(cacheQuiet_, &QTimer::timeout, this, [this] {
            if (monitoringSuspended_)
                cacheChangedWhileSuspended_ = true;
            else
                emit cacheFoldersChanged();
        });
    }
    if (!cacheWatch_->directories().isEmpty()) cacheWatch_->removePaths(cacheWatch_->directories());
    for (const QString& folder : folders)
        if (QFileInfo(folder).isDir()) cacheWatch_->addPath(folder);
}

void TMonitoringPage::automaticUpdateStarting() {
    savedStatus_ = host_.statusText();
    setScreenCursor(CursorShape::Hourglass);
    emit automaticUpdateRunning(true);
}

void TMonitoringPage::automaticUpdateFinished(const FolderChangeReport& report) {
    host_.setStatusText(savedStatus_);
    if (!report.outcome.message.empty())
        showMessageBox(QString::fromStdString(report.outcome.message), MessageIcon::Error,
                       MessageButtons::Ok, this);
    else if (report.outcome.changed)
        emit indexAutoUpdated(report.position, QString::fromStdString(report.outcome.lastUpdated));
    emit automaticUpdateRunning(false);
    setScreenCursor(CursorShape::Default);
}

void TMonitoringPage::chkIndexFolderOffClick() {
    host_.settings().indexFolderOff = ui.chkIndexFolderOff->isChecked();
    applyMonitoringFilter();
    if (!ui.chkIndexFolderOff->isChecked())
        catchUpOn(QString::fromStdString(host_.settings().indexFolder));
}

void TMonitoringPage::chkWindowsFolderOffClick() {
    host_.settings().windowsFolderOff = ui.chkWindowsFolderOff->isChecked();
    applyMonitoringFilter();
    if (!ui.chkWindowsFolderOff->isChecked())
        for (const std::string& folder : defaultSystemFolders())
            catchUpOn(QString::fromStdString(folder));
}

void TMonitoringPage::chkTempFolderOffClick() {
    host_.settings().tempFolderOff = ui.chkTempFolderOff->isChecked();
    applyMonitoringFilter();
    if (!ui.chkTempFolderOff->isChecked()) catchUpOn(QString::fromStdString(defaultTempFolder()));
}

// Suspended monitoring is the notifier's lock held by the main thread: the polling
// thread starts no pass until it is released. A second click on the checked button
// must not take the lock twice.
void TMonitoringPage::radSuspendedClick() {
    IndexingCore* core = host_.core();
    if (!core || monitoringSuspended_) return;
    core->notifier.Lock();
    monitoringSuspended_ = true;
}

void TMonitoringPage::radNormalClick() {
    IndexingCore* core = host_.core();
    if (!core || !monitoringSuspended_) return;
    core->notifier.Unlock();
    monitoringSuspended_ = false;
    if (cacheChangedWhileSuspended_) {
        cacheChangedWhileSuspended_ = false;
        emit cacheFoldersChanged();
    }
}

void TMonitoringPage::attachScanFolderEvent() {
    if (IndexingCore* core = host_.core()) core->attachScanFolder();
}

void TMonitoringPage::detachNotifierEvents() {
    IndexingCore* core = host_.core();
    if (!core) return;
    core->detachScanFolder();
    core->folderChanges.Detach();
}

void TMonitoringPage::shutDownNotifier() {
    IndexingCore* core = host_.core();
    if (!core) return;
    core->notifier.Clear();
    if (monitoringSuspended_) radNormalClick();
    core->notifier.Terminate();  // the thread ends after its pass; the core's end waits
}

QString TMonitoringPage::showUnwatchableFolders() {
    IndexingCore* core = host_.core();
    const QString text =
        core ? QString::fromStdString(core->notifier.UnwatchableStatusText()) : QString();
    QString shown = text;
    if (core && !text.isEmpty()) {
        // The page names the folders and what to do about them; the status line only counts.
        const MonitorLock lock(core->notifier);
        const TDirectoryTable& tables = core->notifier.Tables();
        const int count = tables.Unwatchable().Count();
        constexpr int kListed = 10;
        for (int i = 0; i < count && i < kListed; ++i)
            shown += QStringLiteral("\n    ") +
                     QString::fromStdString(tables.UnwatchableFolder(i)->Path());
        if (count > kListed) shown += QStringLiteral("\n    ... and %1 more").arg(count - kListed);
        if (tables.WatchLimitReached())
            shown += QStringLiteral(
                "\nRaise the limit (as root: sysctl fs.inotify.max_user_watches=524288, and in "
                "/etc/sysctl.d/ to keep it), then update the index.");
    }
    ui.lblUnwatchable->setText(shown);
    ui.lblUnwatchable->setVisible(!shown.isEmpty());
    return text;
}

void TMonitoringPage::drvDirsOffChange() {
    if (!folderModel_ || ui.drvDirsOff->currentText().isEmpty()) return;
    for (;;) {
        const QString volume = ui.drvDirsOff->currentText();
        const QModelIndex root = folderModel_->index(volume);
        if (root.isValid() && QFileInfo(volume).isReadable()) {
            ui.dirDirsOff->setRootIndex(root);
            shownVolume_ = volume;
            return;
        }
        if (showMessageBox(
                QStringLiteral("The drive is not ready.\rRetry or cancel the operation."),
                MessageIcon::Error, MessageButtons::RetryCancel, this) != MessageResult::Retry) {
            // Back to the volume the folder list shows.
            const int shown = ui.drvDirsOff->findText(shownVolume_);
            ui.drvDirsOff->setCurrentIndex(shown);
            return;
        }
    }
}

}  // namespace vellumar
