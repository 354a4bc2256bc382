// TFormOptions: the "Options" dialog. It edits option values of the settings: on showing
// each control takes its value, on closing (it has no buttons of its own; the close box
// or Escape ends it) each value goes back into the settings and valuesGivenBack tells the
// window, which applies what changed. Its other buttons run handlers of the pages; the
// window connects them.
//
// Created for each use, modal, freed afterwards; main thread only.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vellumar {

struct Settings;

class TFormOptions : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
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
    };

    // readOnlyMedia: the buttons that write files into the home are off; indexSelected:
    // exporting an index's words needs an index selected on the Indexes page.
    TFormOptions(Settings& settings, bool readOnlyMedia, bool indexSelected,
                 QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }

    void done(int result) override;

  signals:
    void valuesGivenBack();
    void customizeLanguages();
    void exportDictionary();
    void editDictionary();
    void editStopWords();
    void chooseFont();
    void chooseBackColor();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void takeValues();
    void giveValuesBack();

    Settings& settings_;
    const bool readOnlyMedia_;
    const bool indexSelected_;
    Controls ui;
    bool givenBack_ = false;
};

}  // namespace vellumar
