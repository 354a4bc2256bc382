// TFormChange: "Browse for Indexes Folder", the dialog that picks the folder holding all
// indexes. A list of mounted volumes, a folder tree, a read-only box with the chosen
// folder and a hidden list of the folder's definition files ("*.inf", names compared
// without regard to case, sorted as a list box sorts). OK ends with 1 and the main window
// takes folder() into its index folder; Cancel ends with 2.
//
// Created at program start after the main window (it starts at txtIndexFolder), owned by
// the main window; main thread only. The folder tree (and its file-system watcher) is
// made when the dialog is first shown.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListWidget;
class QTreeView;

namespace vellumar {

class TFormChange : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
        QComboBox* drvIndexes = nullptr;    // the mounted volumes
        QTreeView* dirIndexes = nullptr;    // the folders of the chosen volume
        QLineEdit* txtFolder = nullptr;     // the chosen folder, read-only
        QListWidget* filIndexes = nullptr;  // hidden: the folder's definition files
    };

    explicit TFormChange(QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }

    // The definition file extension: the mask "*.inf" without its first character.
    static QString definitionFileExtension() { return QStringLiteral(".inf"); }

    // Points the dialog at a folder (the tree follows when it is shown).
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    // The definition files of the folder (file names only), in list order.
    QStringList definitionFiles() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ensureTree();
    void showFolderInTree();
    void volumeChosen();
    void refreshList();

    Controls ui;
    QFileSystemModel* model_ = nullptr;
    QString folder_;
};

}  // namespace vellumar
