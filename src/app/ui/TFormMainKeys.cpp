// TFormMain: the page change rule and the keys that act on the whole window. Each page
// handles its own keys (keyDown); the frame hands a key to the pages of the current tab.
#include "app/ui/TFormMain.h"
#include "monitor/ui/TCacheWatcherPage.h"
#include "monitor/ui/TMonitoringPage.h"
#include "platform/ui/Cursors.h"
#include "search/ui/TResultList.h"
#include "search/ui/TSearchPage.h"
#include "viewer/ui/TViewerPane.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

namespace vellumar {

void TFormMain::setToolButtonsForPage(int page) {
    if (page != pageSearch) {
        for (QToolButton* b : {ui.btnCut, ui.btnCopy, ui.btnPaste}) b->setEnabled(true);
        return;
    }
    if (!searchPage_->focusQuery())
        for (QToolButton* b : {ui.btnCut, ui.btnCopy, ui.btnPaste}) b->setEnabled(false);
}

void TFormMain::tabMainChange(int page) {
    if (inPageChange_) return;
    if (state_.indexingBusy && page != pageIndexes) {
        // The Indexes page cannot be left while an index is being built.
        inPageChange_ = true;
        ui.tabMain->setCurrentIndex(pageIndexes);
        inPageChange_ = false;
        return;
    }
    setToolButtonsForPage(page);
    if (page == pageMonitoring) monitoringPage_->pageShown();
    if (page != pageSearch) return;
    CursorScope busy(CursorShape::Hourglass);
    try {
        if (searchPage_->indexCount() > 0) {
            if (!state_.searchEnabled) EnableSearch();
            if (searchPage_->usedIndex() < 0) {
                searchPage_->selectIndex(0);
                searchPage_->cmbUsedIndexClick();
            }
        } else {
            if (state_.searchEnabled) DisableSearch();
            ui.txtStatus->setText(QStringLiteral(
                "No index is available. Go to the Indexes-tab and create or find one(s)"));
        }
    } catch (...) {
        // Errors of this step are ignored: the page is shown as it is.
    }
}

bool TFormMain::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    switch (ui.tabMain->currentIndex()) {
        case pageWatcher:
            return watcherPage_->keyDown(key, modifiers);
        case pageSearch:
            return searchPage_->keyDown(key, modifiers) || resultList_->keyDown(key, modifiers) ||
                   viewerPane_->keyDown(key, modifiers);
        default:
            return false;
    }
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && isVisible()) {
        auto* widget = static_cast<QWidget*>(watched);
        // The window sees every key of its own controls before the focused control does;
        // the application delivers a key to the focus widget first, so look there only.
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != this) target = this;
        if (widget->window() == this && widget == target) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (FormKeyDown(key->key(), key->modifiers())) return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vellumar
