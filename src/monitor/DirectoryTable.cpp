#include "monitor/DirectoryTable.h"

#include <cerrno>
#include <memory>

namespace vellumar {

namespace {
// The tables hold their items as plain pointers; ownership is taken back here.
void Free(THashListItem* item) { std::unique_ptr<THashListItem> owned(item); }

bool IsEmptyFolder(const THashListItem& item) {
    return static_cast<const TDirItem&>(item).PatternCount() == 0;
}
}  // namespace

namespace {
std::unique_ptr<THashList> MakeTable(std::int32_t capacity, bool plainHash) {
    if (plainHash) return std::make_unique<THashList>(capacity);
    return std::make_unique<TFolderHashList>(capacity);
}
}  // namespace

TDirectoryTable::TDirectoryTable(ChangeSource& source, std::int32_t initialCapacity, bool plainHash)
    : source_(source),
      watched_(MakeTable(initialCapacity, plainHash)),
      unwatchable_(MakeTable(initialCapacity, plainHash)) {}

TDirectoryTable::~TDirectoryTable() { Clear(); }

TDirItem* TDirectoryTable::WatchedFolder(std::int32_t index) const {
    return static_cast<TDirItem*>(watched_->Items(index));
}

TDirItem* TDirectoryTable::UnwatchableFolder(std::int32_t index) const {
    return static_cast<TDirItem*>(unwatchable_->Items(index));
}

TDirItem* TDirectoryTable::Find(const std::string& path, bool& watched) const {
    std::int32_t index = watched_->IndexOf(path);
    watched = index >= 0;
    if (watched) return WatchedFolder(index);
    index = unwatchable_->IndexOf(path);
    return index >= 0 ? UnwatchableFolder(index) : nullptr;
}

void TDirectoryTable::Watch(TDirItem* folder) {
    int error = 0;
    const ChangeHandle handle = source_.FindFirstChangeNotification(folder->Path(), error);
    if (handle == kInvalidChangeHandle) {
        lastRefusal_ = error ? error : EINVAL;
        if (error == ENOSPC) watchLimitReached_ = true;
        unwatchable_->Add(folder);
        return;
    }
    try {
        watched_->Add(folder);
    } catch (...) {
        source_.FindCloseChangeNotification(handle);
        throw;
    }
    try {
        handles_.Add(handle);
    } catch (...) {
        watched_->Remove(folder->Path());
        source_.FindCloseChangeNotification(handle);
        throw;
    }
}

bool TDirectoryTable::RegisterFolder(const std::string& path, std::int32_t number,
                                     std::string& patterns, bool exclude) {
    const bool covered = !exclude;
    bool watched = false;
    TDirItem* folder = Find(path, watched);
    if (folder == nullptr) {
        auto item = std::make_unique<TDirItem>(path);
        item->AddPattern(number, patterns, exclude);
        Watch(item.get());
        item.release();  // now owned through the table
        return covered;
    }

    if (!subtractExclusions(*folder, patterns)) return false;
    if (folder->HasPattern(number, patterns, exclude)) return false;
    if (!watched) {
        int error = 0;
        const ChangeHandle handle = source_.FindFirstChangeNotification(path, error);
        if (handle != kInvalidChangeHandle) {
            unwatchable_->Remove(path);
            watched_->Add(folder);
            handles_.Add(handle);
        }
    }
    folder->AddPattern(number, patterns, exclude);
    return covered;
}

std::string TDirectoryTable::FolderPatterns(const std::string& path, std::int32_t number) const {
    const std::int32_t index = watched_->IndexOf(path);
    if (index < 0) return {};
    const TDirItem* folder = WatchedFolder(index);
    std::int32_t first = 0;
    std::int32_t end = 0;
    folder->FindNumber(number, first, end);
    std::string text;
    if (first < 0) return text;
    for (std::int32_t i = first; i < end; ++i) {
        const TPatternItem& item = folder->Patterns()[static_cast<std::size_t>(i)];
        if (!item.exclude) text += item.text;
    }
    return text;
}

void TDirectoryTable::RemoveEntries(std::int32_t number) {
    for (const THashList* table : {watched_.get(), unwatchable_.get()}) {
        for (std::int32_t i = 0; i < table->Count(); ++i) {
            auto* folder = static_cast<TDirItem*>(table->Items(i));
            std::int32_t first = 0;
            std::int32_t end = 0;
            folder->FindNumber(number, first, end);
            if (first >= 0) folder->DeletePatterns(first, end);
        }
    }
}

namespace {

// Whether key names path itself or a folder below it.
bool AtOrUnder(const std::string& key, const std::string& path) {
    if (path == "/") return !key.empty() && key.front() == '/';
    return key.compare(0, path.size(), path) == 0 &&
           (key.size() == path.size() || key[path.size()] == '/');
}

}  // namespace

bool TDirectoryTable::HasEntries(const std::string& path, std::int32_t number) const {
    bool watched = false;
    const TDirItem* folder = Find(path, watched);
    if (!folder) return false;
    std::int32_t first = 0;
    std::int32_t end = 0;
    folder->FindNumber(number, first, end);
    return first >= 0;
}

std::vector<std::string> TDirectoryTable::FoldersOf(const std::string& path,
                                                    std::int32_t number) const {
    std::vector<std::string> folders;
    for (const THashList* table : {watched_.get(), unwatchable_.get()}) {
        for (std::int32_t i = 0; i < table->Count(); ++i) {
            const auto* folder = static_cast<const TDirItem*>(table->Items(i));
            if (!AtOrUnder(folder->Path(), path)) continue;
            std::int32_t first = 0;
            std::int32_t end = 0;
            folder->FindNumber(number, first, end);
            if (first >= 0) folders.push_back(folder->Path());
        }
    }
    return folders;
}

void TDirectoryTable::RemoveFolderTree(const std::string& path, std::int32_t number) {
    for (const THashList* table : {watched_.get(), unwatchable_.get()}) {
        for (std::int32_t i = 0; i < table->Count(); ++i) {
            auto* folder = static_cast<TDirItem*>(table->Items(i));
            if (!AtOrUnder(folder->Path(), path)) continue;
            std::int32_t first = 0;
            std::int32_t end = 0;
            folder->FindNumber(number, first, end);
            if (first >= 0) folder->DeletePatterns(first, end);
        }
    }
    DropEmptyFolders();
}

void TDirectoryTable::DropEmptyFolders() {
    for (THashListItem* item : unwatchable_->RemoveWhere(IsEmptyFolder)) Free(item);

    std::vector<bool> keep(static_cast<std::size_t>(watched_->Count()));
    bool dropAny = false;
    for (std::int32_t i = 0; i < watched_->Count(); ++i) {
        keep[static_cast<std::size_t>(i)] = !IsEmptyFolder(*watched_->Items(i));
        if (!keep[static_cast<std::size_t>(i)]) {
            dropAny = true;
            source_.FindCloseChangeNotification(handles_.Get(i));
        }
    }
    if (!dropAny) return;
    // One pass for the table and the handles keeps them in step, and costs the same for
    // one folder as for a hundred thousand.
    handles_.Compact(keep);
    for (THashListItem* item : watched_->RemoveWhere(IsEmptyFolder)) Free(item);
}

void TDirectoryTable::Clear() {
    for (std::int32_t i = 0; i < handles_.Count(); ++i)
        source_.FindCloseChangeNotification(handles_.Get(i));
    handles_.Clear();
    for (THashList* table : {watched_.get(), unwatchable_.get()}) {
        for (std::int32_t i = 0; i < table->Count(); ++i) Free(table->Items(i));
        table->Clear();
    }
    lastRefusal_ = 0;
    watchLimitReached_ = false;
}

}  // namespace vellumar
