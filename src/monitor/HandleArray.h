// THandleArray: the notifier's change-notification handles, handle i belonging to folder i
// of the watched folder table. Storage grows by blocks of 256 entries and shrinks back when
// a deletion leaves the count at a multiple of 256. It closes none of its handles.
//
// Not thread-safe; changed only under the notifier's lock.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/notify/ChangeNotification.h"

namespace vellumar {

class THandleArray {
  public:
    static constexpr std::int32_t kBlock = 256;

    void Add(ChangeHandle handle);
    void Delete(std::int32_t index);             // out of range: nothing
    ChangeHandle Get(std::int32_t index) const;  // out of range: kInvalidChangeHandle
    const ChangeHandle* EntryAddress(std::int32_t index) const;  // out of range: null
    void Clear();

    // Keeps the handles whose keep flag is set, in order (one pass for many deletions).
    void Compact(const std::vector<bool>& keep);

    std::int32_t Count() const { return count_; }
    std::int32_t Capacity() const { return static_cast<std::int32_t>(block_.size()); }

  private:
    void ShrinkToBlocks();

    std::vector<ChangeHandle> block_;  // size() is the capacity
    std::int32_t count_ = 0;
};

}  // namespace vellumar
