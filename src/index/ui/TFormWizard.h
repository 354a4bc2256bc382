// TFormWizard: the index wizard that walks a new user through name, scope, language and
// word limits. The frame is here (banner, bottom line, Back / Next / Cancel); its pages
// and their steps arrive with the wizard itself. Results: 6 ("Yes") after Finish, 1 after
// Cancel or choosing an existing index, 2 after Escape.
//
// Created modally for each use and freed afterwards; main thread only.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vellumar {

class TFormWizard : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
        QLabel* lblWelcome = nullptr;
        QLabel* lblBottom = nullptr;
        QPushButton* btnBack = nullptr;
        QPushButton* btnNext = nullptr;
        QPushButton* btnCancel = nullptr;
    };

    explicit TFormWizard(QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    Controls ui;
};

}  // namespace vellumar
