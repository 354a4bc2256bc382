#include "platform/QueryHistoryFile.h"

#include "platform/AtomicFile.h"
#include "platform/UserFileReader.h"

#include <textfold/TextFold.h>

namespace vellumar {

QueryHistory parseQueryHistory(std::string_view text) {
    QueryHistory history;
    bool inFiles = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;

        if (!inFiles && line == "[files]") {
            inFiles = true;
            continue;
        }
        if (line.empty() || line.size() > kMaxQueryHistoryLine) continue;
        std::string item = textfold::toUtf8Document(line);
        if (inFiles) {
            history.listFiles.push_back(std::move(item));
        } else if (history.queries.size() < kQueryHistoryLimit) {
            history.queries.push_back(std::move(item));
        }
    }
    return history;
}

std::string formatQueryHistory(const QueryHistory& history) {
    std::string out;
    // Line breaks inside an item would split it into two items when read back.
    auto append = [&](const std::string& line) {
        for (char c : line) out += (c == '\r' || c == '\n') ? ' ' : c;
        out += "\r\n";
    };
    for (const std::string& query : history.queries) append(query);
    append("[files]");
    for (const std::string& file : history.listFiles) append(file);
    return out;
}

QueryHistory loadQueryHistory(const std::filesystem::path& file, std::string* problem) {
    const UserFileRead read = readUserFile(file);
    if (read.ok()) return parseQueryHistory(read.data);
    if (problem && read.damaged()) *problem = damagedFileWarning(problemText(file, read));
    return QueryHistory{};
}

bool saveQueryHistory(const std::filesystem::path& file, const QueryHistory& history) {
    return writeFileAtomically(file, formatQueryHistory(history));
}

}  // namespace vellumar
