#include "search/ui/TSearchPage.h"

#include "index/IndexDefinition.h"
#include "index/IndexingCore.h"
#include "lang/TLanguageList.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "search/ResultState.h"
#include "search/SearchRunner.h"
#include "search/ui/TFormResearch.h"
#include "search/ui/TfrmTags.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace vellumar {

namespace {
const QString kCancelCaption = QStringLiteral("&Cancel");
}

TSearchPage::TSearchPage(PageHost& host, ResultState& results, QWidget* parent)
    : QWidget(parent), host_(host), results_(results) {
    setObjectName(QStringLiteral("tabSearch"));
    build();
    connectControls();
}

TSearchPage::~TSearchPage() = default;

vellcore::IndexObject* TSearchPage::indexInUse() const {
    IndexingCore* core = host_.core();
    return core ? core->catalogue.object(core->catalogue.opened()) : nullptr;
}

void TSearchPage::build() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);

    // The query area, with the page's buttons anchored at the right.
    auto* top = new QHBoxLayout;
    page->addLayout(top);
    ui.bvlSearchExpr = named(new QFrame(this), "bvlSearchExpr");
    ui.bvlSearchExpr->setFrameShape(QFrame::StyledPanel);
    top->addWidget(ui.bvlSearchExpr, 1);
    auto* grid = new QGridLayout(ui.bvlSearchExpr);
    grid->setContentsMargins(6, 4, 6, 4);
    QWidget* area = ui.bvlSearchExpr;

    ui.cmbSearchExpr = named(new QComboBox(area), "cmbSearchExpr");
    ui.cmbSearchExpr->setEditable(true);
    ui.cmbSearchExpr->setInsertPolicy(QComboBox::NoInsert);
    ui.cmbSearchExpr->setMinimumContentsLength(4);
    ui.cmbSearchExpr->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblSearchExpr = makeLabel(area, "lblSearchExpr", QStringLiteral("&Enter search expression:"),
                                 ui.cmbSearchExpr);
    ui.cmdOK = makeButton(area, "cmdOK", QStringLiteral("&Search"));
    ui.cmdOK->setDefault(true);
    ui.btnAdvanced = makeButton(area, "btnAdvanced", QStringLiteral("A&dvanced"),
                                QStringLiteral("Press the button enter XML query"));
    ui.btnAdvanced->setEnabled(false);
    grid->addWidget(ui.lblSearchExpr, 0, 0, 1, 2);
    grid->addWidget(ui.cmbSearchExpr, 1, 0, 1, 2);
    grid->addWidget(ui.cmdOK, 1, 2);
    grid->addWidget(ui.btnAdvanced, 1, 3);

    ui.cmbUsedIndex = named(new QComboBox(area), "cmbUsedIndex");
    ui.cmbUsedIndex->setMinimumContentsLength(4);
    ui.cmbUsedIndex->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblUsedIndex = makeLabel(area, "lblUsedIndex", QStringLiteral("&Index:"), ui.cmbUsedIndex);
    ui.cmbFileList = named(new QComboBox(area), "cmbFileList");
    ui.cmbFileList->setMinimumContentsLength(4);
    ui.cmbFileList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblFile =
        makeLabel(area, "lblFile", QStringLiteral("^ Search from List\\File"), ui.cmbFileList);
    ui.btnFromFile = makeButton(area, "btnFromFile", QStringLiteral("&Browse"));
    grid->addWidget(ui.lblUsedIndex, 2, 0);
    grid->addWidget(ui.lblFile, 2, 1);
    grid->addWidget(ui.cmbUsedIndex, 3, 0);
    grid->addWidget(ui.cmbFileList, 3, 1);
    grid->addWidget(ui.btnFromFile, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* counts = new QHBoxLayout;
    ui.lblSorting = makeLabel(area, "lblSorting", QStringLiteral("Sort files:"));
    ui.chAlpha = makeCheck(area, "chAlpha", QStringLiteral("&alphabetically"));
    ui.chRel = makeCheck(area, "chRel", QStringLiteral("by &relevancy"));
    ui.lblTotalFiles = makeLabel(area, "lblTotalFiles", QStringLiteral("Records:"));
    ui.lblTotalFiles1 = makeLabel(area, "lblTotalFiles1", QString());
    ui.lblTotalEntries = makeLabel(area, "lblTotalEntries", QStringLiteral("Entries:"));
    ui.lblTotalEntries1 = makeLabel(area, "lblTotalEntries1", QString());
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lblSorting, ui.chAlpha, ui.chRel})
        counts->addWidget(w);
    counts->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lblTotalFiles, ui.lblTotalFiles1,
                                                      ui.lblTotalEntries, ui.lblTotalEntries1})
        counts->addWidget(w);
    grid->addLayout(counts, 4, 0, 1, 4);

    auto* side = new QVBoxLayout;
    ui.cmdSearchHelp = makeButton(this, "cmdSearchHelp", QStringLiteral("&Help"));
    ui.cmdSearchUpdate = makeButton(this, "cmdSearchUpdate", QStringLiteral("&Update"));
    ui.cmdSearchUpdate->setEnabled(false);
    ui.cmdAbout = makeButton(this, "cmdAbout", QStringLiteral("&About"));
    ui.cmdClose = makeButton(this, "cmdClose", QStringLiteral("E&xit"));
    for (QPushButton* b : {ui.cmdSearchHelp, ui.cmdSearchUpdate, ui.cmdAbout, ui.cmdClose})
        side->addWidget(b);
    side->addStretch(1);
    top->addLayout(side);

    ui.oxSplit = named(new QSplitter(Qt::Vertical, this), "oxSplit");
    page->addWidget(ui.oxSplit, 1);
}

