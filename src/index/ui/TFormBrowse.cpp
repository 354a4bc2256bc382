#include "index/ui/TFormBrowse.h"

#include "index/ui/FolderTree.h"
#include "platform/Settings.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "scope/ScopeCompose.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

namespace vellumar {

namespace {

const QString kNoFileTypeMessage =
    QStringLiteral("Define a type for files you want\rto add from the selected folder");
const QString kNoFileSelectedMessage = QStringLiteral("To add files you should first select them");
const QString kDriveNotReadyMessage =
    QStringLiteral("The drive is not ready.\rRetry or cancel the operation.");

// A file name as a scope pattern: the characters that separate patterns, groups and
// entries cannot stand in a pattern, so each becomes "?", which matches it.
QString patternForFileName(QString name) {
    static const QRegularExpression separators(QStringLiteral("[,;<>:]"));
    return name.replace(separators, QStringLiteral("?"));
}

QStringList maskOf(const QString& fileTypes) {
    return fileTypes.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
}

}  // namespace

TFormBrowse::TFormBrowse(PageHost& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormBrowse"));
    setWindowTitle(QStringLiteral("Add Folders To be Indexed"));
    build();
    // On creation: the stored file types, the volume of the user's home and the home
    // itself (the counterpart of the current drive's root), and the mask "*.txt".
    const Settings& settings = host_.settings();
    std::vector<std::string> types = settings.fileTypesToSelect;
    if (types.empty()) types = Settings::defaultFileTypes();
    for (const std::string& type : types) ui.cmbFileTypes->addItem(QString::fromStdString(type));
    {
        const QSignalBlocker blocker(ui.cmbFileTypes);
        ui.cmbFileTypes->setEditText(QStringLiteral("*.txt"));
    }
    setVolumes(mountedVolumes());
    setFolder(QDir::homePath());
}

void TFormBrowse::build() {
    auto* layout = new QGridLayout(this);
    ui.drvBrowse = named(new QComboBox(this), "drvBrowse");
    ui.dirBrowse = named(new QTreeView(this), "dirBrowse");
    ui.dirBrowse->setHeaderHidden(true);
    ui.txtFolder = makeEdit(this, "txtFolder");
    ui.txtFolder->setReadOnly(true);
    ui.filFiles = named(new QListWidget(this), "filFiles");
    ui.filFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ui.cmbFileTypes = named(new QComboBox(this), "cmbFileTypes");
    ui.cmbFileTypes->setEditable(true);
    ui.cmbFileTypes->setInsertPolicy(QComboBox::NoInsert);
    ui.cmbLabel = named(new QComboBox(this), "cmbLabel");
    ui.cmbLabel->setEditable(true);
    ui.cmbLabel->setInsertPolicy(QComboBox::NoInsert);
    ui.chkSubfolders = makeCheck(this, "chkSubfolders", QStringLiteral("With &Subfolders"));
    ui.chkExclude = makeCheck(this, "chkExclude", QStringLiteral("&Exclude From Index"));
    ui.chkUNA = makeCheck(this, "chkUNA", QStringLiteral("Unallocated sectors"));
    ui.chkUNA->hide();
    ui.cmdAddFolder = makeButton(this, "cmdAddFolder", QStringLiteral("&Add Drive\\Folder"));
    ui.cmdAddFiles = makeButton(this, "cmdAddFiles", QStringLiteral("A&dd Files"));
    ui.cmdClearAll = makeButton(this, "cmdClearAll", QStringLiteral("&Clear All"));
    ui.cmdHelp = makeButton(this, "cmdHelp", QStringLiteral("&Help"));
    ui.txtScope = makeEdit(this, "txtScope");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ui.btnOK = buttons->button(QDialogButtonBox::Ok);
    ui.btnCancel = buttons->button(QDialogButtonBox::Cancel);

    layout->addWidget(makeLabel(this, "lblFolder", QStringLiteral("&Folder:"), ui.dirBrowse), 0, 0);
    layout->addWidget(ui.txtFolder, 1, 0);
    layout->addWidget(ui.dirBrowse, 2, 0, 3, 1);
    layout->addWidget(makeLabel(this, "lblDrive", QStringLiteral("D&rive:"), ui.drvBrowse), 5, 0);
    layout->addWidget(ui.drvBrowse, 6, 0);
    layout->addWidget(makeLabel(this, "lblFiles", QStringLiteral("F&iles:"), ui.filFiles), 0, 1);
    layout->addWidget(ui.filFiles, 1, 1, 4, 1);
    layout->addWidget(
        makeLabel(this, "lblFileTypes", QStringLiteral("File &types to select:"), ui.cmbFileTypes),
        5, 1);
    layout->addWidget(ui.cmbFileTypes, 6, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(ui.cmdAddFolder);
    side->addWidget(ui.cmdAddFiles);
    side->addWidget(ui.chkSubfolders);
    side->addWidget(ui.chkExclude);
    side->addWidget(ui.chkUNA);
    side->addWidget(makeLabel(this, "lblLabel", QStringLiteral("&Virtual Folder:"), ui.cmbLabel));
    side->addWidget(ui.cmbLabel);
    side->addStretch(1);
    side->addWidget(ui.cmdClearAll);
    side->addWidget(ui.cmdHelp);
    layout->addLayout(side, 0, 2, 7, 1);
    layout->addWidget(makeLabel(this, "lblScope", QStringLiteral("Items to inde&x:"), ui.txtScope),
                      7, 0, 1, 3);
    layout->addWidget(ui.txtScope, 8, 0, 1, 3);
    layout->addWidget(buttons, 9, 0, 1, 3);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setRowStretch(2, 1);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(2); });
    connect(ui.drvBrowse, &QComboBox::activated, this, [this](int) { drvBrowseChange(); });
    connect(ui.cmbFileTypes, &QComboBox::editTextChanged, this, [this] { cmbFileTypesChange(); });
    connect(ui.cmdAddFolder, &QPushButton::clicked, this, &TFormBrowse::cmdAddFolderClick);
    connect(ui.cmdAddFiles, &QPushButton::clicked, this, &TFormBrowse::cmdAddFilesClick);
    connect(ui.chkUNA, &QCheckBox::clicked, this, &TFormBrowse::chkUNAClick);
    connect(ui.cmdClearAll, &QPushButton::clicked, this, &TFormBrowse::cmdClearAllClick);
    connect(ui.cmdHelp, &QPushButton::clicked, this, &TFormBrowse::cmdHelpClick);
    resize(680, 480);
}

