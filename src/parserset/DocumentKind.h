// Which reader a document's name calls for. The parser set and the viewer both decide
// with this one function, so that a file is always shown as the text it was indexed
// from. Extensions compare without regard to case (report.HTML is HTML); the HTML test
// is a substring test ("htm" in .htm, .html, .shtm, .shtml). A file compressed as a whole
// (.gz, .bz2, .xz, .zst) has the kind of its name without that suffix: changelog.html.gz
// is HTML (see CompressedDocument.h).
//
// Pure functions; thread-safe.
#pragma once

#include <filesystem>

namespace vellumar {

enum class DocumentKind {
    Text,  // every other extension, and none
    Html,  // the extension contains "htm"
    Xml,   // .xml
    Rtf,   // .rtf, through our RTF reader
    Doc,   // .doc, through antiword or catdoc
    Pdf,   // .pdf, through pdftotext
    Docx,  // .docx (Office Open XML text)
    Odt,   // .odt (OpenDocument text)
    Epub,  // .epub
};

DocumentKind kindOfDocument(const std::filesystem::path& file);

// The kinds whose text is converted: the viewer shows the parser set's converted text
// (or, for PDF, the PDF text file) for them instead of the file itself.
bool isConvertedKind(DocumentKind kind);

}  // namespace vellumar
