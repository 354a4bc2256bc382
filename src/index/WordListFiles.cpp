#include "index/WordListFiles.h"

#include "textfold/TextFold.h"

namespace vellumar {

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<std::filesystem::path> resolveWordListFile(const std::string& boxText,
                                                         const std::filesystem::path& home) {
    const std::string name = trimmed(boxText);
    if (textfold::utf8Length(name) < 2) return std::nullopt;
    if (name.front() == '/') return std::filesystem::path(name);
    return home / name;
}

}  // namespace vellumar
