#include "cli/CliCommands.h"

#include <csignal>
#include <filesystem>
#include <string>

#include "cli/ConsoleUserInterface.h"
#include "cli/Json.h"
#include "index/BuildResult.h"
#include "index/IndexFolder.h"
#include "index/IndexingCore.h"
#include "index/WordListFiles.h"
#include "lang/TLanguageList.h"
#include "monitor/MainThreadDispatcher.h"
#include "platform/DosStamp.h"
#include "platform/Home.h"
#include "platform/ProfileFile.h"
#include "platform/ReadOnlyMedia.h"
#include "platform/TempFolders.h"
#include "platform/UserFileReader.h"

namespace fs = std::filesystem;

namespace vellumar::cli {

namespace {

std::atomic<bool>* interruptFlag = nullptr;

extern "C" void onInterrupt(int) {
    // Only a lock-free store: the build notices it between files and stops cleanly.
    if (interruptFlag) interruptFlag->store(true);
}

// The index folder the window uses: the settings' IndexFolder, else the home's "Indexes"
// folder that the window's first start creates. A damaged settings file is reported and
// read as defaults.
std::string indexFolderOf(const fs::path& home, UserInterface& ui) {
    const ProfileFile settings = ProfileFile::load(home / kSettingsFileName);
    if (settings.damaged())
        ui.showMessage(damagedFileWarning(settings.problem()), MessageIcon::Warning,
                       MessageButtons::Ok);
    const std::string folder = trimmed(settings.readString("Indexes", "IndexFolder"));
    if (!folder.empty()) return folder;
    return (home / "Indexes").string();
}

class Session {
public:
    Session(const Arguments& arguments, std::FILE* err, bool terminal)
        : ui(arguments.answer, err, terminal) {
        const fs::path exe = executableFolder();
        home = chooseHome(arguments.home, processEnvironment(), exe).folder;
        const bool readOnly = isOnReadOnlyMedia(home);
        const HomeSetup setup = prepareHome(home, findShippedFolder(exe), readOnly);
        if (!setup.problem.empty()) ui.showMessage(setup.problem, MessageIcon::Warning, MessageButtons::Ok);
        IndexingCoreSettings settings;
        settings.home = home;
        settings.indexFolder = indexFolderOf(home, ui);
        settings.programTempFolder =
            programTempFolder(home, readOnly, systemTempFolder(processEnvironment()));
        prepareTempFolder(settings.programTempFolder);
        settings.startNotifierThread = false;
        languages.FillLanguageList(home, ui);
        settings.firstLanguageTable = languages.at(0).CharacterTable();
        core = std::make_unique<IndexingCore>(ui, dispatcher, throttle, settings);
        core->attachScanFolder();
        core->indexer.setDocumentListener([this](const vellcore::IndexObject& index) {
            ui.documentStored(index.GetRecordCount(), index.GetTotalSizeKB());
        });
        interruptFlag = &core->cancel;
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
        core->catalogue.LoadIndexes(listDefinitionFiles(settings.indexFolder));
    }
    ~Session() {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        interruptFlag = nullptr;
        ui.finishProgress();
    }

