#include "search/ui/TResultList.h"

#include "doorwell/FileActions.h"
#include "index/IndexingCore.h"
#include "monitor/MonitorLock.h"
#include "platform/ProgramSetup.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "search/ResultState.h"
#include "search/ui/ResultItemDelegate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace vellumar {

namespace {
// One context menu at a time in the whole program.
bool gContextMenuOpen = false;
}  // namespace

TResultList::TResultList(PageHost& host, ResultState& results, QWidget* parent)
    : QWidget(parent), host_(host), results_(results) {
    setObjectName(QStringLiteral("pnlResults"));
    build();
}

void TResultList::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ui.lstFiles =
        named(new QListWidget(this), "lstFiles",
              QStringLiteral("Click right mouse button to access shell operations. Double click "
                             "to run associated program."));
    ui.lstFiles->setUniformItemSizes(true);
    ui.lstFiles->setItemDelegate(new ResultItemDelegate(ui.lstFiles));
    ui.lstFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(ui.lstFiles, 1);
    auto* pager = new QHBoxLayout;
    ui.btnStart = makeButton(this, "btnStart", QStringLiteral("<<"));
    ui.btnPrev = makeButton(this, "btnPrev", QStringLiteral("<-"));
    ui.btnNext = makeButton(this, "btnNext", QStringLiteral("->"));
    ui.btnEnd = makeButton(this, "btnEnd", QStringLiteral(">>"));
    for (QPushButton* b : {ui.btnStart, ui.btnPrev, ui.btnNext, ui.btnEnd}) {
        b->setEnabled(false);
        b->setMaximumWidth(40);
        pager->addWidget(b);
    }
    ui.lblFilesNum = makeLabel(this, "lblFilesNum", QString());
    pager->addWidget(ui.lblFilesNum, 1);
    ui.pnlResultsWarning =
        makeLabel(this, "pnlResultsWarning", QStringLiteral("Warning! Index has been changed"));
    ui.pnlResultsWarning->setStyleSheet(
        QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    ui.pnlResultsWarning->hide();
    pager->addWidget(ui.pnlResultsWarning);
    layout->addLayout(pager);

    // A keyboard move selects as a click does. (Focus alone may make an item current
    // without selecting it: that is no choice of the user's.)
    connect(ui.lstFiles, &QListWidget::itemSelectionChanged, this, [this] { lstFilesClick(); });
    connect(ui.lstFiles, &QListWidget::itemClicked, this, [this] { lstFilesClick(); });
    connect(ui.lstFiles, &QListWidget::itemDoubleClicked, this, [this] { lstFilesDblClick(); });
    connect(ui.lstFiles, &QListWidget::customContextMenuRequested, this,
            &TResultList::lstFilesMouseDown);
    connect(ui.btnStart, &QPushButton::clicked, this, &TResultList::btnStartClick);
    connect(ui.btnPrev, &QPushButton::clicked, this, &TResultList::btnPrevClick);
    connect(ui.btnNext, &QPushButton::clicked, this, &TResultList::btnNextClick);
    connect(ui.btnEnd, &QPushButton::clicked, this, &TResultList::btnEndClick);
}

std::string TResultList::listedName(int row) const {
    const auto& names = results_.pager.page().names;
    if (row >= 0 && row < static_cast<int>(names.size()) && row < ui.lstFiles->count())
        return names[static_cast<std::size_t>(row)];
    const QListWidgetItem* item = ui.lstFiles->item(row);
    return item ? item->text().toStdString() : std::string();
}

ItemPicture TResultList::picture(int row) const {
    const QListWidgetItem* item = ui.lstFiles->item(row);
    return item ? static_cast<ItemPicture>(item->data(kPictureRole).toInt()) : ItemPicture::None;
}

void TResultList::setPicture(int row, ItemPicture picture) {
    if (QListWidgetItem* item = ui.lstFiles->item(row))
        item->setData(kPictureRole, static_cast<int>(picture));
}

