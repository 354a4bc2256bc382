// TFormChange: "Browse for Indexes Folder", the dialog that picks the folder holding all
// indexes. It keeps the index folder and lists its definition files ("*.inf", names
// compared without regard to case, sorted as a list box sorts). The folder browser
// itself arrives with the folder dialogs.
//
// Created at program start after the main window (it reads txtIndexFolder), owned by the
// main window; main thread only.
#pragma once

#include <QDialog>
#include <QStringList>

namespace vellumar {

class TFormChange : public QDialog {
    Q_OBJECT
  public:
    explicit TFormChange(QWidget* parent = nullptr);

    // The definition file extension: the mask "*.inf" without its first character.
    static QString definitionFileExtension() { return QStringLiteral(".inf"); }

    void setFolder(const QString& folder) { folder_ = folder; }
    QString folder() const { return folder_; }
    // The definition files of the folder (file names only), in list order.
    QStringList definitionFiles() const;

  private:
    QString folder_;
};

}  // namespace vellumar
