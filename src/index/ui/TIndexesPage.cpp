// The Indexes page: its layout, its own controls' connections, and its enabling rules:
// the wizard-only switch, the creation options (open for a new index, locked for an
// existing one, whose language, word lengths and lists were fixed when it was made), and
// the build state shown in cmdUpdate.
#include "index/ui/TIndexesPage.h"

#include "index/IndexDefinition.h"
#include "index/IndexingCore.h"
#include "index/ui/TFormBrowse.h"
#include "index/ui/TFormChange.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace vellumar {

TIndexesPage::TIndexesPage(PageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("tabIndexes"));
    build();
    connectControls();
}

void TIndexesPage::build() {
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);

    // Left half: the index itself.
    auto* left = new QGridLayout;
    page->addLayout(left, 1);
    ui.cmbIndexName =
        named(new QComboBox(this), "cmbIndexName",
              QStringLiteral("Enter a new index name or select an existing index from the list"));
    ui.cmbIndexName->setEditable(true);
    ui.cmbIndexName->setInsertPolicy(QComboBox::NoInsert);
    ui.cmbIndexName->setMinimumContentsLength(4);
    ui.cmbIndexName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblIndexName =
        makeLabel(this, "lblIndexName", QStringLiteral("Index &name:"), ui.cmbIndexName);
    ui.cmdUpdate = makeButton(this, "cmdUpdate", QStringLiteral("&Create"));
    ui.cmdRemove = makeButton(this, "cmdRemove", QStringLiteral("Remo&ve"));
    ui.cmdRemove->setEnabled(false);
    ui.txtFileNames =
        makeEdit(this, "txtFileNames", {},
                 QStringLiteral(
                     "Enter index scope string (Press F1 for syntax). Or, use \"Browse\" button"));
    ui.lblFileNames =
        makeLabel(this, "lblFileNames", QStringLiteral("Files to index:"), ui.txtFileNames);
    ui.cmdBrowse = makeButton(this, "cmdBrowse", QStringLiteral("&Browse..."));
    ui.txtIndexFolder = makeEdit(this, "txtIndexFolder");
    ui.txtIndexFolder->setReadOnly(true);  // changed through "Change" only
    ui.lblIndexFolder =
        makeLabel(this, "lblIndexFolder", QStringLiteral("Index folder:"), ui.txtIndexFolder);
    ui.cmdChange = makeButton(this, "cmdChange", QStringLiteral("Change"));
    ui.txtNotes = named(new QPlainTextEdit(this), "txtNotes");
    ui.lblNotes = makeLabel(this, "lblNotes", QStringLiteral("&Notes:"), ui.txtNotes);
    ui.cmdIndexesHelp = makeButton(this, "cmdIndexesHelp", QStringLiteral("&Help"));

    left->addWidget(ui.lblIndexName, 0, 0, 1, 2);
    left->addWidget(ui.cmbIndexName, 1, 0);
    left->addWidget(ui.cmdUpdate, 1, 1);
    left->addWidget(ui.lblFileNames, 2, 0, 1, 2);
    left->addWidget(ui.txtFileNames, 3, 0);
    left->addWidget(ui.cmdBrowse, 3, 1);
    left->addWidget(ui.cmdRemove, 4, 1);
    left->addWidget(ui.lblIndexFolder, 5, 0, 1, 2);
    left->addWidget(ui.txtIndexFolder, 6, 0);
    left->addWidget(ui.cmdChange, 6, 1);
    left->addWidget(ui.lblNotes, 7, 0, 1, 2);
    left->addWidget(ui.txtNotes, 8, 0, 1, 2);
    left->addWidget(ui.cmdIndexesHelp, 9, 1);
    left->setRowStretch(8, 1);
    left->setColumnStretch(0, 1);

    // Right half: options and statistics.
    auto* right = new QVBoxLayout;
    page->addLayout(right, 1);
    ui.bvlOptions = named(new QGroupBox(QStringLiteral("Options"), this), "bvlOptions");
    right->addWidget(ui.bvlOptions);
    ui.pnlStat2 = named(new QWidget(ui.bvlOptions), "pnlStat2");
    (new QVBoxLayout(ui.bvlOptions))->addWidget(ui.pnlStat2);
    buildOptions(ui.pnlStat2);

    ui.bvlAutoUpdate = named(new QGroupBox(this), "bvlAutoUpdate");
    right->addWidget(ui.bvlAutoUpdate);
    ui.pnlBoxes1 = named(new QWidget(ui.bvlAutoUpdate), "pnlBoxes1");
    (new QVBoxLayout(ui.bvlAutoUpdate))->addWidget(ui.pnlBoxes1);
    auto* boxes = new QVBoxLayout(ui.pnlBoxes1);
    boxes->setContentsMargins(0, 0, 0, 0);
    ui.chkAutoUpdate =
        makeCheck(ui.pnlBoxes1, "chkAutoUpdate", QStringLiteral("Automatically &updateable"));
    ui.chkArc =
        makeCheck(ui.pnlBoxes1, "chkArc", QStringLiteral("Scan archives (zip,arj,cab,rar)"));
    ui.chkFileAsText = makeCheck(
        ui.pnlBoxes1, "chkFileAsText", QStringLiteral("&Don't use format filters"),
        QStringLiteral("Specifies whether to parse HTML files as source text while indexing"));
    // Kept outside the visible part of its panel: read from and written to the index
    // definition, set on the first run, otherwise unused.
    ui.chExpress = makeCheck(ui.pnlBoxes1, "chExpress", QStringLiteral("Express indexing"));
    ui.chExpress->hide();
    for (QCheckBox* box : {ui.chkAutoUpdate, ui.chkArc, ui.chkFileAsText}) boxes->addWidget(box);

    ui.bvlStatistics = named(new QGroupBox(QStringLiteral("Statistics"), this), "bvlStatistics");
    right->addWidget(ui.bvlStatistics);
    ui.pnlStat = named(new QWidget(ui.bvlStatistics), "pnlStat");
    (new QVBoxLayout(ui.bvlStatistics))->addWidget(ui.pnlStat);
    auto* stats = new QFormLayout(ui.pnlStat);
    stats->setContentsMargins(0, 0, 0, 0);
    QWidget* panel = ui.pnlStat;
    ui.lblFileCount1 = makeLabel(panel, "lblFileCount1", QString());
    ui.lblFileRem1 = makeLabel(panel, "lblFileRem1", QString());
    ui.lblVolume1 = makeLabel(panel, "lblVolume1", QString());
    ui.lblWordCount1 = makeLabel(panel, "lblWordCount1", QString());
    ui.L1 = makeLabel(panel, "L1", QStringLiteral("/"));
    ui.L1->hide();
    ui.lblUniqWordCount = makeLabel(panel, "lblUniqWordCount", QString());
    ui.lblLastUpdated1 = makeLabel(panel, "lblLastUpdated1", QString());
    auto* words = new QHBoxLayout;
    words->addWidget(ui.lblWordCount1);
    words->addWidget(ui.L1);
    words->addWidget(ui.lblUniqWordCount);
    words->addStretch(1);
    stats->addRow(QStringLiteral("Files:"), ui.lblFileCount1);
    stats->addRow(QStringLiteral("Removed:"), ui.lblFileRem1);
    stats->addRow(QStringLiteral("Volume (KB):"), ui.lblVolume1);
    stats->addRow(QStringLiteral("Words / unique:"), words);
    stats->addRow(QStringLiteral("Last updated:"), ui.lblLastUpdated1);
    right->addStretch(1);
}