void TFormBrowse::FormShow() {
    setVolumes(mountedVolumes());  // a stick plugged in meanwhile is offered too
    ui.txtScope->clear();
    ui.chkSubfolders->setChecked(true);
    ui.chkExclude->setChecked(false);
    // A folder that went away meanwhile opens at the home.
    if (!QFileInfo(folder_).isDir()) setFolder(QDir::homePath());
    refreshFileList();
}

QString TFormBrowse::scope() const { return ui.txtScope->text().trimmed(); }

void TFormBrowse::setLabels(const std::vector<std::string>& labels) {
    const QString typed = ui.cmbLabel->currentText();
    ui.cmbLabel->clear();
    for (const std::string& label : labels) ui.cmbLabel->addItem(QString::fromStdString(label));
    ui.cmbLabel->setCurrentText(typed);
}

void TFormBrowse::setVolumes(std::vector<MountedVolume> volumes) {
    volumes_ = std::move(volumes);
    const QSignalBlocker blocker(ui.drvBrowse);
    ui.drvBrowse->clear();
    for (const MountedVolume& volume : volumes_)
        ui.drvBrowse->addItem(QString::fromStdString(volume.mountPoint));
    lastVolume_ = volumeIndexOf(folder_);
    ui.drvBrowse->setCurrentIndex(lastVolume_);
}

int TFormBrowse::volumeIndexOf(const QString& folder) const {
    return volumeOfPath(volumes_, folder.toStdString());
}

void TFormBrowse::setFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder);
    ui.txtFolder->setText(folder_);
    // The unallocated-sectors box only makes sense for a whole volume.
    const int volume = volumeIndexOf(folder_);
    ui.chkUNA->setChecked(false);
    ui.chkUNA->setEnabled(volume >= 0 && volumes_[static_cast<std::size_t>(volume)].mountPoint ==
                                             folder_.toStdString());
    if (volume >= 0 && volume != ui.drvBrowse->currentIndex()) {
        const QSignalBlocker blocker(ui.drvBrowse);
        ui.drvBrowse->setCurrentIndex(volume);
    }
    if (volume >= 0) lastVolume_ = volume;
    refreshFileList();
    if (isVisible()) showFolderInTree();
}

void TFormBrowse::refreshFileList() {
    ui.filFiles->clear();
    QDir dir(folder_);
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::Readable);
    dir.setNameFilters(maskOf(ui.cmbFileTypes->currentText()));
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    ui.filFiles->addItems(dir.entryList());
}

void TFormBrowse::ensureTree() {
    if (model_) return;
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath(QStringLiteral("/"));
    ui.dirBrowse->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) ui.dirBrowse->hideColumn(column);
    connect(ui.dirBrowse->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid()) return;
                const QString path = model_->filePath(current);
                if (path == folder_) return;
                folder_ = path;
                ui.txtFolder->setText(folder_);
                ui.chkUNA->setChecked(false);
                refreshFileList();
            });
}

