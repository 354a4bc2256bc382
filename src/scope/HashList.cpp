#include "scope/HashList.h"

#include <algorithm>

namespace vellumar {

THashList::THashList(std::int32_t initialCapacity)
    : capacity_(std::clamp<std::int32_t>(initialCapacity, 1, kMaxCapacity)),
      initialCapacity_(capacity_) {
    slots_.assign(static_cast<std::size_t>(capacity_), kEmpty);
}

void THashList::Error(const std::string& message) const { throw EHashListError(message); }

std::uint32_t THashList::HashValue(std::string_view key) {
    if (key.empty()) return 0;
    const std::size_t n = std::min<std::size_t>(key.size(), 4096);
    std::uint32_t h = static_cast<unsigned char>(key[0]);
    for (std::size_t i = 1; i <= (n - 1) / 2; ++i) {
        h = static_cast<unsigned char>(key[2 * i]) ^ (h << 1);
    }
    return h;
}

std::int32_t THashList::Hash(std::string_view key) const {
    return static_cast<std::int32_t>((HashValue(key) & 0x7FFFFFFFu) %
                                     static_cast<std::uint32_t>(capacity_));
}

std::int32_t THashList::FindSlot(std::string_view key, bool& found) const {
    if (key.empty()) Error("Empty key string!");
    found = false;
    std::int32_t remembered = -1;
    std::int64_t slot = Hash(key);
    std::int64_t i = 0;
    const std::int64_t limit = capacity_ / 16;
    while (slots_[static_cast<std::size_t>(slot)] != kEmpty) {
        const std::int32_t value = slots_[static_cast<std::size_t>(slot)];
        if (value == kDeleted) {
            remembered = static_cast<std::int32_t>(slot);
        } else if (items_[static_cast<std::size_t>(value)]->GetKey() == key) {
            found = true;
            return static_cast<std::int32_t>(slot);
        }
        slot = (slot + 2 * i + 1) % capacity_;
        ++i;
        if (i > limit) return -1;
    }
    return remembered != -1 ? remembered : static_cast<std::int32_t>(slot);
}

bool THashList::Rebuild() {
    slots_.assign(static_cast<std::size_t>(capacity_), kEmpty);
    tombstones_ = 0;
    for (std::size_t index = 0; index < items_.size(); ++index) {
        bool found = false;
        const std::int32_t slot = FindSlot(items_[index]->GetKey(), found);
        if (slot < 0) return false;
        slots_[static_cast<std::size_t>(slot)] = static_cast<std::int32_t>(index);
    }
    return true;
}

void THashList::Grow() {
    // A rebuild can fail when many keys share a probe path; doubling once more lengthens
    // every path, so keep doubling rather than fail while there is room to grow.
    const std::int32_t before = capacity_;
    for (;;) {
        if (capacity_ > kMaxCapacity / 2) {
            const bool untouched = capacity_ == before;
            capacity_ = before;
            if (!untouched) Rebuild();
            Error(untouched ? "Maximum hash size overflow" : "Hash overflow in HashRealloc()!!!");
        }
        capacity_ *= 2;
        if (Rebuild()) return;
    }
}

THashListItem* THashList::Add(THashListItem* item) {
    const std::int32_t slot = AddWithCompanion(item, nullptr);
    return items_[static_cast<std::size_t>(slots_[static_cast<std::size_t>(slot)])];
}

std::int32_t THashList::AddWithCompanion(THashListItem* item,
                                         std::vector<std::int32_t>* companion) {
    if (item == nullptr) Error("Error try to add nil-pointer item");
    bool found = false;
    std::int32_t slot = FindSlot(item->GetKey(), found);
    while (slot == -1) {
        // Where every item sits now, so that companion values can follow their items.
        std::vector<std::int32_t> oldSlots;
        if (companion) {
            oldSlots.assign(items_.size(), -1);
            for (std::int32_t s = 0; s < capacity_; ++s) {
                const std::int32_t v = slots_[static_cast<std::size_t>(s)];
                if (v >= 0) oldSlots[static_cast<std::size_t>(v)] = s;
            }
        }
        const std::int32_t oldCapacity = capacity_;
        Grow();
        if (companion) {
            std::vector<std::int32_t> moved(static_cast<std::size_t>(capacity_), 0);
            companion->resize(static_cast<std::size_t>(std::max(oldCapacity, capacity_)), 0);
            for (std::int32_t s = 0; s < capacity_; ++s) {
                const std::int32_t v = slots_[static_cast<std::size_t>(s)];
                if (v >= 0 && oldSlots[static_cast<std::size_t>(v)] >= 0)
                    moved[static_cast<std::size_t>(s)] = (*companion)[static_cast<std::size_t>(
                        oldSlots[static_cast<std::size_t>(v)])];
            }
            *companion = std::move(moved);
        }
        slot = FindSlot(item->GetKey(), found);
    }
    if (found) return slot;
    if (companion && companion->size() < static_cast<std::size_t>(capacity_))
        companion->resize(static_cast<std::size_t>(capacity_), 0);
    if (slots_[static_cast<std::size_t>(slot)] == kDeleted) --tombstones_;
    items_.push_back(item);
    slots_[static_cast<std::size_t>(slot)] = static_cast<std::int32_t>(items_.size() - 1);
    return slot;
}

std::int32_t THashList::SlotOf(std::string_view key) const {
    if (key.empty()) return -1;
    bool found = false;
    const std::int32_t slot = FindSlot(key, found);
    return found ? slot : -1;
}

std::int32_t THashList::IndexOf(std::string_view key) const {
    const std::int32_t slot = SlotOf(key);
    return slot < 0 ? -1 : slots_[static_cast<std::size_t>(slot)];
}

THashListItem* THashList::Remove(std::string_view key) {
    const std::int32_t slot = SlotOf(key);
    if (slot < 0) return nullptr;
    const std::int32_t index = slots_[static_cast<std::size_t>(slot)];
    THashListItem* item = items_[static_cast<std::size_t>(index)];
    slots_[static_cast<std::size_t>(slot)] = kDeleted;
    ++tombstones_;
    items_.erase(items_.begin() + index);
    if (Count() < tombstones_ && capacity_ > initialCapacity_) {
        const std::int32_t before = capacity_;
        capacity_ = std::max(initialCapacity_, capacity_ / 2);
        if (!Rebuild()) {
            // Shrinking is only an economy; a layout that does not fit stays at its size.
            capacity_ = before;
            Rebuild();
        }
    } else if (index < Count()) {
        for (std::int32_t& value : slots_) {
            if (value > index) --value;
        }
    }
    return item;
}

std::vector<THashListItem*> THashList::RemoveWhere(
    const std::function<bool(const THashListItem&)>& drop) {
    std::vector<THashListItem*> removed;
    std::vector<THashListItem*> kept;
    kept.reserve(items_.size());
    for (THashListItem* item : items_) (drop(*item) ? removed : kept).push_back(item);
    if (removed.empty()) return removed;
    items_ = std::move(kept);
    const std::int32_t before = capacity_;
    while (capacity_ / 2 >= initialCapacity_ && static_cast<std::int64_t>(Count()) * 4 < capacity_)
        capacity_ /= 2;
    if (!Rebuild()) {
        capacity_ = before;
        if (!Rebuild()) Grow();
    }
    return removed;
}

void THashList::Clear() {
    items_.clear();
    capacity_ = initialCapacity_;
    slots_.assign(static_cast<std::size_t>(capacity_), kEmpty);
    tombstones_ = 0;
}

THashListItem* THashList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) Error("List index out of bounds");
    return items_[static_cast<std::size_t>(index)];
}

std::uint32_t TFolderHashList::FolderHashValue(std::string_view key) {
    const std::size_t n = std::min<std::size_t>(key.size(), 4096);
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(key[i]);
        h *= 16777619u;
    }
    // The table takes the hash modulo its capacity (a power of two times the initial
    // size): mix the high bits into the low ones.
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}

std::int32_t TFolderHashList::Hash(std::string_view key) const {
    return static_cast<std::int32_t>((FolderHashValue(key) & 0x7FFFFFFFu) %
                                     static_cast<std::uint32_t>(Capacity()));
}

}  // namespace vellumar