void TIndexesPage::buildOptions(QWidget* panel) {
    auto* options = new QGridLayout(panel);
    options->setContentsMargins(0, 0, 0, 0);
    ui.cmbLanguage = named(new QComboBox(panel), "cmbLanguage",
                           QStringLiteral("Choose appropriate language from the list"));
    ui.cmbLanguage->setMinimumContentsLength(4);
    ui.cmbLanguage->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblLanguage = makeLabel(panel, "lblLanguage", QStringLiteral("Lan&guage:"), ui.cmbLanguage);
    ui.txtMaxLen = makeEdit(panel, "txtMaxLen", QStringLiteral("32"));
    ui.txtMinLen = makeEdit(panel, "txtMinLen", QStringLiteral("2"));
    ui.txtMaxLen->setMaxLength(2);
    ui.txtMinLen->setMaxLength(2);
    ui.lblMaxLen =
        makeLabel(panel, "lblMaxLen", QStringLiteral("Ma&ximum word length:"), ui.txtMaxLen);
    ui.lblMinLen =
        makeLabel(panel, "lblMinLen", QStringLiteral("M&inimum word length:"), ui.txtMinLen);
    ui.cmbDic = named(new QComboBox(panel), "cmbDic");
    ui.cmbDic->setEditable(true);
    ui.cmbDic->setMinimumContentsLength(4);
    ui.cmbDic->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblDic = makeLabel(panel, "lblDic", QStringLiteral("Filtering &dictionary:"), ui.cmbDic);
    ui.cmdDots1 = named(new QToolButton(panel), "cmdDots1");
    ui.cmdDots1->setText(QStringLiteral("..."));
    ui.chDic = makeCheck(panel, "chDic", QStringLiteral("Use filtering dictionary"));
    ui.chDic->setEnabled(false);
    ui.cmbSW = named(new QComboBox(panel), "cmbSW");
    ui.cmbSW->setEditable(true);
    ui.cmbSW->setMinimumContentsLength(4);
    ui.cmbSW->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.lblSW = makeLabel(panel, "lblSW", QStringLiteral("File with &Stop-words:"), ui.cmbSW);
    ui.cmdDots2 = named(new QToolButton(panel), "cmdDots2");
    ui.cmdDots2->setText(QStringLiteral("..."));
    ui.chSW = makeCheck(panel, "chSW", QStringLiteral("Check stop-words"));
    ui.chSW->setEnabled(false);
    options->addWidget(ui.lblLanguage, 0, 0);
    options->addWidget(ui.cmbLanguage, 0, 1, 1, 2);
    options->addWidget(ui.lblMaxLen, 1, 0);
    options->addWidget(ui.txtMaxLen, 1, 1);
    options->addWidget(ui.lblMinLen, 2, 0);
    options->addWidget(ui.txtMinLen, 2, 1);
    options->addWidget(ui.lblDic, 3, 0);
    options->addWidget(ui.cmbDic, 3, 1);
    options->addWidget(ui.cmdDots1, 3, 2);
    options->addWidget(ui.chDic, 4, 1, 1, 2);
    options->addWidget(ui.lblSW, 5, 0);
    options->addWidget(ui.cmbSW, 5, 1);
    options->addWidget(ui.cmdDots2, 5, 2);
    options->addWidget(ui.chSW, 6, 1, 1, 2);
    options->setColumnStretch(1, 1);
}

