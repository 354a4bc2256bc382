// The list of index languages: the built-in one and every .LNG file in the program
// folder, sorted by name (so the built-in entry is not necessarily first). Item 0 gives
// the parser sets their first table at start-up.
//
// Ownership: owns its TLangStorage entries; a refill replaces them all, so holders of a
// table copy it. Thread: the main thread.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "lang/TLangStorage.h"
#include "platform/UserInterface.h"

namespace vellumar {

class TLanguageList {
  public:
    // Rebuilds the list from programFolder: the built-in language, then every regular
    // file whose name ends in ".LNG" (without regard to case). A file that cannot be read
    // is reported as "<file>: <message>" (warning) and left out; the others stay.
    // Returns the index to select: the item whose name is rememberedName, else 0.
    int FillLanguageList(const std::filesystem::path& programFolder, UserInterface& ui,
                         const std::string& rememberedName = {});

    std::size_t size() const { return items_.size(); }
    const TLangStorage& at(std::size_t index) const { return *items_.at(index); }
    // The first item whose name is exactly `name`, or -1.
    int IndexOf(const std::string& name) const;
    void Clear() { items_.clear(); }

  private:
    std::vector<std::unique_ptr<TLangStorage>> items_;
};

// The list's order: names compared without regard to case and, first, without their
// accents (Latin letters), then byte by byte.
bool languageNameLess(const std::string& a, const std::string& b);

}  // namespace vellumar
