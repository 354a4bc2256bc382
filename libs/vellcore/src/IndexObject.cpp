// The public boundary: every call is checked here, and every exception (ours, Xapian's,
// the standard library's) becomes an error code. Nothing escapes to the caller.
#include "vellcore/IndexObject.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "Errors.h"
#include "Impl.h"

namespace vellcore {

namespace {

using Impl = IndexObject::Impl;

// Write: a failure of the database means the uncommitted changes are lost (Xapian drops
// them), so the object falls back to the last commit.
enum class Op { Read, Write };

// A write that failed (a full disk, an I/O error while writing) is code 1; a database
// that cannot be read, also in the middle of a write, is code 6.
int codeForDatabaseError(Op op, const Xapian::Error& e) {
    if (op != Op::Write) return kDatabaseFailure;
    const std::string what = e.get_msg();
    const bool writing = what.find("rit") != std::string::npos;  // "writing", "write"
    const char* err = e.get_error_string();
    const bool full = err && (std::string(err) == std::strerror(ENOSPC) ||
                              std::string(err) == std::strerror(EDQUOT) ||
                              std::string(err) == std::strerror(EFBIG));
    return writing || full ? kNoSpace : kDatabaseFailure;
}

template <typename R, typename F>
R guarded(Impl& impl, Op op, R failed, F&& body) noexcept {
    impl.error = 0;
    impl.message.clear();
    for (int attempt = 0;; ++attempt) {
        try {
            return body();
        } catch (const EngineError& e) {
            impl.setError(e.code(), e.what());
        } catch (const Xapian::DatabaseModifiedError& e) {
            // Another process committed twice while we read: read again from its state.
            if (attempt == 0 && !impl.writer && impl.reader) {
                try {
                    impl.reader->reopen();
                    impl.loadState(*impl.reader);
                    continue;
                } catch (...) {
                }
            }
            impl.setError(kDatabaseFailure, e.get_description());
        } catch (const Xapian::DatabaseLockError& e) {
            impl.setError(kCannotOpen, "another process has the index open for writing (" +
                                           e.get_description() + ")");
        } catch (const Xapian::DatabaseCorruptError& e) {
            if (op == Op::Write) impl.abandonWriter();
            impl.setError(kDatabaseFailure, e.get_description());
        } catch (const Xapian::DatabaseOpeningError& e) {
            impl.setError(kDatabaseFailure, e.get_description());
        } catch (const Xapian::DatabaseError& e) {
            if (op == Op::Write) impl.abandonWriter();
            impl.setError(codeForDatabaseError(op, e), e.get_description());
        } catch (const Xapian::FeatureUnavailableError& e) {
            // For example a table file that was deleted.
            impl.setError(kDatabaseFailure, e.get_description());
        } catch (const Xapian::DocNotFoundError& e) {
            impl.setError(kBadValue,
                          "the document is no longer in the index (" + e.get_description() + ")");
        } catch (const Xapian::Error& e) {
            if (op == Op::Write) impl.abandonWriter();
            impl.setError(kBadValue, e.get_description());
        } catch (const std::bad_alloc&) {
            if (op == Op::Write) impl.abandonWriter();
            impl.setError(kNoSpace, "out of memory");
        } catch (const std::filesystem::filesystem_error& e) {
            impl.setError(e.code().value() == ENOSPC ? kNoSpace : kCannotOpen, e.what());
        } catch (const std::exception& e) {
            impl.setError(kBadValue, e.what());
        } catch (...) {
            impl.setError(kBadValue, "unexpected failure");
        }
        return failed;
    }
}

void checkName(std::string_view name) {
    if (name.empty()) fail(kBadValue, "the document name is empty");
    if (name.size() > kMaxNameBytes)
        fail(kNameTooLong,
             "the document name is longer than " + std::to_string(kMaxNameBytes) + " bytes");
    if (name.find('\0') != std::string_view::npos)
        fail(kBadValue, "the document name holds a NUL byte");
}

// Statistics never fail loudly: a counter that cannot be read reads 0.
template <typename R, typename F>
R quietly(const Impl& impl, F&& f) noexcept {
    if (!impl.prepared) return 0;
    try {
        return f();
    } catch (...) {
        return 0;
    }
}

}  // namespace

IndexObject::Impl::Impl(std::string path)
    : indexPath(std::move(path)),
      folder(indexPath),
      dbPath(folder / "xapian"),
      paramsPath(folder / "S.STS") {}

void IndexObject::Impl::setError(int code, std::string text) {
    error = code;
    message = std::move(text);
}

IndexObject::IndexObject() = default;

IndexObject::~IndexObject() {
    if (!impl_ || !impl_->writer) return;
    try {
        impl_->closeWriter();
    } catch (...) {
        // Nobody is left to tell; CloseFiles is the call that reports a failed commit.
    }
}

void IndexObject::ClearError() {
    impl_->error = 0;
    impl_->message.clear();
}

int IndexObject::GetErrorCode() const { return impl_->error; }
const std::string& IndexObject::GetErrorMessage() const { return impl_->message; }
const std::string& IndexObject::GetIndexPath() const { return impl_->indexPath; }
std::string IndexObject::GetLanguageName() const { return impl_->params.language; }
const CharTable& IndexObject::GetLanguageTable() const { return impl_->params.table; }
int IndexObject::GetMaxWordLength() const { return impl_->params.maxWordLength; }
int IndexObject::GetMinWordLength() const { return impl_->params.minWordLength; }
int IndexObject::GetCompactingRatio() const { return impl_->params.compactingRatio; }
int IndexObject::GetFormatVersion() const { return impl_->params.format; }

int IndexObject::GetRecordCount() const {
    return quietly<int>(*impl_, [&] { return impl_->recordCount(); });
}

int IndexObject::GetTagCount() const {
    return quietly<int>(*impl_,
                        [&] { return static_cast<int>(impl_->fields.elementPaths().size()); });
}

int IndexObject::GetRemovedCount() const {
    return quietly<int>(*impl_, [&] {
        const Impl& i = *impl_;
        return static_cast<int>(i.counters.removed +
                                (i.pending.open && i.pending.replaces ? 1 : 0));
    });
}

std::int64_t IndexObject::GetTotalSizeKB() const {
    return quietly<std::int64_t>(*impl_, [&] {
        const std::int64_t bytes = impl_->counters.bytes + impl_->pendingBytes();
        return (bytes + 1023) / 1024;
    });
}

std::int64_t IndexObject::GetWordCount() const {
    return quietly<std::int64_t>(*impl_,
                                 [&] { return impl_->counters.words + impl_->pendingWords(); });
}

std::int64_t IndexObject::GetUniqueWordCount() const {
    return quietly<std::int64_t>(
        *impl_, [&] { return impl_->counters.unique + impl_->pendingNewUnique(); });
}

void IndexObject::BeginSession() { ++impl_->sessionDepth; }

void IndexObject::EndSession() {
    guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        impl_->endSession();
        return true;
    });
}

