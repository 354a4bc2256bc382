#include "app/ui/THelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vellumar {

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Vellumar Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    // The help is a local file: links to the web go to the desktop's browser.
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    resize(640, 560);
}

bool THelpWindow::showContext(const QString& helpFile, int context) {
    if (!QFileInfo(helpFile).isReadable()) return false;
    QUrl url = QUrl::fromLocalFile(helpFile);
    url.setFragment(QStringLiteral("context-%1").arg(context));
    browser_->setSource(url);
    browser_->scrollToAnchor(url.fragment());
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace vellumar
