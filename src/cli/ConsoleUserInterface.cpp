#include "cli/ConsoleUserInterface.h"

#include <cctype>

#include "cli/CliText.h"

namespace vellumar::cli {

std::string consoleText(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
        out += plainText(std::string_view(text).substr(start, i - start));
        if (i < text.size()) {
            out += '\n';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
        start = i + 1;
    }
    return out;
}

ConsoleUserInterface::ConsoleUserInterface(Answer answer, std::FILE* out, bool terminal,
                                           std::FILE* answers)
    : answer_(answer), out_(out), terminal_(terminal), answers_(answers) {}

void ConsoleUserInterface::showStatus(const std::string&) {
    // The status texts of the window ("Indexing: ...") would scroll by too fast to read;
    // the tool shows its own progress line instead.
}

void ConsoleUserInterface::showWarning(const std::string& text) {
    finishProgress();
    lastProblem_ = text;
    std::fprintf(out_, "warning: %s\n", consoleText(text).c_str());
    std::fflush(out_);
}

MessageResult ConsoleUserInterface::showMessage(const std::string& text, MessageIcon icon,
                                                MessageButtons buttons) {
    finishProgress();
    const bool question = buttons != MessageButtons::Ok;
    const char* kind = icon == MessageIcon::Error     ? "error: "
                       : icon == MessageIcon::Warning ? "warning: "
                                                      : "";
    if (!question && (icon == MessageIcon::Error || icon == MessageIcon::Warning))
        lastProblem_ = text;
    std::fprintf(out_, "%s%s\n", kind, consoleText(text).c_str());
    if (!question) return MessageResult::Ok;
    if (asksPerson()) return askPerson(buttons);

    MessageResult result = MessageResult::Ok;
    const char* said = nullptr;
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageResult::Ok;
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

MessageResult ConsoleUserInterface::askPerson(MessageButtons buttons) {
    struct Choice {
        char key;
        MessageResult result;
    };
    std::string prompt;
    Choice choices[3] = {};
    int count = 0;
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageResult::Ok;
        case MessageButtons::OkCancel:
            prompt = "[o]k or [c]ancel? ";
            choices[count++] = {'o', MessageResult::Ok};
            choices[count++] = {'c', MessageResult::Cancel};
            break;
        case MessageButtons::YesNo:
            prompt = "[y]es or [n]o? ";
            choices[count++] = {'y', MessageResult::Yes};
            choices[count++] = {'n', MessageResult::No};
            break;
        case MessageButtons::YesNoCancel:
            prompt = "[y]es, [n]o or [c]ancel? ";
            choices[count++] = {'y', MessageResult::Yes};
            choices[count++] = {'n', MessageResult::No};
            choices[count++] = {'c', MessageResult::Cancel};
            break;
        case MessageButtons::RetryCancel:
            prompt = "[r]etry or [c]ancel? ";
            choices[count++] = {'r', MessageResult::Retry};
            choices[count++] = {'c', MessageResult::Cancel};
            break;
    }
    // An answer must be given: nothing is chosen for the person, and the end of the input
    // chooses the answer that changes nothing (the last one).
    for (;;) {
        std::fputs(prompt.c_str(), out_);
        std::fflush(out_);
        char line[256];
        if (!std::fgets(line, sizeof line, answers_)) {
            std::fputc('\n', out_);
            return choices[count - 1].result;
        }
        std::size_t i = 0;
        while (line[i] == ' ' || line[i] == '\t') ++i;
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
        for (int c = 0; c < count; ++c)
            if (key == choices[c].key) return choices[c].result;
    }
}

void ConsoleUserInterface::documentStored(int files, std::int64_t totalKB) {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (progressShown_ && now - lastLine_ < std::chrono::milliseconds(200)) return;
    lastLine_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    std::fprintf(out_, "\r\033[K%s, %.1f MB, %.0f files/s", countOf(files, "file", "files").c_str(),
                 totalKB / 1024.0, seconds > 0 ? files / seconds : 0.0);
    std::fflush(out_);
    progressShown_ = true;
}

void ConsoleUserInterface::finishProgress() {
    if (!progressShown_) return;
    std::fputc('\n', out_);
    progressShown_ = false;
}

}  // namespace vellumar::cli
