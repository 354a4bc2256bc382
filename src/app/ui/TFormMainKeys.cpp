// TFormMain: the page change rule and the keys that act on the whole window.
#include "app/ui/TFormMain.h"

#include "platform/ui/Cursors.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

namespace vellumar {

void TFormMain::setToolButtonsForPage(int page) {
    if (page != pageSearch) {
        for (QToolButton* b : {btnCut, btnCopy, btnPaste}) b->setEnabled(true);
        return;
    }
    if (cmbSearchExpr->isVisibleTo(this) && cmbSearchExpr->isEnabled()) {
        cmbSearchExpr->setFocus();
    } else {
        for (QToolButton* b : {btnCut, btnCopy, btnPaste}) b->setEnabled(false);
    }
}

void TFormMain::tabMainChange(int page) {
    if (inPageChange_) return;
    if (indexingBusy && page != pageIndexes) {
        // The Indexes page cannot be left while an index is being built.
        inPageChange_ = true;
        tabMain->setCurrentIndex(pageIndexes);
        inPageChange_ = false;
        return;
    }
    setToolButtonsForPage(page);
    if (page == pageMonitoring) {
        ensureFolderModel();
        showUnwatchableFolders();
    }
    if (page != pageSearch) return;
    CursorScope busy(CursorShape::Hourglass);
    try {
        if (cmbUsedIndex->count() > 0) {
            if (!searchEnabled) EnableSearch();
            if (cmbUsedIndex->currentIndex() < 0) {
                cmbUsedIndex->setCurrentIndex(0);
                cmbUsedIndexClick();
            }
        } else {
            if (searchEnabled) DisableSearch();
            txtStatus->setText(QStringLiteral(
                "No index is available. Go to the Indexes-tab and create or find one(s)"));
        }
    } catch (...) {
        // Errors of this step are ignored: the page is shown as it is.
    }
}

bool TFormMain::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const int page = tabMain->currentIndex();
    const bool alt = modifiers & Qt::AltModifier;
    if (page == pageWatcher && !alt) {
        if (key == Qt::Key_F5 && cmdCWForward->isEnabled()) return cmdCWForwardClick(), true;
        if (key == Qt::Key_F4 && cmdCWBack->isEnabled()) return cmdCWBackClick(), true;
        return false;
    }
    if (page != pageSearch) return false;
    switch (key) {
        case Qt::Key_F5:
            if (cmdForward->isEnabled()) cmdForwardClick();
            return true;
        case Qt::Key_F4:
            if (cmdBack->isEnabled()) cmdBackClick();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Exactly one search, also when the query box has the focus.
            if (cmdOK->isEnabled()) cmdOKClick();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (!alt) return false;
            const int row = lstFiles->currentRow() + (key == Qt::Key_Down ? 1 : -1);
            if (lstFiles->count() > 0 && row >= 0 && row < lstFiles->count()) {
                lstFiles->setCurrentRow(row);
                lstFilesClick();
            }
            return true;
        }
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (!alt) return false;
            if (key == Qt::Key_Left && cmdBack->isEnabled()) cmdBackClick();
            if (key == Qt::Key_Right && cmdForward->isEnabled()) cmdForwardClick();
            return true;
        case Qt::Key_F3:
        case Qt::Key_F2:
            if (!scrNextPrev->isVisibleTo(this)) return false;
            scrNextPrev->setValue(scrNextPrev->value() + (key == Qt::Key_F3 ? 1 : -1));
            scrNextPrevScroll(scrNextPrev->value());
            return true;
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
    // The language box is refilled whenever it gets the focus, so new .LNG files appear.
    if (watched == cmbLanguage && event->type() == QEvent::FocusIn) cmbLanguageEnter();
    if (watched == cmbSearchExpr &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // The query box enables the clipboard buttons while it has the focus.
        for (QToolButton* b : {btnCut, btnCopy, btnPaste})
            b->setEnabled(event->type() == QEvent::FocusIn);
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace vellumar
