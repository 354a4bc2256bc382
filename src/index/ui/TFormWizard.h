// TFormWizard: the index wizard that walks a new user through name, scope, language and
// word limits, then hands them to the Indexes page, whose build makes the index. Pages:
// 1 the name (or an existing index to open), 2 the scope, 4 the language, 5 the word
// lengths and word lists, 6 the closing text; the format page 3 is never shown. The page
// order and the checks are the core's (index/WizardSteps.h); this class shows them.
//
// Results: 6 ("Yes") after Finish (the caller then runs the page's cmdUpdateClick), 1
// after Cancel or choosing an existing index, 2 after Escape or closing the window.
// The constructor runs FormShow, so a wizard is ready without being shown.
//
// Created modally for each use and freed afterwards; main thread only.
#pragma once

#include <QDialog>

#include "platform/UserInterface.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QWidget;

namespace vellumar {

class PageHost;
class TIndexesPage;

class TFormWizard : public QDialog {
    Q_OBJECT
  public:
    // The dialog's results, as message answers: Finish is "Yes", Cancel or an existing
    // index chosen is "OK", Escape or closing is "Cancel".
    static constexpr int kFinished = static_cast<int>(MessageResult::Yes);
    static constexpr int kCancelled = static_cast<int>(MessageResult::Ok);
    static constexpr int kEscaped = static_cast<int>(MessageResult::Cancel);

    struct Controls {
        QLabel* lblWelcome = nullptr;
        QLabel* lblBottom = nullptr;
        QStackedWidget* pages = nullptr;
        QWidget* screen1 = nullptr;
        QLineEdit* txtIndexName = nullptr;
        QCheckBox* chkOpen = nullptr;
        QComboBox* cmbIndexName = nullptr;
        QLineEdit* txtIndexFolder = nullptr;
        QPushButton* cmdChange = nullptr;
        QWidget* screen2 = nullptr;
        QLineEdit* txtFileNames = nullptr;
        QPushButton* cmdBrowse = nullptr;
        QCheckBox* chkArc = nullptr;
        QWidget* screen4 = nullptr;
        QComboBox* cmbLanguage = nullptr;
        QPushButton* cmdCustLangs = nullptr;
        QPushButton* btnReload = nullptr;
        QWidget* screen5 = nullptr;
        QLineEdit* txtMaxLen = nullptr;
        QLineEdit* txtMinLen = nullptr;
        QComboBox* cmbDic = nullptr;
        QPushButton* btnEditDic = nullptr;
        QComboBox* cmbSW = nullptr;
        QPushButton* btnEditSw = nullptr;
        QWidget* screen6 = nullptr;
        QPushButton* btnBack = nullptr;
        QPushButton* btnNext = nullptr;
        QPushButton* btnCancel = nullptr;
    };

    TFormWizard(TIndexesPage& indexes, PageHost& host, QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }
    int pageNumber() const { return page_; }

    // ---- Handlers ----
    void FormShow();
    void btnNextClick();
    void btnBackClick();
    void btnCancelClick();
    void chkOpenClick();
    void cmdChangeClick();
    void cmdCustLangsClick();
    void btnReloadClick();
    void btnEditDicClick();
    void btnEditSwClick();
    void cmdBrowseClick();

  public slots:
    void reject() override;  // Escape and the window's close button: result 2

  private:
    void build();
    QWidget* buildScreen1();
    QWidget* buildScreen2();
    QWidget* buildScreen4();
    QWidget* buildScreen5();
    QWidget* buildScreen6();
    void showPage(int page);
    void loadIndexes();
    bool checkName();
    void finish();
    void enableEditButtons();

    TIndexesPage& indexes_;
    PageHost& host_;
    Controls ui;
    int page_ = 1;
    bool recreate_ = false;  // the name is an existing index the user chose to recreate
};

}  // namespace vellumar
