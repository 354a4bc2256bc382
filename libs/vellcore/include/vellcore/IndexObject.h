// The index engine: one IndexObject per index stores the words of documents and answers
// queries over them. Built on Xapian, which never shows through this header.
//
// Ownership: the caller owns the object (CreateIndexObject / DestroyIndexObject). The
// object owns every file in its index folder (the creation path): the Xapian database
// "xapian/" and the parameter file "S.STS" (docs/engine-storage.md). Strings it returns
// by reference stay valid until the next call that changes them.
//
// Threads: an object is not thread-safe. Calls come from the main thread or from the
// notifier thread, which the notifier lock keeps apart; CancelSearch alone may also be
// called from another thread while RunQuery runs.
//
// Errors: a call that can fail clears the error code when it starts and sets it when it
// fails; GetErrorCode reads it, ClearError resets it. Nothing is ever thrown out of the
// object. The codes:
//    1  out of memory or disk space: a write or a commit failed (the index keeps what was
//       committed last)
//    2  a value out of range or a call in the wrong order (bad name, unknown field, bad
//       mode, malformed query, GetHits beyond the results, ...); GetErrorMessage says which
//    3  a document name longer than 65,535 bytes, or an index path too long
//    4  an index file cannot be opened or created (missing "S.STS", a folder that cannot be
//       made, another process holding the index for writing)
//    5  "S.STS" or the engine's counters are damaged
//    6  the database cannot be opened or read (missing, truncated or corrupt files)
//    7  the document was declined: it is indexed already with the same stamp and size
//   10  the query holds only stop-words (or words that are not indexed at all)
//
// Order of calls:
//   Create:  Prepare(2, ...) -> stop-words (AddWord with no document open) -> optional
//            dictionary (BeginDocument, AddWord..., RemoveDocument, AddWord({}, 0, -1))
//            -> documents (BeginDocument, AddWord...)* -> CloseFiles -> Prepare(3).
//   Update:  Prepare(3) -> BeginSession -> [ReadyForRescan] -> documents ->
//            [RemoveVanishedInFolder] -> CloseFiles -> Prepare(3) -> EndSession.
//   Search:  Prepare(3) -> BeginSession -> [SetStayOnFile] -> RunQuery -> [SortResults]
//            -> GetResult / GetHits ... -> EndSession.
// A document stays open from BeginDocument until BeginDocument, RemoveDocument,
// FindDocument, RunQuery, ReadyForRescan, RemoveVanishedInFolder, EnumWords,
// EnumElementPaths, CloseFiles, Prepare or the end of the outermost session stores it (the
// statistics count it already). Writing opens the database for
// writing on demand (taking Xapian's write lock) and keeps it open until CloseFiles, the
// end of the outermost session, Prepare or destruction; long builds commit every few
// thousand documents, so a build killed at any moment leaves the documents of its last
// commit.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textfold/TextFold.h"

namespace vellcore {

using Stamp = std::uint32_t;  // DOS date << 16 | DOS time
struct HitRecord {
    std::uint32_t firstWord;  // word number of the hit's first word, or kNoPosition
    std::uint16_t unused;     // always 0
    std::uint16_t wordCount;  // 1 for a word; a phrase's length for a phrase
};
static_assert(sizeof(HitRecord) == 8);
constexpr std::uint32_t kNoPosition = 0xFFFFFFFF;
using CharTable = textfold::CharTable;

enum ErrorCode : int {
    kOk = 0,
    kNoSpace = 1,
    kBadValue = 2,
    kNameTooLong = 3,
    kCannotOpen = 4,
    kStatsDamaged = 5,
    kDatabaseFailure = 6,
    kDeclined = 7,
    kStopWordsOnly = 10,
};

// The codes that end a build: the disk is full, or the database cannot be trusted. Every
// other code concerns one document, which is logged and skipped.
constexpr bool isFatalError(int code) { return code == kNoSpace || code == kDatabaseFailure; }

// Prepare's modes.
enum PrepareMode : int {
    kPrepareCreate = 2,     // (re)create; the index is then open for writing
    kPrepareForSearch = 3,  // open for searching with the stored parameters
};

// The orders of SortResults.
enum ResultOrder : int {
    kEngineOrder = 0,  // the order of indexing
    kByName = 1,       // case-insensitive, then byte order
    kByRelevance = 2,  // BM25, best first
};

// What tells two versions of a document's file apart beyond the two-second stamp: the
// file's size on disk and its exact modification time in nanoseconds since the epoch. A
// file rewritten within one stamp, even to the same size, gets a new modification time.
// All zero: not known (the caller gave none, or the document was stored without one).
struct FileVersion {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool known() const { return size != 0 || modified != 0; }
    bool operator==(const FileVersion&) const = default;
};

// Longest document name accepted (the 16-bit length of the original interface).
constexpr std::size_t kMaxNameBytes = 65535;

// The format of the indexes this engine makes (kept in "S.STS"). Format 2: word numbers
// count every word of a document, also the words the parsers leave out for their length,
// so a short word inside a query phrase stands for one word. Format 1 (indexes made
// before): short words took no number and a phrase steps over them. An index of an older
// format is searched as it was built; ClearDocuments and a new index take this format.
constexpr int kFormatVersion = 2;

class IndexObject {
  public:
    ~IndexObject();
    IndexObject(const IndexObject&) = delete;
    IndexObject& operator=(const IndexObject&) = delete;