void TIndexesPage::connectControls() {
    connect(ui.cmbIndexName, &QComboBox::activated, this, [this](int) { cmbIndexNameClick(); });
    connect(ui.cmbIndexName, &QComboBox::editTextChanged, this, [this] { cmbIndexNameChange(); });
    connect(ui.cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdateClick(ui.cmdUpdate); });
    connect(ui.cmdRemove, &QPushButton::clicked, this, &TIndexesPage::cmdRemoveClick);
    connect(ui.cmdBrowse, &QPushButton::clicked, this, &TIndexesPage::cmdBrowseClick);
    connect(ui.cmdChange, &QPushButton::clicked, this, &TIndexesPage::cmdChangeClick);
    connect(ui.cmdIndexesHelp, &QPushButton::clicked, this, &TIndexesPage::cmdIndexesHelpClick);
    connect(ui.txtFileNames, &QLineEdit::textEdited, this, [this] { txtFileNamesChange(); });
    connect(ui.cmbLanguage, &QComboBox::activated, this, [this](int) { cmbLanguageChange(); });
    connect(ui.cmbDic, &QComboBox::editTextChanged, this, [this] { cmbDicChange(); });
    connect(ui.cmbSW, &QComboBox::editTextChanged, this, [this] { cmbSWChange(); });
    connect(ui.cmdDots1, &QToolButton::clicked, this, &TIndexesPage::cmdDots1Click);
    connect(ui.cmdDots2, &QToolButton::clicked, this, &TIndexesPage::cmdDots2Click);
    connect(ui.chkAutoUpdate, &QCheckBox::clicked, this, &TIndexesPage::chkAutoUpdateClick);
    connect(ui.chkArc, &QCheckBox::clicked, this, &TIndexesPage::chkArcClick);
    // The language box is refilled whenever it gets the focus, so new .LNG files appear.
    ui.cmbLanguage->installEventFilter(this);
}

