// The parser set: the text, HTML and XML parsers of one user (indexing, or the viewer),
// and the choice of parser and converter for each document.
//
// The program holds two sets (one for indexing, one for the viewer and the Cache
// Watcher) that share one ParserSetShared: the converted text of the last .rtf, .doc,
// .docx, .odt or .epub, and the last PDF converted into the PDF text file. The owner of
// both sets owns the shared state (a shared_ptr).
//
// Memory: no document brings more than maxDocumentText bytes of text into memory (see
// DocumentText.h); converters write into files in the PDF text file's folder, capped the
// same way. Files compressed as a whole are read as the document inside
// (CompressedDocument.h).
//
// Thread: the main thread, or whichever thread holds the notifier lock; the two sets are
// never used at the same time.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "parserset/DocumentKind.h"
#include "parserset/DocumentText.h"
#include "textfold/TextFold.h"
#include "wordmill/Converters.h"
#include "wordmill/Parser.h"
#include "wordmill/RtfReader.h"

namespace vellumar {

struct ParserSetShared {
    // Settings, given at start-up.
    std::filesystem::path programFolder;  // converters found here win over the PATH
    std::filesystem::path pdfTextFile;    // "pdftotxt.tmp" in the program temp folder
    std::chrono::milliseconds converterTimeLimit{60000};
    std::uint64_t maxDocumentText = kMaxDocumentText;

    // The plain text of the last document converted in memory, and for .rtf the
    // formatting runs over it (for the rich viewer).
    std::string convertedText;
    std::vector<wordmill::RtfRun> convertedRuns;

    // The last PDF converted into pdfTextFile, with the size and time it had then, so
    // that a PDF changed since is converted again.
    struct PdfStamp {
        std::filesystem::path file;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool truncated = false;  // its text was cut at maxDocumentText
    };
    std::optional<PdfStamp> lastPdf;

    // The PDF text file to use: pdfTextFile, or "pdftotxt.tmp" in the system temp folder.
    std::filesystem::path pdfTextPath() const;
    // The folder of the PDF text file, where the other converted and decompressed
    // documents go too (the program temp folder).
    std::filesystem::path conversionFolder() const { return pdfTextPath().parent_path(); }
};

class TParserSet {
  public:
    // Creates the three parsers with the table. Throws std::bad_alloc (the out-of-memory
    // error) when any of them cannot be created.
    TParserSet(const textfold::CharTable& table, std::shared_ptr<ParserSetShared> shared);
    // Releases the converted text, then the parsers.
    ~TParserSet();
    TParserSet(const TParserSet&) = delete;
    TParserSet& operator=(const TParserSet&) = delete;

    // Passed to the text, HTML and XML parsers, in this order.
    void SetMaxWordLength(std::uint8_t length);
    void SetMinWordLength(std::uint8_t length);
    void SetLanguageTable(const textfold::CharTable& table);
    // Asks the text parser.
    const textfold::CharTable& GetLanguageTable() const;

    // Opens the document with the parser its name calls for (or, with rawText, the text
    // parser on the unconverted file) and returns that parser, or nullptr when the file
    // cannot be opened or converted. label ("/" + a pattern group's label, or empty)
    // prefixes the element paths of an XML document (at most 255 bytes are used). A file
    // compressed as a whole is opened as the document inside (even with rawText).
    wordmill::Parser* OpenDocument(const std::filesystem::path& file, bool rawText,
                                   wordmill::WordRecord& record, std::string_view label = {});

    // Why the last OpenDocument failed, or that it indexed only the first part of a very
    // large document: a few words for the log ("pdftotext failed (exit code 1)"). Empty
    // when the document opened whole, and when it simply could not be read or no
    // converter is installed (those are skipped without a word).
    const std::string& LastProblem() const { return problem_; }

    // The kind OpenDocument chose last (Text after a raw-text open).
    DocumentKind LastKind() const { return lastKind_; }

    // Asked while converters and decompression run; false stops them (the document then
    // fails without a problem). The indexing set is given the build's cancel check.
    void SetKeepGoing(std::function<bool()> keepGoing) { keepGoing_ = std::move(keepGoing); }

    // The parsers themselves, for stop-word lists and list-file queries read from memory.
    wordmill::Parser& TextParser() { return *text_; }
    wordmill::Parser& HtmlParser() { return *html_; }
    wordmill::Parser& XmlParser() { return *xml_; }

    ParserSetShared& Shared() { return *shared_; }
    const ParserSetShared& Shared() const { return *shared_; }

  private:
    wordmill::Parser* openPlain(const std::filesystem::path& file, bool rawText,
                                wordmill::WordRecord& record, std::string_view label);
    wordmill::Parser* openCompressed(const std::filesystem::path& file, bool rawText,
                                     wordmill::WordRecord& record, std::string_view label);
    wordmill::Parser* openCapped(wordmill::Parser& parser, const std::filesystem::path& file,
                                 wordmill::WordRecord& record);
    wordmill::Parser* openRtf(const std::filesystem::path& file, wordmill::WordRecord& record);
    wordmill::Parser* openWord(const std::filesystem::path& file, wordmill::WordRecord& record);
    bool convertPdf(const std::filesystem::path& file);
    wordmill::Parser* openConverted(std::optional<std::string> text, wordmill::WordRecord& record);
    wordmill::ConverterSettings converterSettings() const;

    std::shared_ptr<ParserSetShared> shared_;
    std::unique_ptr<wordmill::Parser> text_;
    std::unique_ptr<wordmill::Parser> html_;
    std::unique_ptr<wordmill::Parser> xml_;
    DocumentKind lastKind_ = DocumentKind::Text;
    std::string problem_;
    std::function<bool()> keepGoing_;
};

}  // namespace vellumar
