// IndexBuilder's updates of an existing index: the whole scope walked again (or the index
// rebuilt beside the old one when too many of its records are dead), and one found file
// (the result list's "update this file"), which is indexed again or left out when it is
// gone or empty now; a member of an archive brings its whole archive up to date.
#include "index/BuildResult.h"
#include "index/FolderSwap.h"
#include "index/IndexBuilder.h"
#include "index/WordListFiles.h"
#include "index/WordLists.h"
#include "monitor/Notifier.h"
#include "parserset/TParserSet.h"
#include "platform/DosStamp.h"
#include "scope/ScopeStrings.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vellumar {

namespace {

// The member patterns of an archive in a folder whose pattern groups are given: every
// pattern (labels left out), and the archive kinds themselves, for nested archives.
std::vector<std::string> memberPatterns(const std::string& groups) {
    std::vector<std::string> patterns;
    std::size_t pos = 0;
    while (pos < groups.size()) {
        const std::string token = NextPatternToken(groups, pos, groups.size(), nullptr);
        if (!token.empty() && !isLabelToken(token)) patterns.push_back(token);
    }
    for (const char* mask : {"*.zip", "*.rar", "*.arj", "*.cab"}) patterns.push_back(mask);
    return patterns;
}

}  // namespace

std::int32_t IndexBuilder::UpdateIndex(int position, const IndexRequest& request) {
    services_.cancel = false;
    services_.notifier.SetAborted(false);
    vellcore::IndexObject* index = services_.catalogue.object(position);
    if (!index) return BuildResult::kInvalidValue;
    if (!index->CanModify()) {
        services_.ui.showMessage(kCannotModifyMessage, MessageIcon::Warning, MessageButtons::Ok);
        return BuildResult::kAbandoned;
    }
    std::error_code ec;
    fs::remove_all(rebuildFolderOf(index->GetIndexPath()), ec);  // a killed rebuild's
    TParserSet& parsers = services_.parsers;
    parsers.SetMaxWordLength(static_cast<std::uint8_t>(index->GetMaxWordLength()));
    parsers.SetMinWordLength(static_cast<std::uint8_t>(index->GetMinWordLength()));
    parsers.SetLanguageTable(index->GetLanguageTable());
    // Too many dead records, or word numbers counted the way of an older format: the
    // index is built again.
    const int records = index->GetRecordCount();
    if (index->GetFormatVersion() < vellcore::kFormatVersion ||
        (records != 0 && index->GetCompactingRatio() < index->GetRemovedCount() * 100 / records))
        return RebuildIndex(position, request);

    index->BeginSession();
    if (!index->ReadyForRescan()) {
        services_.ui.showMessage(kCannotModifyMessage, MessageIcon::Warning, MessageButtons::Ok);
        index->EndSession();
        return BuildResult::kAbandoned;
    }
    services_.indexer.begin(*index, {request.archives, request.filesAsText}, errorLog_);
    std::int32_t result = walkResult(services_.notifier.SetScope(position, request.scope));
    services_.indexer.end();
    result = prepareForSearch(*index, result);
    index->EndSession();
    return result;
}

