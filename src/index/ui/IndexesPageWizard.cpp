// The Indexes page's side of the index wizard and of the folder dialog: what the wizard
// starts from, what its Finish puts into the page, and the side buttons it shares with
// the page ("Change", "Browse..."), and the index the Cache Watcher asks for.
#include "index/IndexingCore.h"
#include "index/ui/TFormBrowse.h"
#include "index/ui/TFormChange.h"
#include "index/ui/TIndexesPage.h"
#include "lang/LanguageActions.h"
#include "lang/ui/LanguageCombo.h"
#include "monitor/MonitorLock.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <system_error>

namespace vellumar {

namespace {

QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

// Puts a word-list name into its box (adding it when missing) and ticks its check box
// when a list is named.
void chooseWordList(QComboBox* box, QCheckBox* check, const QString& name) {
    const QString trimmedName = name.trimmed();
    int item = box->findText(trimmedName, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (item < 0 && !trimmedName.isEmpty()) {
        box->addItem(trimmedName);
        item = box->count() - 1;
    }
    box->setCurrentIndex(item < 0 ? 0 : item);
    box->setEditText(trimmedName);
    check->setChecked(!trimmedName.isEmpty());
}

}  // namespace

TIndexesPage::WizardStart TIndexesPage::wizardStart() const {
    WizardStart start;
    start.indexNames = itemsOf(ui.cmbIndexName);
    start.currentIndex = ui.cmbIndexName->currentIndex();
    start.indexFolder = ui.txtIndexFolder->text();
    start.maxLen = ui.txtMaxLen->text();
    start.minLen = ui.txtMinLen->text();
    start.dictionaries = itemsOf(ui.cmbDic);
    start.stopWords = itemsOf(ui.cmbSW);
    start.archives = ui.chkArc->isChecked();
    return start;
}

void TIndexesPage::copyLanguagesTo(QComboBox& box) const {
    const QSignalBlocker blocker(&box);
    box.clear();
    for (int i = 0; i < ui.cmbLanguage->count(); ++i)
        box.addItem(ui.cmbLanguage->itemText(i), ui.cmbLanguage->itemData(i));
    box.setCurrentIndex(ui.cmbLanguage->currentIndex());
}

bool TIndexesPage::dropIndexToRecreate(int position) {
    IndexingCore* core = host_.core();
    if (!core || !core->catalogue.object(position)) return false;
    Catalogue& catalogue = core->catalogue;
    bool deleted = false;
    {
        CursorScope busy(CursorShape::Hourglass);
        const MonitorLock lock(core->notifier);
        deleted = catalogue.object(position)->DeleteIndexFiles();
        if (deleted) {
            std::error_code ec;
            std::filesystem::remove(catalogue.definitionFile(position), ec);
            catalogue.erase(position);  // both boxes and the notifier's scope too
        }
    }
    if (!deleted) {
        showMessageBox(QString::fromLatin1(kIndexInUseMessage), MessageIcon::Warning,
                       MessageButtons::Ok, this);
        return false;
    }
    emit viewerHistoryInvalidated();
    return true;
}

bool TIndexesPage::takeWizardChoices(const WizardChoices& choices) {
    IndexingCore* core = host_.core();
    if (!core || host_.state().indexingBusy) return false;
    const QString name = choices.name.trimmed();
    // What the build would refuse is refused before anything is dropped.
    IndexRequest check;
    check.name = name.toStdString();
    check.scope = choices.scope.toStdString();
    check.maxLength = choices.maxLen.toStdString();
    check.minLength = choices.minLen.toStdString();
    int maxLength = 0, minLength = 0;
    if (!core->builder.Validate(check, maxLength, minLength)) return false;
    // Recreating: the old index goes first, so that the build makes it anew with the
    // wizard's language and word lengths instead of updating it with its old ones.
    const int existing = core->catalogue.find(name.toStdString());
    if (choices.recreate && existing >= 0 && !dropIndexToRecreate(existing)) return false;
    {
        const QSignalBlocker blocker(ui.cmbIndexName);
        ui.cmbIndexName->setCurrentIndex(-1);
        ui.cmbIndexName->setEditText(name);
    }
    showNewIndexState();
    ui.chkArc->setChecked(choices.archives);
    if (choices.archives) ui.chkAutoUpdate->setChecked(false);  // the two exclude each other
    ui.txtFileNames->setText(choices.scope);
    ui.txtFileNames->setCursorPosition(0);
    selectLanguageByName(*ui.cmbLanguage, choices.languageName.toStdString());
    ui.txtMaxLen->setText(choices.maxLen.trimmed());
    ui.txtMinLen->setText(choices.minLen.trimmed());
    chooseWordList(ui.cmbDic, ui.chDic, choices.dictionary);
    chooseWordList(ui.cmbSW, ui.chSW, choices.stopWords);
    setCreationOptionsLocked(false);
    txtFileNamesChange();
    return true;
}

bool TIndexesPage::browseScope(QString& scope) {
    if (!ui.FormBrowse) return false;
    ui.FormBrowse->FormShow();
    if (host_.runModal(*ui.FormBrowse) != 1) return false;
    scope = ui.FormBrowse->scope();
    return true;
}

bool TIndexesPage::changeIndexFolder() {
    const QString before = ui.txtIndexFolder->text();
    cmdChangeClick();
    return ui.txtIndexFolder->text() != before;
}

void TIndexesPage::createNamedIndex(const QString& name, const QString& scope) {
    if (!host_.core() || host_.state().indexingBusy) return;
    ui.cmbIndexName->setEditText(name);  // selects an existing index of that name
    ui.txtFileNames->setText(scope);
    ui.chkAutoUpdate->setChecked(ui.chkAutoUpdate->isEnabled());
    ui.chkFileAsText->setChecked(false);
    cmdUpdateClick(nullptr);
}

void TIndexesPage::cmdBrowseClick() {
    QString scope;
    if (!browseScope(scope)) return;  // Cancel leaves the scope as it was
    ui.txtFileNames->setText(scope);
    ui.txtFileNames->setCursorPosition(0);
    txtFileNamesChange();
}

}  // namespace vellumar
