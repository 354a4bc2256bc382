// TFormMain's deferred start-up, and the pass that brings every automatically updateable
// index up to date after the index folder changed.
#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"
#include "index/IndexingCore.h"
#include "index/ui/TFormWizard.h"
#include "index/ui/TIndexesPage.h"
#include "monitor/MonitorLock.h"
#include "monitor/ui/TCacheWatcherPage.h"
#include "monitor/ui/TMonitoringPage.h"
#include "platform/Priority.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "search/ui/TSearchPage.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

#include <system_error>

namespace fs = std::filesystem;

namespace vellumar {

namespace {
const QString kUpdating =
    QStringLiteral(" - ") + QStringLiteral("Updating index ") + QStringLiteral("...");
}

bool TFormMain::autoUpdateable(int position) {
    if (!core_ || position < 0 || position >= core_->notifier.ScopeCount()) return false;
    return core_->notifier.GetAutoUpdate(position);
}

void TFormMain::showWindowOrTray() {
    if (settings_.tray) ui.TrayIcon1->setActive(true);
    if (ui.TrayIcon1->Active()) return;
    // No notification area: hiding the program there would leave no way back to it.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
}

void TFormMain::createStartupFolders() {
    // Errors are ignored: the Indexes page shows the folder, and creating an index there
    // tells what is wrong.
    std::error_code ec;
    const fs::path indexes = startupIndexesFolder(environment_.home);
    fs::create_directories(cacheWatcherFolder(environment_.home), ec);
    fs::create_directories(indexes, ec);
    indexesPage_->setIndexFolder(QString::fromStdString(indexes.string()));
}

void TFormMain::DeferredStartup() {
    // 1. Runs once.
    if (deferredStartupDone_) return;
    deferredStartupDone_ = true;
    state_.startup = true;
    if (!environment_.homeProblem.empty())
        showMessageBox(QString::fromStdString(environment_.homeProblem), MessageIcon::Warning,
                       MessageButtons::Ok, this);

    // 2, 3.
    hide();
    monitoringPage_->attachScanFolderEvent();

    // 4.
    int definitionFiles = 0;
    try {
        indexesPage_->FillLanguageList();
        definitionFiles = indexesPage_->countDefinitionFiles();
    } catch (...) {
        showMessageBox(QStringLiteral("Loading error."), MessageIcon::Warning, MessageButtons::Ok,
                       this);
        definitionFiles = 0;
    }

    // 5.
    setScreenCursor(CursorShape::Hourglass);
    if (definitionFiles > 0) {
        // 6.1 - 6.3
        EnableSearch();
        showPage(pageSearch);
        showWindowOrTray();
        processPendingMessages();
        int loaded = 0;
        {
            IdlePriorityScope idle;
            loaded = indexesPage_->LoadIndexes();
        }
        if (loaded > 0) {
            // 6.4 Open each index once; bring the automatically updateable ones up to date.
            int remembered = -1;
            const QString stored = QString::fromStdString(settings_.indexName).trimmed();
            // An index dropped on the way (broken, or its update failed) leaves the next
            // one at the same position, which is then tried.
            for (int i = 0; i < searchPage_->indexCount();) {
                const int count = searchPage_->indexCount();
                searchPage_->selectIndex(i);
                searchPage_->cmbUsedIndexClick();
                if (searchPage_->indexCount() < count) continue;
                if (remembered < 0 &&
                    searchPage_->indexName(i).trimmed().compare(stored, Qt::CaseInsensitive) == 0)
                    remembered = i;
                if (autoUpdateable(i)) {
                    const MonitorLock lock(core_->notifier);
                    const QString caption = windowTitle();
                    setWindowTitle(caption + kUpdating);
                    showPage(pageIndexes);
                    processPendingMessages();
                    indexesPage_->cmdUpdateClick(nullptr);
                    setWindowTitle(caption);
                    if (searchPage_->indexCount() < count) {
                        if (remembered == i) remembered = -1;
                        continue;
                    }
                }
                ++i;
            }
            const int target = remembered >= 0 ? remembered : 0;
            if (searchPage_->indexCount() > target && searchPage_->usedIndex() != target) {
                searchPage_->selectIndex(target);
                searchPage_->cmbUsedIndexClick();
            }
        } else {
            // 6.5
            DisableSearch();
            showPage(pageIndexes);
        }
    } else {
        // 7.
        DisableSearch();
        showPage(pageIndexes);
        if (state_.firstRun) createStartupFolders();
    }
    // 8, 9.
    setScreenCursor(CursorShape::Default);
    wizardResult_ = 0;
    if (settings_.wizardOnly || state_.firstRun) {
        TFormWizard wizard(*indexesPage_, *this, this);
        wizardResult_ = runModal(wizard);
        if (quitting_) return;  // the session ended while the wizard was open
    }
    // 10 - 13.
    if (isHidden() && !ui.TrayIcon1->Active()) showWindowOrTray();
    watcherPage_->ShowCacheWatcherStartPage();
    if (wizardResult_ == TFormWizard::kFinished) indexesPage_->cmdUpdateClick(nullptr);
    state_.startup = false;
    monitoringPage_->attachFolderChangedEvent();
    monitoringPage_->watchCacheFolders(watcherPage_->cacheFoldersToWatch());
    indexesPage_->enableIndexOptionControls();
}

void TFormMain::updateAutomaticIndexes(bool alsoApplicationTitle) {
    bool any = false;
    for (int j = 0; j < searchPage_->indexCount(); ++j) any = any || autoUpdateable(j);
    if (!any) return;
    const MonitorLock lock(core_->notifier);
    const QString caption = windowTitle();
    const QString title = applicationTitle();
    setWindowTitle(caption + kUpdating);
    if (alsoApplicationTitle) setApplicationTitle(title + kUpdating);
    // An index found broken and not repaired leaves the catalogue: the next one then
    // stands at the same position.
    for (int j = 0, count = searchPage_->indexCount(); j < count;) {
        searchPage_->selectIndex(j);
        searchPage_->cmbUsedIndexClick();
        if (searchPage_->indexCount() == count && autoUpdateable(j)) {
            indexesPage_->showIndex(j);
            indexesPage_->cmdUpdateClick(nullptr);
        }
        if (searchPage_->indexCount() != count)
            count = searchPage_->indexCount();
        else
            ++j;
    }
    setWindowTitle(caption);
    if (alsoApplicationTitle) setApplicationTitle(title);
    QApplication::beep();
}

}  // namespace vellumar
