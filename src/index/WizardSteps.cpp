#include "index/WizardSteps.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace vellumar {

namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<int> number(std::string_view text) {
    text = trim(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

int wizardNextPage(int page) {
    switch (page) {
        case 1:
            return 2;
        case 2:
        case 3:
            return 4;
        case 4:
            return 5;
        case 5:
            return 6;
        default:
            return page;
    }
}

int wizardPreviousPage(int page) {
    switch (page) {
        case 2:
            return 1;
        case 3:
        case 4:
            return 2;
        case 5:
            return 4;
        case 6:
            return 5;
        default:
            return page;
    }
}

IndexNameCheck checkWizardIndexName(std::string_view name, const std::vector<std::string>& names) {
    name = trim(name);
    if (name.empty()) return IndexNameCheck::Empty;
    if (name.find_first_of("/.") != std::string_view::npos) return IndexNameCheck::BadName;
    if (std::find(names.begin(), names.end(), name) != names.end()) return IndexNameCheck::Exists;
    return IndexNameCheck::Ok;
}

std::string recreateIndexQuestion(std::string_view name) {
    return std::string("Index with name \"") + std::string(name) + "\"" + " already exists." +
           " Do ou want to recreate this index?";
}

bool wordLengthsAcceptable(std::string_view maximum, std::string_view minimum) {
    const auto max = number(maximum);
    const auto min = number(minimum);
    return max && min && *max >= 3 && *max <= 99 && *min >= 1 && *min <= 32;
}

}  // namespace vellumar
