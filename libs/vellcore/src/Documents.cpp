// Documents, words, stop-words, the filtering dictionary, rescans and the statistics.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

#include "Errors.h"
#include "Impl.h"

namespace vellcore {

namespace {

// A cache, so it may be dropped at any time; this bounds its memory.
constexpr std::size_t kMaxKnownTerms = 2'000'000;
// About 200 bytes a document: an index beyond this size is updated by lookups instead.
constexpr Xapian::doccount kMaxMappedDocuments = 1'000'000;

std::vector<std::string> wordTerms(Xapian::TermIterator it, Xapian::TermIterator end) {
    std::vector<std::string> out;
    for (; it != end; ++it) {
        std::string term = *it;
        if (isWordTerm(term)) out.push_back(std::move(term));
    }
    return out;  // sorted: term lists come in byte order
}

}  // namespace

bool fileVanished(std::string_view name) {
    if (name.empty() || name[0] != '/') return false;  // not a path we can check
    const std::string outer(name.substr(0, name.find("//")));
    struct stat st;
    if (::stat(outer.c_str(), &st) == 0) return false;
    return errno == ENOENT || errno == ENOTDIR;
}

std::optional<IndexObject::Impl::Found> IndexObject::Impl::lookup(std::string_view name) {
    if (versions) {
        const auto it = versions->find(std::string(name));
        if (it == versions->end()) return std::nullopt;
        return it->second;
    }
    const std::string term = nameTerm(name);
    Xapian::Database& d = db();
    for (auto it = d.postlist_begin(term); it != d.postlist_end(term); ++it) {
        Xapian::Document doc = d.get_document(*it);
        if (doc.get_value(kNameSlot) != name) continue;  // a long name sharing the hash term
        Found found;
        found.doc = *it;
        if (!unpackMeta(doc.get_value(kMetaSlot), found.meta))
            fail(6, "the stored document " + std::string(name) + " is damaged");
        return found;
    }
    return std::nullopt;
}

bool IndexObject::Impl::beginDocument(std::string_view name, Stamp stamp, std::uint64_t size,
                                      const FileVersion& file) {
    storePending();
    acceptStopWords = false;
    dictionaryStaged = false;
    stagedDictionary.clear();
    std::optional<Found> old = lookup(name);
    if (old) {
        if (rescan.active && old->doc < rescan.offered.size()) rescan.offered[old->doc] = 1;
        const FileVersion stored{old->meta.fileSize, old->meta.modified};
        // A version that either side does not know cannot tell the two apart.
        const bool sameFile = !stored.known() || !file.known() || stored == file;
        if (old->meta.stamp == stamp && old->meta.size == size && sameFile) {
            fail(7, "the document is indexed already with the same stamp and size");
        }
    }
    openWriter();
    pending = PendingDocument{};
    pending.open = true;
    pending.name = std::string(name);
    pending.meta.stamp = stamp;
    pending.meta.size = size;
    pending.meta.fileSize = file.size;
    pending.meta.modified = file.modified;
    if (old) {
        pending.replaces = old->doc;
        pending.replacedMeta = old->meta;
    }
    return true;
}

bool IndexObject::Impl::addWord(std::string_view word, std::int32_t position, int field) {
    if (field == -1) {
        if (!word.empty()) fail(2, "the field -1 only ends a dictionary load (with no word)");
        endDictionaryLoad();
        return true;
    }
    if (field < 0 || field > fields.size())
        fail(2, "unknown field number " + std::to_string(field));
    if (!pending.open) {
        if (!acceptStopWords)
            fail(2, "AddWord needs an open document (stop-words only right after Prepare(2))");
        normaliseWord(params.table, params.maxWordLength, word, scratch);
        if (!scratch.empty() && stopWords.insert(scratch).second) stopWordsDirty = true;
        return true;
    }
    normaliseWord(params.table, params.maxWordLength, word, scratch);
    if (scratch.empty()) return true;
    if (!stopWords.empty() && stopWords.count(scratch)) return true;
    if (!dictionary.empty() && !dictionary.count(scratch)) return true;
    pending.digest.Add(scratch, position, field);
    Xapian::Document& doc = pending.doc;
    if (position >= 0) {
        const Xapian::termpos pos = toTermPos(position);
        pending.positional = true;
        doc.add_posting(scratch, pos);
        if (field > 0) doc.add_posting(fieldTerm(field, scratch), pos);
    } else {
        pending.positionless = true;
        doc.add_term(scratch);
        if (field > 0) doc.add_term(fieldTerm(field, scratch));
    }
    if (field > 0 && field != pending.lastField) {
        pending.fields.push_back(field);
        pending.lastField = field;
    }
    ++pending.meta.words;
    return true;
}

void IndexObject::Impl::storePending() {
    if (!pending.open) return;
    pending.meta.digest = pending.digest.Value();
    if (storeTouched()) return;
    Xapian::WritableDatabase& w = *writer;
    Xapian::Document& doc = pending.doc;
    // The unique-word count changes only where a word's document frequency leaves or
    // reaches zero; knownTerms spares the lookup for words already seen in this session.
    if (knownTerms.size() > kMaxKnownTerms) knownTerms.clear();
    std::int64_t unique = counters.unique;
    std::vector<std::string> dropped;
    if (pending.replaces) {
        const std::vector<std::string> now = wordTerms(doc.termlist_begin(), doc.termlist_end());
        const std::vector<std::string> before =
            wordTerms(w.termlist_begin(pending.replaces), w.termlist_end(pending.replaces));
        std::vector<std::string> added;
        std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                            std::back_inserter(added));
        std::set_difference(before.begin(), before.end(), now.begin(), now.end(),
                            std::back_inserter(dropped));
        for (const std::string& t : added) {
            if (knownTerms.contains(t)) continue;
            if (w.get_termfreq(t) == 0) ++unique;
            knownTerms.insert(t);
        }
    } else {
        for (auto it = doc.termlist_begin(); it != doc.termlist_end(); ++it) {
            const std::string& t = *it;
            if (!isWordTerm(t) || knownTerms.contains(t)) continue;
            if (w.get_termfreq(t) == 0) ++unique;
            knownTerms.insert(t);
        }
    }
    doc.add_boolean_term(nameTerm(pending.name));
    doc.add_value(kNameSlot, pending.name);
    doc.add_value(kMetaSlot, packMeta(pending.meta));
    Counters next = counters;
    if (pending.replaces) {
        w.replace_document(pending.replaces, doc);
        ++next.removed;
        next.words -= pending.replacedMeta.words;
        next.bytes -= static_cast<std::int64_t>(pending.replacedMeta.size);
        for (const std::string& t : dropped) {
            if (w.get_termfreq(t) != 0) continue;
            --unique;
            knownTerms.erase(t);
        }
        if (versions) (*versions)[pending.name] = Found{pending.replaces, pending.meta};
    } else {
        const Xapian::docid added = w.add_document(doc);
        if (versions) (*versions)[pending.name] = Found{added, pending.meta};
    }
    next.words += pending.meta.words;
    next.bytes += static_cast<std::int64_t>(pending.meta.size);
    next.unique = unique;
    if (pending.positional) next.positional = 1;
    if (pending.positionless) next.positionless = 1;
    counters = next;
    for (int f : pending.fields) fields.markUsed(f);
    writerChanged = true;
    ++documentsSinceCommit;
    wordsSinceCommit += pending.meta.words;
    pending = PendingDocument{};
    maybeCommit();
}

