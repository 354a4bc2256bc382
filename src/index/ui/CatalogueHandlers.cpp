// TFormMain's handlers of the index catalogue: loading and unloading, the index to search
// (cmbUsedIndex) and the index shown on the Indexes page (cmbIndexName), which always go
// together, the repair question of a broken index, and changing the index folder.
#include "app/ui/TFormMain.h"
#include "index/IndexFolder.h"
#include "index/IndexingCore.h"
#include "index/ui/TFormChange.h"
#include "lang/TLangStorage.h"
#include "lang/ui/LanguageCombo.h"
#include "monitor/MonitorLock.h"
#include "platform/Priority.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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

void TFormMain::selectInBox(QComboBox* box, int position) {
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(position);
    if (box->isEditable() && position >= 0) box->setEditText(box->itemText(position));
}

int TFormMain::countDefinitionFiles() {
    FormChange->setFolder(txtIndexFolder->text().trimmed());
    return static_cast<int>(FormChange->definitionFiles().size());
}

int TFormMain::LoadIndexes() {
    if (!core_) return 0;
    const QString status = txtStatus->text();
    const QString folder = txtIndexFolder->text().trimmed();
    FormChange->setFolder(folder);
    std::vector<fs::path> files;
    for (const QString& name : FormChange->definitionFiles())
        files.push_back(fs::path(folder.toStdString()) / name.toStdString());
    core_->catalogue.setIndexFolder(folder.toStdString());
    const int loaded = core_->catalogue.LoadIndexes(files);
    txtStatus->setText(status);
    return loaded;
}

void TFormMain::UnloadAllIndexes() {
    // Hook: the viewer history is cleared here (viewer history).
    btnAdvanced->setEnabled(false);
    if (core_) core_->catalogue.UnloadAllIndexes();
    shownIndex = -1;
    cmdUpdate->setText(QStringLiteral("&Create"));
    cmdRemove->setEnabled(false);
    mnuRemove->setEnabled(false);
}

bool TFormMain::openRepairing(int position) {
    Catalogue& catalogue = core_->catalogue;
    const int error = catalogue.OpenIndex(position, [this, &catalogue](int p) {
        // A repaired index gets the list's first language; its own filter setting stays.
        selectInBox(cmbLanguage, 0);
        const TLangStorage* language = LanguageOfItem(*cmbLanguage, 0);
        const auto definition = IndexDefinition::load(catalogue.definitionFile(p));
        const bool filesAsText = definition ? definition->filesAsText : chkFileAsText->isChecked();
        return core_->builder.RepairIndex(p, language->Name(), language->CharacterTable(),
                                          filesAsText);
    });
    return error == 0;
}

void TFormMain::cmbUsedIndexClick() {
    if (!core_) return;
    Catalogue& catalogue = core_->catalogue;
    if (indexingBusy) {
        // The index in use cannot change under a running build.
        selectInBox(cmbUsedIndex, catalogue.opened());
        return;
    }
    const int i = cmbUsedIndex->currentIndex();
    if (i < 0) {
        DisableSearch();
        return;
    }
    if (i == catalogue.opened()) return;
    ClearResults(false);
    if (catalogue.opened() >= 0) {
        btnAdvanced->setEnabled(false);
        // Hook: the advanced search's tag tree is emptied here (refining searches).
        catalogue.UnloadIndex(catalogue.opened());
    }
    if (openRepairing(i)) {
        btnAdvanced->setEnabled(catalogue.object(i)->GetTagCount() > 0);
        if (!showingIndex_ && (cmbIndexName->currentIndex() != i || shownIndex != i)) {
            selectInBox(cmbIndexName, i);
            cmbIndexNameClick();
        }
        if (!WizardOnly) cmdUpdate->setEnabled(true);
        cmdSearchUpdate->setEnabled(!runFromCD);
    } else {
        // Still broken: it left the catalogue and both boxes.
        selectInBox(cmbUsedIndex, -1);
        if (cmbUsedIndex->count() == 0) {
            DisableSearch();
            return;
        }
    }
    if (!searchEnabled) EnableSearch();
}

