#include "cli/CliCommands.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli/CliSearchExtras.h"
#include "cli/CliSession.h"
#include "cli/CliText.h"
#include "cli/Json.h"
#include "cli/ShowCommand.h"
#include "cli/WatchCommand.h"
#include "index/BuildResult.h"
#include "index/IndexFolder.h"
#include "index/WordListFiles.h"
#include "platform/DosStamp.h"

namespace fs = std::filesystem;

namespace vellumar::cli {

namespace {

// Where a failure goes besides standard error: the text for --json.
void fail(Session& s, std::FILE* err, const std::string& text) {
    std::fprintf(err, "vellumar-cli: %s\n", consoleText(text).c_str());
    s.ui.setLastProblem(text);
}

struct ListEntry {
    std::string name;
    int position = -1;  // in the catalogue, or -1 when the index is not loaded
};

int listIndexes(Session& s, const Arguments& a, std::FILE* out) {
    Catalogue& catalogue = s.core->catalogue;
    // Every definition file of the index folder is listed, the ones that could not be
    // loaded as broken: an index that vanishes from the list would look deleted.
    std::vector<ListEntry> entries;
    for (const fs::path& file : listDefinitionFiles(s.indexFolder)) {
        ListEntry entry{indexNameOfDefinition(file)};
        for (int i = 0; i < catalogue.count(); ++i)
            if (catalogue.name(i) == entry.name) entry.position = i;
        entries.push_back(entry);
    }
    if (a.json) std::fputs("[", out);
    bool first = true;
    for (const ListEntry& entry : entries) {
        const fs::path definitionFile = definitionFileOf(indexPathOf(s.indexFolder, entry.name));
        const auto definition = IndexDefinition::load(definitionFile).value_or(IndexDefinition{});
        vellcore::IndexObject* index = catalogue.object(entry.position);
        std::string problem;
        int error = 0;
        if (!index) {
            std::error_code ec;
            error = vellcore::kCannotOpen;
            problem = !fs::is_directory(indexPathOf(s.indexFolder, entry.name), ec)
                          ? "its index folder is missing"
                      : trimmed(definition.scope).empty() ? "its scope is empty"
                                                          : "the engine can not open it";
        } else {
            // Opened only to read the statistics; a broken index is listed as such and left
            // alone (repairing is for update and search, after the question).
            index->Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, 50);
            error = index->GetErrorCode();
            index->ClearError();
            if (error) problem = "engine error " + std::to_string(error);
        }
        const bool ok = problem.empty();
        if (a.json) {
            std::fprintf(
                out,
                "%s\n{\"name\": %s, \"scope\": %s, \"language\": %s, \"error\": %d, "
                "\"broken\": %s, \"problem\": %s, \"files\": %d, \"removed\": %d, "
                "\"sizeKB\": %lld, \"words\": %lld, \"uniqueWords\": %lld, \"lastUpdated\": %s, "
                "\"autoUpdate\": %s}",
                first ? "" : ",", jsonString(entry.name).c_str(),
                jsonString(definition.scope).c_str(),
                jsonString(index ? index->GetLanguageName() : "").c_str(), error,
                ok ? "false" : "true", jsonString(problem).c_str(),
                ok ? index->GetRecordCount() : 0, ok ? index->GetRemovedCount() : 0,
                static_cast<long long>(ok ? index->GetTotalSizeKB() : 0),
                static_cast<long long>(ok ? index->GetWordCount() : 0),
                static_cast<long long>(ok ? index->GetUniqueWordCount() : 0),
                jsonString(definition.lastUpdated).c_str(),
                definition.monitored ? "true" : "false");
        } else if (!ok) {
            std::fprintf(out, "%s\tbroken (%s)\t%s\n", plainText(entry.name).c_str(),
                         problem.c_str(), plainText(definition.scope).c_str());
        } else {
            std::fprintf(
                out, "%s\t%s\t%lld KB\t%s (%lld unique)\t%s\t%s\n", plainText(entry.name).c_str(),
                countOf(index->GetRecordCount(), "file", "files").c_str(),
                static_cast<long long>(index->GetTotalSizeKB()),
                countOf(index->GetWordCount(), "word", "words").c_str(),
                static_cast<long long>(index->GetUniqueWordCount()),
                plainText(definition.lastUpdated).c_str(), plainText(definition.scope).c_str());
        }
        first = false;
    }
    if (a.json) std::fputs(entries.empty() ? "]\n" : "\n]\n", out);
    return 0;
}

int finishBuild(Session& s, const BuildOutcome& outcome, std::FILE* out, const char* verb) {
    s.ui.finishProgress();
    if (!outcome.ran || outcome.code == BuildResult::kAbandoned) return 1;
    if (!isBuildSuccess(outcome.code)) return 1;
    vellcore::IndexObject* index = s.core->catalogue.object(outcome.position);
    std::fprintf(out, "%s \"%s\": %s, %lld KB%s\n", verb,
                 plainText(s.core->catalogue.name(outcome.position)).c_str(),
                 countOf(index ? index->GetRecordCount() : 0, "file", "files").c_str(),
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

int removeIndex(Session& s, const Arguments& a, std::FILE* out, std::FILE* err) {
    const int position = s.core->catalogue.find(a.name);
    const fs::path orphan = position < 0 ? s.definitionWithoutIndex(a.name) : fs::path();
    if (position < 0 && orphan.empty()) {
        s.ui.showMessage("There is no index named \"" + a.name + "\"", MessageIcon::Error,
                         MessageButtons::Ok);
        return 1;
    }
    // Deleting an index cannot be undone: somebody must say so.
    if (a.answer == Answer::Default && !s.ui.asksPerson()) {
        fail(s, err,
             "remove deletes the index \"" + a.name +
                 "\" for good; without a terminal to ask on, give --yes to confirm.");
        return 2;
    }
    if (position >= 0) {
        if (!s.core->builder.RemoveIndex(position)) return 1;
    } else {
        // Only the definition is left of an index whose folder was deleted.
        if (s.ui.showMessage("Are you sure you want to remove the selected index?",
                             MessageIcon::Question, MessageButtons::YesNo) != MessageResult::Yes)
            return 1;
        std::error_code ec;
        if (!fs::remove(orphan, ec)) {
            fail(s, err, "can not delete " + orphan.string());
            return 1;
        }
    }
    std::fprintf(out, "Removed \"%s\"\n", plainText(a.name).c_str());
    return 0;
}

void printHits(const Arguments& a, const std::vector<vellcore::HitRecord>& hits, std::FILE* out) {
    if (a.json) {
        std::fputs(", \"hits\": [", out);
        for (std::size_t h = 0; h < hits.size(); ++h)
            std::fprintf(out, "%s[%u, %u]", h ? ", " : "", hits[h].firstWord,
                         static_cast<unsigned>(hits[h].wordCount));
        std::fputs("]", out);
        return;
    }
    std::fputs("    hits:", out);
    for (const auto& hit : hits)
        std::fprintf(out, " %u+%u", hit.firstWord, static_cast<unsigned>(hit.wordCount));
    std::fputs("\n", out);
}

int searchIndex(Session& s, const Arguments& a, std::FILE* out) {
    const int position = s.open(a.name);
    if (position < 0) return 1;
    vellcore::IndexObject& index = *s.core->catalogue.object(position);
    index.BeginSession();
    std::string query = a.query;
    if (!a.fromList.empty()) {
        const auto fromList = queryFromListFile(a.fromList, index, s.core->indexingParsers, s.ui);
        if (!fromList) {
            index.EndSession();
            return 1;
        }
        query = *fromList;
    }
    int files = 0;
    std::int64_t entries = 0;
    const bool found = index.RunQuery(query, files, entries) != 0;
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
    if (a.sort == Sort::Name) index.SortResults(vellcore::kByName);
    if (a.sort == Sort::Relevance) index.SortResults(vellcore::kByRelevance);
    const long first = std::min<long>(a.offset, files);
    const long last = a.limit < 0 ? files : std::min<long>(files, first + a.limit);
    if (a.json)
        std::fprintf(out, "{\"files\": %d, \"entries\": %lld, \"results\": [", files,
                     static_cast<long long>(entries));
    else
        std::fprintf(out, "%s, %s\n", countOf(files, "file", "files").c_str(),
                     countOf(entries, "entry", "entries").c_str());
    std::vector<vellcore::HitRecord> hits;
    std::optional<HitContextReader> contextReader;
    const ProgramTempFolder temp(s.core->settings.programTempFolder);
    if (a.context) {
        const auto definition = IndexDefinition::load(s.core->catalogue.definitionFile(position));
        contextReader.emplace(s.core->viewerParsers, index, definition && definition->filesAsText,
                              temp);
    }
    std::vector<HitContext> contexts;
    for (long i = first; i < last; ++i) {
        std::string name;
        vellcore::Stamp stamp = 0;
        if (!index.GetResult(static_cast<int>(i), name, stamp)) break;
        if (a.hits || a.context) index.GetHits(static_cast<int>(i), hits);
        if (contextReader) contexts = contextReader->read(name, hits);
        if (a.json) {
            std::fprintf(out, "%s\n  {\"name\": %s, \"stamp\": %s", i > first ? "," : "",
                         jsonString(name).c_str(), jsonString(formatDosStamp(stamp)).c_str());
            if (a.hits) printHits(a, hits, out);
            if (a.context) printContextJson(out, contexts);
            std::fputs("}", out);
        } else {
            std::fprintf(out, "%s\t%s\n", plainText(name).c_str(), formatDosStamp(stamp).c_str());
            if (a.hits) printHits(a, hits, out);
            if (a.context) printContextLines(out, contexts);
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
        do std::fprintf(out, "%s\n", plainText(word).c_str());
        while (index.EnumWords(nullptr, word));
    }
    index.ClearError();
    return 0;
}

int runSession(const Arguments& a, std::FILE* out, std::FILE* err, bool terminal,
               std::FILE* answers, std::string& problem) {
    Session session(a, err, terminal, answers);
    int status = 2;
    switch (a.command) {
        case Command::List:
            status = listIndexes(session, a, out);
            break;
        case Command::Create:
            status = createIndex(session, a, out);
            break;
        case Command::Update:
            status = updateIndex(session, a, out);
            break;
        case Command::Remove:
            status = removeIndex(session, a, out, err);
            break;
        case Command::Search:
            status = searchIndex(session, a, out);
            break;
        case Command::Words:
            status = listWords(session, a, out);
            break;
        case Command::Watch:
            status = watchIndexes(session, out);
            break;
        case Command::Show:
            status = showFile(*session.core, session.open(a.name), session.ui, a, out);
            break;
        default:
            break;
    }
    problem = session.ui.lastProblem();
    return status;
}

}  // namespace

int runCommand(const Arguments& a, std::FILE* out, std::FILE* err, bool terminal,
               std::FILE* answers) {
    if (a.command == Command::Help) {
        std::fputs(usage().c_str(), out);
        return 0;
    }
    int status = 2;
    std::string problem;
    if (!a.error.empty()) {
        std::fprintf(err, "vellumar-cli: %s\n%s", a.error.c_str(), usage().c_str());
        problem = a.error;
    } else {
        try {
            status = runSession(a, out, err, terminal, answers, problem);
        } catch (const std::exception& error) {
            std::fprintf(err, "vellumar-cli: %s\n", error.what());
            problem = error.what();
            status = 1;
        }
    }
    if (status != 0 && a.json) {
        // Whoever reads the output as JSON gets the failure as JSON too.
        if (problem.empty()) problem = "the command failed";
        std::fprintf(out, "{\"error\": %s, \"status\": %d}\n", jsonString(problem).c_str(), status);
    }
    return status;
}

}  // namespace vellumar::cli
