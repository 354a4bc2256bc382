// The settings of the index-management core for a program set up by ProgramSetup, the
// same for the window and vellumar-cli.
//
// Pure function; any thread.
#pragma once

#include <string>

#include "index/IndexingCore.h"
#include "platform/ProgramSetup.h"

namespace vellumar {

// indexFolder as the settings hold it (surrounding blanks are dropped); both parser sets
// start with firstLanguageTable, the table of the language list's first entry.
IndexingCoreSettings indexingCoreSettings(const ProgramEnvironment& environment,
                                          const ProgramFolders& folders,
                                          const std::string& indexFolder,
                                          const textfold::CharTable& firstLanguageTable);

}  // namespace vellumar
