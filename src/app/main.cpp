// Program start: the command line, the home, the application object and the main
// window; then the event loop until the program ends, and the orderly shutdown.
#include "app/TApplication.h"
#include "app/ui/TFormMain.h"
#include "platform/CommandLine.h"
#include "platform/Home.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SessionSignals.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using namespace vellumar;

namespace {

ProgramEnvironment startupEnvironment(const CommandLine& line) {
    ProgramEnvironment environment =
        detectProgramEnvironment(line.home, processEnvironment(), executableFolder());
    if (!environment.homeProblem.empty())
        environment.homeProblem +=
            "\rSettings, the query history and new indexes can not be saved there.";
    return environment;
}

// Test mode for looking at the window without a person: VELLUMAR_SCREENSHOT=file.png
// grabs the screen once start-up is over and ends the program as a logout would.
void armScreenshot(TFormMain& window) {
    const char* target = std::getenv("VELLUMAR_SCREENSHOT");
    if (!target || !*target) return;
    const QString file = QString::fromLocal8Bit(target);
    const int page = std::getenv("VELLUMAR_SCREENSHOT_PAGE")
                         ? std::atoi(std::getenv("VELLUMAR_SCREENSHOT_PAGE"))
                         : -1;
    QTimer::singleShot(2000, &window, [&window, file, page] {
        if (page >= 0) window.showPage(static_cast<Page>(page));
        QCoreApplication::processEvents();
        QPixmap shot;
        if (QScreen* screen = QGuiApplication::primaryScreen()) shot = screen->grabWindow(0);
        if (shot.isNull()) shot = window.grab();
        shot.save(file);
        window.WMQueryEndSession();
    });
}

}  // namespace

int main(int argc, char** argv) {
    // --help works without a display; everything else is read after Qt took its own.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usageText("vellumar").c_str(), stdout);
            return 0;
        }
    }
    TApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine line = parseCommandLine(args);
    if (!line.error.empty()) {
        std::fprintf(stderr, "vellumar: %s\n\n%s", line.error.c_str(),
                     usageText("vellumar").c_str());
        return 2;
    }

    std::unique_ptr<TFormMain> window;
    try {
        window = std::make_unique<TFormMain>(startupEnvironment(line));
    } catch (const std::exception& error) {
        showMessageBox(QString::fromUtf8(error.what()), MessageIcon::Error);
        return 1;
    }
    QObject::connect(window.get(), &TFormMain::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    SessionSignals signals_;
    QObject::connect(&signals_, &SessionSignals::sessionEndRequested, window.get(),
                     [&window](int) { window->WMQueryEndSession(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, window.get(),
                     [&window](QSessionManager&) { window->WMQueryEndSession(); });
    armScreenshot(*window);

    int result = 0;
    try {
        result = app.exec();
    } catch (const std::exception& error) {
        app.handleException(QString::fromUtf8(error.what()));
        result = 1;
    }
    try {
        window->FormDestroy();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vellumar: %s\n", error.what());
        result = 1;
    }
    return result;
}
