// TViewerPane: links and images of the HTML display, and opening a page in the browser.
#include "viewer/ui/TViewerPane.h"

#include "htmlview/THTMLViewer.h"
#include "monitor/cachewatch/BrowserCaches.h"
#include "parserset/DocumentKind.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "viewer/PreviewFiles.h"
#include "viewer/ResolveLink.h"
#include "viewer/THistory.h"
#include "viewer/ui/OpenOutside.h"
#include "viewer/ui/TRichEditEx.h"

#include <QFile>
#include <QFileInfo>
#include <QScrollBar>

namespace vellumar {

namespace {

const QString kCannotOpen = QStringLiteral("Can't open the file ");
// No picture of a page is anywhere near this; a larger file is not read into memory.
constexpr qint64 kImageLimit = 64ll << 20;

std::string utf8(const QString& text) { return text.toStdString(); }

}  // namespace

LinkContext TViewerPane::linkContext() const {
    LinkContext context;
    context.currentFile = utf8(ui.HTML1->CurrentFile());
    context.base = utf8(ui.HTML1->Base());
    context.programFolder = host_.environment().home;
    // Internet Explorer's cache renames the pictures of the pages it keeps ("logo[1].gif").
    cachewatch::BrowserCaches caches(host_.environment().home / cachewatch::kRegistryFileName, {});
    context.cacheFolder = caches.InternetExplorerCacheFolder();
    return context;
}

void TViewerPane::openOutside(const QString& target) {
    const QString message = openOutsideProgram(target);
    if (!message.isEmpty()) showMessageBox(message, MessageIcon::Warning);
}

bool TViewerPane::showLinkedPage(const QString& file, const QString& anchor) {
    if (!ui.HTML1->LoadFromFile(file)) return false;
    if (!anchor.isEmpty()) ui.HTML1->PositionTo(anchor);
    // The page's source in the text viewer, as the parsers read it.
    const QString shown = ui.HTML1->CurrentFile();
    const auto source = readTextForDisplay(shown.toStdString());
    ui.rtfEntries->setPlainText(source ? viewerText(*source) : QString());
    ui.ree->clear();
    currentTextViewer_ = ui.rtfEntries;
    setHint(ui.rtfEntries, QStringLiteral("Current file: ") + shown);
    // The listed file's entries are not this page's.
    itemSelected_ = false;
    setEntryControlsVisible(false);
    ShowCurrentView();
    return true;
}

void TViewerPane::HTML1HotSpotClick(const QString& url) {
    const ResolvedLink link = ResolveLink(linkContext(), utf8(url));
    const QString target = QString::fromStdString(link.target);
    switch (link.kind) {
        case LinkKind::Ignore:  // a script: never run
            return;
        case LinkKind::openOutsideProgram:
            openOutside(target);
            return;
        case LinkKind::Anchor:
            if (history_)
                history_->RecordPositions(ui.scrNextPrev->value(), ui.HTML1->ScrollPosition());
            ui.HTML1->PositionTo(QString::fromStdString(link.anchor));
            if (history_ && history_->Current())
                history_->Record({"", 1, utf8(ui.HTML1->CurrentFile())});
            return;
        case LinkKind::LocalFile:
            break;
    }
    // A local document that is not a page (a PDF, a picture, a text) is shown by the
    // program the desktop has for it; the display would show its bytes as markup.
    if (QFileInfo(target).isFile() && kindOfDocument(link.target) != DocumentKind::Html) {
        openOutside(target);
        return;
    }
    host_.setStatusText(QStringLiteral("Loading the file..."));
    if (history_) history_->RecordPositions(ui.scrNextPrev->value(), ui.HTML1->ScrollPosition());
    if (showLinkedPage(target, QString::fromStdString(link.anchor))) {
        emit viewedFileLeft();
        if (history_) history_->Record({"", 1, utf8(ui.HTML1->CurrentFile())});
    } else {
        showMessageBox(kCannotOpen + target, MessageIcon::Warning);
    }
    host_.setStatusText(QString());
}

void TViewerPane::HTML1HotSpotCovered(const QString& url) {
    host_.setStatusText(QString::fromStdString(hotSpotStatusText(linkContext(), utf8(url))));
}

QByteArray TViewerPane::HTML1ImageRequest(const QString& source) {
    // Resolved like a link; only a local file is read, a remote picture never fetched.
    const ResolvedLink link = ResolveLink(linkContext(), utf8(source));
    if (link.kind != LinkKind::LocalFile) return {};
    QFile file(QString::fromStdString(link.target));
    if (!QFileInfo(file).isFile() || file.size() > kImageLimit || !file.open(QIODevice::ReadOnly))
        return {};  // a missing picture stays empty
    return file.readAll();
}

void TViewerPane::mnuHtmlBrowserClick() {
    const QString file = ui.HTML1->CurrentFile();
    if (file.isEmpty()) return;
    openOutside(file);
}

}  // namespace vellumar