void TFormMain::cmbIndexNameClick() {
    if (!core_ || indexingBusy) return;
    Catalogue& catalogue = core_->catalogue;
    const int i = cmbIndexName->currentIndex();
    if (!catalogue.object(i)) return;
    if (i == shownIndex) {
        updateCaptionForSelection();
        cmdRemove->setEnabled(!WizardOnly);
        mnuRemove->setEnabled(true);
        return;
    }
    const QScopedValueRollback<bool> showing(showingIndex_, true);
    const std::string name = catalogue.name(i);
    cmdUpdate->setEnabled(false);
    // Hook: the viewer history is cleared here (viewer history).
    cmdUpdate->setText(QStringLiteral("&Update"));
    setCreationOptionsLocked(true);

    const IndexDefinition definition =
        IndexDefinition::load(catalogue.definitionFile(i)).value_or(IndexDefinition{});
    chExpress->setChecked(definition.express);
    chDic->setChecked(!definition.dictionary.empty());
    if (chDic->isChecked()) cmbDic->setEditText(q(definition.dictionary));
    chSW->setChecked(!definition.stopWords.empty());
    if (chSW->isChecked()) cmbSW->setEditText(q(definition.stopWords));
    txtFileNames->setText(q(catalogue.effectiveScope(definition.scope)));
    txtFileNames->setCursorPosition(0);  // a long scope shows its first folder
    txtNotes->setPlainText(q(definition.notes));
    chkArc->setChecked(definition.archive);
    chkFileAsText->setChecked(definition.filesAsText);
    chkAutoUpdate->setChecked(notifierGetAutoUpdate(i));
    for (QAction* item : {mnuRtfPlain, mnuHtmlSource, mnuHtmlBrowser})
        item->setVisible(!definition.filesAsText);
    addMissingName(cmbDic, q(definition.dictionary));
    addMissingName(cmbSW, q(definition.stopWords));
    // Hook: the add-folders dialog's label list is refilled from the scope here (folder
    // dialogs).

    if (!startupFlag) {
        if (!WizardOnly) cmdUpdate->setEnabled(true);
        cmdSearchUpdate->setEnabled(!runFromCD);
    }
    if (cmbUsedIndex->currentIndex() != i || catalogue.opened() != i) {
        selectInBox(cmbUsedIndex, i);
        cmbUsedIndexClick();
        // Opening found it broken and the user let it go: the page now shows no index.
        if (i >= catalogue.count() || catalogue.name(i) != name) {
            showNewIndexState();
            return;
        }
    }
    const vellcore::IndexObject& index = *catalogue.object(i);  // a repair replaces it
    cmdRemove->setEnabled(!WizardOnly);
    mnuRemove->setEnabled(true);
    showStatistics(index);
    lblLastUpdated1->setText(q(definition.lastUpdated));

    SelectLanguageByName(*cmbLanguage, index.GetLanguageName());
    if (!WizardOnly) chkArc->setEnabled(!runFromCD);
    txtMaxLen->setText(QString::number(index.GetMaxWordLength()));
    txtMinLen->setText(QString::number(index.GetMinWordLength()));
    core_->viewerParsers.SetMaxWordLength(static_cast<std::uint8_t>(index.GetMaxWordLength()));
    core_->viewerParsers.SetMinWordLength(static_cast<std::uint8_t>(index.GetMinWordLength()));
    core_->viewerParsers.SetLanguageTable(index.GetLanguageTable());
    shownIndex = i;
}

void TFormMain::cmbIndexNameChange() {
    if (!core_ || indexingBusy || showingIndex_) return;
    const QString typed = cmbIndexName->currentText();
    const int selected = cmbIndexName->currentIndex();
    if (selected >= 0 && typed == cmbIndexName->itemText(selected)) return;
    const int existing = core_->catalogue.find(typed.toStdString());
    if (existing >= 0) {
        selectInBox(cmbIndexName, existing);
        cmbIndexNameClick();
        return;
    }
    showNewIndexState();
}

int TFormMain::reloadCatalogue() {
    IdlePriorityScope idle;
    UnloadAllIndexes();
    core_->notifier.Clear();
    selectInBox(cmbIndexName, -1);
    {
        const QSignalBlocker blocker(cmbIndexName);
        cmbIndexName->clear();
        cmbIndexName->setEditText(QString());
    }
    txtFileNames->clear();
    txtNotes->clear();
    showNewIndexState();
    return LoadIndexes();
}

void TFormMain::updateAutomaticIndexes(bool alsoApplicationTitle) {
    bool any = false;
    for (int j = 0; j < cmbUsedIndex->count(); ++j) any = any || notifierGetAutoUpdate(j);
    if (!any) return;
    const MonitorLock lock(core_->notifier);
    const QString caption = windowTitle();
    const QString title = applicationTitle();
    const QString updating =
        QStringLiteral(" - ") + QStringLiteral("Updating index ") + QStringLiteral("...");
    setWindowTitle(caption + updating);
    if (alsoApplicationTitle) setApplicationTitle(title + updating);
    // An index found broken and not repaired leaves the catalogue: the next one then
    // stands at the same position.
    for (int j = 0, count = cmbUsedIndex->count(); j < count;) {
        selectInBox(cmbUsedIndex, j);
        cmbUsedIndexClick();
        if (cmbUsedIndex->count() == count && notifierGetAutoUpdate(j)) {
            if (cmbIndexName->currentIndex() != j) {
                selectInBox(cmbIndexName, j);
                cmbIndexNameClick();
            }
            cmdUpdateClick(nullptr);
        }
        if (cmbUsedIndex->count() != count)
            count = cmbUsedIndex->count();
        else
            ++j;
    }
    setWindowTitle(caption);
    if (alsoApplicationTitle) setApplicationTitle(title);
    QApplication::beep();
}

void TFormMain::cmdChangeClick() {
    if (!core_ || indexingBusy) return;
    const QString before = txtIndexFolder->text().trimmed();
    FormChange->setFolder(before);
    if (runModal(*FormChange) != 1) return;
    const QString after = FormChange->folder().trimmed();
    // Folder names are case-sensitive here: only the very same text is the same folder.
    if (after == before) return;
    if (!isUsableIndexFolder(after.toStdString())) {
        ShowMessage(QStringLiteral("The index folder must be a full path other than \"/\"."),
                    MessageIcon::Warning, MessageButtons::Ok, this);
        return;
    }
    txtIndexFolder->setText(after);
    processPendingMessages();
    if (reloadCatalogue() == 0) return;
    updateAutomaticIndexes(true);
    if (cmbUsedIndex->count() == 0) return;
    selectInBox(cmbUsedIndex, 0);
    cmbUsedIndexClick();
}

}  // namespace vellumar