void TSearchPage::placePanes(QWidget* resultList, QWidget* viewer, QWidget* entryBar) {
    ui.oxSplit->addWidget(resultList);
    ui.oxSplit->addWidget(viewer);
    ui.oxSplit->setStretchFactor(0, 2);
    ui.oxSplit->setStretchFactor(1, 3);
    static_cast<QVBoxLayout*>(layout())->addWidget(entryBar);
}

void TSearchPage::createDialogs() {
    ui.frmTags = new TfrmTags(this);
    ui.FormResearch = new TFormResearch(this);
}

void TSearchPage::connectControls() {
    connect(ui.cmdOK, &QPushButton::clicked, this, &TSearchPage::cmdOKClick);
    connect(ui.btnAdvanced, &QPushButton::clicked, this, &TSearchPage::btnAdvancedClick);
    connect(ui.btnFromFile, &QPushButton::clicked, this, &TSearchPage::btnFromFileClick);
    connect(ui.cmbFileList, &QComboBox::activated, this, [this](int) { cmbFileListClick(); });
    connect(ui.cmbUsedIndex, &QComboBox::activated, this, [this](int) { cmbUsedIndexClick(); });
    connect(ui.chAlpha, &QCheckBox::clicked, this, &TSearchPage::chAlphaClick);
    connect(ui.chRel, &QCheckBox::clicked, this, &TSearchPage::chRelClick);
    connect(ui.cmdSearchHelp, &QPushButton::clicked, this, &TSearchPage::cmdSearchHelpClick);
    connect(ui.cmdSearchUpdate, &QPushButton::clicked, this, &TSearchPage::cmdSearchUpdateClick);
    connect(ui.cmdAbout, &QPushButton::clicked, this, &TSearchPage::aboutClicked);
    connect(ui.cmdClose, &QPushButton::clicked, this, &TSearchPage::closeClicked);
    ui.cmbSearchExpr->installEventFilter(this);
}

bool TSearchPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.cmbSearchExpr && event->type() == QEvent::FocusIn) cmbSearchExprEnter();
    if (watched == ui.cmbSearchExpr && event->type() == QEvent::FocusOut) cmbSearchExprExit();
    return QWidget::eventFilter(watched, event);
}

