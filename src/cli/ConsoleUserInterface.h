// The command-line tool's user interface: messages and questions on standard error
// (questions take their default answer, or the one --yes/--no gives), and on a terminal a
// progress line (files, megabytes, rate) that rewrites itself in place.
//
// Thread: the main thread; the notifier thread does not run in the tool.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/CliArguments.h"
#include "platform/UserInterface.h"

namespace vellumar::cli {

class ConsoleUserInterface : public UserInterface {
public:
    ConsoleUserInterface(Answer answer, std::FILE* out, bool terminal);

    void processPendingMessages() override {}
    void showStatus(const std::string& text) override;
    MessageResult showMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;

    // After each stored document: the progress line, at most five times a second.
    void documentStored(int files, std::int64_t totalKB);
    // Ends the progress line so that the next output starts on a line of its own.
    void finishProgress();

    int messageCount() const { return messages_; }

private:
    Answer answer_;
    std::FILE* out_;
    bool terminal_;
    bool progressShown_ = false;
    int messages_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastLine_{};
};

// The program's "\r" line breaks as the terminal's new lines.
std::string consoleText(const std::string& text);

}  // namespace vellumar::cli
