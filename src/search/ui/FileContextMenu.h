// The context menu of a found file, as a Linux user expects it: Open, Open With...,
// Open Containing Folder, Copy Path, Copy File, Move to Trash and Properties. The actions
// are doorwell's; this menu offers the ones that fit the name (an archive member is
// neither opened, copied nor trashed), asks before anything that changes a file, and shows
// the outcome. No action goes through a shell: names with blanks, quotes, a leading "-"
// or bytes that are not UTF-8 reach the programs as they are.
//
// "Open With..." asks the desktop's application chooser (the XDG desktop portal) where
// one answers on the session bus, else shows a dialog of the applications installed for
// the file's type with a command line of the user's own. "Open Containing Folder" asks the
// file manager to show the file selected (org.freedesktop.FileManager1), else opens the
// folder.
//
// Made by the result list for one right click; main thread only.
#pragma once

#include <QMenu>

#include <functional>
#include <string>

#include "doorwell/Launcher.h"

namespace vellumar {

class PageHost;

// What the file actions reach outside the program; tests give their own.
struct FileServices {
    doorwell::Launcher* launcher = &doorwell::SystemLauncher();
    bool desktopBus = true;  // the portal's chooser and the file manager over D-Bus
};

class FileContextMenu : public QMenu {
    Q_OBJECT
  public:
    struct Actions {
        QAction* open = nullptr;
        QAction* openWith = nullptr;
        QAction* openFolder = nullptr;
        QAction* copyPath = nullptr;
        QAction* copyFile = nullptr;
        QAction* moveToTrash = nullptr;
        QAction* properties = nullptr;
    };

    FileContextMenu(PageHost& host, std::string name, FileServices services,
                    QWidget* parent = nullptr);
    const Actions& actions() const { return actions_; }
    const std::string& fileName() const { return name_; }

  signals:
    void openRequested(const std::string& name);  // the list opens it as a double click does
    void trashed();                               // the file went to the trash

  private:
    void openWith();
    void openContainingFolder();
    void copyPath();
    void copyFile();
    void moveToTrash();
    void showProperties();

    PageHost& host_;
    std::string name_;
    FileServices services_;
    Actions actions_;
};

// The name as the window shows it: UTF-8 as it is, other bytes read as Windows-1252.
QString displayName(const std::string& name);

}  // namespace vellumar
