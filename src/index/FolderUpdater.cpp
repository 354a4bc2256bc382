#include "index/FolderUpdater.h"

#include <filesystem>
#include <system_error>

#include "index/BuildResult.h"
#include "index/IndexBuilder.h"
#include "index/IndexDefinition.h"
#include "monitor/Notifier.h"
#include "parserset/TParserSet.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

constexpr int kCompactingRatio = 50;

}  // namespace

std::int32_t FolderUpdater::removeVanished(vellcore::IndexObject& index,
                                           const std::vector<std::string>& folders,
                                           FolderUpdateOutcome& outcome) {
    if (outcome.code != 0) return outcome.code;
    for (const std::string& folder : folders) {
        const int removed = index.RemoveVanishedInFolder(folder);
        if (removed < 0) return index.GetErrorCode();
        outcome.removed += removed;
    }
    return 0;
}

std::string folderUpdateFailureText(std::int32_t code, const std::string& indexName,
                                    bool reopened) {
    std::string prefix;
    if (code == BuildResult::kOutOfMemory || code == BuildResult::kInvalidValue ||
        code == BuildResult::kMappingFailure)
        prefix = buildResultText(code) + ": ";
    return prefix + "\"" + indexName +
           "\" index update failed. Eliminate the\rerror cause and try to update the index (to "
           "make\r\"Update\" button enabled enter a space at the end\rof \"Location of files to "
           "index\" edit box).\r" +
           (reopened ? kIndexKeptText : kRepairAdviceText);
}

FolderUpdateOutcome FolderUpdater::Update(int position, const std::string& folder) {
    FolderUpdateOutcome outcome;
    Catalogue& catalogue = services_.catalogue;
    vellcore::IndexObject* index = catalogue.object(position);
    if (!index || folder.empty()) return outcome;
    const std::string patterns = services_.notifier.FolderPatterns(position, folder);
    if (patterns.empty()) return outcome;
    outcome.ran = true;

    // Only the index in use is kept open for searching; another one is opened for the
    // update and closed again afterwards.
    const bool wasOpen = catalogue.opened() == position;
    index->ClearError();
    if (!wasOpen) index->Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, kCompactingRatio);
    outcome.code = index->GetErrorCode();
    const int records = index->GetRecordCount();
    const int removed = index->GetRemovedCount();
    const auto stored = IndexDefinition::load(catalogue.definitionFile(position));
    const IndexDefinition definition = stored.value_or(IndexDefinition{});

    if (outcome.code == 0) {
        TParserSet& parsers = services_.parsers;
        parsers.SetMaxWordLength(static_cast<std::uint8_t>(index->GetMaxWordLength()));
        parsers.SetMinWordLength(static_cast<std::uint8_t>(index->GetMinWordLength()));
        parsers.SetLanguageTable(index->GetLanguageTable());
        services_.cancel = false;
        ErrorLog log;
        index->BeginSession();
        services_.indexer.begin(*index, {definition.archive, definition.filesAsText, false}, log);
        const std::string key = folder == "/" ? folder : folder + "/";
        std::error_code ec;
        outcome.folderGone = !fs::is_directory(folder, ec);
        if (!outcome.folderGone) {
            outcome.code = services_.indexer.IndexFolderFiles(position, key, patterns);
            // New subfolders are indexed through the walk's OnScanFolder, in this session.
            if (outcome.code == 0) {
                const int walked = services_.notifier.ScanNewSubfolders(position, folder);
                if (walked != 0) outcome.code = walked;
            }
            outcome.code = removeVanished(*index, {folder}, outcome);
        } else {
            // Moved away or deleted: the folders below it may never report again.
            outcome.code =
                removeVanished(*index, services_.notifier.FoldersOf(position, folder), outcome);
            if (outcome.code == 0) services_.notifier.ForgetFolderTree(position, folder);
        }
        outcome.added = services_.indexer.tally().added;
        outcome.replaced = services_.indexer.tally().replaced;
        services_.indexer.end();
        outcome.changed = index->GetRecordCount() != records || index->GetRemovedCount() != removed;
        // Committing is what a full disk refuses; the index then holds its last commit.
        if (!index->CloseFiles() && isBuildSuccess(outcome.code))
            outcome.code = index->GetErrorCode();
        index->EndSession();
        if (!log.empty()) log.save(services_.home / kErrorLogFileName);
    }

    const bool failed = !isBuildSuccess(outcome.code);
    index->ClearError();
    if (wasOpen || failed) {
        index->CloseFiles();
        index->ClearError();
        outcome.reopened =
            index->Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, kCompactingRatio) &&
            index->GetErrorCode() == 0;
        index->ClearError();
        if (!wasOpen) index->CloseFiles();
        if (!outcome.reopened && wasOpen) catalogue.setOpened(-1);
    }
    if (failed) {
        outcome.changed = false;
        outcome.message =
            folderUpdateFailureText(outcome.code, catalogue.name(position), outcome.reopened);
        return outcome;
    }
    if (outcome.changed && stored) {
        outcome.lastUpdated = lastUpdatedNow();
        IndexDefinition updated = *stored;
        updated.lastUpdated = outcome.lastUpdated;
        updated.save(catalogue.definitionFile(position));
    }
    return outcome;
}

}  // namespace vellumar
