// The two requests the file context menu makes to the desktop over the session bus: the
// application chooser of the XDG desktop portal (org.freedesktop.portal.OpenURI.OpenFile
// with "ask"), and the file manager showing a file selected
// (org.freedesktop.FileManager1.ShowItems). Each returns false when nothing on the bus
// took the request, so that the caller falls back to its own way.
//
// Main thread only.
#pragma once

#include <QObject>

#include <functional>
#include <string>

namespace vellumar {

// Asks the portal to let the user choose an application for file. fallback runs later
// when the portal answers that it could not show its chooser (not when the user cancels).
// The request object lives as a child of parent until the portal answers.
bool askDesktopToOpenWith(const std::string& file, std::function<void()> fallback, QObject* parent);

// Asks the file manager to show the item (a file:// address) selected in its folder.
bool askFileManagerToShow(const std::string& itemUri);

}  // namespace vellumar
