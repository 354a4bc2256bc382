// The document parsers: text, HTML and XML. A parser opens one document at a time (a
// file, or text in memory), and hands out its words one by one with their word numbers,
// character offsets and tag numbers, so that the engine can index them and the viewer
// can find them again.
//
// Words follow the language table for code points 0 to 255 and Unicode letters above
// (textfold::foldChar). A word shorter than the minimum or longer than the maximum length
// is not delivered, but it takes its word number all the same, so that the numbers of the
// delivered words show which of them were really adjacent. Character offsets count the code points
// of DocumentText(): the document decoded as UTF-8 (valid UTF-8 is kept, anything else is read as
// Windows-1252) with every control character other than TAB, LF and CR shown as a blank, exactly as
// the viewer shows a file as text.
//
// Ownership: the caller owns the parser (CreateTextParser & co. return unique_ptrs); the
// parser owns the open document's text and its own copy of the language table.
// Thread: one thread at a time per parser object; separate parsers are independent.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "textfold/TextFold.h"
#include "wordmill/WordRecord.h"

namespace wordmill {

class TokenStream;
struct Token;
struct PassageRing;

class Parser {
  public:
    virtual ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Longest and shortest word to deliver, in characters (defaults 32 and 2). A minimum
    // of 0 counts as 1.
    void SetMaxWordLength(std::uint8_t length);
    void SetMinWordLength(std::uint8_t length);
    std::uint8_t GetMaxWordLength() const { return maxLength_; }
    std::uint8_t GetMinWordLength() const { return minLength_; }

    // The parser keeps its own copy: the caller's table may go away with a language list.
    void SetLanguageTable(const textfold::CharTable& table);
    const textfold::CharTable& GetLanguageTable() const { return table_; }

    // Opens a file (read whole). False when it cannot be read or is 2 GiB or larger; the
    // parser is then closed. record.text is read as the XML label (see XmlParser).
    bool Open(const std::filesystem::path& file, WordRecord& record);
    // Opens a document held in memory (the bytes are copied).
    bool OpenMemory(std::string_view bytes, WordRecord& record);
    void Close();
    bool IsOpen() const { return open_; }

    // The open document's size in bytes as read (before decoding).
    std::uint32_t GetDocumentSize() const { return documentSize_; }

    // Fills the record with the next word; false after the last one, with the record's
    // position set to kDocumentEnd, or kParseFailed when the document could not be parsed.
    bool NextWord(WordRecord& record);

    // Starts the word stream again from the first word.
    bool Rewind();

    // The text around hits[0] as HTML (text escaped, the hit's words and those of the
    // following hits (hits[1..count-1]) that fall into the passage in <b>...</b>). False
    // when no document is open, count is 0, the hit has no position or no such word.
    // Independent of the NextWord stream.
    bool GetPassage(const HitRecord* hits, std::size_t count, std::string& out);

    // The name of markup tag `tag` (an HTML tag name such as "title" or "h2", an XML
    // element path such as "/label/orders/order"); empty for 0 or an unknown number.
    virtual std::string GetTagName(std::uint16_t tag) const;
    // Without a tag number: the document's link text, plain text (an HTML page's title;
    // otherwise the file name, or empty for a document opened from memory).
    virtual std::string GetTagName() const;

    // The decoded text in which offsets count (valid while the document is open).
    const std::string& DocumentText() const { return text_; }
    // The file the open document was read from (empty for memory).
    const std::filesystem::path& DocumentPath() const { return path_; }

  protected:
    Parser();
    // A fresh stream over the open document, from its first token.
    virtual std::unique_ptr<TokenStream> makeStream() const = 0;
    // Called after the text is in place; record is the caller's record given to Open.
    virtual void documentOpened(const WordRecord& record) {}
    virtual void documentClosed() {}
    // Whether a passage may show the document text between words (plain text), or must
    // join the words with blanks (markup lies between them).
    virtual bool passageShowsSourceText() const { return false; }

  private:
    bool openBytes(std::string bytes, WordRecord& record);
    bool nextAccepted(TokenStream& stream, WordRecord& record, std::int32_t& counter,
                      Token* token = nullptr);

    textfold::CharTable table_;
    std::uint8_t maxLength_ = 32;
    std::uint8_t minLength_ = 2;
    bool open_ = false;
    std::uint32_t documentSize_ = 0;
    std::string text_;
    std::filesystem::path path_;
    std::unique_ptr<TokenStream> stream_;
    std::int32_t wordCounter_ = 0;
    bool failed_ = false;
    // GetPassage has its own stream so that it never disturbs NextWord.
    std::unique_ptr<TokenStream> passageStream_;
    std::int32_t passageCounter_ = 0;
    std::unique_ptr<PassageRing> passageRing_;
};

// The three parsers. Each starts with the given language table.
std::unique_ptr<Parser> CreateTextParser(const textfold::CharTable& table);
std::unique_ptr<Parser> CreateHtmlParser(const textfold::CharTable& table);
// The XML parser reads the label (record.text at Open, at most 255 bytes, such as
// "/orders") and puts it in front of every element path it reports.
std::unique_ptr<Parser> CreateXmlParser(const textfold::CharTable& table);

}  // namespace wordmill