    void ClearError();
    int GetErrorCode() const;
    // A short English description of the last failure (empty when there is none).
    const std::string& GetErrorMessage() const;

    const std::string& GetIndexPath() const;  // the creation path
    // The index's language and word limits, as given to Prepare(2) and kept in "S.STS".
    // Before any Prepare they come from "S.STS" when it is readable, else the built-in
    // language "English (i)" with 32 / 2 / 50.
    std::string GetLanguageName() const;
    const CharTable& GetLanguageTable() const;
    int GetMaxWordLength() const;
    int GetMinWordLength() const;
    int GetCompactingRatio() const;
    // The index's format (see kFormatVersion), known like the language.
    int GetFormatVersion() const;

    // Statistics of the prepared index, the open document included. None of them reads
    // more than a few counters. 0 while nothing is prepared.
    int GetRecordCount() const;               // documents in the index
    int GetTagCount() const;                  // element paths EnumElementPaths lists
    int GetRemovedCount() const;              // documents removed or replaced since creation
    std::int64_t GetTotalSizeKB() const;      // sum of the documents' sizes, rounded up
    std::int64_t GetWordCount() const;        // words indexed (stop-words not counted)
    std::int64_t GetUniqueWordCount() const;  // distinct words indexed; see AddWord(-1)

    // Bracket each search and each update. When the outermost session ends, changes made
    // in it are committed and the write lock is released; the index stays open.
    void BeginSession();
    void EndSession();

    // True when a document of that name was indexed (or was the open document); it is
    // removed and counts as removed. Removing the open document discards it; its words
    // become the candidate filtering dictionary (see AddWord).
    bool RemoveDocument(std::string_view name);
    // True when the document is indexed; stamp receives its stamp and file (when given)
    // the file version stored with it.
    bool FindDocument(std::string_view name, Stamp& stamp, FileVersion* file = nullptr);
    // FindDocument for a document whose file the caller has just found on disk: a rescan
    // (ReadyForRescan) then counts it as present and spares it the vanished-file check.
    bool FindExistingDocument(std::string_view name, Stamp& stamp, FileVersion* file = nullptr);
    // Inside a session: reads the name, stamp and version of every stored document in one
    // pass, so that the lookups by name of FindDocument, FindExistingDocument and
    // BeginDocument are answered from memory until the outermost session ends (the map
    // follows every store and removal meanwhile). False, changing nothing, outside a
    // session, for a very large index or a damaged document.
    bool LoadDocumentVersions();
    // Opens a document for AddWord. Declines with 7 when the name is indexed with the same
    // stamp and size and, where both versions know it, the same file version; anything
    // else replaces the old version when the new one is stored. Names keep their case; an archive
    // member is "archive//member". An empty name or one holding a NUL byte fails with 2, one over
    // kMaxNameBytes with 3.
    bool BeginDocument(std::string_view name, Stamp stamp, std::uint64_t sizeBytes,
                       const FileVersion& file = {});
    // word: UTF-8 as the parser delivered it (invalid UTF-8 is read as Windows-1252),
    // folded with the language table and cut to the maximum word length. position: the
    // word number (negative: a word without position). field: 0 or a number from
    // GetFieldNumber.
    // With no document open, right after Prepare(2) and before the first document, the
    // word is a stop-word: never indexed, skipped in queries. Any other AddWord without
    // an open document fails with 2.
    // AddWord({}, 0, -1) right after the open document was removed ends a dictionary
    // load: from then on only that document's words are indexed. Between that removal
    // and the closing call GetUniqueWordCount includes the loaded words, so the caller
    // can see an empty dictionary. A field of -1 anywhere else fails with 2.
    bool AddWord(std::string_view word, std::int32_t position, int field);

