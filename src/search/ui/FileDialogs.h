// The two small dialogs of the file context menu: "Open With" (the applications installed
// for the file's type, or a command line of the user's own) and "Properties" (name,
// folder, size, type, modified time, permissions, owner).
//
// Made by the context menu for one use; main thread only.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "doorwell/DesktopApps.h"
#include "doorwell/FileActions.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vellumar {

class TOpenWithDialog : public QDialog {
    Q_OBJECT
  public:
    struct Controls {
        QListWidget* lstApplications = nullptr;
        QLineEdit* txtCommand = nullptr;
        QPushButton* OKBtn = nullptr;
        QPushButton* CancelBtn = nullptr;
    };

    TOpenWithDialog(const std::string& file, std::vector<doorwell::DesktopEntry> applications,
                    QWidget* parent = nullptr);
    const Controls& controls() const { return ui; }

    // Starts what the user chose: the typed command when there is one, else the selected
    // application. A failure (or no choice) comes back with a message for the user.
    doorwell::LaunchOutcome launch(doorwell::Launcher& launcher) const;

  private:
    std::string file_;
    std::vector<doorwell::DesktopEntry> applications_;
    Controls ui;
};

class TFilePropertiesDialog : public QDialog {
    Q_OBJECT
  public:
    TFilePropertiesDialog(const doorwell::FileProperties& properties, QWidget* parent = nullptr);
    // The value shown beside a caption ("Size:"), for tests.
    QString valueOf(const QString& caption) const;

  private:
    std::vector<std::pair<QString, QLabel*>> rows_;
};

}  // namespace vellumar