void TSearchPage::cmbSearchExprEnter() {
    if (QLineEdit* edit = ui.cmbSearchExpr->lineEdit()) edit->selectAll();
    emit queryFocusChanged(true);
}

void TSearchPage::cmbSearchExprExit() { emit queryFocusChanged(false); }

void TSearchPage::cmdSearchHelpClick() { host_.showHelp(1); }

// At most one sort order is checked: checking one unchecks the other.
void TSearchPage::chAlphaClick() {
    if (ui.chAlpha->isChecked()) ui.chRel->setChecked(false);
    host_.settings().sorting = ui.chAlpha->isChecked() ? 1 : ui.chRel->isChecked() ? 2 : 0;
}

void TSearchPage::chRelClick() {
    if (ui.chRel->isChecked()) ui.chAlpha->setChecked(false);
    host_.settings().sorting = ui.chAlpha->isChecked() ? 1 : ui.chRel->isChecked() ? 2 : 0;
}

void TSearchPage::showSettings() {
    // Any other stored value checks neither box (and is kept until a box is clicked).
    ui.chAlpha->setChecked(host_.settings().sorting == 1);
    ui.chRel->setChecked(host_.settings().sorting == 2);
}

void TSearchPage::setQueryHistory(const QueryHistory& history) {
    for (const std::string& query : history.queries)
        ui.cmbSearchExpr->addItem(QString::fromStdString(query));
    for (const std::string& file : history.listFiles)
        ui.cmbFileList->addItem(QString::fromStdString(file));
    ui.cmbSearchExpr->setCurrentIndex(-1);
    ui.cmbFileList->setCurrentIndex(-1);
}

QueryHistory TSearchPage::queryHistory() const {
    QueryHistory history;
    for (int i = 0; i < ui.cmbSearchExpr->count(); ++i)
        history.queries.push_back(ui.cmbSearchExpr->itemText(i).toStdString());
    for (int i = 0; i < ui.cmbFileList->count(); ++i)
        history.listFiles.push_back(ui.cmbFileList->itemText(i).toStdString());
    return history;
}

void TSearchPage::enableSearch(bool enabled) {
    if (!enabled) {
        ui.cmbSearchExpr->clearEditText();
        ui.lblTotalFiles1->clear();
        ui.lblTotalEntries1->clear();
    }
    ui.cmbSearchExpr->setEnabled(enabled);
    ui.cmbFileList->setEnabled(enabled);
    ui.cmdOK->setEnabled(enabled);
}

void TSearchPage::clearQuery() { ui.cmbSearchExpr->clearEditText(); }

bool TSearchPage::focusQuery() {
    if (!ui.cmbSearchExpr->isVisibleTo(window()) || !ui.cmbSearchExpr->isEnabled()) return false;
    ui.cmbSearchExpr->setFocus();
    return true;
}

bool TSearchPage::keyDown(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    // Exactly one search, also when the query box has the focus.
    if (ui.cmdOK->isEnabled()) cmdOKClick();
    return true;
}

void TSearchPage::readOnlyMedia() {
    ui.cmdSearchUpdate->setEnabled(false);
    ui.cmdSearchUpdate->hide();
}

void TSearchPage::indexInserted(int position, const QString& name) {
    // A catalogue change is not the user's choice: the box keeps its item (or none).
    const QSignalBlocker blocker(ui.cmbUsedIndex);
    const bool none = ui.cmbUsedIndex->currentIndex() < 0;
    ui.cmbUsedIndex->insertItem(position, name);
    if (none) ui.cmbUsedIndex->setCurrentIndex(-1);
}

void TSearchPage::indexRemoved(int position) {
    const QSignalBlocker blocker(ui.cmbUsedIndex);
    const bool current = ui.cmbUsedIndex->currentIndex() == position;
    ui.cmbUsedIndex->removeItem(position);
    if (current) ui.cmbUsedIndex->setCurrentIndex(-1);
}

int TSearchPage::indexCount() const { return ui.cmbUsedIndex->count(); }
int TSearchPage::usedIndex() const { return ui.cmbUsedIndex->currentIndex(); }
QString TSearchPage::indexName(int position) const { return ui.cmbUsedIndex->itemText(position); }

