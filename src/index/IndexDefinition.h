// An index's definition file: "<index path>.inf" in the index folder, a profile file with
// one section [Parameters]. The engine keeps the index's own files in the folder at the
// index path (the index folder joined with the index name).
//
// A plain value; load() and save() are the only disk access.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellumar {

inline constexpr std::string_view kDefinitionExtension = ".inf";

struct IndexDefinition {
    std::string scope;       // empty makes the index unloadable
    bool monitored = false;  // automatically updateable
    bool express = false;
    std::string dictionary;    // empty: no filtering dictionary (key absent)
    std::string stopWords;     // empty: no stop-word list (key absent)
    bool archive = false;      // scan archives
    bool filesAsText = false;  // do not use format filters
    std::string lastUpdated;   // date and time of the last successful update
    std::string notes;

    // Missing keys read as their defaults; a missing file gives nullopt, and so does a
    // damaged one (not a regular file, too large: see readUserFile), whose problem goes
    // to `problem` when given.
    static std::optional<IndexDefinition> load(const std::filesystem::path& file,
                                               std::string* problem = nullptr);

    // Rewrites the keys in the existing file (other lines kept); Dictionary and Stop-words
    // are removed when empty. False when the file cannot be written.
    bool save(const std::filesystem::path& file) const;
};

// The index name of a definition file: its file name up to the first period
// ("my.index.inf" names the index "my").
std::string indexNameOfDefinition(const std::filesystem::path& file);

// The index folder joined with the name by exactly one "/".
std::filesystem::path indexPathOf(const std::string& indexFolder, const std::string& indexName);

// The definition file of an index path: the path followed by ".inf".
std::filesystem::path definitionFileOf(const std::filesystem::path& indexPath);

// The current local time as it is written to LastUpdated ("2026-12-08 14:05:09").
std::string lastUpdatedNow();

}  // namespace vellumar
