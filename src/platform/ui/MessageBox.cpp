#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace vellumar {

namespace {

QString gTitle = QStringLiteral("Vellumar");
MessageResponder gResponder;

MessageResult firstButton(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
        case MessageButtons::OkCancel:
            return MessageResult::Ok;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageResult::Yes;
        case MessageButtons::RetryCancel:
            return MessageResult::Retry;
    }
    return MessageResult::Ok;
}

}  // namespace

void setApplicationTitle(const QString& title) { gTitle = title; }
QString applicationTitle() { return gTitle; }

QString displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

MessageResult showMessageBox(const QString& text, MessageIcon icon, MessageButtons buttons,
                             QWidget* parent) {
    if (gResponder) return gResponder(MessageRequest{text, icon, buttons});

    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setWindowTitle(gTitle);
    box.setText(displayText(text));
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    QMessageBox::StandardButtons standard;
    switch (buttons) {
        case MessageButtons::Ok:
            standard = QMessageBox::Ok;
            break;
        case MessageButtons::OkCancel:
            standard = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case MessageButtons::YesNo:
            standard = QMessageBox::Yes | QMessageBox::No;
            break;
        case MessageButtons::YesNoCancel:
            standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        case MessageButtons::RetryCancel:
            standard = QMessageBox::Retry | QMessageBox::Cancel;
            break;
    }
    box.setStandardButtons(standard);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageResult::Ok;
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Retry:
            return MessageResult::Retry;
        default:
            break;
    }
    // The close box answers like Escape: Cancel where there is one, else No, else Ok.
    if (standard & QMessageBox::Cancel) return MessageResult::Cancel;
    if (standard & QMessageBox::No) return MessageResult::No;
    return MessageResult::Ok;
}

MessageResponderScope::MessageResponderScope(MessageResponder responder)
    : previous_(gResponder), responder_(std::move(responder)) {
    gResponder = [this](const MessageRequest& request) {
        messages_.push_back(request);
        if (!answers_.empty()) {
            const MessageResult answer = answers_.front();
            answers_.erase(answers_.begin());
            return answer;
        }
        return responder_ ? responder_(request) : firstButton(request.buttons);
    };
}

MessageResponderScope::~MessageResponderScope() { gResponder = previous_; }

}  // namespace vellumar
