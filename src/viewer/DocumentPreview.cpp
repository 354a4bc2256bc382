#include "viewer/DocumentPreview.h"

#include <exception>

#include "viewer/ArchiveMember.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

const std::string kCannotOpen = "Can't open the file ";
const std::string kLarge = "This file is large and it may take some time to show. Load anyway?";
const std::string kEmpty;

}  // namespace

DocumentPreview::DocumentPreview(TParserSet& viewerParsers, const ProgramTempFolder& temp,
                                 UserInterface& ui, PreviewOptions options)
    : parsers_(viewerParsers), temp_(temp), ui_(ui), options_(std::move(options)) {}

DocumentPreview::~DocumentPreview() = default;

void DocumentPreview::Clear() {
    locator_.reset();
    positions_.reset();
    parser_.reset();
    runs_.clear();
    kind_ = DocumentKind::Text;
    listName_.clear();
    fileToShow_.clear();
    fileExists_ = false;
    modified_ = false;
}

PreviewStatus DocumentPreview::fail(PreviewStatus status, const std::string& message) {
    Clear();
    ui_.showMessage(message, MessageIcon::Warning, MessageButtons::Ok);
    return status;
}

PreviewStatus DocumentPreview::Load(const PreviewRequest& request) {
    Clear();
    // An extracted member lives only while it is viewed.
    temp_.Empty();
    if (request.listName.empty()) return PreviewStatus::NothingListed;
    listName_ = request.listName;
    rawText_ = request.rawText;
    std::error_code ec;
    fileExists_ = !IsArchiveMemberName(listName_) && fs::is_regular_file(listName_, ec);
    fileToShow_ = listName_;
    if (!fileExists_) {
        const std::string name = listName_;
        if (!IsArchiveMemberName(name)) return fail(PreviewStatus::Missing, kCannotOpen + name);
        const auto extracted = ExtractArchiveMember(name, temp_, options_.archiveTools);
        if (!extracted) return fail(PreviewStatus::Missing, kCannotOpen + name);
        fileToShow_ = *extracted;
        fileExists_ = true;
    }

    std::vector<vellcore::HitRecord> hits;
    if (request.index && !request.index->GetHits(request.resultNumber, hits)) {
        hits.clear();
        request.index->ClearError();
    }

    ui_.showStatus("Loading the file...");
    try {
        wordmill::WordRecord record;
        wordmill::Parser* opened = parsers_.OpenDocument(fileToShow_, rawText_, record);
        if (!opened) {
            ui_.showStatus("");
            return fail(PreviewStatus::OpenFailed, kCannotOpen);
        }
        if (opened->GetDocumentSize() > FileSizeLimit(request.sizeLimitText) &&
            ui_.showMessage(kLarge, MessageIcon::Warning, MessageButtons::YesNo) !=
                MessageResult::Yes) {
            opened->Close();
            Clear();
            return PreviewStatus::Declined;
        }
        kind_ = rawText_ ? DocumentKind::Text : parsers_.LastKind();
        if (kind_ == DocumentKind::Rtf) runs_ = parsers_.Shared().convertedRuns;
        if (!takeDocument(*opened)) {
            ui_.showStatus("");
            return fail(PreviewStatus::OpenFailed, kCannotOpen);
        }
        positions_ = std::make_unique<DisplayPositions>(parser_->DocumentText());
        locator_ = std::make_unique<EntryLocator>(*parser_, std::move(hits), &ui_);
    } catch (const std::exception&) {
        ui_.showStatus("");
        return fail(PreviewStatus::OpenFailed, kCannotOpen);
    }
    modified_ = IsFileModified(request.stamp);
    return PreviewStatus::Shown;
}

bool DocumentPreview::IsFileModified(DosStamp stamp) const {
    return vellumar::IsFileModified(listName_, stamp, fileExists_, options_.runFromCd);
}

const std::string& DocumentPreview::Text() const {
    return parser_ ? parser_->DocumentText() : kEmpty;
}

bool DocumentPreview::takeDocument(wordmill::Parser& opened) {
    // A parser of the same kind given the decoded text reads the same words: the text is
    // valid UTF-8 with its control characters blanked already, so opening it again leaves
    // it as it is.
    const textfold::CharTable& table = opened.GetLanguageTable();
    switch (kind_) {
        case DocumentKind::Html:
            parser_ = wordmill::CreateHtmlParser(table);
            break;
        case DocumentKind::Xml:
            parser_ = wordmill::CreateXmlParser(table);
            break;
        default:
            parser_ = wordmill::CreateTextParser(table);
    }
    parser_->SetMaxWordLength(opened.GetMaxWordLength());
    parser_->SetMinWordLength(opened.GetMinWordLength());
    wordmill::WordRecord record;
    const bool ok = parser_->OpenMemory(opened.DocumentText(), record);
    opened.Close();  // the set's copy is not needed any more
    if (!ok) parser_.reset();
    return ok;
}

const EntryRange& DocumentPreview::LocateEntry(std::size_t i) {
    static const EntryRange kNone{EntryRange::State::NotFound};
    if (!locator_ || i >= locator_->HitCount()) return kNone;
    return locator_->LocateEntry(i);
}

std::optional<TextSelection> DocumentPreview::TextSelectionOf(std::size_t i) {
    const EntryRange& entry = LocateEntry(i);
    if (!entry.located()) return std::nullopt;
    const std::int64_t start = positions_->ToDisplay(entry.start);
    const std::int64_t end = positions_->ToDisplay(entry.start + entry.length);
    return TextSelection{start, end - start};
}

std::optional<TextSelection> DocumentPreview::HtmlSelectionOf(std::size_t i) {
    const EntryRange& entry = LocateEntry(i);
    if (!entry.located() || entry.displayStart < 0) return std::nullopt;
    return TextSelection{entry.displayStart, entry.displayEnd - entry.displayStart};
}

std::string DocumentPreview::EntryText(std::size_t i) {
    const EntryRange& entry = LocateEntry(i);
    if (!entry.located()) return {};
    return Text().substr(entry.byteStart, entry.byteEnd - entry.byteStart);
}

void DocumentPreview::SetHtmlDisplayText(const std::u16string& text) {
    if (locator_) locator_->SetHtmlDisplayText(text);
}

}  // namespace vellumar
