// TViewerPane: the viewer history: moving back and forward, and the points where a search
// or a link records what the user looked at.
#include "viewer/ui/TViewerPane.h"

#include "htmlview/THTMLViewer.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "viewer/THistory.h"

#include <QScrollBar>
#include <QToolButton>

namespace vellumar {

void TViewerPane::setHistory(THistory* history) {
    history_ = history;
    if (history_)
        history_->UpdateButtons();
    else
        showHistoryButtons(false, false);
}

void TViewerPane::showHistoryButtons(bool backEnabled, bool forwardEnabled) {
    ui.cmdBack->setEnabled(backEnabled);
    ui.cmdForward->setEnabled(forwardEnabled);
}

void TViewerPane::cmdBackClick() {
    if (!history_) return;
    THistoryItem* left = history_->Current();
    if (THistoryItem* target = history_->Back()) GoToHistoryItem(*target, left);
}

void TViewerPane::cmdForwardClick() {
    if (!history_) return;
    THistoryItem* left = history_->Current();
    if (THistoryItem* target = history_->Forward()) GoToHistoryItem(*target, left);
}

void TViewerPane::GoToHistoryItem(THistoryItem& target, THistoryItem* left) {
    if (left) {
        left->entryPosition = ui.scrNextPrev->value();
        left->htmlPosition = ui.HTML1->ScrollPosition();
    }
    const HistoryPlan plan = planHistoryMove(target, left);
    HistoryNavigation navigating(*history_);
    const QString file = QString::fromStdString(plan.fileName);
    switch (plan.move) {
        case HistoryMove::RunSearch:
            // A file is shown afterwards only when the search stays on one; the preview
            // then starts at the item's entry.
            emit historySearchRequested(QString::fromStdString(plan.query));
            break;
        case HistoryMove::ShowListedFile:
            // Not on the current result page: nothing is shown, the position still moves.
            emit historyFileRequested(file);
            break;
        case HistoryMove::LoadPage:
            if (showLinkedPage(file, QString())) {
                ui.HTML1->SetScrollPosition(plan.htmlPosition);
                host_.setStatusText(QStringLiteral("Current file: ") + file);
            } else {
                showMessageBox(QStringLiteral("Can't open the file ") + file, MessageIcon::Warning);
            }
            itemSelected_ = false;
            emit viewedFileLeft();
            break;
        case HistoryMove::ScrollPage:
            ui.HTML1->SetScrollPosition(plan.htmlPosition);
            break;
    }
}

void TViewerPane::rememberPositions() {
    if (history_) history_->RecordPositions(ui.scrNextPrev->value(), ui.HTML1->ScrollPosition());
}

void TViewerPane::recordSearchWithoutResults(const QString& query) {
    if (history_) history_->Record({query.toStdString(), 1, ""});
}

void TViewerPane::clearHistory() {
    if (history_) history_->Clear();
}

}  // namespace vellumar
