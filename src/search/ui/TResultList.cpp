#include "search/ui/TResultList.h"

#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumar {

TResultList::TResultList(PageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("pnlResults"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ui.lstFiles =
        named(new QListWidget(this), "lstFiles",
              QStringLiteral("Click right mouse button to access shell operations. Double click "
                             "to run associated program."));
    ui.lstFiles->setUniformItemSizes(true);
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

    connect(ui.lstFiles, &QListWidget::itemClicked, this, [this] { lstFilesClick(); });
    connect(ui.lstFiles, &QListWidget::itemDoubleClicked, this, [this] { lstFilesDblClick(); });
    connect(ui.btnStart, &QPushButton::clicked, this, &TResultList::btnStartClick);
    connect(ui.btnPrev, &QPushButton::clicked, this, &TResultList::btnPrevClick);
    connect(ui.btnNext, &QPushButton::clicked, this, &TResultList::btnNextClick);
    connect(ui.btnEnd, &QPushButton::clicked, this, &TResultList::btnEndClick);
}

void TResultList::lstFilesClick() {}     // Hook: the preview of the selected file (preview).
void TResultList::lstFilesDblClick() {}  // Hook: opening with the association (result list).
void TResultList::btnStartClick() {}     // Hook: paging (result list).
void TResultList::btnPrevClick() {}      // Hook: paging (result list).
void TResultList::btnNextClick() {}      // Hook: paging (result list).
void TResultList::btnEndClick() {}       // Hook: paging (result list).

void TResultList::ClearResults(bool clearExpression) {
    ui.lstFiles->clear();
    ui.pnlResultsWarning->hide();
    ui.lblFilesNum->clear();
    for (QPushButton* b : {ui.btnStart, ui.btnPrev, ui.btnNext, ui.btnEnd}) b->setEnabled(false);
    // The query text (when asked) and the preview go with the list.
    emit resultsCleared(clearExpression);
}

void TResultList::cmdUpdateFileClick() {
    const QListWidgetItem* item = ui.lstFiles->currentItem();
    if (!item) return;
    // The list keeps a file's full name in its data when it shows something else.
    QString name = item->data(Qt::UserRole).toString();
    if (name.isEmpty()) name = item->text();
    emit updateFileRequested(name);
}

void TResultList::enableSearch(bool enabled) {
    if (!enabled) {
        ui.lstFiles->clear();
        ClearResults(false);
    }
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
