// The preview of a found file, without its widgets: what happens between selecting a file
// in the result list and showing it with its entries. Load empties the program temp
// folder, extracts an archive member (nested ones too) into a temporary file, reads the
// file's hits from the engine, opens the document with the viewer's parser set (the same
// choice of parser and converter as indexing, so that word numbers agree), asks before a
// large file, and prepares the entries. The window then shows Text() in the text viewer
// (and, for a page, the file in the HTML display), and for each entry asks for the range
// to select.
//
// The text viewer always shows the parser's own text (DocumentText: the file decoded, or
// the converted text of an .rtf, .doc, .pdf, ...), so the parser's character offsets are
// offsets of the shown text. TextSelection maps them to the text control's positions.
//
// Messages (the texts the program has always shown) go to the user interface: "Can't open
// the file " + name, the large-file question, the parse error of entry location.
//
// Ownership: the window (or the command-line tool) owns one preview beside the viewer
// parser set and the temp folder it borrows. The open document stays in the set's parser
// (no copy of a large text). Should the set be used for another document meanwhile (the
// Cache Watcher's pages), the preview notices it before reading on and opens its document
// again. Thread: the main thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveReader.h"
#include "parserset/TParserSet.h"
#include "platform/DosStamp.h"
#include "platform/UserInterface.h"
#include "vellcore/IndexObject.h"
#include "viewer/DisplayPositions.h"
#include "viewer/EntryLocator.h"
#include "viewer/PreviewFiles.h"

namespace vellumar {

struct PreviewRequest {
    std::string listName;                    // the result list item's text
    vellcore::IndexObject* index = nullptr;  // the searched index (for its hits)
    int resultNumber = 0;                    // page start + the item's index on the page
    DosStamp stamp = 0;                      // the item's stamp, as the result page has it
    bool rawText = false;                    // "&Don't use format filters"
    std::string sizeLimitText = "500";       // "Warn if file is more than (KB)"
};

enum class PreviewStatus {
    Shown,          // the document is open; show it
    NothingListed,  // no name given
    Missing,        // the file or member cannot be had; "Can't open the file " + name shown
    OpenFailed,     // no parser could open it; "Can't open the file " shown
    Declined,       // the user answered No to the large-file question
};

// A range of a text control, in its own positions.
struct TextSelection {
    std::int64_t start = 0;
    std::int64_t length = 0;
};

struct PreviewOptions {
    bool runFromCd = false;  // files never count as modified
    arcread::ToolSettings archiveTools;
};

class DocumentPreview {
  public:
    DocumentPreview(TParserSet& viewerParsers, const ProgramTempFolder& temp, UserInterface& ui,
                    PreviewOptions options = {});
    ~DocumentPreview();
    DocumentPreview(const DocumentPreview&) = delete;
    DocumentPreview& operator=(const DocumentPreview&) = delete;

    PreviewStatus Load(const PreviewRequest& request);
    // Forgets the shown document (the result list was cleared).
    void Clear();
    bool IsShown() const { return parser_ != nullptr; }

    const std::string& ListName() const { return listName_; }
    // The file opened: the listed file, or the member extracted into the temp folder.
    const std::filesystem::path& FileToShow() const { return fileToShow_; }
    bool FileExists() const { return fileExists_; }
    // True when the listed file changed since it was indexed (checked at Load).
    bool Modified() const { return modified_; }
    bool IsFileModified(DosStamp stamp) const;

    // How the document was read: Html means the HTML display shows it (unless the user
    // asks for the source); Rtf documents can be shown with their formatting (RtfRuns).
    DocumentKind Kind() const { return kind_; }
    bool IsHtml() const { return kind_ == DocumentKind::Html; }
    // The text the text viewer shows (UTF-8); its formatting for the rich viewer. The text
    // lives in the parser: read it right after Load, before the set opens anything else.
    const std::string& Text() const;
    const std::vector<wordmill::RtfRun>& RtfRuns() const { return runs_; }

    std::size_t HitCount() const { return locator_ ? locator_->HitCount() : 0; }
    // Entry i (0-based), located on first use.
    const EntryRange& LocateEntry(std::size_t i);
    // The entry's characters in the text viewer; nothing for an entry without a place.
    std::optional<TextSelection> TextSelectionOf(std::size_t i);
    // The entry's characters in the HTML display; nothing unless SetHtmlDisplayText was
    // given the display's text and the entry was found there.
    std::optional<TextSelection> HtmlSelectionOf(std::size_t i);
    // The entry's text as the text viewer shows it (UTF-8).
    std::string EntryText(std::size_t i);

    // The HTML display's plain text (QTextDocument::toPlainText as UTF-16), once it has
    // loaded the page.
    void SetHtmlDisplayText(const std::u16string& text);

    const EntryLocator* Locator() const { return locator_.get(); }

  private:
    PreviewStatus fail(PreviewStatus status, const std::string& message);
    void remember(wordmill::Parser& parser, std::vector<vellcore::HitRecord> hits);
    bool documentIntact() const;
    bool reopen();

    TParserSet& parsers_;
    const ProgramTempFolder& temp_;
    UserInterface& ui_;
    PreviewOptions options_;

    std::string listName_;
    std::filesystem::path fileToShow_;
    bool fileExists_ = false;
    bool modified_ = false;
    bool rawText_ = false;
    DocumentKind kind_ = DocumentKind::Text;
    std::vector<wordmill::RtfRun> runs_;
    wordmill::Parser* parser_ = nullptr;  // the set's parser holding the document
    // What the parser held when the document was opened, to notice another document.
    const char* textData_ = nullptr;
    std::size_t textSize_ = 0;
    std::filesystem::path textPath_;
    std::unique_ptr<EntryLocator> locator_;
    std::unique_ptr<DisplayPositions> positions_;
    std::optional<std::u16string> htmlText_;
};

}  // namespace vellumar
