// The few things the Qt-free core asks of whoever shows it to a person: the window
// (src/app), the command-line tool (src/cli) or a test. Core classes receive a reference
// to one of these through their constructors; they never reach for a global.
//
// Thread: every call comes from the thread that runs the core operation. The window's
// implementation forwards calls made on the notifier thread to the main thread.
#pragma once

#include <string>

namespace vellumar {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

// The answers carry the numbers the program's code has always compared against
// (a dialog returning "Yes" is 6, and so on).
enum class MessageResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // Lets the user interface react (repaint, a click on "Cancel") during long work.
    virtual void processPendingMessages() = 0;

    // The status line text.
    virtual void showStatus(const std::string& text) = 0;

    // Something the user should notice without being stopped (a scope entry that is
    // skipped): the status line in the window, standard error in the command-line tool.
    virtual void showWarning(const std::string& text) { showStatus(text); }

    // A modal message or question under the application title.
    virtual MessageResult showMessage(const std::string& text, MessageIcon icon,
                                      MessageButtons buttons) = 0;
};

// A user interface that shows nothing and answers every question with its first button
// (Ok, Yes or Retry) unless told otherwise; for tests and headless use.
class SilentUserInterface : public UserInterface {
  public:
    void processPendingMessages() override {}
    void showStatus(const std::string& text) override { lastStatus = text; }
    MessageResult showMessage(const std::string& text, MessageIcon,
                              MessageButtons buttons) override {
        lastMessage = text;
        ++messageCount;
        switch (buttons) {
            case MessageButtons::Ok:
            case MessageButtons::OkCancel:
                return MessageResult::Ok;
            case MessageButtons::YesNo:
            case MessageButtons::YesNoCancel:
                return answerYes ? MessageResult::Yes : MessageResult::No;
            case MessageButtons::RetryCancel:
                return MessageResult::Cancel;
        }
        return MessageResult::Ok;
    }

    bool answerYes = true;
    std::string lastStatus;
    std::string lastMessage;
    int messageCount = 0;
};

}  // namespace vellumar