bool IndexObject::Impl::storeTouched() {
    const DocMeta& before = pending.replacedMeta;
    if (!pending.replaces || before.digest == 0 || before.digest != pending.meta.digest ||
        before.words != pending.meta.words)
        return false;
    // The stored document, read through the writer and given back with only its meta
    // value changed: Xapian then rewrites that value and leaves terms and positions alone.
    Xapian::WritableDatabase& w = *writer;
    Xapian::Document stored = w.get_document(pending.replaces);
    stored.add_value(kMetaSlot, packMeta(pending.meta));
    w.replace_document(pending.replaces, stored);
    if (versions) (*versions)[pending.name] = Found{pending.replaces, pending.meta};
    // Counted as the replacement it is, so that statistics read as after any other.
    ++counters.removed;
    counters.bytes +=
        static_cast<std::int64_t>(pending.meta.size) - static_cast<std::int64_t>(before.size);
    writerChanged = true;
    ++documentsSinceCommit;
    pending = PendingDocument{};
    maybeCommit();
    return true;
}

void IndexObject::Impl::removeStored(Xapian::docid doc, const DocMeta& meta,
                                     std::string_view name) {
    Xapian::WritableDatabase& w = *writer;
    if (versions) versions->erase(std::string(name));
    const std::vector<std::string> terms = wordTerms(w.termlist_begin(doc), w.termlist_end(doc));
    w.delete_document(doc);
    for (const std::string& t : terms) {
        if (w.get_termfreq(t) != 0) continue;
        --counters.unique;
        knownTerms.erase(t);
    }
    writerChanged = true;
    ++counters.removed;
    counters.words -= meta.words;
    counters.bytes -= static_cast<std::int64_t>(meta.size);
    ++documentsSinceCommit;
    maybeCommit();
}

