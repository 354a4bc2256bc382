#include "index/ui/TFormWizard.h"

#include "index/WizardSteps.h"
#include "index/ui/TIndexesPage.h"
#include "lang/ui/LanguageCombo.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vellumar {

namespace {

QString q(const char* text) { return QString::fromUtf8(text); }

QComboBox* makeList(QWidget* parent, const char* name, bool editable) {
    auto* box = named(new QComboBox(parent), name);
    box->setEditable(editable);
    if (editable) box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(16);
    return box;
}

QLabel* explanation(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

TFormWizard::TFormWizard(TIndexesPage& indexes, PageHost& host, QWidget* parent)
    : QDialog(parent), indexes_(indexes), host_(host) {
    setObjectName(QStringLiteral("FormWizard"));
    setWindowTitle(QStringLiteral("Index wizard"));
    build();
    FormShow();
}

void TFormWizard::build() {
    auto* outer = new QHBoxLayout(this);
    // The left-hand picture: a calm band in the program's colours.
    auto* picture = new QFrame(this);
    picture->setObjectName(QStringLiteral("imgWizard"));
    picture->setFixedWidth(96);
    picture->setStyleSheet(QStringLiteral(
        "#imgWizard { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6c244, "
        "stop:0.45 #f39c34, stop:1 #3a6ea5); border-radius: 4px; }"));
    outer->addWidget(picture);
    auto* layout = new QVBoxLayout;
    outer->addLayout(layout, 1);

    ui.lblWelcome = new QLabel(q(kWizardBanner), this);
    ui.lblWelcome->setObjectName(QStringLiteral("lblWelcome"));
    QFont banner = ui.lblWelcome->font();
    banner.setPointSize(banner.pointSize() + 4);
    banner.setBold(true);
    ui.lblWelcome->setFont(banner);
    layout->addWidget(ui.lblWelcome);

    ui.pages = new QStackedWidget(this);
    ui.screen1 = buildScreen1();
    ui.screen2 = buildScreen2();
    ui.screen4 = buildScreen4();
    ui.screen5 = buildScreen5();
    ui.screen6 = buildScreen6();
    for (QWidget* screen : {ui.screen1, ui.screen2, ui.screen4, ui.screen5, ui.screen6})
        ui.pages->addWidget(screen);
    layout->addWidget(ui.pages, 1);

    ui.lblBottom = new QLabel(q(kWizardContinueLine), this);
    ui.lblBottom->setObjectName(QStringLiteral("lblBottom"));
    layout->addWidget(ui.lblBottom);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ui.btnBack = makeButton(this, "btnBack", QStringLiteral("< &Back"));
    ui.btnNext = makeButton(this, "btnNext", QStringLiteral("&Next"));
    ui.btnCancel = makeButton(this, "btnCancel", QStringLiteral("Cancel"));
    ui.btnNext->setDefault(true);  // Enter goes on
    for (QPushButton* b : {ui.btnBack, ui.btnNext, ui.btnCancel}) buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(ui.btnBack, &QPushButton::clicked, this, &TFormWizard::btnBackClick);
    connect(ui.btnNext, &QPushButton::clicked, this, &TFormWizard::btnNextClick);
    connect(ui.btnCancel, &QPushButton::clicked, this, &TFormWizard::btnCancelClick);
    connect(ui.chkOpen, &QCheckBox::clicked, this, &TFormWizard::chkOpenClick);
    connect(ui.cmdChange, &QPushButton::clicked, this, &TFormWizard::cmdChangeClick);
    connect(ui.cmdBrowse, &QPushButton::clicked, this, &TFormWizard::cmdBrowseClick);
    connect(ui.cmdCustLangs, &QPushButton::clicked, this, &TFormWizard::cmdCustLangsClick);
    connect(ui.btnReload, &QPushButton::clicked, this, &TFormWizard::btnReloadClick);
    connect(ui.btnEditDic, &QPushButton::clicked, this, &TFormWizard::btnEditDicClick);
    connect(ui.btnEditSw, &QPushButton::clicked, this, &TFormWizard::btnEditSwClick);
    connect(ui.cmbDic, &QComboBox::editTextChanged, this, [this] { enableEditButtons(); });
    connect(ui.cmbSW, &QComboBox::editTextChanged, this, [this] { enableEditButtons(); });
    resize(620, 400);
}

QWidget* TFormWizard::buildScreen1() {
    auto* screen = named(new QWidget(this), "screen1");
    auto* grid = new QGridLayout(screen);
    ui.txtIndexName = makeEdit(screen, "txtIndexName");
    ui.chkOpen = makeCheck(screen, "chkOpen", QStringLiteral("&Open existing index:"));
    ui.cmbIndexName = makeList(screen, "cmbIndexName", false);
    ui.txtIndexFolder = makeEdit(screen, "txtIndexFolder");
    ui.txtIndexFolder->setReadOnly(true);
    ui.cmdChange = makeButton(screen, "cmdChange", QStringLiteral("&Change"));
    grid->addWidget(explanation(screen, QStringLiteral("This wizard helps you make an index of "
                                                       "your documents, so that you can search "
                                                       "them in an instant.")),
                    0, 0, 1, 3);
    grid->addWidget(
        makeLabel(screen, "lblNewIndex", QStringLiteral("Create new index:"), ui.txtIndexName), 1,
        0, 1, 3);
    grid->addWidget(ui.txtIndexName, 2, 0, 1, 3);
    grid->addWidget(ui.chkOpen, 3, 0, 1, 3);
    grid->addWidget(makeLabel(screen, "lblName", QStringLiteral("Name of index:"), ui.cmbIndexName),
                    4, 0);
    grid->addWidget(ui.cmbIndexName, 4, 1, 1, 2);
    grid->addWidget(
        makeLabel(screen, "lblFolder", QStringLiteral("Index folder:"), ui.txtIndexFolder), 5, 0);
    grid->addWidget(ui.txtIndexFolder, 5, 1);
    grid->addWidget(ui.cmdChange, 5, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);
    return screen;
}

QWidget* TFormWizard::buildScreen2() {
    auto* screen = named(new QWidget(this), "screen2");
    auto* grid = new QGridLayout(screen);
    ui.txtFileNames = makeEdit(screen, "txtFileNames", {},
                               QStringLiteral("Folders and file patterns, for example "
                                              "/home/ann/docs/+<*.txt,*.doc>"));
    ui.cmdBrowse = makeButton(screen, "cmdBrowse", QStringLiteral("&Browse..."));
    ui.chkArc = makeCheck(screen, "chkArc", QStringLiteral("Scan &archives"));
    grid->addWidget(explanation(screen, QStringLiteral("Choose the folders and the kinds of files "
                                                       "to index. \"Browse...\" composes them for "
                                                       "you.")),
                    0, 0, 1, 2);
    grid->addWidget(
        makeLabel(screen, "lblFileNames", QStringLiteral("Items to index"), ui.txtFileNames), 1, 0,
        1, 2);
    grid->addWidget(ui.txtFileNames, 2, 0);
    grid->addWidget(ui.cmdBrowse, 2, 1);
    grid->addWidget(ui.chkArc, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(4, 1);
    return screen;
}

QWidget* TFormWizard::buildScreen4() {
    auto* screen = named(new QWidget(this), "screen4");
    auto* grid = new QGridLayout(screen);
    ui.cmbLanguage = makeList(screen, "cmbLanguage", false);
    ui.cmdCustLangs = makeButton(screen, "cmdCustLangs", QStringLiteral("&New Language..."));
    ui.btnReload = makeButton(screen, "btnReload", QStringLiteral("&Reload languages"));
    ui.btnReload->setEnabled(false);  // until a language was customized
    grid->addWidget(explanation(screen, QStringLiteral("The language decides which characters "
                                                       "make up words and how upper and lower "
                                                       "case are matched.")),
                    0, 0, 1, 2);
    grid->addWidget(makeLabel(screen, "lblLanguage", QStringLiteral("Lan&guage:"), ui.cmbLanguage),
                    1, 0, 1, 2);
    grid->addWidget(ui.cmbLanguage, 2, 0);
    grid->addWidget(ui.cmdCustLangs, 2, 1);
    grid->addWidget(ui.btnReload, 3, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(4, 1);
    return screen;
}

QWidget* TFormWizard::buildScreen5() {
    auto* screen = named(new QWidget(this), "screen5");
    auto* grid = new QGridLayout(screen);
    ui.txtMaxLen = makeEdit(screen, "txtMaxLen");
    ui.txtMinLen = makeEdit(screen, "txtMinLen");
    for (QLineEdit* length : {ui.txtMaxLen, ui.txtMinLen}) {
        length->setMaxLength(2);
        length->setMaximumWidth(48);
    }
    ui.cmbDic = makeList(screen, "cmbDic", true);
    ui.btnEditDic = makeButton(screen, "btnEditDic", QStringLiteral("Edit"));
    ui.cmbSW = makeList(screen, "cmbSW", true);
    ui.btnEditSw = makeButton(screen, "btnEditSw", QStringLiteral("Edit"));
    grid->addWidget(
        makeLabel(screen, "lblMaxLen", QStringLiteral("Ma&ximum word length:"), ui.txtMaxLen), 0,
        0);
    grid->addWidget(ui.txtMaxLen, 0, 1, Qt::AlignLeft);
    grid->addWidget(
        makeLabel(screen, "lblMinLen", QStringLiteral("Minimum word length:"), ui.txtMinLen), 1, 0);
    grid->addWidget(ui.txtMinLen, 1, 1, Qt::AlignLeft);
    grid->addWidget(
        makeLabel(screen, "lblDic", QStringLiteral("Filtering &dictionary:"), ui.cmbDic), 2, 0, 1,
        3);
    grid->addWidget(ui.cmbDic, 3, 0, 1, 2);
    grid->addWidget(ui.btnEditDic, 3, 2);
    grid->addWidget(makeLabel(screen, "lblSW", QStringLiteral("File with &Stop-words:"), ui.cmbSW),
                    4, 0, 1, 3);
    grid->addWidget(ui.cmbSW, 5, 0, 1, 2);
    grid->addWidget(ui.btnEditSw, 5, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);
    return screen;
}

QWidget* TFormWizard::buildScreen6() {
    auto* screen = named(new QWidget(this), "screen6");
    auto* column = new QVBoxLayout(screen);
    column->addWidget(explanation(
        screen, QStringLiteral("You have finished the selection of the index's contents and "
                               "options.\n\nPress \"Finish\" to generate the index. Vellumar then "
                               "reads every file of its scope; this may take a while.")));
    column->addStretch(1);
    return screen;
}

void TFormWizard::FormShow() {
    ui.btnBack->setEnabled(false);
    ui.btnNext->setText(QStringLiteral("&Next"));
    ui.btnNext->setFocus();
    ui.lblBottom->setText(q(kWizardContinueLine));
    showPage(kWizardFirstPage);
    ui.chkOpen->setChecked(false);
    loadIndexes();
    ui.txtIndexName->clear();
    chkOpenClick();
    ui.txtIndexName->setFocus();
    enableEditButtons();
}

void TFormWizard::loadIndexes() {
    const TIndexesPage::WizardStart start = indexes_.wizardStart();
    {
        const QSignalBlocker blocker(ui.cmbIndexName);
        ui.cmbIndexName->clear();
        ui.cmbIndexName->addItems(start.indexNames);
        ui.cmbIndexName->setCurrentIndex(start.currentIndex >= 0 ? start.currentIndex : 0);
    }
    ui.txtIndexFolder->setText(start.indexFolder);
    ui.chkOpen->setEnabled(!start.indexNames.isEmpty());
    if (start.indexNames.isEmpty() && ui.chkOpen->isChecked()) {
        ui.chkOpen->setChecked(false);
        chkOpenClick();
    }
}

void TFormWizard::chkOpenClick() {
    const bool open = ui.chkOpen->isChecked();
    ui.cmbIndexName->setEnabled(open);
    ui.txtIndexFolder->setEnabled(open);
    ui.cmdChange->setEnabled(open);
    ui.txtIndexName->setEnabled(!open);
}

void TFormWizard::showPage(int page) {
    page_ = page;
    QWidget* screen = nullptr;
    switch (page) {
        case 1:
            screen = ui.screen1;
            break;
        case 2:
            screen = ui.screen2;
            break;
        case 4:
            screen = ui.screen4;
            break;
        case 5:
            screen = ui.screen5;
            break;
        case 6:
            screen = ui.screen6;
            break;
        default:
            return;
    }
    ui.pages->setCurrentWidget(screen);
}

bool TFormWizard::checkName() {
    std::vector<std::string> names;
    for (int i = 0; i < ui.cmbIndexName->count(); ++i)
        names.push_back(ui.cmbIndexName->itemText(i).toStdString());
    const QString name = ui.txtIndexName->text().trimmed();
    recreate_ = false;
    switch (checkWizardIndexName(name.toStdString(), names)) {
        case IndexNameCheck::Empty:
            showMessageBox(q(kEmptyIndexNameMessage), MessageIcon::Warning, MessageButtons::Ok,
                           this);
            return false;
        case IndexNameCheck::BadName:
            // The build would refuse it after the last page; say so now.
            showMessageBox(q(kIndexNameCharactersMessage), MessageIcon::Warning, MessageButtons::Ok,
                           this);
            return false;
        case IndexNameCheck::Exists:
            if (showMessageBox(QString::fromStdString(recreateIndexQuestion(name.toStdString())),
                               MessageIcon::Warning, MessageButtons::YesNo,
                               this) != MessageResult::Yes)
                return false;
            recreate_ = true;
            return true;
        case IndexNameCheck::Ok:
            return true;
    }
    return false;
}

void TFormWizard::btnNextClick() {
    switch (page_) {
        case 1:
            if (ui.chkOpen->isChecked()) {
                indexes_.showIndex(ui.cmbIndexName->currentIndex());
                done(kCancelled);
                return;
            }
            if (!checkName()) {
                ui.txtIndexName->setFocus();
                return;
            }
            ui.btnBack->setEnabled(true);
            showPage(wizardNextPage(1));
            ui.txtFileNames->setFocus();
            return;
        case 2:
            if (ui.cmbLanguage->count() == 0) indexes_.copyLanguagesTo(*ui.cmbLanguage);
            showPage(wizardNextPage(2));
            ui.cmbLanguage->setFocus();
            return;
        case 4: {
            if (ui.cmbLanguage->currentText().isEmpty()) {
                showMessageBox(q(kNoLanguageMessage), MessageIcon::Warning, MessageButtons::Ok,
                               this);
                return;
            }
            const TIndexesPage::WizardStart start = indexes_.wizardStart();
            if (ui.txtMaxLen->text().isEmpty()) ui.txtMaxLen->setText(start.maxLen);
            if (ui.txtMinLen->text().isEmpty()) ui.txtMinLen->setText(start.minLen);
            if (ui.cmbDic->count() == 0 && !start.dictionaries.isEmpty()) {
                ui.cmbDic->addItems(start.dictionaries);
                ui.cmbDic->setCurrentIndex(0);
            }
            if (ui.cmbSW->count() == 0 && !start.stopWords.isEmpty()) {
                ui.cmbSW->addItems(start.stopWords);
                ui.cmbSW->setCurrentIndex(0);
            }
            enableEditButtons();
            showPage(wizardNextPage(4));
            ui.txtMaxLen->setFocus();
            return;
        }
        case 5:
            if (!wordLengthsAcceptable(ui.txtMaxLen->text().toStdString(),
                                       ui.txtMinLen->text().toStdString())) {
                showMessageBox(q(kWordLengthMessage), MessageIcon::Warning, MessageButtons::Ok,
                               this);
                return;
            }
            ui.btnNext->setText(QStringLiteral("&Finish"));
            ui.lblBottom->setText(q(kWizardFinishLine));
            showPage(wizardNextPage(5));
            ui.btnNext->setFocus();
            return;
        case 6:
            finish();
            return;
        default:
            return;
    }
}

void TFormWizard::finish() {
    TIndexesPage::WizardChoices choices;
    choices.name = ui.txtIndexName->text().trimmed();
    choices.scope = ui.txtFileNames->text().trimmed();
    choices.archives = ui.chkArc->isChecked();
    choices.languageName = ui.cmbLanguage->currentText();
    choices.maxLen = ui.txtMaxLen->text();
    choices.minLen = ui.txtMinLen->text();
    choices.dictionary = ui.cmbDic->currentText();
    choices.stopWords = ui.cmbSW->currentText();
    choices.recreate = recreate_;
    if (!indexes_.takeWizardChoices(choices)) return;  // the page said why; stay here
    page_ = kWizardFinished;
    // The Indexes page, where the build that follows shows its progress.
    host_.showPage(pageIndexes);
    done(kFinished);
}

void TFormWizard::btnBackClick() {
    const int previous = wizardPreviousPage(page_);
    if (previous == page_) return;
    if (page_ == kWizardLastPage) {
        ui.btnNext->setText(QStringLiteral("&Next"));
        ui.lblBottom->setText(q(kWizardContinueLine));
    }
    showPage(previous);
    if (previous == kWizardFirstPage) ui.btnBack->setEnabled(false);
}

void TFormWizard::btnCancelClick() { done(kCancelled); }

void TFormWizard::reject() { done(kEscaped); }

void TFormWizard::cmdChangeClick() {
    if (indexes_.changeIndexFolder()) loadIndexes();
}

void TFormWizard::cmdCustLangsClick() {
    indexes_.cmdCustLangsClick();
    ui.btnReload->setEnabled(true);
}

void TFormWizard::btnReloadClick() {
    // Problems with language files were reported when the list was first read.
    refillLanguageCombo(*ui.cmbLanguage, host_.languages(), host_.environment().home,
                        host_.userInterface());
}

void TFormWizard::enableEditButtons() {
    ui.btnEditDic->setEnabled(!ui.cmbDic->currentText().trimmed().isEmpty());
    ui.btnEditSw->setEnabled(!ui.cmbSW->currentText().trimmed().isEmpty());
}

void TFormWizard::btnEditDicClick() { indexes_.editWordListIn(ui.cmbDic, true); }
void TFormWizard::btnEditSwClick() { indexes_.editWordListIn(ui.cmbSW, false); }

void TFormWizard::cmdBrowseClick() {
    QString scope;
    if (indexes_.browseScope(scope)) ui.txtFileNames->setText(scope);
}

}  // namespace vellumar
