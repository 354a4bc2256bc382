// The Indexes page's handlers that build indexes: create, update (the whole scope or one
// found file), cancel and remove, and the page's side of a running build (busy state,
// statistics, the request values a build turned off). The builder does the work; these
// read the controls into an IndexRequest and show the outcome.
#include "index/BuildResult.h"
#include "index/IndexingCore.h"
#include "index/ui/TIndexesPage.h"
#include "lang/TLangStorage.h"
#include "lang/ui/LanguageCombo.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vellumar {

namespace {

const QString kCancelBuildQuestion = QStringLiteral(
    "Creating\\updating the index is not completed yet.\rIf you exit just right now, the index "
    "will be removed\rAre you sure to cancel creating/updating the index?");

std::string text(const QString& s) { return s.toStdString(); }

}  // namespace

void TIndexesPage::cmdUpdateClick(QObject* sender) {
    IndexingCore* core = host_.core();
    if (!core) return;
    if (host_.state().indexingBusy) {
        // Pressed while a build runs: it stops at its next file or folder on "Yes".
        if (showMessageBox(kCancelBuildQuestion, MessageIcon::Warning, MessageButtons::YesNo,
                           this) == MessageResult::Yes) {
            core->cancel = true;
            core->notifier.SetAborted(true);
        }
        return;
    }
    // An index whose name is typed (the boxes compare names without regard to case and
    // surrounding blanks) is updated, never created a second time over its own files.
    const int selected = ui.cmbIndexName->currentIndex();
    const bool exact =
        selected >= 0 && ui.cmbIndexName->currentText() == ui.cmbIndexName->itemText(selected);
    const int existing =
        exact ? selected : core->catalogue.find(text(ui.cmbIndexName->currentText()));
    if (existing >= 0 && existing != selected) selectInBox(ui.cmbIndexName, existing);
    // Program calls (start-up, wizard, folder change) are full updates or creations too.
    runBuild(existing >= 0 ? BuildKind::Update : BuildKind::Create, sender);
}

void TIndexesPage::updateFile(const QString& fileName) {
    IndexingCore* core = host_.core();
    if (!core || host_.state().indexingBusy || core->catalogue.opened() < 0) return;
    runBuild(BuildKind::UpdateFile, nullptr, fileName);
    emit clearResultsRequested(false);
}

IndexRequest TIndexesPage::requestFromControls() {
    IndexRequest r;
    r.name = text(ui.cmbIndexName->currentText());
    r.scope = text(ui.txtFileNames->text());
    r.maxLength = text(ui.txtMaxLen->text());
    r.minLength = text(ui.txtMinLen->text());
    const TLangStorage* language = LanguageOfItem(*ui.cmbLanguage);
    if (!language) language = LanguageOfItem(*ui.cmbLanguage, 0);
    if (language) {
        r.languageName = language->Name();
        r.languageTable = language->CharacterTable();
    }
    r.autoUpdate = ui.chkAutoUpdate->isChecked();
    r.archives = ui.chkArc->isChecked();
    r.filesAsText = ui.chkFileAsText->isChecked();
    r.express = ui.chExpress->isChecked();
    r.useStopWords = ui.chSW->isChecked();
    r.stopWords = text(ui.cmbSW->currentText());
    r.useDictionary = ui.chDic->isChecked();
    r.dictionary = text(ui.cmbDic->currentText());
    r.notes = text(ui.txtNotes->toPlainText());
    return r;
}

void TIndexesPage::runBuild(BuildKind kind, QObject* sender, const QString& fileName) {
    IndexingCore& core = *host_.core();
    if (!sender && kind != BuildKind::UpdateFile) host_.showPage(pageIndexes);
    if (host_.state().firstRun) ui.chExpress->setChecked(true);
    IndexRequest request = requestFromControls();
    int maxLength = 0, minLength = 0;
    if (kind != BuildKind::UpdateFile && !core.builder.Validate(request, maxLength, minLength))
        return;
    if (kind == BuildKind::Create && ui.cmbLanguage->currentIndex() < 0)
        ui.cmbLanguage->setCurrentIndex(0);  // the language the request took
    if (sender) emit clearResultsRequested(true);
    int position = -1;
    if (kind == BuildKind::Update) position = ui.cmbIndexName->currentIndex();
    if (kind == BuildKind::UpdateFile) {
        position = core.catalogue.opened();
        request.scope = text(fileName);
    }
    const BuildOutcome outcome = core.builder.Build(kind, position, request);
    afterBuild(kind, outcome);
}

void TIndexesPage::afterBuild(BuildKind kind, const BuildOutcome& outcome) {
    if (!outcome.ran) return;
    IndexingCore& core = *host_.core();
    Catalogue& catalogue = core.catalogue;
    const int position = outcome.position;
    const bool success = isBuildSuccess(outcome.code) && catalogue.object(position);
    if (success) {
        if (kind == BuildKind::Create) {
            // The catalogue put the new index into both boxes and opened it for searching.
            selectInBox(ui.cmbIndexName, position);
            emit indexCreated(position);
        } else if (kind == BuildKind::Update) {
            // The definition now says Monitored as the box does; so does the notifier.
            core.notifier.SetAutoUpdate(position, ui.chkAutoUpdate->isChecked());
        }
        shownIndex_ = -1;  // show it afresh: statistics, last update, locked options
        if (ui.cmbIndexName->currentIndex() == position) cmbIndexNameClick();
    } else if (outcome.code != BuildResult::kAbandoned && catalogue.opened() == position &&
               position >= 0) {
        // A failed update kept the index as it was: show its statistics again, not the
        // ones the failed build counted.
        shownIndex_ = -1;
        if (ui.cmbIndexName->currentIndex() == position) cmbIndexNameClick();
        updateCaption();
    } else if (outcome.code == BuildResult::kAbandoned || catalogue.object(position)) {
        updateCaption();  // nothing was built; the page stays as it was
    } else {
        showNewIndexState();  // the index is gone from every list
    }
    if (success)
        host_.setStatusText(core.builder.lastWarning().empty()
                                ? QStringLiteral("All is OK!")
                                : QString::fromStdString(core.builder.lastWarning()));
    emit buildEnded();
}

void TIndexesPage::showBuildRequest(const IndexRequest& request) {
    ui.chDic->setChecked(request.useDictionary);
    ui.chSW->setChecked(request.useStopWords);
    ui.chkFileAsText->setChecked(request.filesAsText);
}

void TIndexesPage::cmdRemoveClick() {
    IndexingCore* core = host_.core();
    if (!core || host_.state().indexingBusy) return;
    const int position = ui.cmbIndexName->currentIndex();
    if (position < 0 || !core->builder.RemoveIndex(position)) return;
    emit viewerHistoryInvalidated();
    selectInBox(ui.cmbIndexName, -1);
    ui.cmbIndexName->setEditText(QString());
    ui.txtFileNames->clear();
    ui.txtNotes->clear();
    showNewIndexState();
    emit clearResultsRequested(true);
}

}  // namespace vellumar
