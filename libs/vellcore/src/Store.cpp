// Opening, committing and closing the index's database, and its parameters.
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdio>
#include <sstream>

#include "Errors.h"
#include "Impl.h"

namespace vellcore {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCountersKey = "vellcore.counters";
constexpr const char* kFieldsKey = "vellcore.fields";
constexpr const char* kStopWordsKey = "vellcore.stopwords";
constexpr const char* kDictionaryKey = "vellcore.dictionary";

std::string renderCounters(const Counters& c) {
    std::string body = "1 " + std::to_string(c.removed) + " " + std::to_string(c.words) + " " +
                       std::to_string(c.bytes) + " " + std::to_string(c.unique) + " " +
                       std::to_string(c.positional) + " " + std::to_string(c.positionless);
    char crc[10];
    std::snprintf(crc, sizeof crc, " %08x", crc32(body));
    return body + crc;
}

bool parseCounters(const std::string& text, Counters& c) {
    const std::size_t space = text.rfind(' ');
    if (space == std::string::npos) return false;
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32(std::string_view(text).substr(0, space)));
    if (text.substr(space + 1) != crc) return false;
    std::istringstream in(text.substr(0, space));
    int version = 0;
    Counters read;
    if (!(in >> version >> read.removed >> read.words >> read.bytes >> read.unique >>
          read.positional >> read.positionless) ||
        version != 1)
        return false;
    if (read.removed < 0 || read.words < 0 || read.bytes < 0 || read.unique < 0 ||
        (read.positional != 0 && read.positional != 1) ||
        (read.positionless != 0 && read.positionless != 1))
        return false;
    c = read;
    return true;
}

std::string joinWords(const WordSet& words) {
    std::string out;
    for (const std::string& w : words) {
        out += w;
        out += '\n';
    }
    return out;
}

void splitWords(const std::string& text, WordSet& words) {
    words.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find('\n', i);
        if (end == std::string::npos) end = text.size();
        if (end > i) words.emplace(text.substr(i, end - i));
        i = end + 1;
    }
}

bool pathExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

}  // namespace

Xapian::Database& IndexObject::Impl::db() {
    if (writer) return *writer;
    if (reader) return *reader;
    fail(2, "the index is not open");
}

const Xapian::Database& IndexObject::Impl::db() const {
    return const_cast<IndexObject::Impl*>(this)->db();
}

void IndexObject::Impl::requirePrepared() const {
    if (!prepared) fail(2, "the index is not prepared: call Prepare first");
}

void IndexObject::Impl::requireIdle() const {
    if (search.running) fail(2, "not allowed while a query runs");
}

void IndexObject::Impl::loadState(const Xapian::Database& from) {
    Counters read;
    const std::string counterText = from.get_metadata(kCountersKey);
    if (counterText.empty()) {
        if (from.get_doccount() != 0) fail(5, "the index's counters are missing");
    } else if (!parseCounters(counterText, read)) {
        fail(5, "the index's counters are damaged");
    }
    FieldTable readFields;
    if (!readFields.parse(from.get_metadata(kFieldsKey)))
        fail(5, "the index's field table is damaged");
    counters = read;
    fields = std::move(readFields);
    splitWords(from.get_metadata(kStopWordsKey), stopWords);
    splitWords(from.get_metadata(kDictionaryKey), dictionary);
    stopWordsDirty = dictionaryDirty = false;
}

void IndexObject::Impl::saveState() {
    writer->set_metadata(kCountersKey, renderCounters(counters));
    if (fields.dirty()) writer->set_metadata(kFieldsKey, fields.serialise());
    if (stopWordsDirty) writer->set_metadata(kStopWordsKey, joinWords(stopWords));
    if (dictionaryDirty) writer->set_metadata(kDictionaryKey, joinWords(dictionary));
}

void IndexObject::Impl::openReader() {
    resetEnumerations();
    writer.reset();
    reader.reset();
    reader.emplace(dbPath.string());
    loadState(*reader);
}

void IndexObject::Impl::openWriter() {
    if (writer) return;
    requirePrepared();
    resetEnumerations();
    reader.reset();
    try {
        writer.emplace(dbPath.string(), Xapian::DB_OPEN);
        loadState(*writer);
        // Everything between two commits is one transaction, so that the counters and
        // the documents always commit together and Xapian never flushes on its own.
        writer->begin_transaction();
    } catch (...) {
        writer.reset();
        try {
            openReader();
        } catch (...) {
            prepared = false;  // the database cannot even be read any more
        }
        throw;
    }
    knownTerms.clear();
    documentsSinceCommit = 0;
    wordsSinceCommit = 0;
    writerChanged = false;
}

