// Shared set-up of the window tests: a fresh home in a temporary folder, no tray unless a
// test asks for one, every modal dialog answered without being shown. The tray's
// availability hook is the fixture's only while it lives.
//
// Tests reach controls through each page's controls(), named by short aliases: fr (the
// frame), sp (Search page), rl (result list), vp (viewer pane), ix (Indexes page), mp
// (Monitoring page).
#pragma once

#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"
#include "index/ui/TIndexesPage.h"
#include "monitor/ui/TCacheWatcherPage.h"
#include "monitor/ui/TMonitoringPage.h"
#include "platform/ui/MessageBox.h"
#include "search/ui/TResultList.h"
#include "search/ui/TSearchPage.h"
#include "viewer/ui/TViewerPane.h"

#include <QDialog>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct WindowFixture {
    QTemporaryDir root;
    // Every message box is answered with its first button unless a test installs its own
    // responder: a message nobody expected must never wait for a person.
    vellumar::MessageResponderScope unexpectedMessages;
    fs::path home;
    vellumar::ProgramEnvironment environment;
    std::vector<QString> dialogsShown;
    int dialogAnswer = 1;
    bool trayAvailable = false;
    std::function<bool()> previousTrayAvailability;

    WindowFixture() : previousTrayAvailability(vellumar::TTrayIcon::availability()) {
        home = fs::path(root.path().toStdString()) / "home";
        fs::create_directories(home);
        environment.home = home;
        environment.systemTemp = fs::path(root.path().toStdString()) / "systmp";
        fs::create_directories(environment.systemTemp);
        environment.userConfigFolder = fs::path(root.path().toStdString()) / "config" / "vellumar";
        environment.userHome = fs::path(root.path().toStdString()) / "user";
        vellumar::TTrayIcon::availability() = [this] { return trayAvailable; };
    }
    ~WindowFixture() { vellumar::TTrayIcon::availability() = previousTrayAvailability; }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    void write(const fs::path& file, const std::string& text) const {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    static std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::unique_ptr<vellumar::TFormMain> makeWindow() {
        auto window = std::make_unique<vellumar::TFormMain>(environment);
        window->dialogs.runModal = [this](QDialog& dialog) {
            dialogsShown.push_back(dialog.objectName());
            return dialogAnswer;
        };
        return window;
    }
};
