#include "platform/ui/QtUserInterface.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QThread>

namespace vellumar {

QtUserInterface::QtUserInterface(QLineEdit* statusLine, QObject* parent)
    : QObject(parent), statusLine_(statusLine) {}

void QtUserInterface::onMainThread(const std::function<void()>& work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    if (otherThreadRunner_) {
        otherThreadRunner_(work);
        return;
    }
    QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

void QtUserInterface::processPendingMessages() {
    // Another thread has no events of the window to process.
    if (QThread::currentThread() == thread()) vellumar::processPendingMessages();
}

void QtUserInterface::showStatus(const std::string& text) {
    onMainThread([&] {
        statusLine_->setText(QString::fromStdString(text));
        statusLine_->repaint();
    });
}

MessageResult QtUserInterface::showMessage(const std::string& text, MessageIcon icon,
                                           MessageButtons buttons) {
    MessageResult result = MessageResult::Ok;
    onMainThread([&] { result = showMessageBox(QString::fromStdString(text), icon, buttons); });
    return result;
}

}  // namespace vellumar
