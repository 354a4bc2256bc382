// TScopeParser: one scope string, normalised and split into its entries.
//
// Normalising puts every exclusion before every inclusion (each kind in the order written),
// because the folder tables register entries in this order and an exclusion only affects
// inclusions registered after it. Each entry is followed by ";" in the normalised text.
// Blanks before an entry, and between its "-" and its folder, are ignored; empty entries
// (";;", a trailing ";") are dropped. The group text of every entry (after its last "/")
// is lower-cased, since patterns and labels compare without regard to case; folders keep
// their case.
//
// Created for one scope string, used and freed by one thread; it owns its items.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

// One entry of the normalised text: 1-based start and length (up to, not including, the
// following ";").
struct TScopeItem {
    int start = 0;
    int length = 0;
};

// One entry as GetEntry reads it.
struct TScopeEntry {
    std::string text;         // without the exclusion mark and trailing blanks; empty if unusable
    bool exclude = false;     // the entry began with "-"
    bool subfolders = false;  // "+" directly after the entry's last "/"
};

class TScopeParser {
  public:
    // scope must not be blank; callers test the trimmed scope before parsing.
    explicit TScopeParser(std::string_view scope);

    int Count() const { return static_cast<int>(items_.size()); }

    // The entry at index; empty text for an index outside 0 .. Count() - 1.
    TScopeEntry GetEntry(int index) const;

    const std::string& Text() const { return text_; }
    const std::vector<TScopeItem>& Items() const { return items_; }

  private:
    std::string text_;
    std::vector<TScopeItem> items_;
};

// Lower-cases the group text of one entry (the part after its last "/").
std::string normalizeEntryCase(std::string_view entry);

}  // namespace vellumar
