// TFormMain's handlers of change monitoring and the Cache Watcher page: suspending and
// resuming monitoring, the notifier's events, its shutdown, the unwatchable folders and
// pointing the folder tree at a volume. Automatic updating, the exclusions and the Cache
// Watcher's pages arrive with those subsystems, empty hooks until then.
#include "app/ui/TFormMain.h"
#include "index/IndexingCore.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QTreeView>

namespace vellumar {

void TFormMain::ShowCacheWatcherStartPage() {}  // Hook: the Cache Watcher start page.
void TFormMain::cmdNewSearchClick() {}          // Hook: the Cache Watcher.
void TFormMain::cmdCWBackClick() {}             // Hook: the Cache Watcher's page history.
void TFormMain::cmdCWForwardClick() {}          // Hook: the Cache Watcher's page history.
void TFormMain::cmdCWHelpClick() { showHelp(24); }
void TFormMain::cmdAddDirsOffClick() {}        // Hook: excluding a folder (automatic updating).
void TFormMain::cmdRemoveDirsOffClick() {}     // Hook: including a folder again.
void TFormMain::chkIndexFolderOffClick() {}    // Hook: catching up on the index folder.
void TFormMain::chkWindowsFolderOffClick() {}  // Hook: catching up on the system folders.
void TFormMain::chkTempFolderOffClick() {}     // Hook: catching up on the temporary folder.
void TFormMain::attachFolderChangedEvent() {}  // Hook: OnFolderChanged -> HandleFolderChange.

// Suspended monitoring is the notifier's lock held by the main thread: the polling
// thread starts no pass until it is released. A second click on the checked button
// must not take the lock twice.
void TFormMain::radSuspendedClick() {
    if (!core_ || monitoringSuspended_) return;
    core_->notifier.Lock();
    monitoringSuspended_ = true;
}

void TFormMain::radNormalClick() {
    if (!core_ || !monitoringSuspended_) return;
    core_->notifier.Unlock();
    monitoringSuspended_ = false;
}

void TFormMain::attachScanFolderEvent() {
    if (core_) core_->attachScanFolder();
}

void TFormMain::detachNotifierEvents() {
    if (!core_) return;
    core_->detachScanFolder();
    core_->notifier.SetOnFolderChanged({});
}

void TFormMain::shutDownNotifier() {
    if (!core_) return;
    core_->notifier.Clear();
    if (monitoringSuspended_) radNormalClick();
    core_->notifier.Terminate();  // the thread ends after its pass; releaseCoreObjects waits
}

QString TFormMain::showUnwatchableFolders() {
    const QString text =
        core_ ? QString::fromStdString(core_->notifier.UnwatchableStatusText()) : QString();
    lblUnwatchable->setText(text);
    lblUnwatchable->setVisible(!text.isEmpty());
    return text;
}

void TFormMain::drvDirsOffChange() {
    auto* model = qobject_cast<QFileSystemModel*>(dirDirsOff->model());
    if (!model || drvDirsOff->currentText().isEmpty()) return;
    dirDirsOff->setRootIndex(model->index(drvDirsOff->currentText()));
}

}  // namespace vellumar
