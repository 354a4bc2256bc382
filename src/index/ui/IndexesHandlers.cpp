// TFormMain's Indexes page states: busy and idle around a build, the index-editing switch
// of the wizard-only setting, and the creation options, which are open for a new index
// and locked for an existing one (its language, word lengths and lists were fixed when
// it was made).
#include "app/ui/Icons.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"

#include <QAction>
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

void TFormMain::cmdBrowseClick() {}      // Hook: the folder dialog (wizard and dialogs).
void TFormMain::chkAutoUpdateClick() {}  // Hook: automatic updating.
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
    setCreationOptionsLocked(creationOptionsLocked_);
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
    if (enabled) {
        cmdRemove->setEnabled(cmbIndexName->currentIndex() >= 0);
        setCreationOptionsLocked(creationOptionsLocked_);
    }
}

void TFormMain::setCreationOptionsLocked(bool locked) {
    creationOptionsLocked_ = locked;
    if (WizardOnly) return;  // the page's controls are off as a whole
    for (QLineEdit* length : {txtMaxLen, txtMinLen}) {
        length->setReadOnly(locked);
        length->setEnabled(!locked);
    }
    chkFileAsText->setEnabled(!locked);
    chkArc->setEnabled(!locked && !runFromCD);
    chDic->setEnabled(!locked && !cmbDic->currentText().trimmed().isEmpty());
    chSW->setEnabled(!locked && !cmbSW->currentText().trimmed().isEmpty());
    // The language box stays open: choosing another language for an existing index asks
    // whether to recreate the index with it.
    cmbLanguage->setEnabled(true);
}

void TFormMain::showNewIndexState() {
    shownIndex = -1;
    cmdUpdate->setText(QStringLiteral("&Create"));
    cmdUpdate->setEnabled(!WizardOnly);
    cmdSearchUpdate->setEnabled(false);
    if (!WizardOnly) chkAutoUpdate->setEnabled(!runFromCD);
    setCreationOptionsLocked(false);
    clearStatistics();
    cmdRemove->setEnabled(false);
    mnuRemove->setEnabled(false);
}

void TFormMain::enableIndexOptionControls() {
    if (WizardOnly || indexingBusy) return;
    if (shownIndex < 0) {
        setCreationOptionsLocked(false);
        return;
    }
    // An existing index keeps its options locked but can be updated now that start-up,
    // which leaves the update buttons alone, is over.
    cmdUpdate->setEnabled(true);
    cmdSearchUpdate->setEnabled(!runFromCD);
}

void TFormMain::txtFileNamesChange() {
    if (!WizardOnly) cmdUpdate->setEnabled(true);
    if (!runFromCD) cmdSearchUpdate->setEnabled(true);
}

}  // namespace vellumar