void TSearchPage::selectIndex(int position) {
    const QSignalBlocker blocker(ui.cmbUsedIndex);
    ui.cmbUsedIndex->setCurrentIndex(position);
}

void TSearchPage::useIndex(int position) {
    const IndexingCore* core = host_.core();
    if (ui.cmbUsedIndex->currentIndex() == position && core && core->catalogue.opened() == position)
        return;
    selectIndex(position);
    cmbUsedIndexClick();
}

void TSearchPage::showCreatedIndex(int position) {
    selectIndex(position);
    const IndexingCore* core = host_.core();
    const auto* index = core ? core->catalogue.object(position) : nullptr;
    ui.btnAdvanced->setEnabled(index && index->GetTagCount() > 0);
}

void TSearchPage::setUpdateEnabled(bool enabled) { ui.cmdSearchUpdate->setEnabled(enabled); }

void TSearchPage::setQueryControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui.cmbSearchExpr, ui.cmbFileList,
                                                      ui.btnFromFile, ui.cmdOK})
        w->setEnabled(enabled);
    const vellcore::IndexObject* index = indexInUse();
    ui.btnAdvanced->setEnabled(enabled && index && index->GetTagCount() > 0);
}

void TSearchPage::indexBuildStarted() {
    // A build changes the index's elements, and no query may run while it writes.
    closeTagTree();
    setQueryControlsEnabled(false);
}

void TSearchPage::indexBuildFinished() { setQueryControlsEnabled(host_.state().searchEnabled); }

bool TSearchPage::openRepairing(int position) {
    IndexingCore& core = *host_.core();
    const int error = core.catalogue.OpenIndex(position, [this, &core](int p) {
        // A repaired index gets the list's first language; its own filter setting stays.
        std::unique_ptr<vellcore::IndexObject> none;
        if (host_.languages().size() == 0) return none;
        const TLangStorage& language = host_.languages().at(0);
        const auto definition = IndexDefinition::load(core.catalogue.definitionFile(p));
        return core.builder.RepairIndex(p, language.Name(), language.CharacterTable(),
                                        definition && definition->filesAsText);
    });
    return error == 0;
}

void TSearchPage::cmbUsedIndexClick() {
    IndexingCore* core = host_.core();
    if (!core) return;
    Catalogue& catalogue = core->catalogue;
    if (host_.state().indexingBusy || searching()) {
        // The index in use cannot change under a running build or query.
        selectIndex(catalogue.opened());
        return;
    }
    const int i = ui.cmbUsedIndex->currentIndex();
    if (i < 0) {
        host_.setSearchEnabled(false);
        return;
    }
    if (i == catalogue.opened()) return;
    emit clearResultsRequested(false);
    if (catalogue.opened() >= 0) {
        ui.btnAdvanced->setEnabled(false);
        closeTagTree();
        catalogue.UnloadIndex(catalogue.opened());
    }
    if (openRepairing(i)) {
        ui.btnAdvanced->setEnabled(catalogue.object(i)->GetTagCount() > 0);
        emit indexOpened(i);
        ui.cmdSearchUpdate->setEnabled(!host_.environment().readOnlyMedia);
    } else {
        // Still broken: it left the catalogue and both boxes.
        selectIndex(-1);
        if (ui.cmbUsedIndex->count() == 0) {
            host_.setSearchEnabled(false);
            return;
        }
    }
    if (!host_.state().searchEnabled) host_.setSearchEnabled(true);
}

void TSearchPage::cmdSearchUpdateClick() {
    if (host_.state().indexingBusy) {
        emit updateRequested(ui.cmdSearchUpdate);  // the cancel question
        return;
    }
    ui.cmdSearchUpdate->setText(kCancelCaption);
    emit updateRequested(ui.cmdSearchUpdate);
    ui.cmdSearchUpdate->setText(QStringLiteral("&Update"));
}

}  // namespace vellumar
