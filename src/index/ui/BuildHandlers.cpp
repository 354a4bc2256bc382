// TFormMain's handlers that build indexes: create, update (the whole scope or one found
// file), cancel and remove, and the window's side of a running build (busy state,
// statistics, the request values a build turned off). The builder does the work; these
// read the controls into an IndexRequest and show the outcome.
#include "app/ui/TFormMain.h"
#include "index/BuildResult.h"
#include "index/IndexingCore.h"
#include "lang/TLangStorage.h"
#include "lang/ui/LanguageCombo.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace vellumar {

namespace {

const QString kCancelCaption = QStringLiteral("&Cancel");
const QString kCancelBuildQuestion = QStringLiteral(
    "Creating\\updating the index is not completed yet.\rIf you exit just right now, the index "
    "will be removed\rAre you sure to cancel creating/updating the index?");

std::string text(const QString& s) { return s.toStdString(); }

}  // namespace

void TFormMain::cmdUpdateClick(QObject* sender) {
    if (!core_) return;
    if (indexingBusy || cmdUpdate->text() == kCancelCaption) {
        // Pressed while a build runs: it stops at its next file or folder on "Yes".
        if (ShowMessage(kCancelBuildQuestion, MessageIcon::Warning, MessageButtons::YesNo, this) ==
            MessageResult::Yes)
            requestCancel();
        return;
    }
    // An index whose name is typed (the boxes compare names without regard to case and
    // surrounding blanks) is updated, never created a second time over its own files.
    const int selected = cmbIndexName->currentIndex();
    const bool exact =
        selected >= 0 && cmbIndexName->currentText() == cmbIndexName->itemText(selected);
    const int existing =
        exact ? selected : core_->catalogue.find(text(cmbIndexName->currentText()));
    if (existing >= 0 && existing != selected) selectInBox(cmbIndexName, existing);
    // Program calls (start-up, wizard, folder change) are full updates or creations too.
    runBuild(existing >= 0 ? BuildKind::Update : BuildKind::Create, sender);
}

void TFormMain::cmdSearchUpdateClick() {
    if (indexingBusy) {
        cmdUpdateClick(cmdSearchUpdate);  // the cancel question
        return;
    }
    cmdSearchUpdate->setText(kCancelCaption);
    cmdUpdateClick(cmdSearchUpdate);
    cmdSearchUpdate->setText(QStringLiteral("&Update"));
}

void TFormMain::cmdUpdateFileClick() {
    if (!core_ || indexingBusy || core_->catalogue.opened() < 0) return;
    const QListWidgetItem* item = lstFiles->currentItem();
    if (!item) return;
    // The result list keeps a file's full name in its data when it shows something else.
    QString name = item->data(Qt::UserRole).toString();
    if (name.isEmpty()) name = item->text();
    runBuild(BuildKind::UpdateFile, nullptr, name);
    ClearResults(false);
}

IndexRequest TFormMain::requestFromControls() {
    IndexRequest r;
    r.name = text(cmbIndexName->currentText());
    r.scope = text(txtFileNames->text());
    r.maxLength = text(txtMaxLen->text());
    r.minLength = text(txtMinLen->text());
    const TLangStorage* language = LanguageOfItem(*cmbLanguage);
    if (!language) language = LanguageOfItem(*cmbLanguage, 0);
    if (language) {
        r.languageName = language->Name();
        r.languageTable = language->CharacterTable();
    }
    r.autoUpdate = chkAutoUpdate->isChecked();
    r.archives = chkArc->isChecked();
    r.filesAsText = chkFileAsText->isChecked();
    r.express = chExpress->isChecked();
    r.useStopWords = chSW->isChecked();
    r.stopWords = text(cmbSW->currentText());
    r.useDictionary = chDic->isChecked();
    r.dictionary = text(cmbDic->currentText());
    r.notes = text(txtNotes->toPlainText());
    return r;
}

