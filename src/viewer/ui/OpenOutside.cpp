#include "viewer/ui/OpenOutside.h"

#include "platform/ui/Cursors.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace vellumar {

namespace {
const QString kNoApplication =
    QStringLiteral("There is no application associated\rwith the given filename extension");
const QString kFileNotFound = QStringLiteral("The specified file was not found");
}  // namespace

DesktopOpener& desktopOpener() {
    static DesktopOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

QString openOutsideProgram(const QString& target) {
    if (target.trimmed().isEmpty()) return kFileNotFound;
    QUrl url;
    if (target.startsWith(QLatin1Char('/'))) {
        if (!QFileInfo(target).exists()) return kFileNotFound;
        url = QUrl::fromLocalFile(target);
    } else {
        url = QUrl(target, QUrl::TolerantMode);
    }
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || scheme.isEmpty() || scheme == QLatin1String("javascript") ||
        scheme == QLatin1String("vbscript") || scheme == QLatin1String("data"))
        return kNoApplication;
    CursorScope starting(CursorShape::AppStart);
    return desktopOpener()(url) ? QString() : kNoApplication;
}

}  // namespace vellumar