bool IndexObject::RemoveDocument(std::string_view name) {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        checkName(name);
        impl_->requirePrepared();
        return impl_->removeDocument(name);
    });
}

bool IndexObject::FindDocument(std::string_view name, Stamp& stamp, FileVersion* file) {
    return guarded(*impl_, Op::Write, false, [&] {
        checkName(name);
        impl_->requirePrepared();
        if (impl_->search.running) {
            // Looking up is harmless during a query; storing the open document is not.
            const auto found = impl_->lookup(name);
            if (found) stamp = found->meta.stamp;
            if (found && file) *file = FileVersion{found->meta.fileSize, found->meta.modified};
            return found.has_value();
        }
        return impl_->findDocument(name, stamp, file);
    });
}

bool IndexObject::FindExistingDocument(std::string_view name, Stamp& stamp, FileVersion* file) {
    return guarded(*impl_, Op::Write, false, [&] {
        checkName(name);
        impl_->requirePrepared();
        impl_->requireIdle();
        return impl_->findExisting(name, stamp, file);
    });
}

bool IndexObject::LoadDocumentVersions() {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requirePrepared();
        impl_->requireIdle();
        if (impl_->sessionDepth == 0) return false;
        return impl_->loadVersions();
    });
}

bool IndexObject::BeginDocument(std::string_view name, Stamp stamp, std::uint64_t sizeBytes,
                                const FileVersion& file) {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        checkName(name);
        impl_->requirePrepared();
        return impl_->beginDocument(name, stamp, sizeBytes, file);
    });
}

bool IndexObject::AddWord(std::string_view word, std::int32_t position, int field) {
    Impl& i = *impl_;
    // The hot path of indexing: an ordinary word of an open document goes straight in.
    return guarded(i, Op::Write, false, [&] {
        if (i.search.running) i.requireIdle();
        return i.addWord(word, position, field);
    });
}

bool IndexObject::ClearDocuments() {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        impl_->clearDocuments();
        return true;
    });
}

bool IndexObject::DeleteIndexFiles() {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        if (!impl_->usable)
            fail(kBadValue, "the index path given to CreateIndexObject is not usable");
        return impl_->deleteIndexFiles();
    });
}

