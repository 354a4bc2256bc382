// The one message function of the program. Every message box and question goes through
// showMessageBox: the caption is the application title, the icon and buttons are the
// caller's, and the answer is one of the classic numbers of MessageResult.
//
// Message texts are written as the program has always written them, with "\r" (or
// "\r\n") where a line breaks; the box shows a line break there.
//
// Tests install a responder (MessageResponderScope) that sees every message instead of a
// person and returns the answer; no box is shown then.
//
// Thread: main thread only (the user interface forwards calls from other threads).
#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "platform/UserInterface.h"

class QWidget;

namespace vellumar {

struct MessageRequest {
    QString text;  // as the program wrote it, "\r" line breaks included
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageResponder = std::function<MessageResult(const MessageRequest&)>;

void setApplicationTitle(const QString& title);
QString applicationTitle();

// The message box; parent null means the active window.
MessageResult showMessageBox(const QString& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok,
                             QWidget* parent = nullptr);

// The text as a box shows it: every "\r\n" and lone "\r" becomes "\n".
QString displayText(const QString& text);

// Installs a responder for its lifetime and records every message it answered.
class MessageResponderScope {
  public:
    explicit MessageResponderScope(MessageResponder responder = {});
    ~MessageResponderScope();
    MessageResponderScope(const MessageResponderScope&) = delete;
    MessageResponderScope& operator=(const MessageResponderScope&) = delete;

    // Answers for the next questions, in order; when they run out, the responder given to
    // the constructor answers, else the first button (Ok, Yes or Retry).
    void queueAnswer(MessageResult answer) { answers_.push_back(answer); }
    const std::vector<MessageRequest>& messages() const { return messages_; }

  private:
    MessageResponder previous_;
    MessageResponder responder_;
    std::vector<MessageResult> answers_;
    std::vector<MessageRequest> messages_;
};

}  // namespace vellumar
