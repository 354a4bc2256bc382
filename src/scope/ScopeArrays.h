// TScopeNumberArray and TBooleanArray: growable arrays that the notifier keeps parallel to
// its list of scope strings (one scope number and one auto-update flag per index).
// Storage grows by 32 elements whenever an insertion finds the count at a multiple of 32,
// and is released only by Clear.
//
// Not thread-safe; the notifier's lock guards them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vellumar {

class EScopeNumbersError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class EBooleanError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TScopeNumberArray {
  public:
    std::int32_t Get(std::int32_t index) const;
    std::int32_t IndexOf(std::int32_t value) const;
    void Insert(std::int32_t index, std::int32_t value);
    void Delete(std::int32_t index);  // out of range: ignored
    void Clear();
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    std::size_t Capacity() const { return items_.capacity(); }

  private:
    std::vector<std::int32_t> items_;
};

class TBooleanArray {
  public:
    bool Get(std::int32_t index) const;
    void Put(std::int32_t index, bool value);
    void Insert(std::int32_t index, bool value);
    void Delete(std::int32_t index);  // out of range: ignored
    void Clear();
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    std::size_t Capacity() const { return items_.capacity(); }

  private:
    std::vector<std::uint8_t> items_;
};

}  // namespace vellumar
