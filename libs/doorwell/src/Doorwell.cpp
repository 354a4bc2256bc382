#include "doorwell/Doorwell.h"

#include "doorwell/FileActions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace doorwell {

namespace {
// The mark stands in a comment before the page proper.
constexpr std::size_t kSearchedBytes = 4096;
constexpr std::string_view kMark = "saved from url=(";
}  // namespace

std::string urlFromSavedMark(std::string_view text) {
    std::string lower(text.substr(0, kSearchedBytes));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t mark = lower.find(kMark);
    if (mark == std::string::npos) return {};
    std::size_t pos = mark + kMark.size();
    std::size_t length = 0;
    std::size_t digits = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && digits < 6) {
        length = length * 10 + static_cast<std::size_t>(text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0 || pos >= text.size() || text[pos] != ')' || length == 0) return {};
    ++pos;
    if (pos + length > text.size()) return {};
    std::string address(text.substr(pos, length));
    // A damaged mark must not deliver the rest of the comment as an address.
    if (address.find_first_of(" \t\r\n<>\"") != std::string::npos) return {};
    return address;
}

bool GetUrl(const std::string& fileName, std::string& address, std::size_t capacity) {
    address.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    std::string head(kSearchedBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    std::string found = urlFromSavedMark(head);
    if (found.empty()) return false;
    address = found.substr(0, capacity);
    return true;
}

std::string GetDefaultItemInMenu(const std::string& fileName) {
    return defaultCommandOf(fileName, XdgDirs::FromEnvironment());
}

}  // namespace doorwell
