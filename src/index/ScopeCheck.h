// The entries of a scope string that the walk passes over, each with the reason in words,
// so that a user who mistyped one is told which instead of ending up with fewer files
// (or none: "No files are found to index."). The rules are those of TNotifier's walk
// (ScanScope): an entry needs an absolute folder, a "/" after it, and its patterns in a
// group such as <*.txt>; an exclusion without patterns excludes every file.
//
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

struct SkippedScopeEntry {
    std::string entry;   // as the scope parser reads it ("-" first for an exclusion)
    std::string reason;  // for example "the folder is not an absolute path"
};

std::vector<SkippedScopeEntry> skippedScopeEntries(std::string_view scope);

// One line naming every skipped entry with its reason; empty when none is skipped.
std::string skippedScopeEntriesText(const std::vector<SkippedScopeEntry>& skipped);

}  // namespace vellumar
