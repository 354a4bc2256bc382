// TFormBrowse: "Add Folders To be Indexed", the dialog that composes scope entries from
// folder and file lists. A box of mounted volumes (the drives of old), the folder tree of
// the chosen volume, the chosen folder's files (several may be selected) under the mask of
// the file type, the file types ("File &types to select:", kept in FileTypesToSelect), a
// virtual folder label, "With &Subfolders" and "&Exclude From Index", and the dialog's own
// scope text, which every "add" extends through the core's composeScopeEntry.
//
// FormShow starts each use afresh (the volumes read again, an empty scope, "With
// &Subfolders" checked, "&Exclude From Index" unchecked, the file list read again); the
// caller runs it before showing the dialog. OK ends with 1 (the caller takes scope()),
// Cancel with 2.
//
// Created with the Indexes page, owned by it; main thread only. The folder tree (and its
// file-system watcher) is made when the dialog is first shown.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "scope/MountedVolumes.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

namespace vellumar {

class PageHost;

class TFormBrowse : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
        QComboBox* drvBrowse = nullptr;   // the mounted volumes
        QTreeView* dirBrowse = nullptr;   // the folders of the chosen volume
        QLineEdit* txtFolder = nullptr;   // the chosen folder, read-only
        QListWidget* filFiles = nullptr;  // the folder's files under the mask
        QComboBox* cmbFileTypes = nullptr;
        QComboBox* cmbLabel = nullptr;
        QCheckBox* chkSubfolders = nullptr;
        QCheckBox* chkExclude = nullptr;
        QCheckBox* chkUNA = nullptr;  // hidden: a volume's unallocated sectors
        QPushButton* cmdAddFolder = nullptr;
        QPushButton* cmdAddFiles = nullptr;
        QPushButton* cmdClearAll = nullptr;
        QPushButton* cmdHelp = nullptr;
        QLineEdit* txtScope = nullptr;  // the dialog's scope
        QPushButton* btnOK = nullptr;
        QPushButton* btnCancel = nullptr;
    };

    TFormBrowse(PageHost& host, QWidget* parent = nullptr);
    // For tests and the dialog itself.
    const Controls& controls() const { return ui; }

    void FormShow();
    QString scope() const;
    // The folder whose files are listed; the tree follows when it is shown.
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    // Replaces the volume list (the machine's mounted volumes at creation).
    void setVolumes(std::vector<MountedVolume> volumes);
    // Replaces the "&Virtual Folder:" list (the labels of the index's scope).
    void setLabels(const std::vector<std::string>& labels);

    // ---- Handlers ----
    void drvBrowseChange();
    void cmbFileTypesChange();
    void cmdAddFolderClick();
    void cmdAddFilesClick();
    void chkUNAClick();
    void cmdClearAllClick();
    void cmdHelpClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void build();
    void ensureTree();
    void showFolderInTree();
    void refreshFileList();
    void compose(const QString& patterns);
    void rememberFileType(const QString& patterns);
    void storeFileTypes();
    int volumeIndexOf(const QString& folder) const;

    PageHost& host_;
    Controls ui;
    QFileSystemModel* model_ = nullptr;
    std::vector<MountedVolume> volumes_;
    QString folder_;
    int lastVolume_ = -1;  // the volume last chosen successfully
};

}  // namespace vellumar
