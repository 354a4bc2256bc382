#include "index/ui/TextEditor.h"

#include "wordmill/ProcessRunner.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include <cstdlib>

namespace vellumar {

namespace {

bool desktopSessionRuns() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// $VISUAL, else $EDITOR, split at blanks ("code -w" is a program and an argument).
QStringList editorCommand() {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return QString::fromLocal8Bit(value).split(' ', Qt::SkipEmptyParts);
    }
    return {};
}

}  // namespace

bool openInTextEditor(const QString& file) {
    if (desktopSessionRuns() && QDesktopServices::openUrl(QUrl::fromLocalFile(file))) return true;
    const QStringList editor = editorCommand();
    if (editor.isEmpty()) return false;
    // A terminal editor needs a terminal of its own: the program has none.
    for (const char* terminal : {"x-terminal-emulator", "xterm"}) {
        const auto program = wordmill::findProgram(terminal, {});
        if (!program) continue;
        std::vector<std::string> arguments{"-e"};
        for (const QString& part : editor) arguments.push_back(part.toStdString());
        arguments.push_back(file.toStdString());
        return wordmill::startDetached(*program, arguments) == 0;
    }
    return false;
}

}  // namespace vellumar
