// TMonitoringPage: the "Monitoring" page: monitoring normal or suspended, the folders
// excluded from monitoring (lstDirsOff, which shows Settings::notMonitoredDirectories,
// the window's ExcludedFolders), the folder tree and volume box to pick one, the three
// "Do not monitor" boxes and the folders the system refused to watch. It also attaches
// and detaches the notifier's two events and shuts the notifier down, since suspended
// monitoring is the notifier's lock held here.
//
// Automatic updating itself is the core's FolderChangeHandler; this page gives it the
// filter made of its settings and a view that does the window's part on the main thread
// (status line, cursor, buttons through automaticUpdateRunning, the failure message, the
// statistics and the result list through indexAutoUpdated).
//
// Owned by the main window (as its page widget); main thread only.
#pragma once

#include <QWidget>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QTimer;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace vellumar {

class FolderChangeView;
struct FolderChangeReport;
class PageHost;

class TMonitoringPage : public QWidget {
    Q_OBJECT
  public:
    struct Controls {
        QGroupBox* fraMonitoring1 = nullptr;
        QRadioButton* radNormal = nullptr;
        QRadioButton* radSuspended = nullptr;
        QLabel* lblUnwatchable = nullptr;
        QGroupBox* fraMonitoring2 = nullptr;
        QLabel* lblDirsOff1 = nullptr;
        QListWidget* lstDirsOff = nullptr;
        QPushButton* cmdAddDirsOff = nullptr;
        QPushButton* cmdRemoveDirsOff = nullptr;
        QLabel* lblDirsOff2 = nullptr;
        QTreeView* dirDirsOff = nullptr;
        QLabel* lblDirsOff3 = nullptr;
        QComboBox* drvDirsOff = nullptr;
        QCheckBox* chkIndexFolderOff = nullptr;
        QCheckBox* chkWindowsFolderOff = nullptr;
        QCheckBox* chkTempFolderOff = nullptr;
    };

    explicit TMonitoringPage(PageHost& host, QWidget* parent = nullptr);
    ~TMonitoringPage() override;
    // For tests and the page itself.
    const Controls& controls() const { return ui; }

    // ---- Handlers ----
    void radNormalClick();
    void radSuspendedClick();
    void cmdAddDirsOffClick();
    void cmdRemoveDirsOffClick();
    void chkIndexFolderOffClick();
    void chkWindowsFolderOffClick();
    void chkTempFolderOffClick();
    void drvDirsOffChange();

    // ---- The notifier's events and its end ----
    void attachScanFolderEvent();
    void attachFolderChangedEvent();
    void detachNotifierEvents();
    void shutDownNotifier();  // FormDestroy: Clear, Unlock when suspended, terminate

    // ---- What the frame asks of the page ----
    void showSettings();  // the excluded folders and the three boxes
    void pageShown();     // the folder tree is made the first time; the refused folders
    // The folders the system refused to watch, shown on the page; returns the text ("" when
    // none).
    QString showUnwatchableFolders();
    // The settings and the index folder as the automatic updates' filter.
    void applyMonitoringFilter();
    // Reports folder (as the user names it) to the notifier as changed, so the changes
    // made while it was not monitored are indexed now.
    void catchUpOn(const QString& folder);

    // Watches the browsers' cache folders: a change (after a short quiet time, and not
    // while monitoring is suspended) is announced with cacheFoldersChanged.
    void watchCacheFolders(const QStringList& folders);

    // ---- The automatic update's window work (main thread) ----
    void automaticUpdateStarting();
    void automaticUpdateFinished(const FolderChangeReport& report);

  signals:
    // An automatic update starts (searching and updating are off) or ends.
    void automaticUpdateRunning(bool running);
    // An automatic update changed the index at position: its statistics and the listed
    // results follow.
    void indexAutoUpdated(int position, const QString& lastUpdated);
    // A browser's cache changed: the Cache Watcher's mirror and index follow.
    void cacheFoldersChanged();

  private:
    void build();
    void showExcludedFolders();
    std::string temporaryFolder() const;  // the system's, as the program found it at start

    PageHost& host_;
    Controls ui;
    QFileSystemModel* folderModel_ = nullptr;
    bool monitoringSuspended_ = false;  // radSuspended holds the notifier lock
    std::unique_ptr<FolderChangeView> view_;
    QString savedStatus_;
    QString shownVolume_;  // the volume the folder list shows
    QFileSystemWatcher* cacheWatch_ = nullptr;
    QTimer* cacheQuiet_ = nullptr;  // one refresh for a burst of cache writes
    bool cacheChangedWhileSuspended_ = false;
};

}  // namespace vellumar
