// Fills the language box (cmbLanguage) from the core's language list: the items in the
// list's sorted order, each item's data the address of its TLangStorage, and the
// selection kept by name across a refill. With this, the window's cmbLanguageEnter is
// one call.
//
// Thread: the GUI thread.
#pragma once

#include <filesystem>
#include <string>

class QComboBox;

namespace vellumar {

class TLangStorage;
class TLanguageList;
class UserInterface;

// Refills list from programFolder (reporting unreadable files through ui) and the box
// from list; keeps the selected language when it is still there, else selects item 0.
// Returns the selected index.
int refillLanguageCombo(QComboBox& box, TLanguageList& list,
                        const std::filesystem::path& programFolder, UserInterface& ui);

// The language of item `index` (the current item when -1), or nullptr.
const TLangStorage* LanguageOfItem(const QComboBox& box, int index = -1);

// Selects the item named exactly `name` (an index's language); none when there is none.
bool selectLanguageByName(QComboBox& box, const std::string& name);

}  // namespace vellumar
