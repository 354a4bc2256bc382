// The Indexes page's side of the index catalogue: loading and unloading, the index shown
// here (cmbIndexName) in step with the index open for searching, the catalogue mirrored
// into the box, the statistics, and changing the index folder.
#include "index/IndexFolder.h"
#include "index/IndexingCore.h"
#include "index/ui/TFormBrowse.h"
#include "index/ui/TFormChange.h"
#include "index/ui/TIndexesPage.h"
#include "lang/ui/LanguageCombo.h"
#include "platform/Priority.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "scope/ScopeStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace fs = std::filesystem;

namespace vellumar {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Adds a word-list name to its box unless the box lists it already.
void addMissingName(QComboBox* box, const QString& name) {
    if (!name.isEmpty() && box->findText(name, Qt::MatchFixedString) < 0) box->addItem(name);
}

}  // namespace

void TIndexesPage::setIndexFolder(const QString& folder) {
    host_.settings().indexFolder = folder.toStdString();
    ui.txtIndexFolder->setText(folder);
    if (ui.FormChange) ui.FormChange->setFolder(folder);
    if (IndexingCore* core = host_.core()) core->catalogue.setIndexFolder(folder.toStdString());
}

int TIndexesPage::countDefinitionFiles() {
    ui.FormChange->setFolder(QString::fromStdString(host_.settings().indexFolder).trimmed());
    return static_cast<int>(ui.FormChange->definitionFiles().size());
}

int TIndexesPage::LoadIndexes() {
    IndexingCore* core = host_.core();
    if (!core) return 0;
    const QString status = host_.statusText();
    const QString folder = QString::fromStdString(host_.settings().indexFolder).trimmed();
    ui.FormChange->setFolder(folder);
    std::vector<fs::path> files;
    for (const QString& name : ui.FormChange->definitionFiles())
        files.push_back(fs::path(folder.toStdString()) / name.toStdString());
    core->catalogue.setIndexFolder(folder.toStdString());
    const int loaded = core->catalogue.LoadIndexes(files);
    host_.setStatusText(status);
    return loaded;
}

void TIndexesPage::UnloadAllIndexes() {
    emit viewerHistoryInvalidated();
    if (IndexingCore* core = host_.core()) core->catalogue.UnloadAllIndexes();
    shownIndex_ = -1;
    updateCaption();
    ui.cmdRemove->setEnabled(false);
    emit removeAllowed(false);
}

// A catalogue change is not the user's choice in the box: it keeps its current item (or
// none, with the typed text) and its change handler stays silent.
void TIndexesPage::indexInserted(int position, const QString& name) {
    const QSignalBlocker blocker(ui.cmbIndexName);
    const bool none = ui.cmbIndexName->currentIndex() < 0;
    const QString text = ui.cmbIndexName->currentText();
    ui.cmbIndexName->insertItem(position, name);
    if (none) {
        ui.cmbIndexName->setCurrentIndex(-1);
        ui.cmbIndexName->setEditText(text);
    }
    if (shownIndex_ >= position) ++shownIndex_;
}

void TIndexesPage::indexRemoved(int position) {
    const QSignalBlocker blocker(ui.cmbIndexName);
    const bool current = ui.cmbIndexName->currentIndex() == position;
    const QString text = ui.cmbIndexName->currentText();
    ui.cmbIndexName->removeItem(position);
    if (current) {
        ui.cmbIndexName->setCurrentIndex(-1);
        ui.cmbIndexName->setEditText(text);
    }
    if (shownIndex_ == position)
        shownIndex_ = -1;
    else if (shownIndex_ > position)
        --shownIndex_;
}

void TIndexesPage::showOpenedIndex(int position) {
    if (!showingIndex_ &&
        (ui.cmbIndexName->currentIndex() != position || shownIndex_ != position)) {
        selectInBox(ui.cmbIndexName, position);
        cmbIndexNameClick();
    }
    if (!wizardOnly()) ui.cmdUpdate->setEnabled(true);
}

void TIndexesPage::showIndex(int position) {
    if (ui.cmbIndexName->currentIndex() == position) return;
    selectInBox(ui.cmbIndexName, position);
    cmbIndexNameClick();
}

