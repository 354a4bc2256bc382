// The Indexes page's handlers of stop-word lists and filtering dictionaries: the two
// boxes and their check boxes, choosing and editing the files, and exporting an index's
// words as a dictionary. Names in the boxes are relative to the home unless they are full
// paths.
#include "index/IndexingCore.h"
#include "index/WordListFiles.h"
#include "index/WordLists.h"
#include "index/ui/TIndexesPage.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace vellumar {

namespace {

// The home's files with the extension (without regard to case), sorted as a list sorts.
QStringList homeFilesEndingIn(const fs::path& home, const QString& extension) {
    QStringList names;
    std::error_code ec;
    for (fs::directory_iterator it(home, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const QString name = QString::fromStdString(it->path().filename().string());
        if (name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive))
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

void enableByText(QComboBox* box, QCheckBox* check, bool allowed) {
    const bool named = !box->currentText().trimmed().isEmpty();
    check->setEnabled(named && allowed);
    if (!named) check->setChecked(false);
}

}  // namespace

void TIndexesPage::fillWordListBoxes() {
    // File names keep their case: the lists name files on a case-sensitive file system.
    const QList<QPair<QComboBox*, QString>> boxes{{ui.cmbDic, QStringLiteral(".dic")},
                                                  {ui.cmbSW, QStringLiteral(".sw")}};
    for (const auto& [box, extension] : boxes) {
        if (box->count() > 0) continue;
        const QSignalBlocker blocker(box);
        box->addItem(QString());
        box->addItems(homeFilesEndingIn(host_.environment().home, extension));
        box->setCurrentIndex(0);
    }
    cmbDicChange();
    cmbSWChange();
}

void TIndexesPage::cmbDicChange() {
    if (!creationOptionsLocked_) enableByText(ui.cmbDic, ui.chDic, !wizardOnly());
}

void TIndexesPage::cmbSWChange() {
    if (!creationOptionsLocked_) enableByText(ui.cmbSW, ui.chSW, !wizardOnly());
}

void TIndexesPage::chooseWordListFile(QComboBox* box, bool dictionary) {
    const QString home = QString::fromStdString(host_.environment().home.string());
    const QString file = host_.askFileName(FileDialogRequest{
        false, QStringLiteral("Open"), home,
        dictionary ? QStringLiteral("Dictionary Files (*.dic *.DIC);;All Files (*)")
                   : QStringLiteral("Stop-words Files (*.sw *.SW);;All Files (*)")});
    if (file.isEmpty()) return;
    // A file in the home, or below it, is named relative to the home, as the lists are
    // read; any other file by its full path.
    const QString relative = QDir(home).relativeFilePath(file);
    const bool inHome =
        !relative.startsWith(QStringLiteral("..")) && !QDir::isAbsolutePath(relative);
    box->addItem(inHome ? relative : file);
    box->setCurrentIndex(box->count() - 1);
}

void TIndexesPage::cmdDots1Click() { chooseWordListFile(ui.cmbDic, true); }
void TIndexesPage::cmdDots2Click() { chooseWordListFile(ui.cmbSW, false); }

void TIndexesPage::editWordListFile(QComboBox* box, const char* defaultFile) {
    const fs::path& home = host_.environment().home;
    std::optional<fs::path> file = resolveWordListFile(box->currentText().toStdString(), home);
    std::error_code ec;
    const bool useDefault = !file || !fs::is_regular_file(*file, ec);
    if (useDefault) {
        file = home / defaultFile;
        if (!fs::exists(*file, ec) && !std::ofstream(*file, std::ios::app)) {
            showMessageBox(
                QStringLiteral("Cannot create file ") + QString::fromStdString(file->string()),
                MessageIcon::Error, MessageButtons::Ok, this);
            return;
        }
    }
    const QString path = QString::fromStdString(file->string());
    bool started = false;
    {
        CursorScope starting(CursorShape::AppStart);
        started = host_.openInEditor(path);
    }
    // A failed start says nothing and leaves the box as it was.
    if (started && useDefault) {
        box->addItem(path);
        box->setCurrentIndex(box->count() - 1);
    }
}

void TIndexesPage::btnEditDicClick() { editWordListIn(ui.cmbDic, true); }
void TIndexesPage::btnEditSwClick() { editWordListIn(ui.cmbSW, false); }

void TIndexesPage::editWordListIn(QComboBox* box, bool dictionary) {
    editWordListFile(box, dictionary ? kDefaultDictionaryFile : kDefaultStopWordFile);
}

void TIndexesPage::btnExportDidClick() {
    IndexingCore* core = host_.core();
    vellcore::IndexObject* index =
        core ? core->catalogue.object(core->catalogue.opened()) : nullptr;
    if (!index) {
        showMessageBox(QStringLiteral("Index files are not exist."), MessageIcon::Warning,
                       MessageButtons::Ok, this);
        return;
    }
    const QString file = host_.askFileName(FileDialogRequest{
        true, QStringLiteral("Save As"), QString::fromStdString(host_.environment().home.string()),
        QStringLiteral("Dictionary files (*.dic *.DIC);;All files (*)")});
    if (file.isEmpty()) return;
    bool written = false;
    {
        CursorScope busy(CursorShape::Hourglass);
        written = writeDictionaryFile(file.toStdString(), indexWords(*index));
    }
    if (!written)
        showMessageBox(QStringLiteral("Cannot create file ") + file, MessageIcon::Error,
                       MessageButtons::Ok, this);
}

}  // namespace vellumar
