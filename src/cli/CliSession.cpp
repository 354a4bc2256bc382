#include "cli/CliSession.h"

#include <atomic>
#include <csignal>

#include "index/IndexFolder.h"
#include "index/IndexingCoreSetup.h"
#include "index/WordListFiles.h"
#include "platform/Home.h"
#include "platform/ProgramSetup.h"
#include "scope/ScopeStrings.h"

namespace fs = std::filesystem;

namespace vellumar::cli {

namespace {

std::atomic<bool>* interruptFlag = nullptr;

extern "C" void onInterrupt(int) {
    // Only a lock-free store: the build notices it between files and stops cleanly.
    if (interruptFlag) interruptFlag->store(true);
}

}  // namespace

Session::Session(const Arguments& arguments, std::FILE* err, bool terminal, std::FILE* answers)
    : ui(arguments.answer, err, terminal, answers) {
    // The same set-up as the window's: home, read-only media, temporary folders, settings;
    // only the first-start set-up (the wizard) is the window's alone.
    const ProgramEnvironment environment =
        detectProgramEnvironment(arguments.home, processEnvironment(), executableFolder());
    home = environment.home;
    if (!environment.homeProblem.empty())
        ui.showMessage(environment.homeProblem, MessageIcon::Warning, MessageButtons::Ok);
    const ProgramFolders folders = prepareProgramFolders(environment);
    const LoadedSettings loaded = loadProgramSettings(environment, folders);
    for (const std::string& warning : loaded.warnings)
        ui.showMessage(warning, MessageIcon::Warning, MessageButtons::Ok);
    indexFolder = indexFolderOf(loaded, home);
    settings = loaded.settings;
    languages.FillLanguageList(home, ui);
    IndexingCoreSettings coreSettings =
        indexingCoreSettings(environment, folders, indexFolder, languages.at(0).CharacterTable());
    coreSettings.startNotifierThread = false;
    coreSettings.writerRole = arguments.command == Command::Watch ? "watcher" : "command line";
    core = std::make_unique<IndexingCore>(ui, dispatcher, throttle, coreSettings);
    core->attachScanFolder();
    core->indexer.setDocumentListener([this](const vellcore::IndexObject& index) {
        ui.documentStored(index.GetRecordCount(), index.GetTotalSizeKB());
    });
    interruptFlag = &core->cancel;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    core->catalogue.setKeepDefinitionsWithoutIndex(true);
    core->catalogue.LoadIndexes(listDefinitionFiles(indexFolder));
}

Session::~Session() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    interruptFlag = nullptr;
    ui.finishProgress();
}

fs::path Session::definitionWithoutIndex(const std::string& name) const {
    const std::string wanted = asciiLower(trimmed(name));
    for (const fs::path& file : core->catalogue.definitionsWithoutIndex())
        if (asciiLower(indexNameOfDefinition(file)) == wanted) return file;
    return {};
}

int Session::open(const std::string& name) {
    const int position = core->catalogue.find(name);
    if (position < 0) {
        if (!definitionWithoutIndex(name).empty())
            ui.showMessage("The index \"" + name + "\" is broken: its folder " +
                               indexPathOf(indexFolder, name).string() +
                               " is missing.\rRemove it, or create it again.",
                           MessageIcon::Error, MessageButtons::Ok);
        else
            ui.showMessage("There is no index named \"" + name + "\" in " + indexFolder,
                           MessageIcon::Error, MessageButtons::Ok);
        return -1;
    }
    const int error = core->catalogue.OpenIndex(position, [&](int p) {
        const TLangStorage& language = languages.at(0);
        const auto definition = IndexDefinition::load(core->catalogue.definitionFile(p));
        return core->builder.RepairIndex(p, language.Name(), language.CharacterTable(),
                                         definition && definition->filesAsText);
    });
    return error == 0 ? position : -1;
}

IndexRequest Session::requestFor(int position) { return core->builder.RequestFor(position); }

}  // namespace vellumar::cli
