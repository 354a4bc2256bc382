#include "app/ui/TFormOptions.h"

#include "app/ui/TFormMain.h"
#include "app/ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vellumar {

TFormOptions::TFormOptions(TFormMain& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    chkWithWizard = makeCheck(this, "chkWithWizard", QStringLiteral("Indexing with wizard only"));
    chkTray = makeCheck(
        this, "chkTray", QStringLiteral("Place icon into &Tray"),
        QStringLiteral("If checked, Vellumar will appear in the taskbar tray upon starting"));
    chkWordWrap = makeCheck(this, "chkWordWrap", QStringLiteral("Wo&rd wrap"));
    chkHtmlSource = makeCheck(this, "chkHtmlSource", QStringLiteral("View &HTML as source"));
    chkRtfPlain = makeCheck(this, "chkRtfPlain", QStringLiteral("View RTF as &plain text"));
    for (QCheckBox* box : {chkWithWizard, chkTray, chkWordWrap, chkHtmlSource, chkRtfPlain})
        left->addWidget(box);
    auto* numbers = new QFormLayout;
    edFiles = makeEdit(this, "edFiles");
    edFilSiz = makeEdit(this, "edFilSiz");
    numbers->addRow(makeLabel(this, "lblFiles", QStringLiteral("Show &maximum files:"), edFiles),
                    edFiles);
    numbers->addRow(
        makeLabel(this, "lblFilSiz", QStringLiteral("Warn if file is more than (KB)"), edFilSiz),
        edFilSiz);
    left->addLayout(numbers);
    left->addStretch(1);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    cmdCustLangs =
        makeButton(this, "cmdCustLangs", QStringLiteral("Customize &Languages"),
                   QStringLiteral("Customize existing languages or create new language sets"));
    btnExportDid = makeButton(this, "btnExportDid", QStringLiteral("Index words --> Dictionary"));
    btnEditDic = makeButton(this, "btnEditDic", QStringLiteral("Edit Filtering &dictionary"));
    btnEditSw = makeButton(this, "btnEditSw", QStringLiteral("Edit Stop-&words"));
    cmdFont = makeButton(this, "cmdFont", QStringLiteral("&Font"));
    cmdBackColor = makeButton(this, "cmdBackColor", QStringLiteral("&Background Color"));
    for (QPushButton* b :
         {cmdCustLangs, btnExportDid, btnEditDic, btnEditSw, cmdFont, cmdBackColor})
        right->addWidget(b);
    right->addStretch(1);
    layout->addLayout(right);

    connect(cmdCustLangs, &QPushButton::clicked, &main_, &TFormMain::cmdCustLangsClick);
    connect(btnExportDid, &QPushButton::clicked, &main_, &TFormMain::btnExportDidClick);
    connect(btnEditDic, &QPushButton::clicked, &main_, &TFormMain::btnEditDicClick);
    connect(btnEditSw, &QPushButton::clicked, &main_, &TFormMain::btnEditSwClick);
    connect(cmdFont, &QPushButton::clicked, &main_, &TFormMain::cmdFontClick);
    connect(cmdBackColor, &QPushButton::clicked, &main_, &TFormMain::cmdBackColorClick);
    takeValues();
}

void TFormOptions::takeValues() {
    chkWithWizard->setChecked(main_.WizardOnly);
    chkTray->setChecked(main_.chkTray->isChecked());
    chkWordWrap->setChecked(main_.chkWordWrap->isChecked());
    chkHtmlSource->setChecked(main_.chkHtmlSource->isChecked());
    chkRtfPlain->setChecked(main_.chkRtfPlain->isChecked());
    chkRtfPlain->setVisible(!main_.chkRtfPlain->isHidden());
    edFiles->setText(main_.edFiles->text());
    edFilSiz->setText(main_.edFilSiz->text());
    // The buttons are as available as their counterparts on the main window (some are
    // off when running from read-only media); exporting needs a selected index.
    cmdCustLangs->setEnabled(main_.cmdCustLangs->isEnabled());
    btnEditDic->setEnabled(main_.btnEditDic->isEnabled());
    btnEditSw->setEnabled(main_.btnEditSw->isEnabled());
    btnExportDid->setEnabled(main_.btnExportDid->isEnabled() &&
                             main_.cmbIndexName->currentIndex() >= 0);
}

void TFormOptions::showEvent(QShowEvent* event) {
    takeValues();
    // Centred on the main window.
    move(main_.geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TFormOptions::giveValuesBack() {
    main_.WizardOnly = chkWithWizard->isChecked();
    main_.chkTray->setChecked(chkTray->isChecked());
    if (main_.chkWordWrap->isChecked() != chkWordWrap->isChecked()) {
        main_.chkWordWrap->setChecked(chkWordWrap->isChecked());
        main_.chkWordWrapClick();
    }
    if (main_.chkHtmlSource->isChecked() != chkHtmlSource->isChecked()) {
        main_.chkHtmlSource->setChecked(chkHtmlSource->isChecked());
        main_.chkHtmlSourceClick();
    }
    if (main_.chkRtfPlain->isChecked() != chkRtfPlain->isChecked()) {
        main_.chkRtfPlain->setChecked(chkRtfPlain->isChecked());
        main_.chkRtfPlainClick();
    }
    main_.edFiles->setText(edFiles->text());
    main_.edFilSiz->setText(edFilSiz->text());
    // Read-only media keep the Indexes page disabled whatever the wizard setting says.
    main_.tabIndexes->setEnabled(!main_.WizardOnly && !main_.runFromCD);
    main_.setIndexEditingControls(!main_.WizardOnly);
}

void TFormOptions::done(int result) {
    if (!givenBack_) {
        givenBack_ = true;
        giveValuesBack();
    }
    QDialog::done(result);
}

}  // namespace vellumar
