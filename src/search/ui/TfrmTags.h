// TfrmTags: "Advanced search", which builds an element query from the markup elements
// (tags) an index recorded: the element tree (built once per index by the core's
// buildElementTree and kept until the index is closed or rebuilt), the words to find in
// the selected element, "&Full path" (the element's path from the top, else the element at
// any depth) and "&New query" (else the element query is joined to the current one with
// " & ").
//
// Created at program start, owned by the Search page; main thread only.
#pragma once

#include <QDialog>
#include <QString>

#include "search/ElementTree.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

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

    // Before showing: builds the tree of the index when there is none. False when the
    // dialog must close at once (no index, no elements, or a tree that cannot be built).
    bool FormShow(vellcore::IndexObject* index);
    void clearTree();  // the index was closed or is being rebuilt

    // ---- Handlers ----
    void trtChange();
    void txtWordsChange();
    void chFullClick();
    void OKBtnClick();
    void CancelBtnClick();

    // The main query box's text, for a query that is not new.
    void setCurrentQuery(const QString& query) { currentQuery_ = query; }
    // After OK: what the main query box becomes.
    bool confirmed() const { return confirmed_; }
    QString query() const { return query_; }
    QString selectedPath() const { return path_; }

  private:
    void fillTree();

    Controls ui;
    ElementTree tree_;
    QString path_;
    QString currentQuery_;
    QString query_;
    bool confirmed_ = false;
};

}  // namespace vellumar
