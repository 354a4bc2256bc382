#include "monitor/HandleArray.h"

#include <algorithm>

namespace vellumar {

void THandleArray::Add(ChangeHandle handle) {
    if (count_ % kBlock == 0 && count_ == Capacity()) block_.resize(block_.size() + kBlock);
    block_[static_cast<std::size_t>(count_++)] = handle;
}

void THandleArray::Delete(std::int32_t index) {
    if (index < 0 || index >= count_) return;
    std::copy(block_.begin() + index + 1, block_.begin() + count_, block_.begin() + index);
    --count_;
    if (count_ % kBlock == 0) {
        block_.resize(static_cast<std::size_t>(count_));
        block_.shrink_to_fit();
    }
}

ChangeHandle THandleArray::Get(std::int32_t index) const {
    if (index < 0 || index >= count_) return kInvalidChangeHandle;
    return block_[static_cast<std::size_t>(index)];
}

const ChangeHandle* THandleArray::EntryAddress(std::int32_t index) const {
    if (index < 0 || index >= count_) return nullptr;
    return block_.data() + index;
}

void THandleArray::Clear() {
    count_ = 0;
    block_.clear();
    block_.shrink_to_fit();
}

void THandleArray::Compact(const std::vector<bool>& keep) {
    std::int32_t out = 0;
    for (std::int32_t i = 0; i < count_; ++i) {
        if (static_cast<std::size_t>(i) < keep.size() && keep[static_cast<std::size_t>(i)])
            block_[static_cast<std::size_t>(out++)] = block_[static_cast<std::size_t>(i)];
    }
    count_ = out;
    ShrinkToBlocks();
}

void THandleArray::ShrinkToBlocks() {
    const std::size_t wanted = static_cast<std::size_t>((count_ + kBlock - 1) / kBlock * kBlock);
    if (wanted < block_.size()) {
        block_.resize(wanted);
        block_.shrink_to_fit();
    }
}

}  // namespace vellumar
