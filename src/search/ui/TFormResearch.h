// TFormResearch: "Search among Files Found". The user enters an expression; it is joined
// with the last search ("(" + last + ") & (" + text + ")") so that the new search finds
// only among the files found before. The box's list keeps the expressions entered since
// the program started, each once (ignoring case).
//
// Created at program start, owned by the Search page; main thread only.
#pragma once

#include <QDialog>
#include <QString>

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

    // Before showing: the box gets the trimmed selected text, all of it selected; the
    // expression will be joined with lastQuery.
    void FormActivate(const QString& selectedText, const QString& lastQuery);
    // An empty box keeps the dialog open; otherwise the expression is made and the dialog
    // closes with OK.
    void cmdOKClick();
    // The expression for the main query box; empty unless OK closed the dialog.
    QString expression() const { return expression_; }

  private:
    Controls ui;
    QString lastQuery_;
    QString expression_;
};

}  // namespace vellumar
