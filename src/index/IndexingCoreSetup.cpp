#include "index/IndexingCoreSetup.h"

#include "index/WordListFiles.h"

namespace vellumar {

IndexingCoreSettings indexingCoreSettings(const ProgramEnvironment& environment,
                                          const ProgramFolders& folders,
                                          const std::string& indexFolder,
                                          const textfold::CharTable& firstLanguageTable) {
    IndexingCoreSettings settings;
    settings.home = environment.home;
    settings.indexFolder = trimmed(indexFolder);
    settings.programTempFolder = folders.programTemp;
    settings.runFromCd = environment.readOnlyMedia;
    settings.mountPoint = folders.mountPoint;
    settings.firstLanguageTable = firstLanguageTable;
    return settings;
}

}  // namespace vellumar
