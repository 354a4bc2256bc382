// The Indexes page: an index's name, scope, folder, options, notes and statistics.
#include "app/ui/TFormMain.h"
#include "app/ui/Widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vellumar {

void TFormMain::buildIndexesPage() {
    tabIndexes = named(new QWidget, "tabIndexes");
    tabMain->addTab(tabIndexes, QStringLiteral("Indexes"));
    auto* page = new QHBoxLayout(tabIndexes);
    page->setContentsMargins(4, 4, 4, 4);

    // Left half: the index itself.
    auto* left = new QGridLayout;
    page->addLayout(left, 1);
    cmbIndexName =
        named(new QComboBox(tabIndexes), "cmbIndexName",
              QStringLiteral("Enter a new index name or select an existing index from the list"));
    cmbIndexName->setEditable(true);
    cmbIndexName->setInsertPolicy(QComboBox::NoInsert);
    cmbIndexName->setMinimumContentsLength(4);
    cmbIndexName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblIndexName =
        makeLabel(tabIndexes, "lblIndexName", QStringLiteral("Index &name:"), cmbIndexName);
    cmdUpdate = makeButton(tabIndexes, "cmdUpdate", QStringLiteral("&Create"));
    cmdRemove = makeButton(tabIndexes, "cmdRemove", QStringLiteral("Remo&ve"));
    cmdRemove->setEnabled(false);
    txtFileNames =
        makeEdit(tabIndexes, "txtFileNames", {},
                 QStringLiteral(
                     "Enter index scope string (Press F1 for syntax). Or, use \"Browse\" button"));
    lblFileNames =
        makeLabel(tabIndexes, "lblFileNames", QStringLiteral("Files to index:"), txtFileNames);
    cmdBrowse = makeButton(tabIndexes, "cmdBrowse", QStringLiteral("&Browse..."));
    txtIndexFolder = makeEdit(tabIndexes, "txtIndexFolder");
    txtIndexFolder->setReadOnly(true);  // changed through "Change" only
    lblIndexFolder =
        makeLabel(tabIndexes, "lblIndexFolder", QStringLiteral("Index folder:"), txtIndexFolder);
    cmdChange = makeButton(tabIndexes, "cmdChange", QStringLiteral("Change"));
    txtNotes = named(new QPlainTextEdit(tabIndexes), "txtNotes");
    lblNotes = makeLabel(tabIndexes, "lblNotes", QStringLiteral("&Notes:"), txtNotes);
    cmdIndexesHelp = makeButton(tabIndexes, "cmdIndexesHelp", QStringLiteral("&Help"));

    left->addWidget(lblIndexName, 0, 0, 1, 2);
    left->addWidget(cmbIndexName, 1, 0);
    left->addWidget(cmdUpdate, 1, 1);
    left->addWidget(lblFileNames, 2, 0, 1, 2);
    left->addWidget(txtFileNames, 3, 0);
    left->addWidget(cmdBrowse, 3, 1);
    left->addWidget(cmdRemove, 4, 1);
    left->addWidget(lblIndexFolder, 5, 0, 1, 2);
    left->addWidget(txtIndexFolder, 6, 0);
    left->addWidget(cmdChange, 6, 1);
    left->addWidget(lblNotes, 7, 0, 1, 2);
    left->addWidget(txtNotes, 8, 0, 1, 2);
    left->addWidget(cmdIndexesHelp, 9, 1);
    left->setRowStretch(8, 1);
    left->setColumnStretch(0, 1);

    // Right half: options and statistics.
    auto* right = new QVBoxLayout;
    page->addLayout(right, 1);
    bvlOptions = named(new QGroupBox(QStringLiteral("Options"), tabIndexes), "bvlOptions");
    right->addWidget(bvlOptions);
    pnlStat2 = named(new QWidget(bvlOptions), "pnlStat2");
    (new QVBoxLayout(bvlOptions))->addWidget(pnlStat2);
    auto* options = new QGridLayout(pnlStat2);
    options->setContentsMargins(0, 0, 0, 0);
    cmbLanguage = named(new QComboBox(pnlStat2), "cmbLanguage",
                        QStringLiteral("Choose appropriate language from the list"));
    cmbLanguage->setMinimumContentsLength(4);
    cmbLanguage->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblLanguage = makeLabel(pnlStat2, "lblLanguage", QStringLiteral("Lan&guage:"), cmbLanguage);
    txtMaxLen = makeEdit(pnlStat2, "txtMaxLen", QStringLiteral("32"));
    txtMinLen = makeEdit(pnlStat2, "txtMinLen", QStringLiteral("2"));
    txtMaxLen->setMaxLength(2);
    txtMinLen->setMaxLength(2);
    lblMaxLen =
        makeLabel(pnlStat2, "lblMaxLen", QStringLiteral("Ma&ximum word length:"), txtMaxLen);
    lblMinLen =
        makeLabel(pnlStat2, "lblMinLen", QStringLiteral("M&inimum word length:"), txtMinLen);
    cmbDic = named(new QComboBox(pnlStat2), "cmbDic");
    cmbDic->setEditable(true);
    cmbDic->setMinimumContentsLength(4);
    cmbDic->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblDic = makeLabel(pnlStat2, "lblDic", QStringLiteral("Filtering &dictionary:"), cmbDic);
    cmdDots1 = named(new QToolButton(pnlStat2), "cmdDots1");
    cmdDots1->setText(QStringLiteral("..."));
    chDic = makeCheck(pnlStat2, "chDic", QStringLiteral("Use filtering dictionary"));
    chDic->setEnabled(false);
    cmbSW = named(new QComboBox(pnlStat2), "cmbSW");
    cmbSW->setEditable(true);
    cmbSW->setMinimumContentsLength(4);
    cmbSW->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblSW = makeLabel(pnlStat2, "lblSW", QStringLiteral("File with &Stop-words:"), cmbSW);
    cmdDots2 = named(new QToolButton(pnlStat2), "cmdDots2");
    cmdDots2->setText(QStringLiteral("..."));
    chSW = makeCheck(pnlStat2, "chSW", QStringLiteral("Check stop-words"));
    chSW->setEnabled(false);
    options->addWidget(lblLanguage, 0, 0);
    options->addWidget(cmbLanguage, 0, 1, 1, 2);
    options->addWidget(lblMaxLen, 1, 0);
    options->addWidget(txtMaxLen, 1, 1);
    options->addWidget(lblMinLen, 2, 0);
    options->addWidget(txtMinLen, 2, 1);
    options->addWidget(lblDic, 3, 0);
    options->addWidget(cmbDic, 3, 1);
    options->addWidget(cmdDots1, 3, 2);
    options->addWidget(chDic, 4, 1, 1, 2);
    options->addWidget(lblSW, 5, 0);
    options->addWidget(cmbSW, 5, 1);
    options->addWidget(cmdDots2, 5, 2);
    options->addWidget(chSW, 6, 1, 1, 2);
    options->setColumnStretch(1, 1);

    bvlAutoUpdate = named(new QGroupBox(tabIndexes), "bvlAutoUpdate");
    right->addWidget(bvlAutoUpdate);
    pnlBoxes1 = named(new QWidget(bvlAutoUpdate), "pnlBoxes1");
    (new QVBoxLayout(bvlAutoUpdate))->addWidget(pnlBoxes1);
    auto* boxes = new QVBoxLayout(pnlBoxes1);
    boxes->setContentsMargins(0, 0, 0, 0);
    chkAutoUpdate =
        makeCheck(pnlBoxes1, "chkAutoUpdate", QStringLiteral("Automatically &updateable"));
    chkArc = makeCheck(pnlBoxes1, "chkArc", QStringLiteral("Scan archives (zip,arj,cab,rar)"));
    chkFileAsText = makeCheck(
        pnlBoxes1, "chkFileAsText", QStringLiteral("&Don't use format filters"),
        QStringLiteral("Specifies whether to parse HTML files as source text while indexing"));
    // Kept outside the visible part of its panel: read from and written to the index
    // definition, set on the first run, otherwise unused.
    chExpress = makeCheck(pnlBoxes1, "chExpress", QStringLiteral("Express indexing"));
    chExpress->hide();
    for (QCheckBox* box : {chkAutoUpdate, chkArc, chkFileAsText}) boxes->addWidget(box);

    bvlStatistics = named(new QGroupBox(QStringLiteral("Statistics"), tabIndexes), "bvlStatistics");
    right->addWidget(bvlStatistics);
    pnlStat = named(new QWidget(bvlStatistics), "pnlStat");
    (new QVBoxLayout(bvlStatistics))->addWidget(pnlStat);
    auto* stats = new QFormLayout(pnlStat);
    stats->setContentsMargins(0, 0, 0, 0);
    lblFileCount1 = makeLabel(pnlStat, "lblFileCount1", QString());
    lblFileRem1 = makeLabel(pnlStat, "lblFileRem1", QString());
    lblVolume1 = makeLabel(pnlStat, "lblVolume1", QString());
    lblWordCount1 = makeLabel(pnlStat, "lblWordCount1", QString());
    L1 = makeLabel(pnlStat, "L1", QStringLiteral("/"));
    L1->hide();
    lblUniqWordCount = makeLabel(pnlStat, "lblUniqWordCount", QString());
    lblLastUpdated1 = makeLabel(pnlStat, "lblLastUpdated1", QString());
    auto* words = new QHBoxLayout;
    words->addWidget(lblWordCount1);
    words->addWidget(L1);
    words->addWidget(lblUniqWordCount);
    words->addStretch(1);
    stats->addRow(QStringLiteral("Files:"), lblFileCount1);
    stats->addRow(QStringLiteral("Removed:"), lblFileRem1);
    stats->addRow(QStringLiteral("Volume (KB):"), lblVolume1);
    stats->addRow(QStringLiteral("Words / unique:"), words);
    stats->addRow(QStringLiteral("Last updated:"), lblLastUpdated1);
    right->addStretch(1);
}

