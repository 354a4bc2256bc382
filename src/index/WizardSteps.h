// The index wizard's decisions without its window: the order of its pages, the checks of
// each page, and the texts it shows. The window (index/ui/TFormWizard) reads its controls,
// asks these functions and shows what they say.
//
// Pages are numbered 1 to 7: 1 name, 2 scope, 3 format groups (never shown: Next and Back
// pass over it), 4 language, 5 word lengths and word lists, 6 closing text, 7 after
// Finish.
//
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

inline constexpr int kWizardFirstPage = 1;
inline constexpr int kWizardLastPage = 6;  // the closing page; Finish makes it 7
inline constexpr int kWizardFinished = 7;

inline constexpr const char* kWizardBanner = "Welcome to the Vellumar Wizard";
inline constexpr const char* kWizardContinueLine = "       To continue, click Next";
inline constexpr const char* kWizardFinishLine = "       To create new index, click Finish";
inline constexpr const char* kEmptyIndexNameMessage = "Index name not must be empty.";
inline constexpr const char* kIndexNameCharactersMessage =
    "Index name can not contain \"/\" or \".\".";
inline constexpr const char* kNoLanguageMessage = "No language is selected.";
inline constexpr const char* kWordLengthMessage =
    "Make sure \"Maximum word length\",\r\"Minimum word length\" and/or\r\"Compacting ratio\" "
    "have proper values";

// The page that Next leads to (the format page is skipped), and the page Back returns to;
// a page without a next or previous one gives itself.
int wizardNextPage(int page);
int wizardPreviousPage(int page);

enum class IndexNameCheck {
    Ok,       // a new name
    Empty,    // nothing but blanks
    BadName,  // holds "/" or "." (a file name in the index folder, read back to its ".")
    Exists,   // an existing index's name (exact comparison): ask before recreating it
};
// The trimmed name against the existing indexes' names.
IndexNameCheck checkWizardIndexName(std::string_view name, const std::vector<std::string>& names);

// "Index with name "NAME" already exists. Do ou want to recreate this index?"
std::string recreateIndexQuestion(std::string_view name);

// The maximum must be a number from 3 to 99 and the minimum one from 1 to 32 (blanks
// around them allowed).
bool wordLengthsAcceptable(std::string_view maximum, std::string_view minimum);

}  // namespace vellumar
