// TDirItem: one folder of the notifier's folder tables, with what every index takes from
// it (or excludes in it) as TPatternItems; and the subtraction of exclusions from the
// pattern text of a new registration.
//
// A TDirItem owns its pattern items; the folder tables own the TDirItems. Not thread-safe;
// the notifier's lock guards the tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scope/HashList.h"

namespace vellumar {

struct TPatternItem {
    std::string text;         // pattern groups (<*.txt,*.doc>), exclusions already taken out
    std::int32_t number = 0;  // scope number of the index that registered it
    bool exclude = false;     // from an exclusion entry
};

class TDirItem : public THashListItem {
  public:
    // path is the folder key: no trailing "/", the root is "/". Folders keep their case.
    explicit TDirItem(std::string path) : path_(std::move(path)) {}

    const std::string& GetKey() const override { return path_; }
    const std::string& Path() const { return path_; }

    // First index of a pattern item with number (-1 if none), and the position just after
    // the last item whose number is not greater (where a new item with number goes).
    void FindNumber(std::int32_t number, std::int32_t& first, std::int32_t& end) const;

    // Inserts a pattern item after those with a number not greater; empty text does nothing.
    void AddPattern(std::int32_t number, std::string text, bool exclude);

    // Frees the pattern items first .. end - 1.
    void DeletePatterns(std::int32_t first, std::int32_t end);

    // True when an item with exactly these fields is present.
    bool HasPattern(std::int32_t number, std::string_view text, bool exclude) const;

    const std::vector<TPatternItem>& Patterns() const { return patterns_; }
    std::int32_t PatternCount() const { return static_cast<std::int32_t>(patterns_.size()); }

  private:
    std::string path_;
    std::vector<TPatternItem> patterns_;  // ascending by number, equal numbers in adding order
};

// Takes out of patterns every pattern that an exclusion item of folder names (of any
// index). Returns false when the folder is excluded entirely (an exclusion holds "*.*" or
// "*") or fewer than three characters remain, i.e. when nothing is left to register.
//
// A pattern is taken out only where it stands as a whole token (so excluding "*.do" leaves
// "*.doc" alone), at every place it occurs; a group left empty goes with its label. Label
// tokens of an exclusion are not patterns and take nothing out. An exclusion whose group
// is not closed by ">" applies the tokens that precede the unclosed one.
bool subtractExclusions(const TDirItem& folder, std::string& patterns);

}  // namespace vellumar