    // The index of that name opened for searching (repairing it after the question), or
    // -1 with the message printed.
    int open(const std::string& name) {
        const int position = core->catalogue.find(name);
        if (position < 0) {
            ui.showMessage("There is no index named \"" + name + "\" in " +
                               core->catalogue.settings().indexFolder,
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

    // What the Indexes page would show for an existing index.
    IndexRequest requestFor(int position) {
        IndexRequest r;
        const auto definition = IndexDefinition::load(core->catalogue.definitionFile(position))
                                    .value_or(IndexDefinition{});
        vellcore::IndexObject* index = core->catalogue.object(position);
        r.name = core->catalogue.name(position);
        r.scope = core->catalogue.effectiveScope(definition.scope);
        r.maxLength = std::to_string(index->GetMaxWordLength());
        r.minLength = std::to_string(index->GetMinWordLength());
        r.languageName = index->GetLanguageName();
        r.languageTable = index->GetLanguageTable();
        r.autoUpdate = definition.monitored;
        r.archives = definition.archive;
        r.filesAsText = definition.filesAsText;
        r.express = definition.express;
        r.useDictionary = !definition.dictionary.empty();
        r.dictionary = definition.dictionary;
        r.useStopWords = !definition.stopWords.empty();
        r.stopWords = definition.stopWords;
        r.notes = definition.notes;
        return r;
    }

    ConsoleUserInterface ui;
    fs::path home;
    TLanguageList languages;
    QueuedDispatcher dispatcher;
    ProgressThrottle throttle;
    std::unique_ptr<IndexingCore> core;
};

int listIndexes(Session& s, const Arguments& a, std::FILE* out) {
    Catalogue& catalogue = s.core->catalogue;
    if (a.json) std::fputs("[", out);
    for (int i = 0; i < catalogue.count(); ++i) {
        vellcore::IndexObject* index = catalogue.object(i);
        // Opened here only to read the statistics; a broken index is listed as such and
        // left alone (repairing is for update and search, after the question).
        index->Prepare(3, "", nullptr, 32, 2, 50);
        const int error = index->GetErrorCode();
        index->ClearError();
        const auto definition =
            IndexDefinition::load(catalogue.definitionFile(i)).value_or(IndexDefinition{});
        if (a.json) {
            std::fprintf(out,
                         "%s\n{\"name\": %s, \"scope\": %s, \"language\": %s, \"error\": %d, "
                         "\"files\": %d, \"removed\": %d, \"sizeKB\": %lld, \"words\": %lld, "
                         "\"uniqueWords\": %lld, \"lastUpdated\": %s, \"autoUpdate\": %s}",
                         i ? "," : "", jsonString(catalogue.name(i)).c_str(),
                         jsonString(definition.scope).c_str(),
                         jsonString(index->GetLanguageName()).c_str(), error,
                         index->GetRecordCount(), index->GetRemovedCount(),
                         static_cast<long long>(index->GetTotalSizeKB()),
                         static_cast<long long>(index->GetWordCount()),
                         static_cast<long long>(index->GetUniqueWordCount()),
                         jsonString(definition.lastUpdated).c_str(),
                         definition.monitored ? "true" : "false");
        } else if (error != 0) {
            std::fprintf(out, "%s\tbroken (engine error %d)\t%s\n", catalogue.name(i).c_str(), error,
                         definition.scope.c_str());
        } else {
            std::fprintf(out, "%s\t%d files\t%lld KB\t%lld words (%lld unique)\t%s\t%s\n",
                         catalogue.name(i).c_str(), index->GetRecordCount(),
                         static_cast<long long>(index->GetTotalSizeKB()),
                         static_cast<long long>(index->GetWordCount()),
                         static_cast<long long>(index->GetUniqueWordCount()),
                         definition.lastUpdated.c_str(), definition.scope.c_str());
        }
    }
    if (a.json) std::fputs(catalogue.count() ? "\n]\n" : "]\n", out);
    return 0;
}

int finishBuild(Session& s, const BuildOutcome& outcome, std::FILE* out, const char* verb) {
    s.ui.finishProgress();
    if (!outcome.ran || outcome.code == BuildResult::kAbandoned) return 1;
    if (!isBuildSuccess(outcome.code)) return 1;
    vellcore::IndexObject* index = s.core->catalogue.object(outcome.position);
    std::fprintf(out, "%s \"%s\": %d files, %lld KB%s\n", verb,
                 s.core->catalogue.name(outcome.position).c_str(),
                 index ? index->GetRecordCount() : 0,
                 static_cast<long long>(index ? index->GetTotalSizeKB() : 0),
                 outcome.code == BuildResult::kUserCancel ? " (cancelled)" : "");
    return outcome.code == BuildResult::kUserCancel ? 1 : 0;
}

int createIndex(Session& s, const Arguments& a, std::FILE* out) {
    if (s.core->catalogue.find(a.name) >= 0) {
        s.ui.showMessage("An index named \"" + a.name + "\" exists already; use update.",
                         MessageIcon::Error, MessageButtons::Ok);
        return 1;
    }
    IndexRequest r;
    r.name = a.name;
    r.scope = a.scope;
    r.maxLength = a.maxLength;
    r.minLength = a.minLength;
    const std::string languageName = a.language.empty() ? kBuiltInLanguageName : a.language;
    const int language = s.languages.IndexOf(languageName);
    if (language < 0) {
        s.ui.showMessage("Unknown language \"" + languageName + "\"", MessageIcon::Error,
                         MessageButtons::Ok);
        return 2;
    }
    r.languageName = s.languages.at(language).Name();
    r.languageTable = s.languages.at(language).CharacterTable();
    r.archives = a.archives;
    r.filesAsText = a.raw;
    r.autoUpdate = a.autoUpdate;
    r.useStopWords = !a.stopWords.empty();
    r.stopWords = a.stopWords;
    r.useDictionary = !a.dictionary.empty();
    r.dictionary = a.dictionary;
    r.notes = a.notes;
    return finishBuild(s, s.core->builder.Build(BuildKind::Create, -1, r), out, "Created");
}

int updateIndex(Session& s, const Arguments& a, std::FILE* out) {
    const int position = s.open(a.name);
    if (position < 0) return 1;
    IndexRequest r = s.requestFor(position);
    return finishBuild(s, s.core->builder.Build(BuildKind::Update, position, r), out, "Updated");
}

int removeIndex(Session& s, const Arguments& a, std::FILE* out) {
    const int position = s.core->catalogue.find(a.name);
    if (position < 0) {
        s.ui.showMessage("There is no index named \"" + a.name + "\"", MessageIcon::Error,
                         MessageButtons::Ok);
        return 1;
    }
    if (!s.core->builder.RemoveIndex(position)) return 1;
    std::fprintf(out, "Removed \"%s\"\n", a.name.c_str());
    return 0;
}

int searchIndex(Session& s, const Arguments& a, std::FILE* out) {
    const int position = s.open(a.name);
    if (position < 0) return 1;
    vellcore::IndexObject& index = *s.core->catalogue.object(position);
    index.BeginSession();
    int files = 0;
    std::int64_t entries = 0;
    const bool found = index.RunQuery(a.query, files, entries) != 0;
    if (!found) {
        const int code = index.GetErrorCode();
        s.ui.showMessage(code == vellcore::kStopWordsOnly
                             ? "The query consists of stop-words only."
                             : "The query failed: " + index.GetErrorMessage(),
                         MessageIcon::Error, MessageButtons::Ok);
        index.ClearError();
        index.EndSession();
        return 1;
    }
    if (a.sort == Sort::Name) index.SortResults(1);
    if (a.sort == Sort::Relevance) index.SortResults(2);
    const long first = std::min<long>(a.offset, files);
    const long last = a.limit < 0 ? files : std::min<long>(files, first + a.limit);
    if (a.json)
        std::fprintf(out, "{\"files\": %d, \"entries\": %lld, \"results\": [", files,
                     static_cast<long long>(entries));
    else
        std::fprintf(out, "%d files, %lld entries\n", files, static_cast<long long>(entries));
    std::vector<vellcore::HitRecord> hits;
    for (long i = first; i < last; ++i) {
        std::string name;
        vellcore::Stamp stamp = 0;
        if (!index.GetResult(static_cast<int>(i), name, stamp)) break;
        if (a.hits) index.GetHits(static_cast<int>(i), hits);
        if (a.json) {
            std::fprintf(out, "%s\n  {\"name\": %s, \"stamp\": %s", i > first ? "," : "",
                         jsonString(name).c_str(), jsonString(formatDosStamp(stamp)).c_str());
            if (a.hits) {
                std::fputs(", \"hits\": [", out);
                for (std::size_t h = 0; h < hits.size(); ++h)
                    std::fprintf(out, "%s[%u, %u]", h ? ", " : "", hits[h].firstWord,
                                 static_cast<unsigned>(hits[h].wordCount));
                std::fputs("]", out);
            }
            std::fputs("}", out);
        } else {
            std::fprintf(out, "%s\t%s\n", name.c_str(), formatDosStamp(stamp).c_str());
            if (a.hits) {
                std::fputs("    hits:", out);
                for (const auto& hit : hits)
                    std::fprintf(out, " %u+%u", hit.firstWord, static_cast<unsigned>(hit.wordCount));
                std::fputs("\n", out);
            }
        }
    }
    if (a.json) std::fputs(last > first ? "\n]}\n" : "]}\n", out);
    index.EndSession();
    return 0;
}

int listWords(Session& s, const Arguments& a, std::FILE* out) {
    const int position = s.open(a.name);
    if (position < 0) return 1;
    vellcore::IndexObject& index = *s.core->catalogue.object(position);
    const std::string pattern = a.pattern.empty() ? "**" : a.pattern;
    std::string word;
    if (index.EnumWords(&pattern, word)) {
        do std::fprintf(out, "%s\n", word.c_str());
        while (index.EnumWords(nullptr, word));
    }
    index.ClearError();
    return 0;
}

}  // namespace

int runCommand(const Arguments& a, std::FILE* out, std::FILE* err, bool terminal) {
    if (a.command == Command::Help) {
        std::fputs(usage().c_str(), out);
        return 0;
    }
    if (!a.error.empty()) {
        std::fprintf(err, "vellumar-cli: %s\n%s", a.error.c_str(), usage().c_str());
        return 2;
    }
    try {
        Session session(a, err, terminal);
        switch (a.command) {
            case Command::List: return listIndexes(session, a, out);
            case Command::Create: return createIndex(session, a, out);
            case Command::Update: return updateIndex(session, a, out);
            case Command::Remove: return removeIndex(session, a, out);
            case Command::Search: return searchIndex(session, a, out);
            case Command::Words: return listWords(session, a, out);
            default: break;
        }
    } catch (const std::exception& error) {
        std::fprintf(err, "vellumar-cli: %s\n", error.what());
        return 1;
    }
    return 2;
}

}  // namespace vellumar::cli
