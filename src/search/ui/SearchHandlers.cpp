// TFormMain's handlers of the Search page: the query, the sort boxes, the result list.
// Clearing the results and keeping the sort boxes exclusive are here; running a query,
// paging and opening files arrive with search and results, empty hooks until then.
#include "app/ui/TFormMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextEdit>

namespace vellumar {

void TFormMain::cmdOKClick() {}        // Hook: running a query (search execution).
void TFormMain::btnFromFileClick() {}  // Hook: a query from a list file (search execution).
void TFormMain::cmbFileListClick() {}  // Hook: a query from a list file (search execution).
void TFormMain::btnAdvancedClick() {}  // Hook: the advanced search (refining searches).
void TFormMain::lstFilesClick() {}     // Hook: the preview of the selected file (preview).
void TFormMain::lstFilesDblClick() {}  // Hook: opening with the association (result list).
void TFormMain::btnStartClick() {}     // Hook: paging (result list).
void TFormMain::btnPrevClick() {}      // Hook: paging (result list).
void TFormMain::btnNextClick() {}      // Hook: paging (result list).
void TFormMain::btnEndClick() {}       // Hook: paging (result list).

// At most one sort order is checked: checking one unchecks the other.
void TFormMain::chAlphaClick() {
    if (chAlpha->isChecked()) chRel->setChecked(false);
}

void TFormMain::chRelClick() {
    if (chRel->isChecked()) chAlpha->setChecked(false);
}

void TFormMain::ClearResults(bool clearExpression) {
    if (clearExpression) cmbSearchExpr->clearEditText();
    lstFiles->clear();
    // Hook: the current document parser closes its document here (parser set).
    pnlResultsWarning->hide();
    for (QLabel* label : {lblEntries1, lblEntries2, lblEntries3, lblFilesNum}) label->clear();
    scrNextPrev->hide();
    for (QTextEdit* viewer : {ree, rtfEntries}) {
        viewer->clear();
        viewer->setToolTip(QString());
    }
    HTML1->clear();
    pnlMsg->setFixedHeight(0);
    pnlAttach->setFixedHeight(0);
    for (QPushButton* b : {btnStart, btnPrev, btnNext, btnEnd}) b->setEnabled(false);
}

}  // namespace vellumar
