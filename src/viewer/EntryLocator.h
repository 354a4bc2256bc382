// Finds the found entries (hits) of a document in its text: the engine's hit records give
// word numbers, and this reads the document's words again through the parser that indexed
// it, so that the numbers agree, turning each hit into a character range of the text the
// viewer shows (the parser's DocumentText) and, for a page shown in the HTML display, into
// a range of the display's own text as well.
//
// Entries are located lazily, one per navigation step, and kept. Reading continues where
// the previous entry left off, so stepping forward through all entries reads the
// document once. The last 1,024 words read are kept, so hits that share or overlap words
// (a word and a phrase that starts with it) need no new reading. An entry that lies
// behind what was kept (a backward jump of the scroll bar past entries never shown)
// rewinds the parser and reads from the start again: it is then located correctly, never
// given a neighbouring word's place.
//
// Entries that have no place: a hit without position (first word 0xFFFFFFFF, which the
// engine gives for a hit it cannot place) and a hit whose word the document no longer has
// (the file changed since indexing) are not located; they have no range, and the viewer
// selects nothing for them and stays where it is.
//
// HTML display: the words are searched, in order and without regard to case, in the
// display's plain text (what QTextDocument::toPlainText gives; its indices are the
// display's positions), each search starting behind the previous find. Some words of the
// source are not shown: the page title's (never searched) and those of form controls. So
// that such a word cannot drag the find onto a later occurrence and misplace every word
// after it, a find is accepted only when the next word of the source does not occur
// before it; otherwise the word counts as not shown. A word not found within 64K
// positions counts as not shown too, which bounds the cost of a missing word.
//
// Ownership: borrows the parser, which must keep the document open while the locator
// lives; the DocumentPreview owning both sees to that. Thread: the main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/UserInterface.h"
#include "vellcore/IndexObject.h"
#include "wordmill/Parser.h"

namespace vellumar {

struct EntryRange {
    enum class State {
        Unlocated,   // not looked for yet
        Located,     // start and length are valid
        NoPosition,  // the hit has no word number
        NotFound,    // the document has no word of that number (it changed)
    };
    State state = State::Unlocated;
    // Code points of the document text: the first word's start to the last word's end.
    std::int32_t start = 0;
    std::int32_t length = -1;
    // The same range in bytes of the document text (UTF-8).
    std::size_t byteStart = 0;
    std::size_t byteEnd = 0;
    // The range in the HTML display's text; -1 when not in HTML mode or not found there.
    std::int64_t displayStart = -1;
    std::int64_t displayEnd = -1;

    bool located() const { return state == State::Located; }
};

class EntryLocator {
  public:
    // ui receives the parse-error message; it may be null (nothing shown).
    EntryLocator(wordmill::Parser& parser, std::vector<vellcore::HitRecord> hits,
                 UserInterface* ui = nullptr);

    // Turns on the HTML display's positions: text is the display's plain text. Entries
    // located before are located again.
    void SetHtmlDisplayText(const std::u16string& text);
    bool HtmlMode() const { return htmlMode_; }

    std::size_t HitCount() const { return hits_.size(); }
    const std::vector<vellcore::HitRecord>& Hits() const { return hits_; }

    // Entry i (0-based; must be below HitCount()), located when it was not yet.
    const EntryRange& LocateEntry(std::size_t i);
    // Entry i as it stands, without locating it.
    const EntryRange& Entry(std::size_t i) const { return entries_[i]; }

    // Words pulled from the parser so far (rewinds included), and rewinds made: for tests
    // and the benchmark, to see that stepping forward never reads the document again.
    std::uint64_t WordsRead() const { return wordsRead_; }
    std::uint64_t Rewinds() const { return rewinds_; }

    // True when the parser delivered a word out of turn: someone else rewound or reopened
    // it. Nothing more is read then; the owner opens the document again.
    bool Interrupted() const { return interrupted_; }

  private:
    struct Word {
        std::int64_t number = 0;
        std::int32_t offset = 0;
        std::int32_t span = 0;
        std::size_t byteOffset = 0;
        std::int64_t displayStart = -1;
        std::int64_t displayEnd = -1;
        bool aligned = false;  // its display place is decided
        bool hidden = false;   // a word the display never shows (the title's)
    };

    bool wordNumbered(std::int64_t number, Word& out);
    bool lastKeptUpTo(std::int64_t number, Word& out) const;  // the nearest kept word at or before
    bool readWord();
    void rewind();
    void align(Word& word, const std::u16string& text, const Word* next,
               const std::u16string& nextText);
    bool findInDisplay(const std::u16string& word, std::int64_t from, std::int64_t limit,
                       std::int64_t& start, std::int64_t& end) const;
    bool isHiddenTag(std::uint16_t tag);
    void reportParseError();

    wordmill::Parser& parser_;
    std::vector<vellcore::HitRecord> hits_;
    std::vector<EntryRange> entries_;
    UserInterface* ui_;

    wordmill::WordRecord record_;
    std::deque<Word> kept_;
    std::int64_t nextNumber_ = 0;  // the number of the next word the parser delivers
    bool ended_ = false;
    bool failed_ = false;
    bool errorShown_ = false;
    bool interrupted_ = false;
    std::int64_t lastNumberRead_ = -1;
    std::uint64_t wordsRead_ = 0;
    std::uint64_t rewinds_ = 0;

    bool htmlMode_ = false;
    std::u16string display_;  // folded for comparison; same positions as the display
    std::int64_t displayPos_ = 0;
    // The folded text of the newest word while its place waits for the next word's.
    std::u16string pending_;
    std::u16string incoming_;
    std::map<std::uint16_t, bool> hiddenTags_;
};

// A UTF-16 unit as the display search compares it (upper case; surrogates unchanged).
char16_t FoldDisplayUnit(char16_t unit);

}  // namespace vellumar