    // Empties the prepared index for a rebuild: every document goes; the language, word
    // limits, stop-words and filtering dictionary stay, and the index takes the current
    // format. The index is then open for writing, ready for documents. False while another
    // process holds the index open for writing (code 4).
    bool ClearDocuments();
    // Removes the index's files. False while another process holds the index open for
    // writing. Leaves the object unprepared; Prepare(2) may follow.
    bool DeleteIndexFiles();
    // mode 2: (re)create with the language table and limits (1 <= min <= max <= 255,
    // ratio 0..100); the index is then open for writing. mode 3: open for searching with
    // the stored parameters (the other arguments are ignored; name empty, table null).
    bool Prepare(int mode, const std::string& languageName, const CharTable* table,
                 int maxWordLength, int minWordLength, int compactingRatio);
    // Stores the open document, ends a rescan, commits and closes. False (code 1) when the
    // commit failed; the index then holds what was committed before.
    bool CloseFiles();
    // False while another process holds the index open for writing.
    bool CanModify();

    // The file to find again in the next RunQuery (used by that query only).
    void SetStayOnFile(std::string_view name);
    // Element paths of the fields that carried words ("/a/b"; an HTML tag name "title"
    // is listed as "/title"), each once, parents before children, siblings in byte order.
    bool EnumElementPaths(bool firstCall, std::string& path);
    // The number of a field name: an element path such as "/orders/order/customer" or an
    // HTML tag name such as "title". New names are registered while the index is
    // prepared (the database is opened for writing when needed). 0 for an empty name.
    int GetFieldNumber(std::string_view tagName);
    // Words of the index in byte order, as stored (folded). The first call passes a
    // pattern ("**" for all words; '*' and '?' are wildcards), later calls nullptr.
    bool EnumWords(const std::string* pattern, std::string& word);

    // Runs a query (docs/query-syntax.md). 0 on failure (see GetErrorCode), else the
    // 1-based position of the stay-on file among the results in the engine's order
    // (1 when it is not among them or none was set). files and entries receive the number
    // of found files and of hits. The engine's order is the order of indexing. The
    // progress callback is called now and then; CancelSearch from it ends the query,
    // which then returns the files found so far.
    int RunQuery(std::string_view query, int& files, std::int64_t& entries);
    void SetProgressCallback(std::function<void()> processPendingMessages);
    // Result index from 0 in the current order.
    bool GetResult(int index, std::string& name, Stamp& stamp);
    // The hits of one result in document order: every occurrence of every part of the
    // query that is not negated; a phrase occurrence is one record of its length.
    bool GetHits(int index, std::vector<HitRecord>& hits);
    // Starts a rescan: documents that are not offered again (BeginDocument) before
    // CloseFiles and whose files no longer exist are then removed. False when the index
    // cannot be opened for writing.
    bool ReadyForRescan();
    // 1: by name (case-insensitive, then byte order); 2: by relevance (BM25, best
    // first); 0: back to the engine's order.
    bool SortResults(int how);  // how: a ResultOrder
    // The 1-based position of the last query's stay-on file in the current order (after
    // SortResults), 1 when it is not among the results.
    int GetStayOnFilePosition() const;
    void CancelSearch();
    // After an automatic update of one folder, removes the documents directly in that
    // folder (and members of its archives) whose files no longer exist. Returns how many
    // were removed, -1 on failure.
    int RemoveVanishedInFolder(std::string_view folder);

    // Commit interval of long builds: after this many stored documents or this many
    // indexed words, whichever comes first (defaults 10,000 and 5,000,000).
    void SetCommitInterval(int documents, std::int64_t words);

    struct Impl;

  private:
    friend std::unique_ptr<IndexObject> CreateIndexObject(const std::string& path, int flags);
    IndexObject();
    std::unique_ptr<Impl> impl_;
};

// path: the index folder and the index name ("/home/ann/indexes/mail"); the engine keeps
// its files in a folder of that path. flags must be 0. Returns null only when memory is
// short; a non-zero GetErrorCode right after creation (a relative or empty path: 2, a
// path too long: 3) marks the object unusable.
std::unique_ptr<IndexObject> CreateIndexObject(const std::string& path, int flags);
// Releases the object: an open document is stored and pending changes are committed
// (call CloseFiles first to learn whether that worked).
void DestroyIndexObject(std::unique_ptr<IndexObject>& object);

}  // namespace vellcore
