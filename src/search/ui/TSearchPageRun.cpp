// TSearchPage: running a query ("&Search", "&Cancel"), the query history in the query box,
// and the query from a list file.
#include "index/IndexingCore.h"
#include "monitor/MonitorLock.h"
#include "platform/MediaPath.h"
#include "platform/ProgramSetup.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "search/ListFileQuery.h"
#include "search/ResultState.h"
#include "search/SearchHistory.h"
#include "search/SearchRunner.h"
#include "search/ui/TSearchPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace vellumar {

namespace {

const QString kCancelCaption = QStringLiteral("&Cancel");
const QString kDoneCaption = QStringLiteral("&OK");

// While a query runs, the engine lets the window's messages through so that "&Cancel" can
// reach it. Of the user's input only that button, Enter and Escape get through (the keys
// cancel as the button does); every other click, key and close waits for the query, so
// nothing can change or close the index the query is reading.
class SearchInputGate : public QObject {
  public:
    SearchInputGate(QWidget* cancelButton, std::function<void()> cancel)
        : button_(cancelButton), cancel_(std::move(cancel)) {
        qApp->installEventFilter(this);
    }
    ~SearchInputGate() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                return watched != button_;
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)
                    cancel_();
                return true;
            }
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::Drop:
                return true;
            case QEvent::Close:
                // Closing waits for the query; closing asks the query to stop.
                if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
                    cancel_();
                    event->ignore();
                    return true;
                }
                return false;
            default:
                return false;
        }
    }

  private:
    QWidget* button_;
    std::function<void()> cancel_;
};

}  // namespace

bool TSearchPage::searching() const { return runner_ && runner_->Running(); }

void TSearchPage::runQuery(const QString& query) {
    if (searching()) return;
    ui.cmbSearchExpr->setEditText(query);
    cmdOKClick();
}

void TSearchPage::cancelSearch() {
    runner_->Cancel();
    emit searchRunning(false);
    setScreenCursor(CursorShape::Default);
}

void TSearchPage::cmdOKClick() {
    if (searching()) {
        cancelSearch();
        return;
    }
    IndexingCore* core = host_.core();
    vellcore::IndexObject* index = indexInUse();
    // No query while an index is built: the controls are disabled then, and stay so here.
    if (!core || !index || host_.state().indexingBusy || !ui.cmdOK->isEnabled()) return;
    if (!runner_) runner_ = std::make_unique<SearchRunner>(host_.userInterface());
    if (core->settings.runFromCd) {
        // The names were indexed where the volume was mounted then; list them where it is.
        results_.pager.setNameMapper([mount = core->settings.mountPoint](const std::string& name) {
            return retargetToMount(name, mount);
        });
    }

    emit searchStarting();
    emit searchRunning(true);
    ui.cmdOK->setText(kCancelCaption);
    setScreenCursor(CursorShape::Hourglass);
    SearchRequest request;
    request.text = ui.cmbSearchExpr->currentText().toStdString();
    request.sort = ui.chAlpha->isChecked() ? SortOrder::Alphabetical
                   : ui.chRel->isChecked() ? SortOrder::Relevance
                                           : SortOrder::Engine;
    request.stayOn = host_.settings().stayOnPreviouslyViewed;
    request.viewedFile = results_.viewedName();  // before the results are cleared
    request.pageSize = pageSizeFromText(host_.settings().maximumFiles);
    emit clearResultsRequested(false);

    std::vector<std::string> history;
    for (int i = 0; i < ui.cmbSearchExpr->count(); ++i)
        history.push_back(ui.cmbSearchExpr->itemText(i).toStdString());
    SearchOutcome outcome;
    {
        // An automatic update may be writing this index on the notifier thread.
        const MonitorLock lock(core->notifier);
        const SearchInputGate gate(ui.cmdOK, [this] {
            if (searching()) cancelSearch();
        });
        outcome = runner_->Run(*index, request, results_.pager, history);
    }
    ui.cmdOK->setText(kDoneCaption);
    lastQuery_ = QString::fromStdString(outcome.query);

    if (outcome.failure) {
        // The counters of the previous search would claim files the list no longer shows.
        ui.lblTotalFiles1->clear();
        ui.lblTotalEntries1->clear();
        setScreenCursor(CursorShape::Default);
        if (window()->isMinimized()) window()->showNormal();
        showMessageBox(QString::fromStdString(outcome.failure->message), outcome.failure->icon,
                       MessageButtons::Ok, window());
        emit searchFoundNothing(lastQuery_);
        focusQuery();
        return;  // the result list stays disabled
    }
    showHistory(history, lastQuery_);
    ui.lblTotalFiles1->setText(QString::number(outcome.files));
    ui.lblTotalEntries1->setText(QString::number(outcome.entries));
    if (outcome.files == 0) {
        if (window()->isVisible()) ui.cmdOK->setFocus();
        emit searchFoundNothing(lastQuery_);
        setScreenCursor(CursorShape::Default);
        return;
    }
    setScreenCursor(CursorShape::Default);
    emit resultsReady(outcome.selectOnPage);
}

void TSearchPage::showHistory(const std::vector<std::string>& history, const QString& query) {
    const QSignalBlocker blocker(ui.cmbSearchExpr);
    ui.cmbSearchExpr->clear();
    for (const std::string& entry : history)
        ui.cmbSearchExpr->addItem(QString::fromStdString(entry));
    ui.cmbSearchExpr->setCurrentIndex(-1);
    ui.cmbSearchExpr->setEditText(query);
}

void TSearchPage::btnFromFileClick() {
    if (!ui.cmbFileList->isEnabled() || searching()) return;
    FileDialogRequest request;
    request.caption = QStringLiteral("Open");
    request.folder = QString::fromStdString(host_.environment().home.string());
    request.filter = QStringLiteral("All Files (*);;Text Files (*.txt)");
    const QString chosen = host_.askFileName(request);
    if (chosen.isEmpty()) return;
    const std::string stored =
        storedListFilePath(QFile::encodeName(chosen).toStdString(), host_.environment().home);
    ui.cmbFileList->insertItem(0, QString::fromStdString(stored));
    ui.cmbFileList->setCurrentIndex(0);
    cmbFileListClick();
}

void TSearchPage::cmbFileListClick() {
    vellcore::IndexObject* index = indexInUse();
    if (!index || searching() || !ui.cmbFileList->isEnabled()) return;
    const auto file = resolveListFilePath(
        QFile::encodeName(ui.cmbFileList->currentText()).toStdString(), host_.environment().home);
    // A file that cannot be read, is no text or holds no word makes no search, silently.
    const auto query = readListFileQuery(file, *index);
    if (!query || trimQuery(*query).empty()) return;
    ui.cmbSearchExpr->setEditText(QString::fromStdString(*query));
    cmdOKClick();
}

}  // namespace vellumar
