// THelpWindow: the program's help, an HTML file (the application title followed by
// ".html" in the home) shown in a window of its own. A context number opens the help at
// the anchor "context-N".
//
// Owned by the main window, created on first use; main thread only.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace vellumar {

class THelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit THelpWindow(QWidget* parent = nullptr);
    // False when the help file cannot be read.
    bool showContext(const QString& helpFile, int context);
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace vellumar