bool TIndexesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.cmbLanguage && event->type() == QEvent::FocusIn) cmbLanguageEnter();
    return QWidget::eventFilter(watched, event);
}

void TIndexesPage::createDialogs() {
    ui.FormBrowse = new TFormBrowse(host_, this);
    ui.FormChange = new TFormChange(this);
    ui.FormChange->setFolder(ui.txtIndexFolder->text());
}

void TIndexesPage::showSettings() {
    ui.txtIndexFolder->setText(QString::fromStdString(host_.settings().indexFolder));
}

// An index that looks into archives is never automatically updateable: the two boxes
// uncheck each other.
void TIndexesPage::chkAutoUpdateClick() {
    const bool checked = ui.chkAutoUpdate->isChecked();
    const bool archivesBefore = ui.chkArc->isChecked();
    if (checked && archivesBefore) ui.chkArc->setChecked(false);
    IndexingCore* core = host_.core();
    const int selected = ui.cmbIndexName->currentIndex();
    if (!core || selected < 0 ||
        ui.cmbIndexName->currentText() != ui.cmbIndexName->itemText(selected) ||
        selected >= core->notifier.ScopeCount() ||
        checked == core->notifier.GetAutoUpdate(selected))
        return;
    if (checked &&
        showMessageBox(
            QStringLiteral("To make the index automatically updateable the system\rfirst "
                           "must update it. Do you want to proceed?"),
            MessageIcon::Warning, MessageButtons::YesNo, this) != MessageResult::Yes) {
        ui.chkAutoUpdate->setChecked(false);
        ui.chkArc->setChecked(archivesBefore);
        return;
    }
    const std::filesystem::path file = core->catalogue.definitionFile(selected);
    if (std::optional<IndexDefinition> definition = IndexDefinition::load(file)) {
        definition->monitored = checked;
        definition->save(file);
    }
    core->notifier.SetAutoUpdate(selected, checked);
    // The update walks the index's folders, which watches them.
    if (checked) cmdUpdateClick(nullptr);
}

void TIndexesPage::chkArcClick() {
    if (ui.chkArc->isChecked()) ui.chkAutoUpdate->setChecked(false);
}

void TIndexesPage::showAutoUpdatedIndex(int position, const QString& lastUpdated) {
    IndexingCore* core = host_.core();
    if (!core || position != core->catalogue.opened()) return;
    if (const vellcore::IndexObject* index = core->catalogue.object(position)) {
        showStatistics(*index);
        ui.lblLastUpdated1->setText(lastUpdated);
    }
}

void TIndexesPage::showAutomaticUpdate(bool running) {
    // "Update" turns into "Cancel" and stops the automatic update as it stops a build.
    host_.state().indexingBusy = running;
    ui.cmdUpdate->setText(running ? QStringLiteral("&Cancel") : QStringLiteral("&Update"));
}
void TIndexesPage::cmdIndexesHelpClick() { host_.showHelp(4); }

bool TIndexesPage::wizardOnly() const { return host_.settings().wizardOnly; }
bool TIndexesPage::readOnlyMedia() const { return host_.environment().readOnlyMedia; }

int TIndexesPage::selectedIndex() const { return ui.cmbIndexName->currentIndex(); }

void TIndexesPage::selectInBox(QComboBox* box, int position) {
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(position);
    if (box->isEditable() && position >= 0) box->setEditText(box->itemText(position));
}

bool TIndexesPage::showsExistingIndex() const {
    const int i = ui.cmbIndexName->currentIndex();
    return i >= 0 && ui.cmbIndexName->currentText() == ui.cmbIndexName->itemText(i);
}

void TIndexesPage::updateCaption() {
    if (host_.state().indexingBusy)
        ui.cmdUpdate->setText(QStringLiteral("&Cancel"));  // pressing it cancels the build
    else if (showsExistingIndex())
        ui.cmdUpdate->setText(QStringLiteral("&Update"));
    else
        ui.cmdUpdate->setText(QStringLiteral("&Create"));
}