// Too many dead records: the index is built again from scratch. The new one grows beside
// the old one, which stays untouched and searchable until the new one is complete; only
// then do the two change places. A rebuild that fails, is cancelled or is killed leaves
// the old index as it was.
std::int32_t IndexBuilder::RebuildIndex(int position, const IndexRequest& request) {
    vellcore::IndexObject& old = *services_.catalogue.object(position);
    const fs::path path = old.GetIndexPath();
    const fs::path aside = rebuildFolderOf(path);
    std::error_code ec;
    auto fresh = vellcore::CreateIndexObject(aside.string(), 0);
    if (!fresh) return BuildResult::kOutOfMemory;
    const textfold::CharTable table = old.GetLanguageTable();
    fresh->Prepare(vellcore::kPrepareCreate, old.GetLanguageName(), &table, old.GetMaxWordLength(),
                   old.GetMinWordLength(), old.GetCompactingRatio());
    std::int32_t result = fresh->GetErrorCode();
    if (result == 0) {
        // The rebuilt index keeps the stop-words and the dictionary of the request.
        TParserSet& parsers = services_.parsers;
        if (request.useStopWords)
            if (const auto file = resolveWordListFile(request.stopWords, services_.home))
                loadStopWords(*fresh, parsers.TextParser(), *file);
        if (request.useDictionary)
            if (const auto file = resolveWordListFile(request.dictionary, services_.home))
                loadDictionary(*fresh, parsers.TextParser(), *file);
        result = fresh->GetErrorCode();
    }
    if (result == 0) {
        services_.indexer.begin(*fresh, {request.archives, request.filesAsText}, errorLog_);
        result = walkResult(services_.notifier.SetScope(position, request.scope));
        services_.indexer.end();
        if (isBuildSuccess(result) && result != BuildResult::kUserCancel && !fresh->CloseFiles())
            result = fresh->GetErrorCode();
    }
    fresh.reset();
    if (!isBuildSuccess(result) || result == BuildResult::kUserCancel) {
        fs::remove_all(aside, ec);
        return result;
    }

    old.CloseFiles();
    if (!exchangeFolders(aside, path)) {
        fs::remove_all(aside, ec);
        return BuildResult::kPrepareFailed;  // the old index is opened again by the caller
    }
    fs::remove_all(aside, ec);  // the old index's files now
    auto rebuilt = vellcore::CreateIndexObject(path.string(), 0);
    if (!rebuilt) return BuildResult::kOutOfMemory;
    services_.catalogue.replace(position, std::move(rebuilt));
    return prepareForSearch(*services_.catalogue.object(position), result);
}

std::int32_t IndexBuilder::UpdateOneFile(int position, const IndexRequest& request) {
    services_.cancel = false;
    vellcore::IndexObject* index = services_.catalogue.object(position);
    if (!index) return BuildResult::kInvalidValue;
    const std::string& name = request.scope;
    if (!index->CanModify()) {
        services_.ui.showMessage(kCannotModifyMessage, MessageIcon::Warning, MessageButtons::Ok);
        return BuildResult::kAbandoned;
    }
    TParserSet& parsers = services_.parsers;
    parsers.SetMaxWordLength(static_cast<std::uint8_t>(index->GetMaxWordLength()));
    parsers.SetMinWordLength(static_cast<std::uint8_t>(index->GetMinWordLength()));
    parsers.SetLanguageTable(index->GetLanguageTable());
    if (const auto members = name.find("//"); members != std::string::npos)
        return UpdateArchiveOf(*index, position, name.substr(0, members), request);

    index->BeginSession();
    std::int32_t result = 0;
    if (index->RemoveDocument(name)) {
        services_.indexer.begin(*index, {request.archives, request.filesAsText}, errorLog_);
        result = services_.indexer.IndexSingleFile(name);
        services_.indexer.end();
    }
    result = prepareForSearch(*index, result);
    index->EndSession();
    return result;
}

std::int32_t IndexBuilder::UpdateArchiveOf(vellcore::IndexObject& index, int position,
                                           const std::string& archive,
                                           const IndexRequest& request) {
    const fs::path path = archive;
    const std::string folder = path.parent_path().string();
    const std::string groups = services_.notifier.FolderPatterns(position, folder);
    const auto definition = IndexDefinition::load(services_.catalogue.definitionFile(position));
    const bool scansArchives = definition ? definition->archive : request.archives;
    if (!scansArchives || groups.empty()) {
        services_.ui.showMessage(
            "The file is a member of the archive " + archive +
                (scansArchives ? ", whose folder the index no longer covers."
                               : ", and the index no longer looks into archives.") +
                "\rUpdate the whole index to bring it up to date.",
            MessageIcon::Warning, MessageButtons::Ok);
        return BuildResult::kAbandoned;
    }
    services_.ui.showStatus("extracting files from " + archive);
    index.BeginSession();
    std::int32_t result = 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        // Members carry their archive's stamp: an unchanged archive changes nothing.
        services_.indexer.begin(index, {true, request.filesAsText}, errorLog_);
        result = services_.indexer.IndexOneFile(folder, path.filename().string(),
                                                memberPatterns(groups), fileStampOf(info), {});
        services_.indexer.end();
    } else if (index.RemoveVanishedInFolder(folder) < 0) {
        result = index.GetErrorCode();  // the archive is gone, and its members with it
    }
    result = prepareForSearch(index, result);
    index.EndSession();
    return result;
}

}  // namespace vellumar
