// TFormMain's long-lived objects of index management: the core (notifier, parser sets,
// indexer, catalogue, builder) with its main-thread dispatcher, the language list, and
// the bridge that mirrors the core into the window.
#include "app/ui/TFormMain.h"
#include "index/IndexingCore.h"
#include "index/ui/IndexingBridge.h"
#include "lang/TLangStorage.h"
#include "lang/TLanguageList.h"
#include "lang/ui/LanguageCombo.h"
#include "monitor/ui/QtMainThreadDispatcher.h"
#include "platform/MediaPath.h"
#include "platform/ui/QtUserInterface.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QThread>

namespace vellumar {

bool TFormMain::createCoreObjects() {
    IndexingCoreSettings settings;
    settings.home = environment_.home;
    settings.indexFolder = txtIndexFolder->text().trimmed().toStdString();
    settings.programTempFolder = programTempFolder.toStdString();
    settings.runFromCd = runFromCD;
    if (runFromCD) settings.mountPoint = mountPointOf(programFolder.toStdString());
    // Both parser sets start with the table of the list's first language.
    if (const TLangStorage* first = LanguageOfItem(*cmbLanguage, 0))
        settings.firstLanguageTable = first->CharacterTable();
    dispatcher_ = std::make_unique<QtMainThreadDispatcher>();
    core_ = std::make_unique<IndexingCore>(*userInterface, *dispatcher_, progressThrottle,
                                           std::move(settings));
    bridge_ = std::make_unique<IndexingBridge>(*this);
    core_->catalogue.setListener(bridge_.get());
    core_->builder.setListener(bridge_.get());
    core_->indexer.setDocumentListener([this](const vellcore::IndexObject& index) {
        // Only the window's own builds show their progress here; an automatic update on
        // the notifier thread must not touch the controls.
        if (QThread::currentThread() != thread() || !indexingBusy) return;
        showStatistics(index);
        emit documentStored(index.GetRecordCount());
    });
    return true;
}

void TFormMain::releaseCoreObjects() {
    if (core_) {
        core_->catalogue.setListener(nullptr);
        core_->builder.setListener(nullptr);
        core_->indexer.setDocumentListener({});
    }
    // The core's destructor detaches the events, clears the notifier and waits for its
    // thread, serving its last main-thread calls.
    core_.reset();
    bridge_.reset();
    dispatcher_.reset();
    // The language box's items point at the list's entries: empty the box first.
    cmbLanguage->clear();
    if (languages_) languages_->Clear();
}

void TFormMain::requestCancel() {
    if (!core_) return;
    core_->cancel = true;
    core_->notifier.SetAborted(true);
}

bool TFormMain::cancelFlag() const { return core_ && core_->cancel.load(); }
bool TFormMain::notifierAborted() const { return core_ && core_->notifier.Aborted(); }

bool TFormMain::notifierGetAutoUpdate(int position) {
    if (!core_ || position < 0 || position >= core_->notifier.ScopeCount()) return false;
    return core_->notifier.GetAutoUpdate(position);
}

// A catalogue change is not the user's choice in the boxes: the boxes keep their current
// item (or none, with the typed text) and their change handlers stay silent.
void TFormMain::indexInserted(int position, const QString& name) {
    for (QComboBox* box : {cmbIndexName, cmbUsedIndex}) {
        const QSignalBlocker blocker(box);
        const bool none = box->currentIndex() < 0;
        const QString text = box->currentText();
        box->insertItem(position, name);
        if (none) {
            box->setCurrentIndex(-1);
            if (box->isEditable()) box->setEditText(text);
        }
    }
    if (shownIndex >= position) ++shownIndex;
}

void TFormMain::indexRemoved(int position) {
    for (QComboBox* box : {cmbIndexName, cmbUsedIndex}) {
        const QSignalBlocker blocker(box);
        const bool current = box->currentIndex() == position;
        const QString text = box->currentText();
        box->removeItem(position);
        if (current) {
            box->setCurrentIndex(-1);
            if (box->isEditable()) box->setEditText(text);
        }
    }
    if (shownIndex == position)
        shownIndex = -1;
    else if (shownIndex > position)
        --shownIndex;
}

void TFormMain::showStatistics(const vellcore::IndexObject& index) {
    lblFileCount1->setNum(index.GetRecordCount());
    lblFileRem1->setNum(index.GetRemovedCount());
    lblVolume1->setText(QString::number(index.GetTotalSizeKB()));
    lblWordCount1->setText(QString::number(index.GetWordCount()));
    L1->show();
    lblUniqWordCount->setText(QString::number(index.GetUniqueWordCount()));
}

void TFormMain::clearStatistics() {
    for (QLabel* label :
         {lblFileCount1, lblFileRem1, lblVolume1, lblWordCount1, lblUniqWordCount, lblLastUpdated1})
        label->clear();
    L1->hide();
}

void IndexingBridge::indexInserted(int position, const std::string& name) {
    window_.indexInserted(position, QString::fromStdString(name));
}
void IndexingBridge::indexRemoved(int position) { window_.indexRemoved(position); }
void IndexingBridge::buildStarted() { window_.buildStarted(); }
void IndexingBridge::buildFinished() { window_.buildFinished(); }
void IndexingBridge::requestChanged(const IndexRequest& request) {
    window_.showBuildRequest(request);
}

}  // namespace vellumar
