// The window's implementation of the core's UserInterface: status texts go to a status
// line, messages through the one message function, pending messages are processed by
// the Qt event loop. Calls from another thread (the notifier) are carried out on the
// main thread and waited for.
//
// Owned by the main window; lives as long as it does.
#pragma once

#include <QObject>

#include <functional>

#include "platform/UserInterface.h"

class QLineEdit;

namespace vellumar {

class QtUserInterface : public QObject, public UserInterface {
    Q_OBJECT
  public:
    explicit QtUserInterface(QLineEdit* statusLine, QObject* parent = nullptr);

    void processPendingMessages() override;
    void showStatus(const std::string& text) override;
    MessageResult showMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;

  private:
    void onMainThread(const std::function<void()>& work);
    QLineEdit* statusLine_;
};

}  // namespace vellumar
