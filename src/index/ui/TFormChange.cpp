#include "index/ui/TFormChange.h"

#include "index/IndexFolder.h"
#include "index/ui/FolderTree.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellumar {

TFormChange::TFormChange(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormChange"));
    setWindowTitle(QStringLiteral("Browse for Indexes Folder"));
    auto* layout = new QVBoxLayout(this);
    ui.txtFolder = new QLineEdit(this);
    ui.txtFolder->setObjectName(QStringLiteral("txtFolder"));
    ui.txtFolder->setReadOnly(true);
    ui.dirIndexes = new QTreeView(this);
    ui.dirIndexes->setObjectName(QStringLiteral("dirIndexes"));
    ui.dirIndexes->setHeaderHidden(true);
    ui.drvIndexes = new QComboBox(this);
    ui.drvIndexes->setObjectName(QStringLiteral("drvIndexes"));
    // The volumes stand in for drives.
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) ui.drvIndexes->addItem(volume.rootPath());
    ui.filIndexes = new QListWidget(this);
    ui.filIndexes->setObjectName(QStringLiteral("filIndexes"));
    ui.filIndexes->hide();

    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(ui.dirIndexes);
    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), this);
    driveLabel->setBuddy(ui.drvIndexes);
    layout->addWidget(folderLabel);
    layout->addWidget(ui.txtFolder);
    layout->addWidget(ui.dirIndexes, 1);
    layout->addWidget(driveLabel);
    layout->addWidget(ui.drvIndexes);
    layout->addWidget(ui.filIndexes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(2); });
    layout->addWidget(buttons);
    connect(ui.drvIndexes, &QComboBox::activated, this, [this](int) { volumeChosen(); });
    resize(420, 440);
}

void TFormChange::setFolder(const QString& folder) {
    folder_ = folder;
    ui.txtFolder->setText(folder_);
    refreshList();
    if (isVisible()) showFolderInTree();
}

QStringList TFormChange::definitionFiles() const {
    QStringList names;
    for (const auto& file : listDefinitionFiles(folder_.trimmed().toStdString()))
        names << QString::fromStdString(file.filename().string());
    return names;
}

void TFormChange::refreshList() {
    ui.filIndexes->clear();
    ui.filIndexes->addItems(definitionFiles());
}

void TFormChange::ensureTree() {
    if (model_) return;
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));
    ui.dirIndexes->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        ui.dirIndexes->hideColumn(column);
    connect(ui.dirIndexes->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid()) return;
                folder_ = model_->filePath(current);
                ui.txtFolder->setText(folder_);
                refreshList();
            });
}

void TFormChange::showEvent(QShowEvent* event) {
    ensureTree();
    // An index folder that is gone (a volume not mounted) opens at the user's home, the
    // place a desktop program starts from.
    if (!QFileInfo(folder_).isDir()) setFolder(QDir::homePath());
    showFolderInTree();
    QDialog::showEvent(event);
}

void TFormChange::showFolderInTree() {
    if (!model_) return;
    // The volume that holds the folder: the longest mount point it lies under.
    int best = -1;
    for (int i = 0; i < ui.drvIndexes->count(); ++i) {
        const QString root = ui.drvIndexes->itemText(i);
        const bool under =
            folder_ == root || folder_.startsWith(root.endsWith('/') ? root : root + '/');
        if (under && (best < 0 || root.size() > ui.drvIndexes->itemText(best).size())) best = i;
    }
    if (best >= 0) {
        const QSignalBlocker blocker(ui.drvIndexes);
        ui.drvIndexes->setCurrentIndex(best);
        ui.dirIndexes->setRootIndex(model_->index(ui.drvIndexes->itemText(best)));
    }
    const QModelIndex index = model_->index(folder_);
    if (!index.isValid()) return;
    ui.dirIndexes->setCurrentIndex(index);
    ui.dirIndexes->scrollTo(index);
    followCurrentFolder(*ui.dirIndexes);
}

void TFormChange::volumeChosen() {
    if (!model_) return;
    const QString root = ui.drvIndexes->currentText();
    ui.dirIndexes->setRootIndex(model_->index(root));
    ui.dirIndexes->setCurrentIndex(model_->index(root));
}

}  // namespace vellumar
