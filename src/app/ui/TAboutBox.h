// TAboutBox: the about box (program name, version, what it is).
// Created at program start, owned by the main window; main thread only.
#pragma once

#include <QDialog>

namespace vellumar {

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace vellumar
