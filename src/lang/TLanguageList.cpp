#include "lang/TLanguageList.h"

#include <algorithm>

namespace vellumar {

namespace {

// Base letters of the Latin-1 letters (U+00C0-U+00FF) and of Latin Extended-A
// (U+0100-U+017F), so that "\u010Ce\u0161tina" sorts among the C's as a user expects.
constexpr char kLatin1Base[] = "AAAAAACCEEEEIIIIDNOOOOO*OUUUUYTSAAAAAACCEEEEIIIIDNOOOOO*OUUUUYTY";
constexpr char kExtendedABase[] =
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIIIJJKKKLLLLLLLLLLNNNNNNNNNOOOOOOOORRRRRRSSSS"
    "SSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS";

char32_t sortingBase(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0xC0 && cp <= 0xFF && kLatin1Base[cp - 0xC0] != '*')
        return static_cast<char32_t>(kLatin1Base[cp - 0xC0]);
    if (cp >= 0x100 && cp <= 0x17F) return static_cast<char32_t>(kExtendedABase[cp - 0x100]);
    return cp >= 0x80 ? textfold::unicodeUpper(cp) : cp;
}

// Sort keys: the base letters first, then the upper-cased characters.
std::pair<std::u32string, std::u32string> sortingKey(const std::string& s) {
    std::u32string base, upper;
    std::size_t pos = 0;
    while (pos < s.size()) {
        const char32_t cp = textfold::nextUtf8(s, pos);
        base += sortingBase(cp);
        upper += cp >= 0x80 ? textfold::unicodeUpper(cp) : (cp >= 'a' && cp <= 'z' ? cp - 32 : cp);
    }
    return {base, upper};
}

bool isLanguageFile(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    return ext == ".LNG";
}

}  // namespace

bool languageNameLess(const std::string& a, const std::string& b) {
    const auto ka = sortingKey(a), kb = sortingKey(b);
    if (ka != kb) return ka < kb;
    return a < b;
}

int TLanguageList::FillLanguageList(const std::filesystem::path& programFolder, UserInterface& ui,
                                    const std::string& rememberedName) {
    items_.clear();
    items_.push_back(std::make_unique<TLangStorage>(TLangStorage::BuiltIn()));

    // Files in name order, so that two files of one language name always list alike.
    // Whatever carries the extension is tried, so that a FIFO, a device link or a folder
    // named *.LNG is reported like any other broken language file (and never read).
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(programFolder, ec))
        if (isLanguageFile(entry.path())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        try {
            items_.push_back(std::make_unique<TLangStorage>(file));
        } catch (const std::exception& e) {
            ui.showMessage(file.string() + ": " + e.what(), MessageIcon::Warning,
                           MessageButtons::Ok);
        }
    }
    std::stable_sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
        return languageNameLess(a->Name(), b->Name());
    });
    const int remembered = rememberedName.empty() ? -1 : IndexOf(rememberedName);
    return remembered >= 0 ? remembered : 0;
}

int TLanguageList::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Name() == name) return static_cast<int>(i);
    return -1;
}

}  // namespace vellumar
