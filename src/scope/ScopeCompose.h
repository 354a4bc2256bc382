// Composing, checking and retargeting whole scope strings.
//
//  - composeScopeEntry is what the folder dialog does on every "add": it turns the
//    selected folder, its marks, patterns and label into one entry and merges it into the
//    dialog's scope text (a new entry, or new patterns joined to a matching group).
//  - RetargetScopeDrive moves the folders of a scope recorded on removable media to the
//    volume's current mount point (running from a CD-ROM or USB stick).
//  - checkScope lists the entries that can take nothing, for a message to the user.
//
// Pure functions (RetargetScopeDrive apart from existence checks); thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

// What one "add" of the folder dialog hands over.
struct BrowseAddition {
    std::string folder;       // the selected folder as the folder list reports it
    bool subfolders = false;  // "With &Subfolders"
    bool exclude = false;     // "&Exclude From Index"
    std::string patterns;     // file names joined by ",", or the file type text
    std::string label;        // "&Virtual Folder:" as typed
};

struct ComposedScope {
    std::string scope;             // the dialog's new scope text
    std::size_t changedStart = 0;  // the changed part, for selecting it in the edit box
    std::size_t changedLength = 0;
    std::string patterns;  // the patterns as used (trimmed, lower case), for cmbFileTypes
    std::string label;     // the label as used (cleaned), for cmbLabel; empty for exclusions
};

// The label as the dialog stores it: trimmed, lower case, and every character other than
// an ASCII letter or the digits 0 and 9 replaced by "_" ("My Files-2" gives "my_files__").
std::string cleanScopeLabel(std::string_view label);

ComposedScope composeScopeEntry(std::string_view dialogScope, const BrowseAddition& addition);

// Every entry's folder passed through retargetToMount (platform/MediaPath.h) with the mount
// point of the volume the program runs from; marks, patterns and labels stay as written.
std::string RetargetScopeDrive(std::string_view scope, std::string_view mountPoint);

// Entries of a scope that take nothing, with the reason, in the order written.
struct ScopeProblem {
    int entry = 0;     // 1-based, counting the entries as written
    std::string text;  // the entry as written, trimmed
    std::string message;
};
std::vector<ScopeProblem> checkScope(std::string_view scope);

}  // namespace vellumar