void TFormMain::connectIndexesPage() {
    connect(cmbIndexName, &QComboBox::activated, this, [this](int) { cmbIndexNameClick(); });
    connect(cmbIndexName, &QComboBox::editTextChanged, this, [this] { cmbIndexNameChange(); });
    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdateClick(cmdUpdate); });
    connect(cmdRemove, &QPushButton::clicked, this, &TFormMain::cmdRemoveClick);
    connect(cmdBrowse, &QPushButton::clicked, this, &TFormMain::cmdBrowseClick);
    connect(cmdChange, &QPushButton::clicked, this, &TFormMain::cmdChangeClick);
    connect(cmdIndexesHelp, &QPushButton::clicked, this, &TFormMain::cmdIndexesHelpClick);
    connect(txtFileNames, &QLineEdit::textEdited, this, [this] { txtFileNamesChange(); });
    connect(cmbLanguage, &QComboBox::activated, this, [this](int) { cmbLanguageChange(); });
    connect(cmbDic, &QComboBox::editTextChanged, this, [this] { cmbDicChange(); });
    connect(cmbSW, &QComboBox::editTextChanged, this, [this] { cmbSWChange(); });
    connect(cmdDots1, &QToolButton::clicked, this, &TFormMain::cmdDots1Click);
    connect(cmdDots2, &QToolButton::clicked, this, &TFormMain::cmdDots2Click);
    connect(chkAutoUpdate, &QCheckBox::clicked, this, &TFormMain::chkAutoUpdateClick);
    connect(chkArc, &QCheckBox::clicked, this, &TFormMain::chkArcClick);
}

}  // namespace vellumar
