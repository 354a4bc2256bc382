#include "scope/ScopeArrays.h"

#include <algorithm>

namespace vellumar {

namespace {
template <typename T>
void GrowInBlocks(std::vector<T>& items) {
    if (items.size() % 32 == 0) items.reserve(items.size() + 32);
}
}  // namespace

std::int32_t TScopeNumberArray::Get(std::int32_t index) const {
    if (index < 0 || index >= Count())
        throw EScopeNumbersError("Read TScopeNumberArray out of range!");
    return items_[static_cast<std::size_t>(index)];
}

std::int32_t TScopeNumberArray::IndexOf(std::int32_t value) const {
    const auto it = std::find(items_.begin(), items_.end(), value);
    return it == items_.end() ? -1 : static_cast<std::int32_t>(it - items_.begin());
}

void TScopeNumberArray::Insert(std::int32_t index, std::int32_t value) {
    if (index < 0 || index > Count()) throw EScopeNumbersError("Invalid index while inserting");
    GrowInBlocks(items_);
    items_.insert(items_.begin() + index, value);
}

void TScopeNumberArray::Delete(std::int32_t index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

void TScopeNumberArray::Clear() {
    items_.clear();
    items_.shrink_to_fit();
}

bool TBooleanArray::Get(std::int32_t index) const {
    if (index < 0 || index >= Count()) throw EBooleanError("Read TBooleanArray out of range!");
    return items_[static_cast<std::size_t>(index)] != 0;
}

void TBooleanArray::Put(std::int32_t index, bool value) {
    if (index < 0 || index >= Count()) throw EBooleanError("Write TTBooleanArray out of range!");
    items_[static_cast<std::size_t>(index)] = value ? 1 : 0;
}

void TBooleanArray::Insert(std::int32_t index, bool value) {
    if (index < 0 || index > Count())
        throw EBooleanError("Invalid index while inserting in TBooleanArray");
    GrowInBlocks(items_);
    items_.insert(items_.begin() + index, value ? 1 : 0);
}

void TBooleanArray::Delete(std::int32_t index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

void TBooleanArray::Clear() {
    items_.clear();
    items_.shrink_to_fit();
}

}  // namespace vellumar