void TIndexesPage::cmbIndexNameClick() {
    IndexingCore* core = host_.core();
    if (!core || host_.state().indexingBusy) return;
    Catalogue& catalogue = core->catalogue;
    const int i = ui.cmbIndexName->currentIndex();
    if (!catalogue.object(i)) return;
    if (i == shownIndex_) {
        updateCaption();
        ui.cmdRemove->setEnabled(!wizardOnly());
        emit removeAllowed(true);
        return;
    }
    const QScopedValueRollback<bool> showing(showingIndex_, true);
    const std::string name = catalogue.name(i);
    ui.cmdUpdate->setEnabled(false);
    emit viewerHistoryInvalidated();
    ui.cmdUpdate->setText(QStringLiteral("&Update"));
    setCreationOptionsLocked(true);

    const IndexDefinition definition =
        IndexDefinition::load(catalogue.definitionFile(i)).value_or(IndexDefinition{});
    ui.chExpress->setChecked(definition.express);
    ui.chDic->setChecked(!definition.dictionary.empty());
    if (ui.chDic->isChecked()) ui.cmbDic->setEditText(q(definition.dictionary));
    ui.chSW->setChecked(!definition.stopWords.empty());
    if (ui.chSW->isChecked()) ui.cmbSW->setEditText(q(definition.stopWords));
    ui.txtFileNames->setText(q(catalogue.effectiveScope(definition.scope)));
    ui.txtFileNames->setCursorPosition(0);  // a long scope shows its first folder
    ui.txtNotes->setPlainText(q(definition.notes));
    ui.chkArc->setChecked(definition.archive);
    ui.chkFileAsText->setChecked(definition.filesAsText);
    ui.chkAutoUpdate->setChecked(i < core->notifier.ScopeCount() &&
                                 core->notifier.GetAutoUpdate(i));
    emit formatFiltersShown(!definition.filesAsText);
    addMissingName(ui.cmbDic, q(definition.dictionary));
    addMissingName(ui.cmbSW, q(definition.stopWords));
    ui.FormBrowse->setLabels(scopeLabels(catalogue.effectiveScope(definition.scope)));

    if (!host_.state().startup) {
        if (!wizardOnly()) ui.cmdUpdate->setEnabled(true);
        emit searchUpdateAllowed(!readOnlyMedia());
    }
    emit indexChosen(i);  // the Search page opens it unless it is open already
    // Opening found it broken and the user let it go: the page now shows no index.
    if (i >= catalogue.count() || catalogue.name(i) != name) {
        showNewIndexState();
        return;
    }
    const vellcore::IndexObject& index = *catalogue.object(i);  // a repair replaces it
    ui.cmdRemove->setEnabled(!wizardOnly());
    emit removeAllowed(true);
    showStatistics(index);
    ui.lblLastUpdated1->setText(q(definition.lastUpdated));

    selectLanguageByName(*ui.cmbLanguage, index.GetLanguageName());
    if (!wizardOnly()) ui.chkArc->setEnabled(!readOnlyMedia());
    ui.txtMaxLen->setText(QString::number(index.GetMaxWordLength()));
    ui.txtMinLen->setText(QString::number(index.GetMinWordLength()));
    core->viewerParsers.SetMaxWordLength(static_cast<std::uint8_t>(index.GetMaxWordLength()));
    core->viewerParsers.SetMinWordLength(static_cast<std::uint8_t>(index.GetMinWordLength()));
    core->viewerParsers.SetLanguageTable(index.GetLanguageTable());
    shownIndex_ = i;
}

void TIndexesPage::cmbIndexNameChange() {
    IndexingCore* core = host_.core();
    if (!core || host_.state().indexingBusy || showingIndex_) return;
    const QString typed = ui.cmbIndexName->currentText();
    const int selected = ui.cmbIndexName->currentIndex();
    if (selected >= 0 && typed == ui.cmbIndexName->itemText(selected)) return;
    const int existing = core->catalogue.find(typed.toStdString());
    if (existing >= 0) {
        selectInBox(ui.cmbIndexName, existing);
        cmbIndexNameClick();
        return;
    }
    showNewIndexState();
}

int TIndexesPage::reloadCatalogue() {
    IdlePriorityScope idle;
    UnloadAllIndexes();
    host_.core()->notifier.Clear();
    selectInBox(ui.cmbIndexName, -1);
    {
        const QSignalBlocker blocker(ui.cmbIndexName);
        ui.cmbIndexName->clear();
        ui.cmbIndexName->setEditText(QString());
    }
    ui.txtFileNames->clear();
    ui.txtNotes->clear();
    showNewIndexState();
    return LoadIndexes();
}

void TIndexesPage::cmdChangeClick() {
    if (!host_.core() || host_.state().indexingBusy) return;
    const QString before = ui.txtIndexFolder->text().trimmed();
    ui.FormChange->setFolder(before);
    if (host_.runModal(*ui.FormChange) != 1) return;
    const QString after = ui.FormChange->folder().trimmed();
    // Folder names are case-sensitive here: only the very same text is the same folder.
    if (after == before) return;
    if (!isUsableIndexFolder(after.toStdString())) {
        showMessageBox(QStringLiteral("The index folder must be a full path other than \"/\"."),
                       MessageIcon::Warning, MessageButtons::Ok, this);
        return;
    }
    setIndexFolder(after);
    processPendingMessages();
    if (reloadCatalogue() == 0) return;
    emit catalogueReloaded();
}

void TIndexesPage::showStatistics(const vellcore::IndexObject& index) {
    ui.lblFileCount1->setNum(index.GetRecordCount());
    ui.lblFileRem1->setNum(index.GetRemovedCount());
    ui.lblVolume1->setText(QString::number(index.GetTotalSizeKB()));
    ui.lblWordCount1->setText(QString::number(index.GetWordCount()));
    ui.L1->show();
    ui.lblUniqWordCount->setText(QString::number(index.GetUniqueWordCount()));
}

void TIndexesPage::clearStatistics() {
    for (QLabel* label : {ui.lblFileCount1, ui.lblFileRem1, ui.lblVolume1, ui.lblWordCount1,
                          ui.lblUniqWordCount, ui.lblLastUpdated1})
        label->clear();
    ui.L1->hide();
}

}  // namespace vellumar