// Xapian 1.4 can end the whole process (std::terminate) when the disk fills up in the
// middle of writing a commit: an exception leaves it while another is on its way. So a
// commit is only started with room for what it will write, estimated generously from
// what was added since the last one; without that room the changes are dropped as after
// any failed write, and the index stays as it was at its last commit.
void IndexObject::Impl::requireRoomForCommit() {
    struct statvfs disk {};
    if (::statvfs(dbPath.c_str(), &disk) != 0) return;  // cannot tell: let Xapian try
    const std::uint64_t available =
        static_cast<std::uint64_t>(disk.f_bavail) * static_cast<std::uint64_t>(disk.f_frsize);
    const std::uint64_t needed = 512 * 1024 + static_cast<std::uint64_t>(wordsSinceCommit) * 16 +
                                 static_cast<std::uint64_t>(documentsSinceCommit) * 2048;
    if (available >= needed) return;
    abandonWriter();
    fail(kNoSpace, "not enough disk space to write the index (" + std::to_string(available / 1024) +
                       " KB free, about " + std::to_string(needed / 1024) + " KB needed)");
}

void IndexObject::Impl::commit() {
    saveState();
    requireRoomForCommit();
    writer->commit_transaction();
    fields.clearDirty();
    stopWordsDirty = dictionaryDirty = false;
    documentsSinceCommit = 0;
    wordsSinceCommit = 0;
    writer->begin_transaction();
}

void IndexObject::Impl::maybeCommit() {
    if (documentsSinceCommit >= commitDocuments || wordsSinceCommit >= commitWords) commit();
}

void IndexObject::Impl::closeWriter() {
    if (!writer) return;
    storePending();
    finishRescan();
    // An update that found nothing to change writes nothing: a commit costs a few syncs of
    // the disk, more than the rest of such an update.
    if (writerChanged || documentsSinceCommit > 0 || fields.dirty() || stopWordsDirty ||
        dictionaryDirty) {
        saveState();
        requireRoomForCommit();
        writer->commit_transaction();
    } else {
        writer->cancel_transaction();
    }
    fields.clearDirty();
    stopWordsDirty = dictionaryDirty = false;
    writer->close();
    writer.reset();
    knownTerms.clear();
    resetEnumerations();
}

void IndexObject::Impl::abandonWriter() {
    // Destroying the writer inside its transaction discards everything since the last
    // commit; the counters are read back from that commit.
    pending = PendingDocument{};
    rescan = Rescan{};
    versions.reset();
    dictionaryStaged = false;
    stagedDictionary.clear();
    knownTerms.clear();
    resetEnumerations();
    writer.reset();
    if (!prepared) return;
    try {
        openReader();
    } catch (...) {
        prepared = false;
    }
}

void IndexObject::Impl::closeAll() {
    resetEnumerations();
    clearResults();
    pending = PendingDocument{};
    rescan = Rescan{};
    versions.reset();
    dictionaryStaged = false;
    stagedDictionary.clear();
    knownTerms.clear();
    writer.reset();
    reader.reset();
    prepared = false;
    acceptStopWords = false;
}

bool IndexObject::Impl::lockedByOther() {
    if (writer) return false;
    if (!pathExists(dbPath / "iamglass")) return false;
    try {
        Xapian::WritableDatabase probe(dbPath.string(), Xapian::DB_OPEN);
        probe.close();
        return false;
    } catch (const Xapian::DatabaseLockError&) {
        return true;
    } catch (const Xapian::Error&) {
        return false;  // damaged: nobody can be writing it
    }
}

void IndexObject::Impl::removeEngineFiles() {
    std::error_code ec;
    fs::remove(paramsPath, ec);
    fs::path temp = paramsPath;
    temp += ".tmp";
    fs::remove(temp, ec);
    // Only a folder that holds a Xapian database (or nothing) is ours to delete.
    if (fs::is_directory(dbPath, ec) &&
        (pathExists(dbPath / "iamglass") || pathExists(dbPath / "flintlock") ||
         fs::is_empty(dbPath, ec))) {
        fs::remove_all(dbPath, ec);
        if (ec) fail(4, "cannot remove " + dbPath.string() + ": " + ec.message());
    }
}

