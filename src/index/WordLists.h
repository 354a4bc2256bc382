// Stop-word lists and filtering dictionaries: loaded into a new index at its creation, and
// the export of an index's words as a dictionary file. Both lists are plain text files
// read with the text parser, so a "word" is whatever that parser delivers under the
// index's language and word lengths.
//
// Thread: the thread that builds the index (it holds the notifier lock).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/UserInterface.h"
#include "vellcore/IndexObject.h"
#include "wordmill/Parser.h"

namespace vellumar {

// Adds every word of the stop-word file (no document open). Nothing when it cannot be
// read. Returns the number of words added. The file is read through readUserFile (limit
// kWordListFileLimit); for one that is there but damaged, `problem` receives the warning.
int loadStopWords(vellcore::IndexObject& index, wordmill::Parser& textParser,
                  const std::filesystem::path& file, std::string* problem = nullptr);

enum class DictionaryLoad { Loaded, Empty };

// Loads the filtering dictionary as a pseudo-document and ends the load. Empty when the
// file added no word to the index (unreadable, or no word characters): the caller asks
// whether to go on without it, and the index stays unfiltered.
// A damaged file (see loadStopWords) counts as empty.
DictionaryLoad loadDictionary(vellcore::IndexObject& index, wordmill::Parser& textParser,
                              const std::filesystem::path& file, std::string* problem = nullptr);

inline constexpr const char* kEmptyDictionaryQuestion =
    "The filtering dictionary should contain words that have to be included into index,\rbut "
    "your current dictionary is empty.\rIf you continue indexing without filtering your index "
    "may contain too many unique words.\rContinue indexing?";

// Every word of the index as stored, sorted without regard to case.
std::vector<std::string> indexWords(vellcore::IndexObject& index);

// Writes words one per line, each ended by CR LF. False when the file cannot be written.
bool writeDictionaryFile(const std::filesystem::path& file, const std::vector<std::string>& words);

}  // namespace vellumar
