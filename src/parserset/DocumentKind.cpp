#include "parserset/DocumentKind.h"

#include <algorithm>
#include <string>

#include "parserset/CompressedDocument.h"

namespace vellumar {

namespace {

DocumentKind kindOfExtension(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (ext.find("htm") != std::string::npos) return DocumentKind::Html;
    if (ext == ".xml") return DocumentKind::Xml;
    if (ext == ".rtf") return DocumentKind::Rtf;
    if (ext == ".doc") return DocumentKind::Doc;
    if (ext == ".pdf") return DocumentKind::Pdf;
    if (ext == ".docx") return DocumentKind::Docx;
    if (ext == ".odt") return DocumentKind::Odt;
    if (ext == ".epub") return DocumentKind::Epub;
    return DocumentKind::Text;
}

}  // namespace

DocumentKind kindOfDocument(const std::filesystem::path& file) {
    // One level only: the parser set decompresses once, and the kind must say what it
    // then reads.
    if (isCompressedDocument(file)) return kindOfExtension(innerDocumentName(file));
    return kindOfExtension(file);
}

bool isConvertedKind(DocumentKind kind) {
    switch (kind) {
        case DocumentKind::Rtf:
        case DocumentKind::Doc:
        case DocumentKind::Pdf:
        case DocumentKind::Docx:
        case DocumentKind::Odt:
        case DocumentKind::Epub:
            return true;
        default:
            return false;
    }
}

}  // namespace vellumar
