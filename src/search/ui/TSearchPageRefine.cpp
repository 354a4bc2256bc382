// TSearchPage: the refining searches: the selected words, a search among the files found
// (TFormResearch) and the advanced element query (TfrmTags).
#include "lang/TLanguageList.h"
#include "platform/ui/PageHost.h"
#include "search/RefiningSearch.h"
#include "search/SearchHistory.h"
#include "search/ui/TFormResearch.h"
#include "search/ui/TSearchPage.h"
#include "search/ui/TfrmTags.h"
#include "vellcore/IndexObject.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>

namespace vellumar {

void TSearchPage::searchForSelectedWord(const QString& selectedText) {
    // The query box is disabled while an index is built or none is open.
    if (!ui.cmbSearchExpr->isEnabled() || searching()) return;
    // The words are those of the index being searched, by its language's table.
    const vellcore::IndexObject* index = indexInUse();
    const textfold::CharTable table = index ? index->GetLanguageTable()
                                      : host_.languages().size() > 0
                                          ? host_.languages().at(0).CharacterTable()
                                          : textfold::englishTable();
    const std::string words = filterSelectedWords(table, selectedText.toStdString());
    if (words.empty()) return;  // nothing that could be searched
    runQuery(QString::fromStdString(words));
}

void TSearchPage::searchWithinFound(const QString& selectedText) {
    if (!ui.cmbSearchExpr->isEnabled() || searching() || !ui.FormResearch) return;
    TFormResearch& dialog = *ui.FormResearch;
    dialog.FormActivate(selectedText, lastQuery_);
    if (host_.runModal(dialog) != QDialog::Accepted || dialog.expression().isEmpty()) return;
    runQuery(dialog.expression());
}

void TSearchPage::btnAdvancedClick() {
    if (!ui.frmTags || searching()) return;
    TfrmTags& dialog = *ui.frmTags;
    vellcore::IndexObject* index = indexInUse();
    if (!dialog.FormShow(index)) {
        // No elements, or the index listed them in an order the tree cannot follow.
        ui.btnAdvanced->setEnabled(false);
        return;
    }
    dialog.setCurrentQuery(ui.cmbSearchExpr->currentText());
    if (host_.runModal(dialog) != QDialog::Accepted || !dialog.confirmed()) return;
    ui.cmbSearchExpr->setEditText(dialog.query());
}

void TSearchPage::closeTagTree() {
    if (ui.frmTags) ui.frmTags->clearTree();
}

}  // namespace vellumar
