// The program's pictures, drawn at run time: the sun (idle) and the red sun (an index is
// being built) for the window, the application and the tray, and the tool bar glyphs.
#pragma once

#include <QIcon>
#include <QString>

namespace vellumar {

QIcon sunIcon(bool busy);
// The theme's icon when the desktop has one, else the glyph drawn on a button face.
QIcon toolIcon(const char* themeName, const QString& glyph);

}  // namespace vellumar
