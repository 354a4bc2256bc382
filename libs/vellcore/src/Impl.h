// The state behind one IndexObject and the operations the public methods forward to.
// IndexObject.cpp holds the public boundary (argument checks, error codes, exception
// translation); Store.cpp opening, committing and closing; Documents.cpp documents,
// words and statistics; Search.cpp queries, results and enumerations.
//
// Ownership: the Impl owns the Xapian handles; at most one of reader and writer is open.
// Threads: as IndexObject (one thread at a time; cancel is atomic).
#pragma once

#include <xapian.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Fields.h"
#include "ParamsFile.h"
#include "QueryPlan.h"
#include "TermCache.h"
#include "Terms.h"
#include "Words.h"
#include "vellcore/IndexObject.h"

namespace vellcore {

// Counters that change with every document; committed with the documents.
struct Counters {
    std::int64_t removed = 0;
    std::int64_t words = 0;
    std::int64_t bytes = 0;
    std::int64_t unique = 0;
    std::int64_t positional = 0;    // 1 once a word with a position was stored
    std::int64_t positionless = 0;  // 1 once a word without a position was stored
};

// The document between BeginDocument and the call that stores it.
struct PendingDocument {
    bool open = false;
    std::string name;
    DocMeta meta;
    Xapian::Document doc;
    Xapian::docid replaces = 0;  // the stored version it replaces, if any
    DocMeta replacedMeta;
    std::vector<int> fields;  // fields its words stood in (may repeat)
    WordDigest digest;
    bool positional = false, positionless = false;
    int lastField = 0;
};

struct Rescan {
    bool active = false;
    Xapian::docid lastBefore = 0;  // documents after this one are new in this rescan
    std::vector<char> offered;     // by docid
};

struct SearchState {
    std::optional<QueryPlan> plan;
    std::vector<Xapian::docid> results;
    std::string stayOnName;
    Xapian::docid stayOnDoc = 0;
    std::function<void()> progress;
    std::atomic<bool> cancel{false};
    bool running = false;
};

struct IndexObject::Impl {
    explicit Impl(std::string path);

    // ---- identity and errors
    std::string indexPath;
    std::filesystem::path folder, dbPath, paramsPath;
    int error = 0;
    std::string message;
    bool usable = true;  // false after CreateIndexObject refused the path
    void setError(int code, std::string text);

    // ---- parameters and persistent state
    IndexParams params;
    Counters counters;
    WordSet stopWords;
    WordSet dictionary;  // empty: every word is indexed
    FieldTable fields;
    bool stopWordsDirty = false, dictionaryDirty = false;

    // ---- database handles (Store.cpp)
    std::optional<Xapian::Database> reader;
    std::optional<Xapian::WritableDatabase> writer;
    bool prepared = false;
    int sessionDepth = 0;
    int commitDocuments = 10000;
    std::int64_t commitWords = 5'000'000;
    int documentsSinceCommit = 0;
    bool writerChanged = false;  // this writer stored or removed something (or is new)
    std::int64_t wordsSinceCommit = 0;

    Xapian::Database& db();
    const Xapian::Database& db() const;
    void requirePrepared() const;
    void requireIdle() const;  // not inside RunQuery's progress callback
    void openReader();
    void openWriter();
    void loadState(const Xapian::Database& from);
    void saveState();
    void
    requireRoomForCommit();  // throws kNoSpace, dropping the changes, when the disk is too full
    void commit();
    void maybeCommit();
    void closeWriter();    // stores, finishes a rescan, commits, closes
    void abandonWriter();  // after a failed write: back to the last commit
    void closeAll();       // drops handles without committing
    bool lockedByOther();
    void removeEngineFiles();
    void prepareCreate(const std::string& language, const CharTable& table, int maxLen, int minLen,
                       int ratio);
    void prepareOpen();
    void clearDocuments();
    void endSession();
    bool canModify();
    bool deleteIndexFiles();

    // ---- documents (Documents.cpp)
    PendingDocument pending;
    bool acceptStopWords = false;  // right after Prepare(2), before the first document
    bool dictionaryStaged = false;
    WordSet stagedDictionary;
    std::int64_t stagedNewWords = 0;
    TermCache knownTerms;  // word terms known to be in the index (this writer session)
    Rescan rescan;
    std::string scratch;

    struct Found {
        Xapian::docid doc = 0;
        DocMeta meta;
    };
    std::optional<Found> lookup(std::string_view name);
    // Every stored document by name, read in one pass (LoadDocumentVersions) and kept in
    // step with every store and removal until the session ends; lookup then asks it
    // instead of the database. Unset when not loaded.
    std::optional<std::unordered_map<std::string, Found>> versions;
    bool loadVersions();
    bool findExisting(std::string_view name, Stamp& stamp, FileVersion* file);
    bool beginDocument(std::string_view name, Stamp stamp, std::uint64_t size,
                       const FileVersion& file);
    bool addWord(std::string_view word, std::int32_t position, int field);
    bool removeDocument(std::string_view name);
    bool findDocument(std::string_view name, Stamp& stamp, FileVersion* file);
    void storePending();
    // Stores only the pending document's stamp and versions, when its words are those
    // of the version it replaces; false when they may differ.
    bool storeTouched();
    void removeStored(Xapian::docid doc, const DocMeta& meta, std::string_view name);
    void endDictionaryLoad();
    bool readyForRescan();
    void finishRescan();
    int removeVanishedInFolder(std::string_view folder);
    int fieldNumber(std::string_view name);

    std::int64_t pendingWords() const;
    std::int64_t pendingBytes() const;
    std::int64_t pendingNewUnique() const;
    int recordCount() const;

    // ---- search (Search.cpp)
    SearchState search;
    std::vector<std::string> elementPaths;
    std::size_t elementNext = 0;
    std::optional<Xapian::TermIterator> wordNext;
    std::string wordPattern;

    int runQuery(std::string_view query, int& files, std::int64_t& entries);
    bool result(int index, std::string& name, Stamp& stamp);
    bool hits(int index, std::vector<HitRecord>& out);
    bool sortResults(int how);
    int stayOnPosition() const;
    bool enumWords(const std::string* pattern, std::string& word);
    bool enumElementPaths(bool first, std::string& path);
    void clearResults();
    void resetEnumerations();
    void progress();
};

// Documents named by an absolute path whose file (for an archive member, the outermost
// archive) definitely no longer exists. Errors other than "not found" keep the document.
bool fileVanished(std::string_view name);

}  // namespace vellcore