namespace {

QList<QWidget*> indexBusyControls(const TIndexesPage::Controls& c) {
    return {c.txtFileNames, c.cmbIndexName, c.txtIndexFolder, c.cmdRemove,     c.cmdBrowse,
            c.cmdChange,    c.txtNotes,     c.chkFileAsText,  c.cmbLanguage,   c.cmbSW,
            c.cmbDic,       c.cmdDots1,     c.cmdDots2,       c.chkAutoUpdate, c.chkArc,
            c.pnlBoxes1,    c.pnlStat,      c.pnlStat2,       c.txtMaxLen,     c.txtMinLen};
}

}  // namespace

void TIndexesPage::showBusy(bool busy) {
    updateCaption();
    if (busy) {
        ui.cmdUpdate->setEnabled(true);  // it cancels
        if (wizardOnly()) return;
        for (QWidget* control : indexBusyControls(ui)) control->setEnabled(false);
        return;
    }
    const bool selected = ui.cmbIndexName->currentIndex() >= 0;
    emit removeAllowed(selected);
    if (wizardOnly()) {
        ui.cmdUpdate->setEnabled(false);
        return;
    }
    for (QWidget* control : indexBusyControls(ui)) control->setEnabled(true);
    ui.cmdRemove->setEnabled(selected);
    if (readOnlyMedia()) {
        ui.chkAutoUpdate->setEnabled(false);
        ui.chkArc->setEnabled(false);
    }
    setCreationOptionsLocked(creationOptionsLocked_);
}

void TIndexesPage::setIndexEditingControls(bool enabled) {
    // Every control placed directly on the page or on its option panels; the frames that
    // only group them, and the page's dialogs, stay as they are.
    const QList<QWidget*> frames{ui.bvlOptions, ui.bvlAutoUpdate, ui.bvlStatistics};
    auto apply = [&](QWidget* parent) {
        for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!frames.contains(child) && !child->isWindow()) child->setEnabled(enabled);
    };
    apply(this);
    apply(ui.pnlBoxes1);
    apply(ui.pnlStat);
    apply(ui.pnlStat2);
    ui.cmdUpdate->setEnabled(host_.state().indexingBusy);
    if (enabled) {
        ui.cmdRemove->setEnabled(ui.cmbIndexName->currentIndex() >= 0);
        setCreationOptionsLocked(creationOptionsLocked_);
    }
}

void TIndexesPage::setCreationOptionsLocked(bool locked) {
    creationOptionsLocked_ = locked;
    if (wizardOnly()) return;  // the page's controls are off as a whole
    for (QLineEdit* length : {ui.txtMaxLen, ui.txtMinLen}) {
        length->setReadOnly(locked);
        length->setEnabled(!locked);
    }
    ui.chkFileAsText->setEnabled(!locked);
    ui.chkArc->setEnabled(!locked && !readOnlyMedia());
    ui.chDic->setEnabled(!locked && !ui.cmbDic->currentText().trimmed().isEmpty());
    ui.chSW->setEnabled(!locked && !ui.cmbSW->currentText().trimmed().isEmpty());
    // The language box stays open: choosing another language for an existing index asks
    // whether to recreate the index with it.
    ui.cmbLanguage->setEnabled(true);
}

void TIndexesPage::showNewIndexState() {
    shownIndex_ = -1;
    updateCaption();
    ui.cmdUpdate->setEnabled(!wizardOnly());
    emit searchUpdateAllowed(false);
    if (!wizardOnly()) ui.chkAutoUpdate->setEnabled(!readOnlyMedia());
    setCreationOptionsLocked(false);
    clearStatistics();
    ui.cmdRemove->setEnabled(false);
    emit removeAllowed(false);
}

void TIndexesPage::enableIndexOptionControls() {
    if (wizardOnly() || host_.state().indexingBusy) return;
    if (shownIndex_ < 0) {
        setCreationOptionsLocked(false);
        return;
    }
    // An existing index keeps its options locked but can be updated now that start-up,
    // which leaves the update buttons alone, is over.
    ui.cmdUpdate->setEnabled(true);
    emit searchUpdateAllowed(!readOnlyMedia());
}

void TIndexesPage::txtFileNamesChange() {
    if (!wizardOnly()) ui.cmdUpdate->setEnabled(true);
    if (!readOnlyMedia()) emit searchUpdateAllowed(true);
}

}  // namespace vellumar
