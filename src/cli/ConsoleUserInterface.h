// The command-line tool's user interface: messages and warnings on standard error, and on
// a terminal a progress line (files, megabytes, rate) that rewrites itself in place.
// Questions are asked when a person is there to answer (standard input and standard error
// are a terminal) and no --yes or --no was given; otherwise they take the answer --yes or
// --no gives, or their default.
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
    // answers: where a person's answers are read from, or nullptr when nobody is there.
    ConsoleUserInterface(Answer answer, std::FILE* out, bool terminal,
                         std::FILE* answers = nullptr);

    void processPendingMessages() override {}
    void showStatus(const std::string& text) override;
    void showWarning(const std::string& text) override;
    MessageResult showMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;

    // After each stored document: the progress line, at most five times a second.
    void documentStored(int files, std::int64_t totalKB);
    // Ends the progress line so that the next output starts on a line of its own.
    void finishProgress();

    // Whether questions are put to a person.
    bool asksPerson() const { return answers_ != nullptr && answer_ == Answer::Default; }
    // The text of the last error or warning shown (for --json), or empty.
    const std::string& lastProblem() const { return lastProblem_; }
    void setLastProblem(std::string text) { lastProblem_ = std::move(text); }

  private:
    MessageResult askPerson(MessageButtons buttons);

    Answer answer_;
    std::FILE* out_;
    bool terminal_;
    std::FILE* answers_;
    bool progressShown_ = false;
    std::string lastProblem_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastLine_{};
};

// The program's "\r" line breaks as the terminal's new lines; other control characters
// escaped.
std::string consoleText(const std::string& text);

}  // namespace vellumar::cli
