// TfrmTags: "Advanced search", which builds an element query from the markup elements
// an index recorded. The window and its controls are here; the element tree and the
// expression building arrive with refining searches.
//
// Created at program start, owned by the main window; main thread only.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace vellumar {

class TfrmTags : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
        QLineEdit* txtExpr = nullptr;
        QLineEdit* txtWords = nullptr;
        QTreeWidget* trt = nullptr;
        QCheckBox* chFull = nullptr;
        QCheckBox* chkNew = nullptr;
        QPushButton* OKBtn = nullptr;
        QPushButton* CancelBtn = nullptr;
    };

    explicit TfrmTags(QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }

  private:
    Controls ui;
};

}  // namespace vellumar
