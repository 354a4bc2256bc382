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
    explicit TFormResearch(QWidget* parent = nullptr);

    QComboBox* cmbSearchExpr = nullptr;
    QPushButton* cmdOK = nullptr;
};

}  // namespace vellumar
