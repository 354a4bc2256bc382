#include "viewer/ui/FileListPrinter.h"

#include "viewer/PrintLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace vellumar {

namespace {

QString failureText(const QPrinter& printer) {
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    if (pdf && !printer.outputFileName().isEmpty())
        return QStringLiteral("The PDF file ") + printer.outputFileName() +
               QStringLiteral(" cannot be written.");
    // Without printers Qt turns a printer job into a PDF file that has no name.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        return QStringLiteral(
            "No printer is installed. Choose \"Print to File (PDF)\" in the print dialog to "
            "save the file list as a PDF file.");
    if (pdf) return QStringLiteral("No file was chosen for the PDF file.");
    return QStringLiteral("The printer ") + printer.printerName() +
           QStringLiteral(" cannot be used.");
}

}  // namespace

QString printFileList(QPrinter& printer, const QFont& font, const QString& lastQuery,
                      const QStringList& files) {
    printer.setDocName(QString::fromLatin1(kFileListJobTitle));
    QPainter painter;
    if (!painter.begin(&printer)) return failureText(printer);
    // The font is measured on the printer, so its size is the printer's pixels.
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    const FileListLayout layout =
        layOutFileList(static_cast<std::size_t>(files.size()),
                       QFontMetrics(font, &printer).height(),  // the height of "W_"
                       printer.height());
    const QString heading = QString::fromStdString(fileListHeading(lastQuery.toStdString()));
    painter.drawText(layout.heading.x, layout.heading.y + painter.fontMetrics().ascent(), heading);
    painter.setFont(font);
    const int ascent = painter.fontMetrics().ascent();
    int page = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const PrintPlacement& at = layout.items[static_cast<std::size_t>(i)];
        if (at.page != page) {
            if (!printer.newPage()) {
                painter.end();
                return QStringLiteral("The printer refused a new page.");
            }
            page = at.page;
        }
        painter.drawText(at.x, at.y + ascent, files[i]);
    }
    if (!painter.end()) return QStringLiteral("The print job could not be finished.");
    return {};
}

}  // namespace vellumar
