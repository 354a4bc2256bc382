#include "cli/ConsoleUserInterface.h"

namespace vellumar::cli {

std::string consoleText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

ConsoleUserInterface::ConsoleUserInterface(Answer answer, std::FILE* out, bool terminal)
    : answer_(answer), out_(out), terminal_(terminal) {}

void ConsoleUserInterface::showStatus(const std::string&) {
    // The status texts of the window ("Indexing: ...") would scroll by too fast to read;
    // the tool shows its own progress line instead.
}

MessageResult ConsoleUserInterface::showMessage(const std::string& text, MessageIcon icon,
                                                MessageButtons buttons) {
    finishProgress();
    ++messages_;
    const char* kind = icon == MessageIcon::Error     ? "error: "
                       : icon == MessageIcon::Warning ? "warning: "
                                                      : "";
    std::fprintf(out_, "%s%s\n", kind, consoleText(text).c_str());
    MessageResult result = MessageResult::Ok;
    const char* said = nullptr;
    switch (buttons) {
        case MessageButtons::Ok: return MessageResult::Ok;
        case MessageButtons::OkCancel:
            result = answer_ == Answer::No ? MessageResult::Cancel : MessageResult::Ok;
            said = answer_ == Answer::No ? "Cancel" : "OK";
            break;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            result = answer_ == Answer::No ? MessageResult::No : MessageResult::Yes;
            said = answer_ == Answer::No ? "No" : "Yes";
            break;
        case MessageButtons::RetryCancel:
            // Retrying without a person to free disk space would repeat for ever.
            result = MessageResult::Cancel;
            said = "Cancel";
            break;
    }
    std::fprintf(out_, "(answered: %s)\n", said);
    std::fflush(out_);
    return result;
}

void ConsoleUserInterface::documentStored(int files, std::int64_t totalKB) {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (progressShown_ && now - lastLine_ < std::chrono::milliseconds(200)) return;
    lastLine_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    std::fprintf(out_, "\r\033[K%d files, %.1f MB, %.0f files/s", files, totalKB / 1024.0,
                 seconds > 0 ? files / seconds : 0.0);
    std::fflush(out_);
    progressShown_ = true;
}

void ConsoleUserInterface::finishProgress() {
    if (!progressShown_) return;
    std::fputc('\n', out_);
    progressShown_ = false;
}

}  // namespace vellumar::cli
