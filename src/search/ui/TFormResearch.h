// TFormResearch: "Search among Files Found". The window is here; joining the expression
// with the last search arrives with refining searches.
//
// Created at program start, owned by the main window; main thread only.
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace vellumar {

class TFormResearch : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
        QComboBox* cmbSearchExpr = nullptr;
        QPushButton* cmdOK = nullptr;
    };

    explicit TFormResearch(QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }

  private:
    Controls ui;
};

}  // namespace vellumar
