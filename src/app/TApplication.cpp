#include "app/TApplication.h"

#include "platform/ui/MessageBox.h"

#include <cstdio>
#include <exception>

namespace vellumar {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        handleException(QString::fromUtf8(error.what()));
    } catch (...) {
        handleException(QStringLiteral("Unknown error."));
    }
    return false;
}

void TApplication::handleException(const QString& message) {
    std::fprintf(stderr, "vellumar: %s\n", message.toLocal8Bit().constData());
    if (handler_) {
        handler_(message);
        return;
    }
    showMessageBox(message, MessageIcon::Error);
    quit();
}

}  // namespace vellumar
