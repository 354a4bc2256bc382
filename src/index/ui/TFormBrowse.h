// TFormBrowse: "Add Folders To be Indexed", the dialog that composes scope entries from
// folder and file lists. The window is here; its lists and composition arrive with the
// folder dialogs. OK closes with 1, Cancel with 2.
//
// Created at program start, owned by the main window; main thread only.
#pragma once

#include <QDialog>

namespace vellumar {

class TFormBrowse : public QDialog {
    Q_OBJECT
  public:
    explicit TFormBrowse(QWidget* parent = nullptr);
};

}  // namespace vellumar