void TFormMain::runBuild(BuildKind kind, QObject* sender, const QString& fileName) {
    if (!sender && kind != BuildKind::UpdateFile) tabMain->setCurrentIndex(pageIndexes);
    if (firstRun) chExpress->setChecked(true);
    IndexRequest request = requestFromControls();
    int maxLength = 0, minLength = 0;
    if (kind != BuildKind::UpdateFile && !core_->builder.Validate(request, maxLength, minLength))
        return;
    if (kind == BuildKind::Create && cmbLanguage->currentIndex() < 0)
        cmbLanguage->setCurrentIndex(0);  // the language the request took
    if (sender) ClearResults(true);
    int position = -1;
    if (kind == BuildKind::Update) position = cmbIndexName->currentIndex();
    if (kind == BuildKind::UpdateFile) {
        position = core_->catalogue.opened();
        request.scope = text(fileName);
    }
    const BuildOutcome outcome = core_->builder.Build(kind, position, request);
    afterBuild(kind, outcome);
}

void TFormMain::afterBuild(BuildKind kind, const BuildOutcome& outcome) {
    if (!outcome.ran) return;
    Catalogue& catalogue = core_->catalogue;
    const int position = outcome.position;
    const bool success = isBuildSuccess(outcome.code) && catalogue.object(position);
    if (success) {
        if (kind == BuildKind::Create) {
            // The catalogue put the new index into both boxes and opened it for searching.
            selectInBox(cmbUsedIndex, position);
            selectInBox(cmbIndexName, position);
            btnAdvanced->setEnabled(catalogue.object(position)->GetTagCount() > 0);
            if (!searchEnabled) EnableSearch();
        } else if (kind == BuildKind::Update) {
            // The definition now says Monitored as the box does; so does the notifier.
            core_->notifier.SetAutoUpdate(position, chkAutoUpdate->isChecked());
        }
        shownIndex = -1;  // show it afresh: statistics, last update, locked options
        if (cmbIndexName->currentIndex() == position) cmbIndexNameClick();
    } else if (outcome.code != BuildResult::kAbandoned && catalogue.opened() == position &&
               position >= 0) {
        // A failed update kept the index as it was: show its statistics again, not the
        // ones the failed build counted.
        shownIndex = -1;
        if (cmbIndexName->currentIndex() == position) cmbIndexNameClick();
        updateCaptionForSelection();
    } else if (outcome.code == BuildResult::kAbandoned || catalogue.object(position)) {
        updateCaptionForSelection();  // nothing was built; the page stays as it was
    } else {
        showNewIndexState();  // the index is gone from every list
    }
    QString status = success ? QStringLiteral("All is OK!") : txtStatus->text();
    if (success && !core_->builder.lastWarning().empty())
        status = QString::fromStdString(core_->builder.lastWarning());  // skipped entries
    const QString unwatchable = showUnwatchableFolders();
    if (!unwatchable.isEmpty()) status += (status.isEmpty() ? "" : "  ") + unwatchable;
    txtStatus->setText(status);
}

void TFormMain::buildStarted() {
    DisableIndexControls();
    cmdUpdate->setText(kCancelCaption);
    cmdUpdate->setEnabled(true);  // it cancels
    setScreenCursor(CursorShape::AppStart);
    // Hook: the advanced search's tag tree is emptied here (refining searches).
}

void TFormMain::buildFinished() {
    setScreenCursor(CursorShape::Default);
    EnableIndexControls();
    firstRun = false;
    updateCaptionForSelection();
}

void TFormMain::showBuildRequest(const IndexRequest& request) {
    chDic->setChecked(request.useDictionary);
    chSW->setChecked(request.useStopWords);
    chkFileAsText->setChecked(request.filesAsText);
}

void TFormMain::cmdRemoveClick() {
    if (!core_ || indexingBusy) return;
    const int position = cmbIndexName->currentIndex();
    if (position < 0 || !core_->builder.RemoveIndex(position)) return;
    // Hook: the viewer history is cleared here (viewer history).
    selectInBox(cmbIndexName, -1);
    cmbIndexName->setEditText(QString());
    txtFileNames->clear();
    txtNotes->clear();
    showNewIndexState();
    ClearResults(true);
}

void TFormMain::updateCaptionForSelection() {
    const int i = cmbIndexName->currentIndex();
    const bool existing = i >= 0 && cmbIndexName->currentText() == cmbIndexName->itemText(i);
    cmdUpdate->setText(existing ? QStringLiteral("&Update") : QStringLiteral("&Create"));
}

}  // namespace vellumar
