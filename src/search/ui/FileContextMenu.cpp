#include "search/ui/FileContextMenu.h"

#include "doorwell/FileActions.h"
#include "doorwell/Trash.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "search/ui/DesktopBus.h"
#include "search/ui/FileDialogs.h"
#include "textfold/TextFold.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace vellumar {

QString displayName(const std::string& name) {
    return QString::fromStdString(textfold::toUtf8Document(name));
}

FileContextMenu::FileContextMenu(PageHost& host, std::string name, FileServices services,
                                 QWidget* parent)
    : QMenu(parent), host_(host), name_(std::move(name)), services_(services) {
    setObjectName(QStringLiteral("FileContextMenu"));
    const doorwell::AvailableActions can = doorwell::actionsFor(name_);
    const auto add = [this](const QString& caption, bool enabled, auto handler) {
        QAction* action = addAction(caption);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    actions_.open = add(QStringLiteral("&Open"), can.open, [this] { emit openRequested(name_); });
    setDefaultAction(actions_.open);
    actions_.openWith =
        add(QStringLiteral("Open &With..."), can.openWith, &FileContextMenu::openWith);
    actions_.openFolder = add(QStringLiteral("Open Containing &Folder"), can.openFolder,
                              &FileContextMenu::openContainingFolder);
    addSeparator();
    actions_.copyPath = add(QStringLiteral("Copy &Path"), can.copyPath, &FileContextMenu::copyPath);
    actions_.copyFile = add(QStringLiteral("&Copy File"), can.copyFile, &FileContextMenu::copyFile);
    addSeparator();
    actions_.moveToTrash =
        add(QStringLiteral("Move to &Trash"), can.moveToTrash, &FileContextMenu::moveToTrash);
    addSeparator();
    actions_.properties =
        add(QStringLiteral("P&roperties"), can.properties, &FileContextMenu::showProperties);
}

void FileContextMenu::openWith() {
    const std::string file = name_;
    FileServices services = services_;
    PageHost* host = &host_;
    QWidget* owner = parentWidget();
    // The chooser of our own: what the desktop lists for the type, or a command line.
    const auto ownChooser = [file, services, host, owner] {
        const doorwell::XdgDirs dirs = doorwell::XdgDirs::FromEnvironment();
        // A program that needs a terminal would start without one: only a typed command
        // can say how to run it.
        std::vector<doorwell::DesktopEntry> applications;
        for (auto& app : doorwell::applicationsFor(doorwell::mimeTypeOf(file, dirs), dirs))
            if (!app.terminal) applications.push_back(std::move(app));
        TOpenWithDialog dialog(file, std::move(applications), owner);
        if (host->runModal(dialog) != QDialog::Accepted) return;
        const doorwell::LaunchOutcome outcome = dialog.launch(*services.launcher);
        if (!outcome.ok)
            showMessageBox(QString::fromStdString(outcome.message), MessageIcon::Warning,
                           MessageButtons::Ok, owner);
    };
    // The menu goes away after this action; the portal's answer may come later.
    if (services_.desktopBus && askDesktopToOpenWith(file, ownChooser, owner)) return;
    ownChooser();
}

void FileContextMenu::openContainingFolder() {
    const doorwell::FolderRequest request = doorwell::containingFolder(name_);
    if (services_.desktopBus && askFileManagerToShow(request.itemUri)) return;
    const doorwell::OpenResult result =
        doorwell::openFolderOnDesktop(request.folder, *services_.launcher);
    if (!result.ok())
        showMessageBox(QString::fromStdString(result.message), MessageIcon::Warning,
                       MessageButtons::Ok, parentWidget());
}

void FileContextMenu::copyPath() {
    QApplication::clipboard()->setText(QString::fromStdString(doorwell::pathForClipboard(name_)));
}

void FileContextMenu::copyFile() {
    const auto data = doorwell::clipboardDataFor({name_});
    if (!data) return;
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("text/uri-list"), QByteArray::fromStdString(data->uriList));
    mime->setData(QStringLiteral("x-special/gnome-copied-files"),
                  QByteArray::fromStdString(data->gnomeCopiedFiles));
    mime->setText(QString::fromStdString(data->text));
    QApplication::clipboard()->setMimeData(mime);
}

void FileContextMenu::moveToTrash() {
    const QString question = QStringLiteral("Move \"%1\" to the trash?").arg(displayName(name_));
    if (showMessageBox(question, MessageIcon::Question, MessageButtons::YesNo, parentWidget()) !=
        MessageResult::Yes)
        return;
    const doorwell::TrashResult result = doorwell::moveFileToTrash(name_);
    if (!result.ok) {
        showMessageBox(QString::fromStdString(result.message), MessageIcon::Warning,
                       MessageButtons::Ok, parentWidget());
        return;
    }
    emit trashed();
}

void FileContextMenu::showProperties() {
    const auto properties = doorwell::getFileProperties(name_);
    if (!properties) {
        showMessageBox(
            QString::fromStdString(doorwell::openFailureMessage(doorwell::kFileNotFound)),
            MessageIcon::Warning, MessageButtons::Ok, parentWidget());
        return;
    }
    TFilePropertiesDialog dialog(*properties, parentWidget());
    host_.runModal(dialog);
}

}  // namespace vellumar