void TFormBrowse::showEvent(QShowEvent* event) {
    ensureTree();
    showFolderInTree();
    QDialog::showEvent(event);
}

void TFormBrowse::showFolderInTree() {
    if (!model_) return;
    const int volume = ui.drvBrowse->currentIndex();
    if (volume >= 0) ui.dirBrowse->setRootIndex(model_->index(ui.drvBrowse->itemText(volume)));
    const QModelIndex index = model_->index(folder_);
    if (!index.isValid()) return;
    ui.dirBrowse->setCurrentIndex(index);
    ui.dirBrowse->scrollTo(index);
    followCurrentFolder(*ui.dirBrowse);
}

void TFormBrowse::drvBrowseChange() {
    const int chosen = ui.drvBrowse->currentIndex();
    if (chosen < 0) return;
    const QString root = ui.drvBrowse->itemText(chosen);
    // A volume unmounted (or unreadable) since the list was made is not ready.
    while (!QFileInfo(root).isDir() || !QFileInfo(root).isReadable()) {
        if (showMessageBox(kDriveNotReadyMessage, MessageIcon::Error, MessageButtons::RetryCancel,
                           this) != MessageResult::Retry) {
            const QSignalBlocker blocker(ui.drvBrowse);
            ui.drvBrowse->setCurrentIndex(lastVolume_);
            return;
        }
    }
    lastVolume_ = chosen;
    setFolder(root);
}

void TFormBrowse::cmbFileTypesChange() { refreshFileList(); }

void TFormBrowse::compose(const QString& patterns) {
    BrowseAddition addition;
    addition.folder = folder_.toStdString();
    addition.subfolders = ui.chkSubfolders->isChecked();
    addition.exclude = ui.chkExclude->isChecked();
    addition.patterns = patterns.toStdString();
    addition.label = ui.cmbLabel->currentText().toStdString();
    const ComposedScope composed = composeScopeEntry(ui.txtScope->text().toStdString(), addition);
    const QString scope = QString::fromStdString(composed.scope);
    // The offsets count bytes; the edit box counts UTF-16 units.
    const QString before =
        QString::fromUtf8(composed.scope.data(), static_cast<qsizetype>(composed.changedStart));
    const QString changed = QString::fromUtf8(composed.scope.data() + composed.changedStart,
                                              static_cast<qsizetype>(composed.changedLength));
    ui.txtScope->setText(scope);
    ui.txtScope->setSelection(static_cast<int>(before.size()), static_cast<int>(changed.size()));
    ui.txtScope->setFocus();
    rememberFileType(QString::fromStdString(composed.patterns));
    const QString label = QString::fromStdString(composed.label);
    if (!label.isEmpty() && ui.cmbLabel->findText(label, Qt::MatchFixedString) < 0)
        ui.cmbLabel->addItem(label);
}

void TFormBrowse::rememberFileType(const QString& patterns) {
    if (patterns.isEmpty() || ui.cmbFileTypes->findText(patterns, Qt::MatchFixedString) >= 0)
        return;
    const QString typed = ui.cmbFileTypes->currentText();
    const QSignalBlocker blocker(ui.cmbFileTypes);
    ui.cmbFileTypes->addItem(patterns);
    ui.cmbFileTypes->setEditText(typed);
    storeFileTypes();
}

void TFormBrowse::cmdAddFolderClick() {
    const QString types = ui.cmbFileTypes->currentText().trimmed();
    if (types.isEmpty()) {
        showMessageBox(kNoFileTypeMessage, MessageIcon::Warning, MessageButtons::Ok, this);
        return;
    }
    compose(types);
}

void TFormBrowse::cmdAddFilesClick() {
    QStringList names;
    for (int i = 0; i < ui.filFiles->count(); ++i)
        if (ui.filFiles->item(i)->isSelected())
            names << patternForFileName(ui.filFiles->item(i)->text());
    if (names.isEmpty()) {
        showMessageBox(kNoFileSelectedMessage, MessageIcon::Warning, MessageButtons::Ok, this);
        return;
    }
    compose(names.join(QLatin1Char(',')));
}

void TFormBrowse::chkUNAClick() {
    if (ui.chkUNA->isChecked()) compose(QStringLiteral("*una*"));
}

void TFormBrowse::cmdClearAllClick() { ui.txtScope->clear(); }

void TFormBrowse::cmdHelpClick() { host_.showHelp(11); }

void TFormBrowse::storeFileTypes() {
    // Kept in the settings at once: they are saved at shutdown, before the dialog goes.
    std::vector<std::string> types;
    for (int i = 0; i < ui.cmbFileTypes->count(); ++i)
        types.push_back(ui.cmbFileTypes->itemText(i).toStdString());
    host_.settings().fileTypesToSelect = std::move(types);
}

}  // namespace vellumar
