// Helpers for the engine tests: a temporary index folder per test and a tiny "parser"
// that feeds a text to the engine word by word, as the indexing step does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "vellcore/IndexObject.h"

namespace enginetest {

namespace fs = std::filesystem;
using vellcore::IndexObject;

// The tests' one temporary-folder helper under the name the engine tests use.
using TempFolder = testing_support::TempDir;

inline std::unique_ptr<IndexObject> createIndex(const fs::path& path, int maxLen = 32,
                                                int minLen = 2) {
    auto index = vellcore::CreateIndexObject(path.string(), 0);
    const auto table = textfold::englishTable();
    EXPECT_TRUE(index->Prepare(2, "English (i)", &table, maxLen, minLen, 50))
        << index->GetErrorMessage();
    return index;
}

// Words separated by blanks get word numbers 0, 1, 2, ...; a word written "w@field"
// stands in that field (a tag name, registered through GetFieldNumber).
inline bool addText(IndexObject& index, const std::string& name, const std::string& text,
                    vellcore::Stamp stamp = 1, std::uint64_t size = 0) {
    if (!index.BeginDocument(name, stamp, size ? size : text.size())) return false;
    std::istringstream in(text);
    std::string token;
    int position = 0;
    while (in >> token) {
        int field = 0;
        const auto at = token.find('@');
        if (at != std::string::npos) {
            field = index.GetFieldNumber(token.substr(at + 1));
            token.resize(at);
        }
        if (!index.AddWord(token, position++, field)) return false;
    }
    return true;
}

inline bool reopen(IndexObject& index) {
    return index.CloseFiles() && index.Prepare(3, "", nullptr, 32, 2, 50);
}

// The names a query finds, in result order; "ERROR <code>" when it fails.
inline std::vector<std::string> found(IndexObject& index, const std::string& query) {
    int files = 0;
    std::int64_t entries = 0;
    index.ClearError();
    if (index.RunQuery(query, files, entries) == 0)
        return {"ERROR " + std::to_string(index.GetErrorCode())};
    std::vector<std::string> names;
    for (int i = 0; i < files; ++i) {
        std::string name;
        vellcore::Stamp stamp = 0;
        EXPECT_TRUE(index.GetResult(i, name, stamp));
        names.push_back(name);
    }
    return names;
}

}  // namespace enginetest
