// Shared set-up of the window tests: a fresh home in a temporary folder, no tray unless a
// test asks for one, every message answered by a responder, every modal dialog answered
// without being shown.
#pragma once

#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"
#include "platform/ui/MessageBox.h"

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
    fs::path home;
    vellumar::StartupEnvironment environment;
    std::vector<QString> dialogsShown;
    int dialogAnswer = 1;
    bool trayAvailable = false;

    WindowFixture() {
        home = fs::path(root.path().toStdString()) / "home";
        fs::create_directories(home);
        environment.home = home;
        environment.systemTemp = fs::path(root.path().toStdString()) / "systmp";
        fs::create_directories(environment.systemTemp);
        environment.userConfigFolder = fs::path(root.path().toStdString()) / "config" / "vellumar";
        environment.userHome = fs::path(root.path().toStdString()) / "user";
        vellumar::TTrayIcon::availability() = [this] { return trayAvailable; };
    }

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
        window->runModal = [this](QDialog& dialog) {
            dialogsShown.push_back(dialog.objectName());
            return dialogAnswer;
        };
        return window;
    }
};
