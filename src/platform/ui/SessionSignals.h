// Session end on Linux: SIGTERM and SIGHUP (the desktop logging out, `kill`, a closing
// terminal) reach the event loop through a self-pipe read by a QSocketNotifier, so that
// no Qt call ever runs inside the signal handler. The main window connects
// sessionEndRequested to its orderly shutdown.
//
// One instance per process, created on the main thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace vellumar {

class SessionSignals : public QObject {
    Q_OBJECT
  public:
    explicit SessionSignals(QObject* parent = nullptr);
    ~SessionSignals() override;

  signals:
    void sessionEndRequested(int signalNumber);

  private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vellumar
