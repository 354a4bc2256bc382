// What the language controls do, apart from the window: the question when the language
// of an existing index is changed, and the start of the language maker "tablewright"
// with its four failure messages. The window calls these from cmbLanguageChange and
// cmdCustLangsClick; the recreate path itself needs the catalogue and lives with it.
//
// Thread: the main thread.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/UserInterface.h"

namespace vellumar {

inline constexpr const char* kRecreateWithLanguageQuestion =
    "Do you really want to recreate index with another language?";
inline constexpr const char* kIndexInUseMessage =
    "Sorry, this index can not be updated or removed now. Probably it is opened by another "
    "application.";

enum class LanguageChange {
    ForNewIndex,  // a new index is being defined: nothing to ask, the choice is used at creation
    Recreate,     // the user agreed: delete and create the index again with the new language
    Keep,         // the user declined: the index keeps its language
};

// creatingNewIndex: the update button reads "&Create".
LanguageChange decideLanguageChange(bool creatingNewIndex, UserInterface& ui);

// Starts a program detached; returns 0 or an errno.
using ProgramStarter =
    std::function<int(const std::filesystem::path&, const std::vector<std::string>&)>;

// Starts "tablewright" (from the program folder, else the PATH) with the program
// folder as its one argument. On failure shows one of the four messages (warning) and
// returns false. The starter can be replaced for tests.
bool startLanguageMaker(const std::filesystem::path& programFolder, UserInterface& ui,
                        const ProgramStarter& starter = {});

// The message for a failed start with errno `error`.
std::string languageMakerFailureMessage(int error, const std::filesystem::path& programFolder);

}  // namespace vellumar
