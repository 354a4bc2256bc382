// TFormMain's handlers of change monitoring and the Cache Watcher page. Pointing the
// folder tree at a volume is here; monitoring, the exclusions and the Cache Watcher's
// pages arrive with those subsystems, empty hooks until then.
#include "app/ui/TFormMain.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QTreeView>

namespace vellumar {

void TFormMain::ShowCacheWatcherStartPage() {}  // Hook: the Cache Watcher start page.
void TFormMain::cmdNewSearchClick() {}          // Hook: the Cache Watcher.
void TFormMain::cmdCWBackClick() {}             // Hook: the Cache Watcher's page history.
void TFormMain::cmdCWForwardClick() {}          // Hook: the Cache Watcher's page history.
void TFormMain::cmdCWHelpClick() { showHelp(24); }
void TFormMain::radNormalClick() {}            // Hook: Unlock on the notifier (automatic updating).
void TFormMain::radSuspendedClick() {}         // Hook: Lock on the notifier (automatic updating).
void TFormMain::cmdAddDirsOffClick() {}        // Hook: excluding a folder (automatic updating).
void TFormMain::cmdRemoveDirsOffClick() {}     // Hook: including a folder again.
void TFormMain::chkIndexFolderOffClick() {}    // Hook: catching up on the index folder.
void TFormMain::chkWindowsFolderOffClick() {}  // Hook: catching up on the system folders.
void TFormMain::chkTempFolderOffClick() {}     // Hook: catching up on the temporary folder.
void TFormMain::attachScanFolderEvent() {}     // Hook: OnScanFolder -> IndexFolderFiles.
void TFormMain::attachFolderChangedEvent() {}  // Hook: OnFolderChanged -> HandleFolderChange.
void TFormMain::detachNotifierEvents() {}      // Hook: both notifier events detached.

void TFormMain::drvDirsOffChange() {
    auto* model = qobject_cast<QFileSystemModel*>(dirDirsOff->model());
    if (!model || drvDirsOff->currentText().isEmpty()) return;
    dirDirsOff->setRootIndex(model->index(drvDirsOff->currentText()));
}

}  // namespace vellumar
