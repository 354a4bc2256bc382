#include "parserset/TParserSet.h"

#include <unistd.h>

#include <fstream>
#include <new>

#include "archive/ArchiveReader.h"
#include "parserset/CompressedDocument.h"
#include "parserset/OfficeText.h"

namespace vellumar {

namespace {

constexpr std::size_t kLongestLabel = 255;

// Converters and decompression let pending messages through while they run (so that a
// cancel gets in), and the viewer's parser set may convert a document meanwhile: each run
// therefore writes into a name of its own beside the PDF text file.
std::filesystem::path uniqueName(const std::filesystem::path& folder, const std::string& prefix,
                                 bool folderWanted) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string pattern = (folder / (prefix + "-XXXXXX")).string();
    if (folderWanted) {
        if (!::mkdtemp(pattern.data())) return {};
    } else {
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return {};
        ::close(fd);
    }
    return pattern;
}

ParserSetShared::PdfStamp stampOf(const std::filesystem::path& file) {
    ParserSetShared::PdfStamp stamp;
    std::error_code ec;
    stamp.file = std::filesystem::absolute(file, ec);
    stamp.size = std::filesystem::file_size(file, ec);
    stamp.modified = std::filesystem::last_write_time(file, ec);
    return stamp;
}

// The kinds read from the file itself, whose first part is a useful document.
bool readsItsOwnText(DocumentKind kind) {
    return kind == DocumentKind::Text || kind == DocumentKind::Html || kind == DocumentKind::Xml ||
           kind == DocumentKind::Rtf;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::error_code ec;
    std::string text(static_cast<std::size_t>(std::filesystem::file_size(file, ec)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
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

wordmill::ConverterSettings TParserSet::converterSettings() const {
    wordmill::ConverterSettings settings;
    settings.programFolder = shared_->programFolder;
    settings.timeLimit = shared_->converterTimeLimit;
    settings.outputLimit = static_cast<std::size_t>(shared_->maxDocumentText);
    settings.keepGoing = keepGoing_;
    return settings;
}

wordmill::Parser* TParserSet::openConverted(std::optional<std::string> text,
                                            wordmill::WordRecord& record) {
    if (!text) return nullptr;
    if (text->size() > shared_->maxDocumentText) {
        cutDocumentText(*text, shared_->maxDocumentText);
        problem_ = truncationNote(shared_->maxDocumentText);
    }
    shared_->convertedText = std::move(*text);
    return text_->OpenMemory(shared_->convertedText, record) ? text_.get() : nullptr;
}

wordmill::Parser* TParserSet::openCapped(wordmill::Parser& parser,
                                         const std::filesystem::path& file,
                                         wordmill::WordRecord& record) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size <= shared_->maxDocumentText)
        return parser.Open(file, record) ? &parser : nullptr;
    // Larger than any document should be: its head only, read no further.
    std::optional<std::string> head = readDocumentHead(file, shared_->maxDocumentText);
    if (!head) return nullptr;
    problem_ = truncationNote(shared_->maxDocumentText);
    return parser.OpenMemory(*head, record) ? &parser : nullptr;
}

wordmill::Parser* TParserSet::openRtf(const std::filesystem::path& file,
                                      wordmill::WordRecord& record) {
    shared_->convertedRuns.clear();
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) return nullptr;
    std::optional<wordmill::RtfDocument> doc;
    if (size <= shared_->maxDocumentText) {
        doc = wordmill::readRtfFile(file);
    } else {
        // A document cut short keeps the text read up to the cut.
        const std::optional<std::string> head = readDocumentHead(file, shared_->maxDocumentText);
        if (!head) return nullptr;
        doc = wordmill::readRtf(*head);
        if (doc) problem_ = truncationNote(shared_->maxDocumentText);
    }
    if (!doc) {
        if (std::filesystem::is_regular_file(file, ec))
            problem_ = "it is not a readable RTF document (damaged?)";
        return nullptr;
    }
    shared_->convertedRuns = std::move(doc->runs);
    return openConverted(std::move(doc->text), record);
}

wordmill::Parser* TParserSet::openWord(const std::filesystem::path& file,
                                       wordmill::WordRecord& record) {
    const std::filesystem::path textFile =
        uniqueName(shared_->conversionFolder(), "doctotxt", false);
    if (textFile.empty()) return nullptr;
    const wordmill::ConverterSettings settings = converterSettings();
    const wordmill::ConversionResult converted =
        wordmill::convertWordDocument(file, textFile, settings);
    if (!converted.ok()) {
        // A missing converter leaves .doc files out without a word, as a missing word
        // processor always has; a cancel is the user's own doing.
        if (converted.status != wordmill::ConversionStatus::NotInstalled &&
            converted.status != wordmill::ConversionStatus::Cancelled)
            problem_ = wordmill::conversionProblem(converted, settings);
        return nullptr;
    }
    if (converted.status == wordmill::ConversionStatus::Truncated) {
        trimCutTextFile(textFile);
        problem_ = truncationNote(shared_->maxDocumentText);
    }
    std::optional<std::string> text = readWholeFile(textFile);
    std::error_code ec;
    std::filesystem::remove(textFile, ec);
    return openConverted(std::move(text), record);
}

bool TParserSet::convertPdf(const std::filesystem::path& file) {
    const std::filesystem::path out = shared_->pdfTextPath();
    ParserSetShared::PdfStamp stamp = stampOf(file);
    std::error_code ec;
    // The same PDF, unchanged since, needs no second conversion.
    if (shared_->lastPdf && shared_->lastPdf->file == stamp.file &&
        shared_->lastPdf->size == stamp.size && shared_->lastPdf->modified == stamp.modified &&
        std::filesystem::is_regular_file(out, ec)) {
        if (shared_->lastPdf->truncated) problem_ = truncationNote(shared_->maxDocumentText);
        return true;
    }
    shared_->lastPdf.reset();
    const wordmill::ConverterSettings settings = converterSettings();
    const std::filesystem::path fresh = uniqueName(out.parent_path(), "pdftotxt", false);
    if (fresh.empty()) return false;
    const wordmill::ConversionResult converted = wordmill::convertPdfToText(file, fresh, settings);
    // No message is let through from here until the caller has opened the text file.
    if (converted.ok()) std::filesystem::rename(fresh, out, ec);
    if (!converted.ok() || ec) {
        std::filesystem::remove(fresh, ec);
        if (converted.status != wordmill::ConversionStatus::NotInstalled &&
            converted.status != wordmill::ConversionStatus::Cancelled)
            problem_ = wordmill::conversionProblem(converted, settings);
        return false;
    }
    stamp.truncated = converted.status == wordmill::ConversionStatus::Truncated;
    if (stamp.truncated) {
        trimCutTextFile(out);
        problem_ = truncationNote(shared_->maxDocumentText);
    }
    shared_->lastPdf = stamp;
    return true;
}

wordmill::Parser* TParserSet::OpenDocument(const std::filesystem::path& file, bool rawText,
                                           wordmill::WordRecord& record, std::string_view label) {
    problem_.clear();
    lastKind_ = rawText ? DocumentKind::Text : kindOfDocument(file);
    // A file that is not there or cannot be read is skipped without a word; only what
    // goes wrong in reading a readable file is worth a line in the log.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec) || ::access(file.c_str(), R_OK) != 0)
        return nullptr;
    if (isCompressedDocument(file)) return openCompressed(file, rawText, record, label);
    return openPlain(file, rawText, record, label);
}

wordmill::Parser* TParserSet::openCompressed(const std::filesystem::path& file, bool rawText,
                                             wordmill::WordRecord& record, std::string_view label) {
    const DocumentKind inner = rawText ? DocumentKind::Text : kindOfDocument(file);
    lastKind_ = inner;
    // Text read from the file itself is useful in part; a PDF or an office file is not,
    // so those may unpack up to the archive limit (and are then converted, capped).
    const std::uint64_t limit =
        readsItsOwnText(inner) ? shared_->maxDocumentText : arcread::Limits{}.maxTotalBytes;
    const std::filesystem::path folder = uniqueName(shared_->conversionFolder(), "unpacked", true);
    if (folder.empty()) return nullptr;
    const std::optional<DecompressedDocument> unpacked =
        decompressDocument(file, folder, limit, problem_, keepGoing_);
    std::error_code ec;
    if (!unpacked) {
        std::filesystem::remove_all(folder, ec);
        return nullptr;
    }
    wordmill::Parser* parser = nullptr;
    if (unpacked->truncated && !readsItsOwnText(inner)) {
        problem_ = "it unpacks to more than " + std::to_string(limit >> 20) + " MB";
    } else {
        parser = openPlain(unpacked->file, rawText, record, label);
        if (parser && unpacked->truncated && problem_.empty())
            problem_ = truncationNote(shared_->maxDocumentText);
    }
    // The parsers hold what they read (and a PDF's text is in the PDF text file), so the
    // copy can go at once; nothing of it lingers beside the PDF text file.
    std::filesystem::remove_all(folder, ec);
    if (lastKind_ == DocumentKind::Pdf) shared_->lastPdf.reset();  // the copy is gone
    return parser;
}

wordmill::Parser* TParserSet::openPlain(const std::filesystem::path& file, bool rawText,
                                        wordmill::WordRecord& record, std::string_view label) {
    if (rawText) {
        lastKind_ = DocumentKind::Text;
        return openCapped(*text_, file, record);
    }
    lastKind_ = kindOfDocument(file);
    switch (lastKind_) {
        case DocumentKind::Html:
            return openCapped(*html_, file, record);
        case DocumentKind::Xml:
            record.text = label.substr(0, kLongestLabel);
            return openCapped(*xml_, file, record);
        case DocumentKind::Rtf:
            return openRtf(file, record);
        case DocumentKind::Doc:
            return openWord(file, record);
        case DocumentKind::Docx:
        case DocumentKind::Odt:
        case DocumentKind::Epub: {
            std::string why;
            std::optional<std::string> text =
                convertOfficeDocument(file, lastKind_, why, shared_->maxDocumentText);
            if (!text) problem_ = why;
            return openConverted(std::move(text), record);
        }
        case DocumentKind::Pdf:
            if (!convertPdf(file)) return nullptr;
            return openCapped(*text_, shared_->pdfTextPath(), record);
        case DocumentKind::Text:
            break;
    }
    return openCapped(*text_, file, record);
}

}  // namespace vellumar
