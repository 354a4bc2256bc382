// The application object. Qt has no application-wide exception handler, so notify()
// catches what an event handler lets escape and hands its message to the handler the
// main window installs (which shows it, removes the tray icon and ends the program).
//
// One per process, on the main thread.
#pragma once

#include <QApplication>

#include <functional>

namespace vellumar {

class TApplication : public QApplication {
    Q_OBJECT
  public:
    TApplication(int& argc, char** argv);

    void setExceptionHandler(std::function<void(const QString&)> handler) {
        handler_ = std::move(handler);
    }
    bool notify(QObject* receiver, QEvent* event) override;
    // Shows the message of an error that nothing else caught.
    void handleException(const QString& message);

  private:
    std::function<void(const QString&)> handler_;
};

}  // namespace vellumar
