#include "index/IndexBuilder.h"

#include "monitor/HomeLock.h"

#include <charconv>
#include <system_error>

#include "index/BuildResult.h"
#include "index/IndexFolder.h"
#include "index/ScopeCheck.h"
#include "index/WordListFiles.h"
#include "index/WordLists.h"
#include "monitor/HomeLock.h"
#include "monitor/MonitorLock.h"
#include "monitor/Notifier.h"
#include "parserset/TParserSet.h"
#include "platform/DosStamp.h"
#include "platform/Priority.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

constexpr int kCompactingRatio = 50;

std::optional<int> parseNumber(const std::string& text) {
    const std::string t = trimmed(text);
    int value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

// Removes what a failed creation left in the index folder, the folder too when empty.
void removeIndexLeftovers(vellcore::IndexObject& index) {
    index.DeleteIndexFiles();
    std::error_code ec;
    fs::remove(fs::path(index.GetIndexPath()) / "tmp", ec);
    fs::remove(index.GetIndexPath(), ec);
}

}  // namespace

IndexBuilder::IndexBuilder(BuilderServices services) : services_(std::move(services)) {}

bool IndexBuilder::Validate(const IndexRequest& request, int& maxLength, int& minLength) const {
    const bool noName = trimmed(request.name).empty();
    const bool noScope = trimmed(request.scope).empty();
    if (noName) {
        // With neither a name nor a scope the button was pressed by mistake: say nothing.
        if (!noScope)
            services_.ui.showMessage("Index name not must be empty.", MessageIcon::Warning,
                                     MessageButtons::Ok);
        return false;
    }
    if (noScope) {
        services_.ui.showMessage("Location of files to index not must be empty.",
                                 MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    // The name is a file name in the index folder, and its definition file is read back
    // up to the first period: "a.b" would come back as "a" and be lost, "a/b" would
    // live outside the folder.
    if (trimmed(request.name).find_first_of("/.") != std::string::npos) {
        services_.ui.showMessage("Index name can not contain \"/\" or \".\".", MessageIcon::Warning,
                                 MessageButtons::Ok);
        return false;
    }
    const auto max = parseNumber(request.maxLength);
    const auto min = parseNumber(request.minLength);
    if (!max || !min || *max < 3 || *max > 99 || *min < 1 || *min > 32) {
        services_.ui.showMessage(
            "Make sure \"Maximum word length\",\r\"Minimum word length\" and/or\r\"Compacting "
            "ratio\" have proper values",
            MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    maxLength = *max;
    minLength = *min;
    return true;
}

bool IndexBuilder::mayWrite() {
    // Another process (the watcher) writes this home's indexes while it runs.
    if (!services_.homeLock || services_.homeLock->TryAcquire()) return true;
    services_.ui.showMessage(kCannotModifyMessage, MessageIcon::Warning, MessageButtons::Ok);
    return false;
}

BuildOutcome IndexBuilder::Build(BuildKind kind, int position, IndexRequest& request) {
    BuildOutcome outcome;
    errorLog_.clear();
    lastWarning_.clear();
    int maxLength = 32, minLength = 2;
    if (kind != BuildKind::UpdateFile && !Validate(request, maxLength, minLength)) return outcome;
    if (!mayWrite()) return outcome;
    if (kind == BuildKind::Create && request.name == kCacheWatcherIndexName &&
        request.filesAsText) {
        services_.ui.showMessage(
            "Cache Watcher index requires files to be\rparsed as HTML (not as source).",
            MessageIcon::Warning, MessageButtons::Ok);
        request.filesAsText = false;
        if (listener_) listener_->requestChanged(request);
    }

    if (request.archives && request.autoUpdate) {
        // An index that looks into archives is never automatically updateable (the window's
        // two boxes uncheck each other); a definition that says both is mended here.
        request.autoUpdate = false;
        if (listener_) listener_->requestChanged(request);
    }
    lastWarning_ = kind == BuildKind::UpdateFile
                       ? ""
                       : skippedScopeEntriesText(skippedScopeEntries(request.scope));
    const std::string& skipped = lastWarning_;

    outcome.ran = true;
    busy_ = true;
    if (listener_) listener_->buildStarted();
    services_.ui.showStatus("Searching for files to index...");
    MonitorLock lock(services_.notifier);
    std::int32_t result = 0;
    {
        IdlePriorityScope idle;
        switch (kind) {
            case BuildKind::Create:
                if (services_.catalogue.opened() >= 0)
                    services_.catalogue.UnloadIndex(services_.catalogue.opened());
                result = CreateIndex(request, maxLength, minLength, position);
                break;
            case BuildKind::Update:
                result = UpdateIndex(position, request);
                break;
            case BuildKind::UpdateFile:
                result = UpdateOneFile(position, request);
                break;
        }
    }
    if (!errorLog_.empty() && result != BuildResult::kUserCancel) {
        const fs::path file = errorLogFile();
        errorLog_.save(file);
        services_.ui.showMessage(
            "Some files weren't parsed successfully.\rFor list of these files "
            "see in log file \r" +
                file.string() + ".",
            MessageIcon::Warning, MessageButtons::Ok);
    }
    busy_ = false;
    if (listener_) listener_->buildFinished();
    outcome.code = result;
    outcome.position = position;

    // Abandoned (an empty dictionary declined, an index another program holds): nothing
    // was built and nothing is reported further.
    if (result == BuildResult::kAbandoned) return outcome;
    if (isBuildSuccess(result)) {
        writeDefinition(kind, position, request);
        services_.ui.showStatus("All is OK!");
        if (!skipped.empty()) services_.ui.showWarning(skipped);
        return outcome;
    }
    if (!skipped.empty()) services_.ui.showWarning(skipped);
    if (kind == BuildKind::Create || position < 0) {
        reportFailure(kind, result);
        return outcome;
    }
    // A failed update never costs the index: it stays in every list with its definition
    // file, and is opened again as it was at its last commit. Only an index that cannot
    // be opened afterwards is left to the repair question of its next opening.
    const bool reopened = reopenAfterFailedUpdate(position);
    services_.ui.showMessage("Index wasn't updated successfully: " + buildResultText(result) +
                                 "\r" + (reopened ? kIndexKeptText : kRepairAdviceText),
                             MessageIcon::Error, MessageButtons::Ok);
    return outcome;
}

bool IndexBuilder::reopenAfterFailedUpdate(int position) {
    vellcore::IndexObject* index = services_.catalogue.object(position);
    if (!index) return false;
    // Closing drops whatever the failed update left uncommitted.
    index->ClearError();
    index->CloseFiles();
    index->ClearError();
    if (index->Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, kCompactingRatio) &&
        index->GetErrorCode() == 0)
        return true;
    index->ClearError();
    if (services_.catalogue.opened() == position) services_.catalogue.setOpened(-1);
    return false;
}

void IndexBuilder::reportFailure(BuildKind kind, std::int32_t code) {
    const std::string prefix = kind == BuildKind::Create ? "Index wasn't created successfully: "
                                                         : "Index wasn't updated successfully: ";
    services_.ui.showMessage(prefix + buildResultText(code) + "\r" + kRepairAdviceText,
                             MessageIcon::Error, MessageButtons::Ok);
}

std::int32_t IndexBuilder::walkResult(std::int32_t walked) const {
    if (services_.cancel.load() || services_.notifier.Aborted()) return BuildResult::kUserCancel;
    return walked;
}

std::int32_t IndexBuilder::prepareForSearch(vellcore::IndexObject& index, std::int32_t result) {
    services_.ui.showStatus("Preparing index files for search.");
    index.CloseFiles();
    if (const int code = index.GetErrorCode()) return code;
    index.Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, kCompactingRatio);
    if (const int code = index.GetErrorCode()) return code;
    return result;
}

std::int32_t IndexBuilder::CreateIndex(IndexRequest& request, int maxLength, int minLength,
                                       int& position) {
    position = -1;
    services_.cancel = false;
    services_.notifier.SetAborted(false);
    TParserSet& parsers = services_.parsers;
    parsers.SetMaxWordLength(static_cast<std::uint8_t>(maxLength));
    parsers.SetMinWordLength(static_cast<std::uint8_t>(minLength));
    parsers.SetLanguageTable(request.languageTable);

    const std::string folder = services_.catalogue.settings().indexFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string name = trimmed(request.name);
    auto index = vellcore::CreateIndexObject(indexPathOf(folder, name).string(), 0);
    if (!index) return BuildResult::kOutOfMemory;
    if (const int code = index->GetErrorCode()) return code;
    index->Prepare(vellcore::kPrepareCreate, request.languageName, &request.languageTable,
                   maxLength, minLength, kCompactingRatio);
    if (const int code = index->GetErrorCode()) {
        removeIndexLeftovers(*index);
        return code;
    }

    bool changed = false;
    std::string problem;
    auto warnIfDamaged = [&] {
        if (!problem.empty())
            services_.ui.showMessage(problem, MessageIcon::Warning, MessageButtons::Ok);
        problem.clear();
    };
    if (request.useStopWords) {
        if (const auto file = resolveWordListFile(request.stopWords, services_.home))
            loadStopWords(*index, parsers.TextParser(), *file, &problem);
        else
            request.useStopWords = false, changed = true;
        warnIfDamaged();
    }
    if (request.useDictionary) {
        const auto file = resolveWordListFile(request.dictionary, services_.home);
        const bool empty = file && loadDictionary(*index, parsers.TextParser(), *file, &problem) ==
                                       DictionaryLoad::Empty;
        warnIfDamaged();
        if (!file) {
            request.useDictionary = false, changed = true;
        } else if (empty) {
            if (services_.ui.showMessage(kEmptyDictionaryQuestion, MessageIcon::Question,
                                         MessageButtons::YesNo) != MessageResult::Yes) {
                removeIndexLeftovers(*index);
                return BuildResult::kAbandoned;
            }
            request.useDictionary = false, changed = true;
        }
    }
    if (changed && listener_) listener_->requestChanged(request);

    vellcore::IndexObject& created = *index;
    services_.indexer.begin(created, {request.archives, request.filesAsText}, errorLog_);
    std::int32_t walked = 0;
    position = services_.catalogue.insert(std::move(index), name, request.scope, request.autoUpdate,
                                          /*scan=*/true, &walked);
    std::int32_t result = walkResult(walked);
    services_.indexer.end();

    services_.ui.showStatus("Preparing index files for search.");
    if (created.GetRecordCount() != 0) {
        const std::int32_t prepared = prepareForSearch(created, 0);
        if (result == 0) result = prepared;
    } else if (result == 0) {
        result = BuildResult::kNoFiles;
    }
    if (isBuildSuccess(result)) {
        services_.catalogue.setOpened(position);
        return result;
    }
    removeIndexLeftovers(created);
    services_.catalogue.erase(position);
    position = -1;
    return result;
}

IndexRequest IndexBuilder::RequestFor(int position) const {
    const Catalogue& catalogue = services_.catalogue;
    const IndexDefinition definition =
        IndexDefinition::load(catalogue.definitionFile(position)).value_or(IndexDefinition{});
    IndexRequest r;
    r.name = catalogue.name(position);
    r.scope = catalogue.effectiveScope(definition.scope);
    if (const vellcore::IndexObject* index = catalogue.object(position)) {
        r.maxLength = std::to_string(index->GetMaxWordLength());
        r.minLength = std::to_string(index->GetMinWordLength());
        r.languageName = index->GetLanguageName();
        r.languageTable = index->GetLanguageTable();
    }
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

void IndexBuilder::writeDefinition(BuildKind kind, int position, const IndexRequest& request) {
    if (position < 0) return;
    const fs::path file = services_.catalogue.definitionFile(position);
    IndexDefinition definition = IndexDefinition::load(file).value_or(IndexDefinition{});
    if (kind == BuildKind::UpdateFile) {
        // One found file says nothing about the index's scope or options: only the time
        // of the last update changes.
        if (!fs::exists(file)) return;
        definition.lastUpdated = lastUpdatedNow();
        if (!definition.save(file))
            services_.ui.showMessage("Can't open the file " + file.string(), MessageIcon::Error,
                                     MessageButtons::Ok);
        return;
    }
    definition.scope = request.scope;
    definition.express = request.express;
    definition.dictionary = request.useDictionary ? request.dictionary : "";
    definition.stopWords = request.useStopWords ? request.stopWords : "";
    definition.archive = request.archives;
    definition.lastUpdated = lastUpdatedNow();
    definition.notes = request.notes;
    definition.monitored = request.autoUpdate;
    definition.filesAsText = request.filesAsText;
    if (!definition.save(file))
        services_.ui.showMessage("Can't open the file " + file.string(), MessageIcon::Error,
                                 MessageButtons::Ok);
}

bool IndexBuilder::RemoveIndex(int position, bool ask) {
    if (ask && services_.ui.showMessage("Are you sure you want to remove the selected index?",
                                        MessageIcon::Question,
                                        MessageButtons::YesNo) != MessageResult::Yes)
        return false;
    if (!mayWrite()) return false;
    MonitorLock lock(services_.notifier);
    vellcore::IndexObject* index = services_.catalogue.object(position);
    if (!index || !index->DeleteIndexFiles()) {
        services_.ui.showMessage(kCannotModifyMessage, MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    std::error_code ec;
    fs::remove(services_.catalogue.definitionFile(position), ec);
    fs::remove(index->GetIndexPath(), ec);  // the engine folder, once empty
    services_.catalogue.erase(position);
    return true;
}

std::unique_ptr<vellcore::IndexObject> IndexBuilder::RepairIndex(int position,
                                                                 const std::string& languageName,
                                                                 const textfold::CharTable& table,
                                                                 bool filesAsText) {
    MonitorLock lock(services_.notifier);
    const fs::path path = services_.catalogue.indexPath(position);
    auto index = vellcore::CreateIndexObject(path.string(), 0);
    if (!index) return nullptr;
    index->ClearError();
    if (!index->DeleteIndexFiles()) return nullptr;
    index->Prepare(vellcore::kPrepareCreate, languageName, &table, 32, 2, kCompactingRatio);
    if (index->GetErrorCode() != 0) return nullptr;

    // Fill the new index from the scope the old one had, so that a repaired index is a
    // working index again and not an empty shell.
    const auto definition = IndexDefinition::load(services_.catalogue.definitionFile(position));
    services_.parsers.SetMaxWordLength(32);
    services_.parsers.SetMinWordLength(2);
    services_.parsers.SetLanguageTable(table);
    errorLog_.clear();
    services_.cancel = false;
    services_.notifier.SetAborted(false);
    if (definition && !trimmed(definition->scope).empty()) {
        services_.indexer.begin(*index, {definition->archive, filesAsText}, errorLog_);
        services_.notifier.SetScope(position,
                                    services_.catalogue.effectiveScope(definition->scope));
        services_.indexer.end();
    }
    if (prepareForSearch(*index, 0) != 0) return nullptr;
    return index;
}

}  // namespace vellumar
