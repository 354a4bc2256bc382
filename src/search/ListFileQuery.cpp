#include "search/ListFileQuery.h"

#include "platform/UserFileReader.h"
#include "search/SearchHistory.h"

namespace vellumar {

namespace fs = std::filesystem;

std::string storedListFilePath(const std::string& chosen, const fs::path& home) {
    std::string prefix = home.lexically_normal().string();
    if (prefix.empty()) return chosen;
    if (prefix.back() != '/') prefix += '/';
    if (chosen.size() > prefix.size() && chosen.compare(0, prefix.size(), prefix) == 0)
        return chosen.substr(prefix.size());
    return chosen;
}

fs::path resolveListFilePath(std::string_view stored, const fs::path& home) {
    const std::string path = trimQuery(stored);
    if (!path.empty() && path.front() == '/') return path;
    return home / path;
}

std::optional<std::string> readListFile(const fs::path& file) {
    // Through the one reader of user files: never a FIFO, never without end.
    UserFileRead read = readUserFile(file, kMaxListFileBytes);
    if (!read.ok() || read.data.find('\0') != std::string::npos) return std::nullopt;
    return std::move(read.data);
}

std::optional<std::string> queryFromListText(wordmill::Parser& parser, std::string_view text) {
    wordmill::WordRecord record;
    if (!parser.OpenMemory(text, record)) return std::nullopt;
    const std::string& doc = parser.DocumentText();
    std::string query;
    std::string separator;
    std::size_t previousEnd = 0;
    bool first = true;
    while (parser.NextWord(record)) {
        const std::size_t begin = record.byteOffset;
        // The word's end: its span of characters in the document text.
        std::size_t end = begin;
        for (std::int32_t k = 0; k < record.span && end < doc.size(); ++k)
            textfold::nextUtf8(doc, end);
        if (previousEnd < begin) separator = doc.substr(previousEnd, begin - previousEnd);
        if (!first && trimQuery(separator).empty()) separator = " | ";
        query += separator;
        query.append(doc, begin, end - begin);
        previousEnd = end;
        first = false;
    }
    parser.Close();
    return query;
}

std::optional<std::string> readListFileQuery(const fs::path& file,
                                             const vellcore::IndexObject& index) {
    const auto text = readListFile(file);
    if (!text) return std::nullopt;
    auto parser = wordmill::CreateTextParser(index.GetLanguageTable());
    parser->SetMaxWordLength(static_cast<std::uint8_t>(index.GetMaxWordLength()));
    parser->SetMinWordLength(static_cast<std::uint8_t>(index.GetMinWordLength()));
    return queryFromListText(*parser, *text);
}

}  // namespace vellumar