bool IndexObject::Impl::removeDocument(std::string_view name) {
    if (pending.open && pending.name == name) {
        // The open document is dropped unstored. Its words are kept as a candidate
        // dictionary: the dictionary load is exactly this document followed by
        // AddWord({}, 0, -1).
        stagedDictionary.clear();
        stagedNewWords = 0;
        for (std::string& t : wordTerms(pending.doc.termlist_begin(), pending.doc.termlist_end())) {
            if (!db().term_exists(t)) ++stagedNewWords;
            stagedDictionary.insert(std::move(t));
        }
        const Xapian::docid replaced = pending.replaces;
        const DocMeta replacedMeta = pending.replacedMeta;
        const std::string replacedName = pending.name;
        pending = PendingDocument{};
        if (replaced) removeStored(replaced, replacedMeta, replacedName);
        dictionaryStaged = true;
        return true;
    }
    storePending();
    dictionaryStaged = false;
    stagedDictionary.clear();
    const std::optional<Found> found = lookup(name);
    if (!found) return false;
    openWriter();
    removeStored(found->doc, found->meta, name);
    return true;
}

void IndexObject::Impl::endDictionaryLoad() {
    if (!dictionaryStaged)
        fail(2, "the field -1 only ends a dictionary load, right after its document was removed");
    dictionaryStaged = false;
    // An empty load restricts nothing: indexing every word beats indexing none.
    if (stagedDictionary.empty()) return;
    openWriter();
    dictionary = std::move(stagedDictionary);
    stagedDictionary.clear();
    dictionaryDirty = true;
}

bool IndexObject::Impl::findDocument(std::string_view name, Stamp& stamp, FileVersion* file) {
    storePending();
    const std::optional<Found> found = lookup(name);
    if (!found) return false;
    stamp = found->meta.stamp;
    if (file) *file = FileVersion{found->meta.fileSize, found->meta.modified};
    return true;
}

bool IndexObject::Impl::loadVersions() {
    storePending();
    Xapian::Database& d = db();
    // A cap on memory: beyond it every name is looked up in the database, as without a map.
    if (d.get_doccount() > kMaxMappedDocuments) return false;
    std::unordered_map<std::string, Found> map;
    map.reserve(d.get_doccount());
    auto metas = d.valuestream_begin(kMetaSlot);
    const auto metasEnd = d.valuestream_end(kMetaSlot);
    for (auto it = d.valuestream_begin(kNameSlot); it != d.valuestream_end(kNameSlot); ++it) {
        const Xapian::docid doc = it.get_docid();
        if (metas != metasEnd && metas.get_docid() < doc) metas.skip_to(doc);
        Found found;
        found.doc = doc;
        // A damaged document leaves the map unloaded: the lookup of its name reports it.
        if (metas == metasEnd || metas.get_docid() != doc || !unpackMeta(*metas, found.meta))
            return false;
        map.emplace(*it, found);  // the first of two equal names wins, as in lookup
    }
    versions = std::move(map);
    return true;
}

bool IndexObject::Impl::findExisting(std::string_view name, Stamp& stamp, FileVersion* file) {
    storePending();
    const std::optional<Found> found = lookup(name);
    if (!found) return false;
    // The caller has just seen the file: the rescan need not check whether it vanished.
    if (rescan.active && found->doc < rescan.offered.size()) rescan.offered[found->doc] = 1;
    stamp = found->meta.stamp;
    if (file) *file = FileVersion{found->meta.fileSize, found->meta.modified};
    return true;
}

