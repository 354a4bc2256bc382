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
    parser_ = nullptr;
    textData_ = nullptr;
    textSize_ = 0;
    textPath_.clear();
    htmlText_.reset();
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
    // An extracted member lives only while it is viewed; the text of the PDF converted
    // last stays, so showing it again (back in the history, say) converts nothing.
    temp_.EmptyKeeping(parsers_.Shared().pdfTextPath());
    if (request.listName.empty()) return PreviewStatus::NothingListed;
    listName_ = request.listName;
    rawText_ = request.rawText;
    std::error_code ec;
    fileExists_ = !isArchiveMemberName(listName_) && fs::is_regular_file(listName_, ec);
    fileToShow_ = listName_;
    if (!fileExists_) {
        const std::string name = listName_;
        if (!isArchiveMemberName(name)) return fail(PreviewStatus::Missing, kCannotOpen + name);
        const auto extracted = extractArchiveMember(name, temp_, options_.archiveTools);
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
        remember(*opened, std::move(hits));
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

void DocumentPreview::remember(wordmill::Parser& parser, std::vector<vellcore::HitRecord> hits) {
    parser_ = &parser;
    textData_ = parser.DocumentText().data();
    textSize_ = parser.DocumentText().size();
    textPath_ = parser.DocumentPath();
    positions_ = std::make_unique<DisplayPositions>(parser.DocumentText());
    locator_ = std::make_unique<EntryLocator>(parser, std::move(hits), &ui_);
    if (htmlText_) locator_->SetHtmlDisplayText(*htmlText_);
}

bool DocumentPreview::documentIntact() const {
    return parser_->IsOpen() && parser_->DocumentText().data() == textData_ &&
           parser_->DocumentText().size() == textSize_ && parser_->DocumentPath() == textPath_ &&
           !locator_->Interrupted();
}

bool DocumentPreview::reopen() {
    // The entries are located again from the start; the text is the same file's.
    std::vector<vellcore::HitRecord> hits = locator_->Hits();
    wordmill::WordRecord record;
    wordmill::Parser* parser = parsers_.OpenDocument(fileToShow_, rawText_, record);
    if (!parser) {
        Clear();
        return false;
    }
    remember(*parser, std::move(hits));
    return true;
}

const EntryRange& DocumentPreview::LocateEntry(std::size_t i) {
    static const EntryRange kNone{EntryRange::State::NotFound};
    if (!locator_ || i >= locator_->HitCount()) return kNone;
    if (!documentIntact() && !reopen()) return kNone;
    const EntryRange& entry = locator_->LocateEntry(i);
    // Someone read the parser between two of our reads: start again on our own.
    if (locator_->Interrupted() && reopen()) return locator_->LocateEntry(i);
    return entry;
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
    htmlText_ = text;
    if (locator_) locator_->SetHtmlDisplayText(text);
}

}  // namespace vellumar
