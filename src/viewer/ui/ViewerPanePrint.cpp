// TViewerPane: "Print file list" and the states of the viewers' pop-up menu.
#include "viewer/ui/TViewerPane.h"

#include "htmlview/THTMLViewer.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "viewer/ViewerModes.h"
#include "viewer/ui/FileListPrinter.h"
#include "viewer/ui/TRichEditEx.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrinter>

namespace vellumar {

void TViewerPane::Printfilelist1Click() {
    // The dialog offers the installed printers and "Print to File (PDF)".
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    dialog.setWindowTitle(QStringLiteral("Print file list"));
    if (host_.runModal(dialog) != QDialog::Accepted) return;
    QString failure;
    {
        CursorScope busy(CursorShape::Hourglass);
        failure = printFileList(printer, currentTextViewer_->font(), lastQuery_, listedFiles());
    }
    if (!failure.isEmpty()) showMessageBox(failure, MessageIcon::None);
}

void TViewerPane::mnuRtfPopup() {
    const TextViewer current =
        currentTextViewer_ == ui.rtfEntries ? TextViewer::Plain : TextViewer::Rich;
    const QString selection = htmlMode_ ? ui.HTML1->SelText() : selectedTextOf(currentTextViewer_);
    const ViewerPopup popup = viewerPopupState(htmlMode_, current, selection.toStdString(),
                                               !listedFiles().isEmpty(), host_.settings().hotKey);
    ui.mnuSearchSelWord->setText(QString::fromStdString(popup.searchSelectedCaption));
    ui.mnuSearchSelWord->setEnabled(popup.searchSelected);
    ui.mnuFont->setEnabled(popup.font);
    ui.mnuWithinFound->setEnabled(popup.withinFound);
    ui.mnuWordWrap->setEnabled(popup.wordWrap);
    ui.mnuRtfPlain->setEnabled(popup.rtfPlain);
    ui.mnuHtmlBrowser->setEnabled(popup.htmlBrowser);
    ui.mnuCopy->setEnabled(!selection.isEmpty());
}

}  // namespace vellumar
