// "Print file list": draws the current result page's files on a printer (a real one, or
// the PDF file the print dialog offers) where layOutFileList places them, in the printer's
// own pixels: the bold heading "File list found for "QUERY":", then one file a line.
//
// Free function; main thread only.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

namespace vellumar {

// Prints the job "File list from Vellumar" in font (the current text viewer's). Returns
// the reason the job failed (it is then aborted), or an empty text.
QString printFileList(QPrinter& printer, const QFont& font, const QString& lastQuery,
                      const QStringList& files);

}  // namespace vellumar
