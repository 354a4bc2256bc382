// The window's implementation of the core's UserInterface: status texts go to a status
// line, messages through the one message function, pending messages are processed by
// the Qt event loop. Calls from another thread (the notifier) are carried out on the
// main thread and waited for: through the runner given to setOtherThreadRunner when there
// is one, else through Qt's event queue.
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

    // How calls from another thread reach the main thread. The notifier's thread holds
    // its lock while it indexes; a main thread waiting for that lock serves the notifier's
    // own main-thread calls but no Qt events, so its calls must go that way.
    using Runner = std::function<void(const std::function<void()>&)>;
    void setOtherThreadRunner(Runner runner) { otherThreadRunner_ = std::move(runner); }

  private:
    void onMainThread(const std::function<void()>& work);
    QLineEdit* statusLine_;
    Runner otherThreadRunner_;
};

}  // namespace vellumar