bool IndexObject::Impl::readyForRescan() {
    storePending();
    openWriter();
    rescan = Rescan{};
    rescan.active = true;
    rescan.lastBefore = writer->get_lastdocid();
    rescan.offered.assign(static_cast<std::size_t>(rescan.lastBefore) + 1, 0);
    return true;
}

void IndexObject::Impl::finishRescan() {
    if (!rescan.active) return;
    const Rescan done = std::move(rescan);
    rescan = Rescan{};
    std::vector<std::tuple<Xapian::docid, DocMeta, std::string>> vanished;
    Xapian::WritableDatabase& w = *writer;
    for (auto it = w.valuestream_begin(kNameSlot); it != w.valuestream_end(kNameSlot); ++it) {
        const Xapian::docid doc = it.get_docid();
        if (doc > done.lastBefore) break;
        if (done.offered[doc] || !fileVanished(*it)) continue;
        DocMeta meta;
        unpackMeta(w.get_document(doc).get_value(kMetaSlot), meta);
        vanished.emplace_back(doc, meta, *it);
    }
    for (const auto& [doc, meta, name] : vanished) removeStored(doc, meta, name);
}

int IndexObject::Impl::removeVanishedInFolder(std::string_view folderName) {
    storePending();
    std::string prefix(folderName);
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix != "/") prefix += '/';
    std::vector<std::tuple<Xapian::docid, DocMeta, std::string>> vanished;
    Xapian::Database& d = db();
    const std::string start = nameTermPrefix(prefix);
    for (auto t = d.allterms_begin(start); t != d.allterms_end(start); ++t) {
        const std::string term = *t;
        for (auto p = d.postlist_begin(term); p != d.postlist_end(term); ++p) {
            Xapian::Document doc = d.get_document(*p);
            const std::string name = doc.get_value(kNameSlot);
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string_view rest = std::string_view(name).substr(prefix.size());
            const std::string_view file = rest.substr(0, rest.find("//"));
            // Directly in the folder: the file (or the archive) has no further "/".
            if (file.empty() || file.find('/') != std::string_view::npos) continue;
            if (!fileVanished(name)) continue;
            DocMeta meta;
            unpackMeta(doc.get_value(kMetaSlot), meta);
            vanished.emplace_back(*p, meta, name);
        }
    }
    if (vanished.empty()) return 0;
    openWriter();
    for (const auto& [doc, meta, name] : vanished) removeStored(doc, meta, name);
    return static_cast<int>(vanished.size());
}

int IndexObject::Impl::fieldNumber(std::string_view name) {
    if (const int known = fields.find(name)) return known;
    if (name.empty() || !prepared) return 0;
    openWriter();  // a new field must reach the database with the documents using it
    return fields.add(name);
}

std::int64_t IndexObject::Impl::pendingWords() const {
    if (!pending.open) return 0;
    return static_cast<std::int64_t>(pending.meta.words) -
           (pending.replaces ? static_cast<std::int64_t>(pending.replacedMeta.words) : 0);
}

std::int64_t IndexObject::Impl::pendingBytes() const {
    if (!pending.open) return 0;
    return static_cast<std::int64_t>(pending.meta.size) -
           (pending.replaces ? static_cast<std::int64_t>(pending.replacedMeta.size) : 0);
}

std::int64_t IndexObject::Impl::pendingNewUnique() const {
    std::int64_t n = dictionaryStaged ? stagedNewWords : 0;
    if (!pending.open) return n;
    const Xapian::Database& d = db();
    const std::vector<std::string> now =
        wordTerms(pending.doc.termlist_begin(), pending.doc.termlist_end());
    for (const std::string& t : now)
        if (!knownTerms.contains(t) && !d.term_exists(t)) ++n;
    if (pending.replaces) {
        // Words only the replaced version holds leave with it.
        for (const std::string& t :
             wordTerms(d.termlist_begin(pending.replaces), d.termlist_end(pending.replaces)))
            if (!std::binary_search(now.begin(), now.end(), t) && d.get_termfreq(t) == 1) --n;
    }
    return n;
}

int IndexObject::Impl::recordCount() const {
    const auto stored = static_cast<std::int64_t>(db().get_doccount());
    return static_cast<int>(stored + (pending.open && !pending.replaces ? 1 : 0));
}

}  // namespace vellcore