bool IndexObject::Prepare(int mode, const std::string& languageName, const CharTable* table,
                          int maxWordLength, int minWordLength, int compactingRatio) {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        if (!impl_->usable)
            fail(kBadValue, "the index path given to CreateIndexObject is not usable");
        if (mode == 2) {
            if (!table) fail(kBadValue, "Prepare(2) needs a language table");
            impl_->prepareCreate(languageName, *table, maxWordLength, minWordLength,
                                 compactingRatio);
        } else if (mode == 3) {
            impl_->prepareOpen();
        } else {
            fail(kBadValue, "Prepare takes mode 2 (create) or 3 (open for searching)");
        }
        return true;
    });
}

bool IndexObject::CloseFiles() {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        impl_->closeWriter();
        impl_->closeAll();
        return true;
    });
}

bool IndexObject::CanModify() {
    return guarded(*impl_, Op::Read, false, [&] { return impl_->usable && impl_->canModify(); });
}

void IndexObject::SetStayOnFile(std::string_view name) {
    impl_->search.stayOnName = std::string(name);
}

bool IndexObject::EnumElementPaths(bool firstCall, std::string& path) {
    return guarded(*impl_, Op::Write, false, [&] {
        if (firstCall) impl_->requireIdle();
        return impl_->enumElementPaths(firstCall, path);
    });
}

int IndexObject::GetFieldNumber(std::string_view tagName) {
    Impl& i = *impl_;
    if (const int known = i.fields.find(tagName)) return known;
    return guarded(i, Op::Write, 0, [&] {
        i.requireIdle();
        return i.fieldNumber(tagName);
    });
}

bool IndexObject::EnumWords(const std::string* pattern, std::string& word) {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        if (pattern) impl_->requirePrepared();
        return impl_->enumWords(pattern, word);
    });
}

int IndexObject::RunQuery(std::string_view query, int& files, std::int64_t& entries) {
    files = 0;
    entries = 0;
    return guarded(*impl_, Op::Write, 0, [&] {
        impl_->requireIdle();
        impl_->requirePrepared();
        impl_->clearResults();
        return impl_->runQuery(query, files, entries);
    });
}

void IndexObject::SetProgressCallback(std::function<void()> processPendingMessages) {
    impl_->search.progress = std::move(processPendingMessages);
}

bool IndexObject::GetResult(int index, std::string& name, Stamp& stamp) {
    return guarded(*impl_, Op::Read, false, [&] {
        impl_->requireIdle();
        impl_->requirePrepared();
        return impl_->result(index, name, stamp);
    });
}

bool IndexObject::GetHits(int index, std::vector<HitRecord>& hits) {
    hits.clear();
    return guarded(*impl_, Op::Read, false, [&] {
        impl_->requireIdle();
        impl_->requirePrepared();
        return impl_->hits(index, hits);
    });
}

bool IndexObject::ReadyForRescan() {
    return guarded(*impl_, Op::Write, false, [&] {
        impl_->requireIdle();
        impl_->requirePrepared();
        return impl_->readyForRescan();
    });
}

bool IndexObject::SortResults(int how) {
    return guarded(*impl_, Op::Read, false, [&] {
        impl_->requireIdle();
        if (!impl_->search.results.empty()) impl_->requirePrepared();
        return impl_->sortResults(how);
    });
}

int IndexObject::GetStayOnFilePosition() const { return impl_->stayOnPosition(); }

void IndexObject::CancelSearch() { impl_->search.cancel = true; }

int IndexObject::RemoveVanishedInFolder(std::string_view folder) {
    return guarded(*impl_, Op::Write, -1, [&] {
        impl_->requireIdle();
        impl_->requirePrepared();
        if (folder.empty() || folder[0] != '/')
            fail(kBadValue, "the folder must be an absolute path");
        return impl_->removeVanishedInFolder(folder);
    });
}

void IndexObject::SetCommitInterval(int documents, std::int64_t words) {
    impl_->commitDocuments = std::max(documents, 1);
    impl_->commitWords = std::max<std::int64_t>(words, 1);
}

std::unique_ptr<IndexObject> CreateIndexObject(const std::string& path, int flags) {
    try {
        std::unique_ptr<IndexObject> object(new IndexObject());
        object->impl_ = std::make_unique<IndexObject::Impl>(path);
        Impl& impl = *object->impl_;
        impl.usable = false;
        if (path.empty() || path[0] != '/')
            impl.setError(kBadValue, "the index path must be an absolute path");
        else if (path.size() > 3800)
            impl.setError(kNameTooLong, "the index path is too long");
        else if (path.find('\0') != std::string::npos || path == "/")
            impl.setError(kBadValue, "the index path is not a usable folder");
        else if (flags != 0)
            impl.setError(kBadValue, "CreateIndexObject takes the flags 0");
        else {
            impl.usable = true;
            readParams(impl.paramsPath, impl.params);  // so the language shows before Prepare
        }
        return object;
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (...) {
        return nullptr;
    }
}

void DestroyIndexObject(std::unique_ptr<IndexObject>& object) { object.reset(); }

}  // namespace vellcore
