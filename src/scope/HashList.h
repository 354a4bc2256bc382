// THashList: a string-keyed open-addressing table of items, used for the notifier's folder
// tables (many thousands of folders) and the advanced search's tag tree.
//
// Keys are compared exactly (byte for byte). The hash reads the first byte and every
// second byte after it, up to 4,096 bytes, so long paths hash cheaply; equality is always
// decided by full comparison. Collisions probe quadratically (home, +1, +4, +9, ...); a key
// that finds no usable slot within capacity/16 probes makes the table double. Removed keys
// leave tombstones, which later additions reuse; the table halves (never below its
// initial capacity) when fewer items remain than there are tombstones.
//
// The table does not own its items: whoever removes or clears frees them. Not thread-safe;
// the notifier's lock guards its tables.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

class EHashListError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class THashListItem {
  public:
    virtual ~THashListItem() = default;
    virtual const std::string& GetKey() const = 0;
};

class THashList {
  public:
    static constexpr std::int32_t kEmpty = -1;
    static constexpr std::int32_t kDeleted = -2;
    static constexpr std::int32_t kMaxCapacity = 0x0FFFFFFE;

    explicit THashList(std::int32_t initialCapacity);
    virtual ~THashList() = default;
    THashList(const THashList&) = delete;
    THashList& operator=(const THashList&) = delete;

    // Stores item unless its key is stored already; returns the item now stored under the
    // key (the caller still owns a new item that was left out).
    THashListItem* Add(THashListItem* item);

    // As Add, but returns the slot used, and keeps a caller-owned array indexed by slot in
    // step when the table grows (companion may be null).
    std::int32_t AddWithCompanion(THashListItem* item, std::vector<std::int32_t>* companion);

    std::int32_t IndexOf(std::string_view key) const;  // item index, or -1
    std::int32_t SlotOf(std::string_view key) const;   // slot, or -1

    // Takes the item out and returns it (not freed), or null when the key is not stored.
    THashListItem* Remove(std::string_view key);

    // Takes out every item for which drop is true, in one pass; returns them in list order
    // (not freed). The order of the remaining items is kept.
    std::vector<THashListItem*> RemoveWhere(const std::function<bool(const THashListItem&)>& drop);

    // Empties the list (items not freed) and restores the initial capacity.
    void Clear();

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    THashListItem* Items(std::int32_t index) const;

    std::int32_t Capacity() const { return capacity_; }
    std::int32_t InitialCapacity() const { return initialCapacity_; }
    std::int32_t Tombstones() const { return tombstones_; }
    std::int32_t SlotValue(std::int32_t slot) const {
        return slots_.at(static_cast<std::size_t>(slot));
    }

    // The raw hash of a key (before reducing it to a slot).
    static std::uint32_t HashValue(std::string_view key);

  protected:
    [[noreturn]] virtual void Error(const std::string& message) const;
    virtual std::int32_t Hash(std::string_view key) const;
    virtual std::int32_t FindSlot(std::string_view key, bool& found) const;

  private:
    // Lays out every item again at the current capacity; false when an item found no slot.
    bool Rebuild();
    // Doubles until a rebuild succeeds; raises when the maximum is passed.
    void Grow();
    void ResizeCompanion(std::vector<std::int32_t>* companion, std::int32_t oldCapacity) const;

    std::vector<THashListItem*> items_;
    std::vector<std::int32_t> slots_;
    std::int32_t capacity_;
    std::int32_t initialCapacity_;
    std::int32_t tombstones_ = 0;
};

// The hash list of the folder tables. Folder paths are the worst case for the hash above:
// siblings such as 2019, 2020, ... or d0 ... d99 differ in one or two bytes, often at odd
// positions that it never reads, and its shift-and-xor keeps differences in the low bits.
// A generated tree of 100,000 folders gives only 110 distinct hashes, so a lookup probes
// thousands of slots and registering the tree takes quadratic time. This table hashes every
// byte of the first 4,096 (FNV-1a with a final mix); probing, growth, tombstones and
// shrinking are those of THashList.
class TFolderHashList : public THashList {
  public:
    using THashList::THashList;
    static std::uint32_t FolderHashValue(std::string_view key);

  protected:
    std::int32_t Hash(std::string_view key) const override;
};

}  // namespace vellumar