void IndexObject::Impl::prepareCreate(const std::string& language, const CharTable& table,
                                      int maxLen, int minLen, int ratio) {
    if (minLen < 1 || maxLen > 255 || minLen > maxLen)
        fail(2, "word lengths must satisfy 1 <= minimum <= maximum <= 255");
    if (ratio < 0 || ratio > 100) fail(2, "the compacting ratio must lie between 0 and 100");
    if (language.size() > 1024) fail(2, "the language name is too long");
    // Refused before anything is closed, so the index stays usable.
    if (lockedByOther()) fail(4, "another process has the index open for writing");
    closeAll();
    removeEngineFiles();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        fail(ec.value() == ENOSPC ? 1 : 4, "cannot create the folder " + folder.string());

    IndexParams created;
    created.language = language;
    created.table = table;
    created.maxWordLength = maxLen;
    created.minWordLength = minLen;
    created.compactingRatio = ratio;
    writer.emplace(dbPath.string(), Xapian::DB_CREATE_OR_OVERWRITE);
    writerChanged = true;  // a new index commits even when it stays empty
    try {
        writeParams(paramsPath, created);
    } catch (...) {
        writer.reset();
        throw;
    }
    params = created;
    counters = Counters{};
    fields.clear();
    stopWords.clear();
    dictionary.clear();
    stopWordsDirty = dictionaryDirty = true;
    saveState();
    writer->commit();
    stopWordsDirty = dictionaryDirty = false;
    writer->begin_transaction();
    knownTerms.clear();
    documentsSinceCommit = 0;
    wordsSinceCommit = 0;
    prepared = true;
    acceptStopWords = true;
}

void IndexObject::Impl::clearDocuments() {
    requirePrepared();
    const IndexParams kept = params;
    WordSet keptStopWords = stopWords;
    WordSet keptDictionary = dictionary;
    prepareCreate(kept.language, kept.table, kept.maxWordLength, kept.minWordLength,
                  kept.compactingRatio);
    acceptStopWords = false;
    stopWords = std::move(keptStopWords);
    dictionary = std::move(keptDictionary);
    stopWordsDirty = dictionaryDirty = true;
    // Committed at once: a rebuild killed before its first documents still keeps its lists.
    commit();
}

void IndexObject::Impl::prepareOpen() {
    if (writer) closeWriter();
    closeAll();
    IndexParams read;
    switch (readParams(paramsPath, read)) {
        case ParamsStatus::Missing:
            fail(4, "cannot open " + paramsPath.string());
        case ParamsStatus::Damaged:
            fail(5, paramsPath.string() + " is damaged");
        case ParamsStatus::Ok:
            break;
    }
    params = read;
    openReader();
    // A few cheap reads that touch each table, so that a damaged database is reported
    // now and not in the middle of the first search.
    const Xapian::docid last = reader->get_lastdocid();
    auto terms = reader->allterms_begin();
    if (terms != reader->allterms_end()) (void)*terms;
    if (reader->get_doccount() > 0 && last > 0) {
        auto doc = reader->postlist_begin("");
        if (doc != reader->postlist_end("")) {
            Xapian::Document d = reader->get_document(*doc);
            (void)d.get_value(kNameSlot);
            auto t = reader->termlist_begin(*doc);
            if (t != reader->termlist_end(*doc)) (void)*t;
        }
    }
    // Xapian reads a missing position table as "no positions"; phrases would then
    // silently find nothing. An index whose documents were all removed has none to keep.
    if (counters.positional && reader->get_doccount() > 0 && !reader->has_positions())
        fail(6, "the database's position table is missing");
    prepared = true;
}

void IndexObject::Impl::endSession() {
    if (sessionDepth > 0) --sessionDepth;
    if (sessionDepth > 0) return;
    // Between sessions another process may write the index: the map would go stale.
    versions.reset();
    if (!writer) return;
    // The session's changes are committed and the write lock released; the index stays
    // open for searching.
    closeWriter();
    if (prepared) openReader();
}

bool IndexObject::Impl::canModify() {
    if (writer) return true;
    if (!pathExists(dbPath / "iamglass")) return true;
    if (reader) {
        try {
            return !reader->locked();
        } catch (const Xapian::UnimplementedError&) {
        }
    }
    return !lockedByOther();
}

bool IndexObject::Impl::deleteIndexFiles() {
    std::optional<Xapian::WritableDatabase> hold;
    if (!writer && pathExists(dbPath / "iamglass")) {
        // Hold the write lock while deleting, so nobody starts writing meanwhile.
        try {
            hold.emplace(dbPath.string(), Xapian::DB_OPEN);
        } catch (const Xapian::DatabaseLockError&) {
            fail(4, "another process has the index open for writing");
        } catch (const Xapian::Error&) {
            // A damaged database is deleted all the same.
        }
    }
    closeAll();
    removeEngineFiles();
    hold.reset();
    std::error_code ec;
    fs::remove(folder, ec);  // only when empty: other files in the folder are not ours
    counters = Counters{};
    fields.clear();
    stopWords.clear();
    dictionary.clear();
    return true;
}

}  // namespace vellcore
