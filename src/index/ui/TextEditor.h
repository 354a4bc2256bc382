// Opening a plain text file (a stop-word list, a dictionary) for the user to edit: the
// desktop's application for the file when a desktop session runs, else $VISUAL or
// $EDITOR in a terminal emulator. The window's default for TFormMain::openInEditor.
//
// Main thread only.
#pragma once

#include <QString>

namespace vellumar {

// True when an editor was started (not when the user has finished editing).
bool openInTextEditor(const QString& file);

}  // namespace vellumar
