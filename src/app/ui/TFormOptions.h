// TFormOptions: the "Options" dialog. It mirrors option controls of the main window's
// hidden Options page and the wizard-only flag: on showing each control takes the main
// window's value, on closing (it has no buttons of its own; the close box ends it) each
// value goes back. Its buttons run the main window's handlers.
//
// Created for each use, modal, freed afterwards; main thread only.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vellumar {

class TFormMain;

class TFormOptions : public QDialog {
    Q_OBJECT
  public:
    explicit TFormOptions(TFormMain& main);

    QCheckBox* chkWithWizard = nullptr;
    QCheckBox* chkTray = nullptr;
    QCheckBox* chkWordWrap = nullptr;
    QCheckBox* chkHtmlSource = nullptr;
    QCheckBox* chkRtfPlain = nullptr;
    QLineEdit* edFiles = nullptr;
    QLineEdit* edFilSiz = nullptr;
    QPushButton* cmdCustLangs = nullptr;
    QPushButton* btnExportDid = nullptr;
    QPushButton* btnEditDic = nullptr;
    QPushButton* btnEditSw = nullptr;
    QPushButton* cmdFont = nullptr;
    QPushButton* cmdBackColor = nullptr;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void takeValues();
    void giveValuesBack();
    TFormMain& main_;
    bool givenBack_ = false;
};

}  // namespace vellumar