void TResultList::selectRow(int row) {
    const QSignalBlocker blocker(ui.lstFiles);
    if (row < 0) {
        ui.lstFiles->clearSelection();
        ui.lstFiles->setCurrentRow(-1);
    } else {
        ui.lstFiles->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    ui.lstFiles->viewport()->update();
}

int TResultList::selectedRow() const {
    const QList<QListWidgetItem*> selected = ui.lstFiles->selectedItems();
    return selected.isEmpty() ? -1 : ui.lstFiles->row(selected.front());
}

void TResultList::lstFilesClick() {
    const int row = selectedRow();
    if (row < 0 || row == results_.viewedItem) return;
    results_.viewedItem = row;
    const auto& page = results_.pager.page();
    const quint32 stamp =
        row < static_cast<int>(page.stamps.size()) ? page.stamps[static_cast<std::size_t>(row)] : 0;
    // The preview loads while the signal is delivered.
    CursorScope starting(CursorShape::AppStart);
    emit previewRequested(page.start + row, displayName(listedName(row)), stamp);
}

void TResultList::openFile(const std::string& name) {
    // The opener is waited for on a worker thread: a desktop opener may take seconds to
    // report, or stay with the application it started.
    auto result = std::make_shared<doorwell::OpenResult>();
    doorwell::Launcher* launcher = services_.launcher;
    QThread* worker = QThread::create(
        [result, launcher, name] { *result = doorwell::OpenWithAssociation(name, *launcher); });
    const CursorShape before = screenCursor();
    setScreenCursor(CursorShape::AppStart);
    connect(worker, &QThread::finished, this, [this, result, before] {
        if (screenCursor() == CursorShape::AppStart) setScreenCursor(before);
        if (!result->ok())
            showMessageBox(QString::fromStdString(result->message), MessageIcon::Warning,
                           MessageButtons::Ok, window());
        emit openFinished(result->code);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void TResultList::lstFilesDblClick() {
    const int row = selectedRow();
    if (row < 0) return;
    const std::string name = listedName(row);
    // An archive member is no file of its own: the desktop cannot open it.
    if (isArchiveMember(name)) return;
    openFile(name);
    if (selectedRow() != results_.viewedItem) selectViewedAgain();
}

FileContextMenu* TResultList::contextMenuFor(int row) {
    if (row < 0 || row >= ui.lstFiles->count()) return nullptr;
    auto* menu = new FileContextMenu(host_, listedName(row), services_, this);
    connect(menu, &FileContextMenu::openRequested, this,
            [this](const std::string& name) { openFile(name); });
    connect(menu, &FileContextMenu::trashed, this, [this, row] {
        // The index still lists it, but the file is gone.
        setPicture(row, ItemPicture::Deleted);
        ui.lstFiles->viewport()->update();
    });
    return menu;
}

bool TResultList::contextMenuOpen() const { return gContextMenuOpen; }

void TResultList::lstFilesMouseDown(const QPoint& position) {
    if (gContextMenuOpen) return;
    const int row = ui.lstFiles->indexAt(position).row();
    if (row < 0 || row >= ui.lstFiles->count()) return;
    if (row != selectedRow()) {
        selectRow(row);
        lstFilesClick();
    }
    FileContextMenu* menu = contextMenuFor(row);
    if (!menu) return;
    gContextMenuOpen = true;
    menu->exec(ui.lstFiles->viewport()->mapToGlobal(position));
    gContextMenuOpen = false;
    menu->deleteLater();
}

void TResultList::showPage() {
    const ResultPage& page = results_.pager.page();
    {
        const QSignalBlocker blocker(ui.lstFiles);
        ui.lstFiles->clear();
        for (std::size_t i = 0; i < page.names.size(); ++i) {
            auto* item = new QListWidgetItem(displayName(page.names[i]));
            item->setData(kPictureRole, static_cast<int>(page.pictures[i]));
            ui.lstFiles->addItem(item);
        }
        ui.lstFiles->setCurrentRow(-1);
    }
    results_.viewedItem = -1;
    ui.lblFilesNum->setText(page.names.empty() ? QString() : QString::fromStdString(page.label));
    ui.btnStart->setEnabled(page.canGoBack);
    ui.btnPrev->setEnabled(page.canGoBack);
    ui.btnNext->setEnabled(page.canGoForward);
    ui.btnEnd->setEnabled(page.canGoForward);
}

int TResultList::FillResultPage(PageMode mode) {
    ClearResults(false);
    IndexingCore* core = host_.core();
    vellcore::IndexObject* index =
        core ? core->catalogue.object(core->catalogue.opened()) : nullptr;
    if (!index) return -1;
    const int pageSize = pageSizeFromText(host_.settings().maximumFiles);
    int start = 0;
    {
        // An automatic update may be writing this index on the notifier thread.
        const MonitorLock lock(core->notifier);
        start = results_.pager.FillResultPage(index, mode, pageSize);
    }
    showPage();
    return start;
}

void TResultList::btnStartClick() { FillResultPage(PageMode::First); }
void TResultList::btnPrevClick() { FillResultPage(PageMode::Previous); }
void TResultList::btnNextClick() { FillResultPage(PageMode::Next); }
void TResultList::btnEndClick() { FillResultPage(PageMode::Last); }

void TResultList::searchRunning(bool running) { ui.lstFiles->setEnabled(!running); }

void TResultList::showFoundPage(int selectOnPage) {
    showPage();
    if (selectOnPage >= 0 && selectOnPage < ui.lstFiles->count()) {
        selectRow(selectOnPage);
        ui.lstFiles->scrollToItem(ui.lstFiles->item(selectOnPage));
        lstFilesClick();
    }
    ui.lstFiles->setEnabled(true);
    if (window()->isVisible()) ui.lstFiles->setFocus();
}

QStringList TResultList::listedFiles() const {
    QStringList files;
    for (int row = 0; row < ui.lstFiles->count(); ++row) files << ui.lstFiles->item(row)->text();
    return files;
}

bool TResultList::selectListedFile(const QString& name) {
    for (int row = 0; row < ui.lstFiles->count(); ++row) {
        if (ui.lstFiles->item(row)->text().compare(name, Qt::CaseInsensitive) != 0) continue;
        selectRow(row);
        ui.lstFiles->scrollToItem(ui.lstFiles->item(row), QAbstractItemView::PositionAtTop);
        // Asked for by name: the preview is shown again even when it was the viewed file.
        results_.viewedItem = -1;
        lstFilesClick();
        return true;
    }
    return false;
}

void TResultList::markViewedModified() {
    if (results_.viewedItem < 0) return;
    setPicture(results_.viewedItem, ItemPicture::Modified);
    ui.lstFiles->viewport()->update();
}

void TResultList::deselectViewed() {
    results_.viewedItem = -1;
    selectRow(-1);
}

void TResultList::selectViewedAgain() { selectRow(results_.viewedItem); }

void TResultList::MarkChangedResults() {
    IndexingCore* core = host_.core();
    vellcore::IndexObject* index =
        core ? core->catalogue.object(core->catalogue.opened()) : nullptr;
    if (!index || ui.lstFiles->count() == 0) return;
    // Runs on behalf of the automatic update, which holds the notifier lock already.
    if (!results_.pager.MarkChangedResults(*index, host_.environment().readOnlyMedia)) return;
    const auto& pictures = results_.pager.page().pictures;
    for (int row = 0; row < ui.lstFiles->count() && row < static_cast<int>(pictures.size()); ++row)
        setPicture(row, pictures[static_cast<std::size_t>(row)]);
    ui.lstFiles->viewport()->update();
    ui.pnlResultsWarning->show();
}

void TResultList::ClearResults(bool clearExpression) {
    {
        const QSignalBlocker blocker(ui.lstFiles);
        ui.lstFiles->clear();
    }
    results_.pager.ClearPage();
    results_.viewedItem = -1;
    ui.pnlResultsWarning->hide();
    ui.lblFilesNum->clear();
    for (QPushButton* b : {ui.btnStart, ui.btnPrev, ui.btnNext, ui.btnEnd}) b->setEnabled(false);
    // The query text (when asked) and the preview go with the list.
    emit resultsCleared(clearExpression);
}

void TResultList::cmdUpdateFileClick() {
    const int row = selectedRow();
    if (row < 0) return;
    emit updateFileRequested(QString::fromStdString(listedName(row)));
}

void TResultList::enableSearch(bool enabled) {
    if (!enabled) ClearResults(false);
    ui.lstFiles->setEnabled(enabled);
}

bool TResultList::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::AltModifier) || (key != Qt::Key_Up && key != Qt::Key_Down)) return false;
    // Nothing happens at the first or the last file.
    const int row = ui.lstFiles->currentRow() + (key == Qt::Key_Down ? 1 : -1);
    if (ui.lstFiles->count() > 0 && row >= 0 && row < ui.lstFiles->count()) {
        ui.lstFiles->setCurrentRow(row);
        lstFilesClick();
    }
    return true;
}

}  // namespace vellumar
