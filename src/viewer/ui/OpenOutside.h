// Hands a web or mail address, or a local page, to the desktop: the program that the
// desktop associates with it (the browser, the mail program) opens it. Scripts are never
// handed on: "javascript:", "vbscript:" and "data:" addresses are refused here as well as
// by the link rules, so no page can make the desktop run one.
//
// The desktop is reached through one replaceable function (desktopOpener), so that tests
// can see what would be opened without starting a browser.
//
// Free functions; main thread only.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace vellumar {

using DesktopOpener = std::function<bool(const QUrl& url)>;

// The function that opens an address; by default Qt's desktop services (xdg-open).
DesktopOpener& desktopOpener();

// Opens target (an address, or a path of a local file) with the application-starting
// cursor shown while the program starts. Returns the message to show on failure, or an
// empty text when the desktop took it.
QString openOutsideProgram(const QString& target);

}  // namespace vellumar
