#include "app/ui/TFormOptions.h"

#include "platform/Settings.h"
#include "platform/ui/Widgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vellumar {

TFormOptions::TFormOptions(Settings& settings, bool readOnlyMedia, bool indexSelected,
                           QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      readOnlyMedia_(readOnlyMedia),
      indexSelected_(indexSelected) {
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    ui.chkWithWizard =
        makeCheck(this, "chkWithWizard", QStringLiteral("Indexing with wizard only"));
    ui.chkTray = makeCheck(
        this, "chkTray", QStringLiteral("Place icon into &Tray"),
        QStringLiteral("If checked, Vellumar will appear in the taskbar tray upon starting"));
    ui.chkWordWrap = makeCheck(this, "chkWordWrap", QStringLiteral("Wo&rd wrap"));
    ui.chkHtmlSource = makeCheck(this, "chkHtmlSource", QStringLiteral("View &HTML as source"));
    ui.chkRtfPlain = makeCheck(this, "chkRtfPlain", QStringLiteral("View RTF as &plain text"));
    for (QCheckBox* box :
         {ui.chkWithWizard, ui.chkTray, ui.chkWordWrap, ui.chkHtmlSource, ui.chkRtfPlain})
        left->addWidget(box);
    auto* numbers = new QFormLayout;
    ui.edFiles = makeEdit(this, "edFiles");
    ui.edFilSiz = makeEdit(this, "edFilSiz");
    numbers->addRow(makeLabel(this, "lblFiles", QStringLiteral("Show &maximum files:"), ui.edFiles),
                    ui.edFiles);
    numbers->addRow(
        makeLabel(this, "lblFilSiz", QStringLiteral("Warn if file is more than (KB)"), ui.edFilSiz),
        ui.edFilSiz);
    left->addLayout(numbers);
    left->addStretch(1);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    ui.cmdCustLangs =
        makeButton(this, "cmdCustLangs", QStringLiteral("Customize &Languages"),
                   QStringLiteral("Customize existing languages or create new language sets"));
    ui.btnExportDid =
        makeButton(this, "btnExportDid", QStringLiteral("Index words --> Dictionary"));
    ui.btnEditDic = makeButton(this, "btnEditDic", QStringLiteral("Edit Filtering &dictionary"));
    ui.btnEditSw = makeButton(this, "btnEditSw", QStringLiteral("Edit Stop-&words"));
    ui.cmdFont = makeButton(this, "cmdFont", QStringLiteral("&Font"));
    ui.cmdBackColor = makeButton(this, "cmdBackColor", QStringLiteral("&Background Color"));
    for (QPushButton* b : {ui.cmdCustLangs, ui.btnExportDid, ui.btnEditDic, ui.btnEditSw,
                           ui.cmdFont, ui.cmdBackColor})
        right->addWidget(b);
    right->addStretch(1);
    layout->addLayout(right);

    connect(ui.cmdCustLangs, &QPushButton::clicked, this, &TFormOptions::customizeLanguages);
    connect(ui.btnExportDid, &QPushButton::clicked, this, &TFormOptions::exportDictionary);
    connect(ui.btnEditDic, &QPushButton::clicked, this, &TFormOptions::editDictionary);
    connect(ui.btnEditSw, &QPushButton::clicked, this, &TFormOptions::editStopWords);
    connect(ui.cmdFont, &QPushButton::clicked, this, &TFormOptions::chooseFont);
    connect(ui.cmdBackColor, &QPushButton::clicked, this, &TFormOptions::chooseBackColor);
    takeValues();
}

void TFormOptions::takeValues() {
    ui.chkWithWizard->setChecked(settings_.wizardOnly);
    ui.chkTray->setChecked(settings_.tray);
    ui.chkWordWrap->setChecked(settings_.wordWrap);
    ui.chkHtmlSource->setChecked(settings_.htmlAsSource);
    ui.chkRtfPlain->setChecked(settings_.rtfAsPlain);
    ui.chkRtfPlain->setVisible(settings_.rtfAsPlainShown);
    ui.edFiles->setText(QString::fromStdString(settings_.maximumFiles));
    ui.edFilSiz->setText(QString::fromStdString(settings_.warnFileSizeKB));
    // Read-only media hold no language, list or dictionary files to change; exporting
    // needs a selected index.
    for (QPushButton* b : {ui.cmdCustLangs, ui.btnEditDic, ui.btnEditSw})
        b->setEnabled(!readOnlyMedia_);
    ui.btnExportDid->setEnabled(!readOnlyMedia_ && indexSelected_);
}

void TFormOptions::showEvent(QShowEvent* event) {
    takeValues();
    // Centred on the main window.
    if (QWidget* owner = parentWidget())
        move(owner->window()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TFormOptions::giveValuesBack() {
    settings_.wizardOnly = ui.chkWithWizard->isChecked();
    settings_.tray = ui.chkTray->isChecked();
    settings_.wordWrap = ui.chkWordWrap->isChecked();
    settings_.htmlAsSource = ui.chkHtmlSource->isChecked();
    if (settings_.rtfAsPlainShown) settings_.rtfAsPlain = ui.chkRtfPlain->isChecked();
    settings_.maximumFiles = ui.edFiles->text().toStdString();
    settings_.warnFileSizeKB = ui.edFilSiz->text().toStdString();
    emit valuesGivenBack();
}

void TFormOptions::done(int result) {
    if (!givenBack_) {
        givenBack_ = true;
        giveValuesBack();
    }
    QDialog::done(result);
}

}  // namespace vellumar
