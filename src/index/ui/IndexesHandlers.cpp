// TFormMain's handlers of index management: the catalogue, builds, the Indexes page.
// The busy and idle states of a build and the index-editing switch are here; the
// catalogue, the builds and the dialogs they use arrive with index management, and until
// then their handlers are empty hooks.
#include "app/ui/Icons.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"
#include "index/ui/TFormChange.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace vellumar {

bool TFormMain::createCoreObjects() {
    // Hook: ExcludedFolders is a member; the notifier, IndexObjects, IndexingParsers,
    // ViewerParsers and the viewer history are created here, in this order, when their
    // subsystems arrive.
    return true;
}

void TFormMain::releaseCoreObjects() {
    // Hook: the word processor, the archive readers, the notifier (Clear, Unlock when
    // suspended, terminate), the result arrays, the viewer history, IndexObjects, the
    // current parser, both parser sets and the language objects are released here.
}

bool TFormMain::notifierGetAutoUpdate(int) {
    return false;  // Hook: TNotifier::GetAutoUpdate arrives with the change notifier.
}

int TFormMain::countDefinitionFiles() {
    FormChange->setFolder(txtIndexFolder->text());
    return static_cast<int>(FormChange->definitionFiles().size());
}

int TFormMain::LoadIndexes() {
    return 0;  // Hook: the index catalogue loads one index object per definition file.
}

void TFormMain::UnloadAllIndexes() {}           // Hook: arrives with the index catalogue.
void TFormMain::cmbUsedIndexClick() {}          // Hook: opening the index to search (catalogue).
void TFormMain::cmbIndexNameClick() {}          // Hook: showing an index (catalogue).
void TFormMain::cmbIndexNameChange() {}         // Hook: typing a new index name (catalogue).
void TFormMain::cmdUpdateClick(QObject*) {}     // Hook: create, update, cancel (index builds).
void TFormMain::cmdRemoveClick() {}             // Hook: removing an index (index builds).
void TFormMain::cmdSearchUpdateClick() {}       // Hook: full update from the Search page.
void TFormMain::cmdChangeClick() {}             // Hook: changing the index folder (catalogue).
void TFormMain::cmdBrowseClick() {}             // Hook: the folder dialog (wizard and dialogs).
void TFormMain::txtFileNamesChange() {}         // Hook: enabling the build buttons (catalogue).
void TFormMain::enableIndexOptionControls() {}  // Hook: the creation options (catalogue).
void TFormMain::FillLanguageList() {}           // Hook: the languages and word lists (languages).
void TFormMain::cmbLanguageChange() {}          // Hook: recreating with another language.
void TFormMain::cmdCustLangsClick() {}          // Hook: starting tablewright (languages).
void TFormMain::cmbDicChange() {}               // Hook: stop-words and dictionaries.
void TFormMain::cmbSWChange() {}                // Hook: stop-words and dictionaries.
void TFormMain::cmdDots1Click() {}              // Hook: stop-words and dictionaries.
void TFormMain::cmdDots2Click() {}              // Hook: stop-words and dictionaries.
void TFormMain::btnEditDicClick() {}            // Hook: stop-words and dictionaries.
void TFormMain::btnEditSwClick() {}             // Hook: stop-words and dictionaries.
void TFormMain::btnExportDidClick() {}          // Hook: stop-words and dictionaries.
void TFormMain::chkAutoUpdateClick() {}         // Hook: automatic updating.
void TFormMain::chkArcClick() {}  // Hook: automatic updating (the two boxes exclude each other).

namespace {

QList<QWidget*> indexBusyControls(TFormMain& w) {
    return {w.txtFileNames, w.cmbIndexName, w.txtIndexFolder, w.cmdRemove,     w.cmdBrowse,
            w.cmdChange,    w.txtNotes,     w.chkFileAsText,  w.cmbLanguage,   w.cmbSW,
            w.cmbDic,       w.cmdDots1,     w.cmdDots2,       w.chkAutoUpdate, w.chkArc,
            w.pnlBoxes1,    w.pnlStat,      w.pnlStat2,       w.txtMaxLen,     w.txtMinLen};
}

void setBusyPictures(TFormMain& w, bool busy) {
    const QIcon icon = sunIcon(busy);
    w.setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
    w.TrayIcon1->setIcon(icon);
}

}  // namespace

void TFormMain::DisableIndexControls() {
    indexingBusy = true;
    mnuCreate->setEnabled(false);
    mnuRemove->setEnabled(false);
    mnuEdit->setEnabled(false);
    mnuOptions->setEnabled(false);
    pnlBar->setEnabled(false);
    mnuCancel->setEnabled(true);
    setBusyPictures(*this, true);
    if (WizardOnly) {
        cmdUpdate->setEnabled(true);
        return;
    }
    for (QWidget* control : indexBusyControls(*this)) control->setEnabled(false);
}

void TFormMain::EnableIndexControls() {
    indexingBusy = false;
    mnuCreate->setEnabled(true);
    mnuEdit->setEnabled(true);
    mnuOptions->setEnabled(true);
    pnlBar->setEnabled(true);
    mnuCancel->setEnabled(false);
    setBusyPictures(*this, false);
    const bool selected = cmbIndexName->currentIndex() >= 0;
    mnuRemove->setEnabled(selected);
    if (WizardOnly) {
        cmdUpdate->setEnabled(false);
        return;
    }
    for (QWidget* control : indexBusyControls(*this)) control->setEnabled(true);
    cmdRemove->setEnabled(selected);
    if (runFromCD) {
        chkAutoUpdate->setEnabled(false);
        chkArc->setEnabled(false);
    }
}

void TFormMain::setIndexEditingControls(bool enabled) {
    // Every control placed directly on the page or on its option panels; the frames that
    // only group them stay as they are.
    const QList<QWidget*> frames{bvlOptions, bvlAutoUpdate, bvlStatistics};
    auto apply = [&](QWidget* parent) {
        for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!frames.contains(child)) child->setEnabled(enabled);
    };
    apply(tabIndexes);
    apply(pnlBoxes1);
    apply(pnlStat);
    apply(pnlStat2);
    cmdUpdate->setEnabled(indexingBusy);
    if (enabled) cmdRemove->setEnabled(cmbIndexName->currentIndex() >= 0);
}

}  // namespace vellumar
