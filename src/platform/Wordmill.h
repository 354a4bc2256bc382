// The document parsers as the program calls them: a text, an HTML and an XML parser,
// each an object with the operations the program has always used. The parser library
// (libs/wordmill) provides them; the parser sets receive a ParserFactory through their
// constructors. Destroying a parser is the end of the unique_ptr.
//
// Thread: a parser object is used by one thread at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include <textfold/TextFold.h>

#include "platform/VellCore.h"

namespace vellumar {

// What a parser delivers for one word.
struct WordRecord {
    std::string word;           // UTF-8, folded as the language table says
    std::int32_t position = 0;  // the word number the engine's hits refer to; -2 after the
                                // last word: the document could not be parsed
    std::int32_t offset = 0;    // 0-based character offset in the document text
    std::uint16_t tag = 0;      // 0 for ordinary text, else the markup tag's number
    std::uint8_t length = 0;    // length in characters
};

enum class ParserKind { Text, Html, Xml };

class ParserObject {
  public:
    virtual ~ParserObject() = default;

    virtual void SetMaxWordLength(std::uint8_t length) = 0;
    virtual void SetMinWordLength(std::uint8_t length) = 0;
    virtual void SetLanguageTable(const textfold::CharTable& table) = 0;
    virtual textfold::CharTable GetLanguageTable() const = 0;

    // Reads a file; label is the current virtual folder label for XML documents.
    virtual bool Open(const std::filesystem::path& file, std::string_view label = {}) = 0;
    // Parses a document held in memory (converted RTF or .doc text, a list file).
    virtual bool OpenText(std::string_view text) = 0;
    virtual void Close() = 0;
    virtual std::uint32_t GetDocumentSize() const = 0;  // bytes of the open document
    virtual bool NextWord(WordRecord& record) = 0;      // false after the last word
    // The text around the first hit of hits (the hits from it on are given).
    virtual bool GetPassage(std::span<const HitRecord> hits, std::string& passage) = 0;
    virtual std::string GetTagName(int tag) = 0;
    // Without a tag number: the document's link text (for an HTML page, its title).
    virtual std::string GetTagName() = 0;
};

using ParserFactory = std::function<std::unique_ptr<ParserObject>(ParserKind)>;

}  // namespace vellumar
