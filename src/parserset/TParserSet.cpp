#include "parserset/TParserSet.h"

#include <new>

#include "parserset/OfficeText.h"
#include "wordmill/Converters.h"

namespace vellumar {

namespace {

constexpr std::size_t kLongestLabel = 255;

ParserSetShared::PdfStamp stampOf(const std::filesystem::path& file) {
    ParserSetShared::PdfStamp stamp;
    std::error_code ec;
    stamp.file = std::filesystem::absolute(file, ec);
    stamp.size = std::filesystem::file_size(file, ec);
    stamp.modified = std::filesystem::last_write_time(file, ec);
    return stamp;
}

}  // namespace

std::filesystem::path ParserSetShared::pdfTextPath() const {
    if (!pdfTextFile.empty()) return pdfTextFile;
    std::error_code ec;
    return std::filesystem::temp_directory_path(ec) / "pdftotxt.tmp";
}

TParserSet::TParserSet(const textfold::CharTable& table, std::shared_ptr<ParserSetShared> shared)
    : shared_(shared ? std::move(shared) : std::make_shared<ParserSetShared>()),
      text_(wordmill::CreateTextParser(table)),
      html_(wordmill::CreateHtmlParser(table)),
      xml_(wordmill::CreateXmlParser(table)) {
    if (!text_ || !html_ || !xml_) throw std::bad_alloc();
}

TParserSet::~TParserSet() {
    shared_->convertedText.clear();
    shared_->convertedText.shrink_to_fit();
    shared_->convertedRuns.clear();
}

void TParserSet::SetMaxWordLength(std::uint8_t length) {
    text_->SetMaxWordLength(length);
    html_->SetMaxWordLength(length);
    xml_->SetMaxWordLength(length);
}

void TParserSet::SetMinWordLength(std::uint8_t length) {
    text_->SetMinWordLength(length);
    html_->SetMinWordLength(length);
    xml_->SetMinWordLength(length);
}

void TParserSet::SetLanguageTable(const textfold::CharTable& table) {
    text_->SetLanguageTable(table);
    html_->SetLanguageTable(table);
    xml_->SetLanguageTable(table);
}

const textfold::CharTable& TParserSet::GetLanguageTable() const {
    return text_->GetLanguageTable();
}

wordmill::Parser* TParserSet::openConverted(std::optional<std::string> text,
                                            wordmill::WordRecord& record) {
    if (!text) return nullptr;
    shared_->convertedText = std::move(*text);
    return text_->OpenMemory(shared_->convertedText, record) ? text_.get() : nullptr;
}

bool TParserSet::convertPdf(const std::filesystem::path& file) {
    const std::filesystem::path out = shared_->pdfTextPath();
    const ParserSetShared::PdfStamp stamp = stampOf(file);
    std::error_code ec;
    // The same PDF, unchanged since, needs no second conversion.
    if (shared_->lastPdf && shared_->lastPdf->file == stamp.file &&
        shared_->lastPdf->size == stamp.size && shared_->lastPdf->modified == stamp.modified &&
        std::filesystem::is_regular_file(out, ec))
        return true;
    shared_->lastPdf.reset();
    wordmill::ConverterSettings settings{shared_->programFolder, shared_->converterTimeLimit};
    if (!wordmill::ConvertPdf(file, out, settings)) return false;
    shared_->lastPdf = stamp;
    return true;
}

wordmill::Parser* TParserSet::OpenDocument(const std::filesystem::path& file, bool rawText,
                                           wordmill::WordRecord& record) {
    if (rawText) {
        lastKind_ = DocumentKind::Text;
        return text_->Open(file, record) ? text_.get() : nullptr;
    }
    lastKind_ = KindOfDocument(file);
    wordmill::ConverterSettings settings{shared_->programFolder, shared_->converterTimeLimit};
    switch (lastKind_) {
        case DocumentKind::Html:
            return html_->Open(file, record) ? html_.get() : nullptr;
        case DocumentKind::Xml: {
            std::string_view label = shared_->currentVirtualFolderLabel;
            record.text = label.substr(0, kLongestLabel);
            return xml_->Open(file, record) ? xml_.get() : nullptr;
        }
        case DocumentKind::Rtf: {
            std::optional<wordmill::RtfDocument> doc = wordmill::ReadRtfFile(file);
            shared_->convertedRuns.clear();
            if (!doc) return nullptr;
            shared_->convertedRuns = std::move(doc->runs);
            return openConverted(std::move(doc->text), record);
        }
        case DocumentKind::Doc:
            return openConverted(wordmill::ConvertWordDocument(file, settings), record);
        case DocumentKind::Docx:
        case DocumentKind::Odt:
        case DocumentKind::Epub:
            return openConverted(ConvertOfficeDocument(file, lastKind_), record);
        case DocumentKind::Pdf:
            if (!convertPdf(file)) return nullptr;
            return text_->Open(shared_->pdfTextPath(), record) ? text_.get() : nullptr;
        case DocumentKind::Text:
            break;
    }
    return text_->Open(file, record) ? text_.get() : nullptr;
}

}  // namespace vellumar
