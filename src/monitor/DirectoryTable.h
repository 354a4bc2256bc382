// The notifier's directory table: for every folder of every index's scope, which index
// takes which files from it. Two THashLists of TDirItem: the watched folder table (folders
// with a change-notification handle, handle i belonging to folder i) and the unwatchable
// folder table (folders the system refused to watch: still indexed, never reported).
//
// RegisterFolder is the one way in. Entries must be registered exclusions first, because
// an exclusion only takes patterns out of inclusions registered after it.
//
// Owns its TDirItems and closes its handles. Not thread-safe: the notifier calls it with its
// lock held (the unwatchable table is touched only by the main thread).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/HandleArray.h"
#include "platform/notify/ChangeNotification.h"
#include "scope/DirItem.h"
#include "scope/HashList.h"

namespace vellumar {

class TDirectoryTable {
  public:
    // plainHash selects THashList's own hash instead of the folder hash (for measuring
    // the difference; see TFolderHashList).
    explicit TDirectoryTable(ChangeSource& source, std::int32_t initialCapacity = 1024,
                             bool plainHash = false);
    ~TDirectoryTable();
    TDirectoryTable(const TDirectoryTable&) = delete;
    TDirectoryTable& operator=(const TDirectoryTable&) = delete;

    // Registers path (a folder key) for the index with scope number number. patterns is
    // shortened by the exclusions already registered for the folder. Returns whether the
    // folder is newly covered by an inclusion (and so must be indexed):
    //  - a folder seen for the first time gets a TDirItem and a change notification; a
    //    refused notification puts it into the unwatchable table;
    //  - a known folder has its exclusions subtracted; a folder excluded entirely, or with
    //    fewer than three characters left, is not registered; an entry identical to one
    //    already registered is not registered twice;
    //  - an unwatchable folder is offered to the system once more (the watch limit may
    //    have been raised, or folders freed), and moves to the watched table on success.
    bool RegisterFolder(const std::string& path, std::int32_t number, std::string& patterns,
                        bool exclude);

    // The pattern groups that index number takes from a watched folder, joined in entry
    // order (<*.txt><*.doc>); empty when the folder is not watched or has no such entry.
    std::string FolderPatterns(const std::string& path, std::int32_t number) const;

    // Every folder loses the entries of number (watched table first, then unwatchable).
    void RemoveEntries(std::int32_t number);

    // Whether index number has an entry (inclusion or exclusion) for the folder path.
    bool HasEntries(const std::string& path, std::int32_t number) const;
    // The folders at or under path (a folder key) that index number has entries for.
    std::vector<std::string> FoldersOf(const std::string& path, std::int32_t number) const;
    // Takes the entries of number out of the folders at or under path (gone or moved away),
    // then frees the folders left without entries.
    void RemoveFolderTree(const std::string& path, std::int32_t number);

    // Frees folders without entries, closing their handles.
    void DropEmptyFolders();

    // Closes every handle and frees every folder.
    void Clear();

    const THashList& Watched() const { return *watched_; }
    const THashList& Unwatchable() const { return *unwatchable_; }
    const THandleArray& Handles() const { return handles_; }
    TDirItem* WatchedFolder(std::int32_t index) const;
    TDirItem* UnwatchableFolder(std::int32_t index) const;

    // The errno value of the latest refusal since the last Clear (0 when none), and
    // whether any refusal was the system's watch limit (ENOSPC).
    int LastRefusal() const { return lastRefusal_; }
    bool WatchLimitReached() const { return watchLimitReached_; }

  private:
    TDirItem* Find(const std::string& path, bool& watched) const;
    void Watch(TDirItem* folder);  // adds folder to one of the tables, per the system's answer

    ChangeSource& source_;
    std::unique_ptr<THashList> watched_;
    std::unique_ptr<THashList> unwatchable_;
    THandleArray handles_;
    int lastRefusal_ = 0;
    bool watchLimitReached_ = false;
};

}  // namespace vellumar
