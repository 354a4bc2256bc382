#include "monitor/cachewatch/CacheWatcher.h"

#include <system_error>

#include "index/IndexDefinition.h"
#include "index/IndexingCore.h"
#include "platform/Doorwell.h"

namespace fs = std::filesystem;

namespace vellumar::cachewatch {

namespace {

// Cached addresses are often longer than the classic 255 characters; a cut address would
// be a broken link.
constexpr std::size_t kAddressCapacity = 4096;

}  // namespace

CacheWatcher::CacheWatcher(IndexingCore& core, fs::path home, fs::path cacheRoot)
    : core_(core),
      home_(std::move(home)),
      browsers_(home_ / kRegistryFileName, std::move(cacheRoot)),
      mirror_(home_ / kCacheWatcherFolderName / kMirrorFolderName),
      resultPages_(home_ / kCacheWatcherFolderName),
      started_(fs::file_time_type::clock::now()) {}

int CacheWatcher::indexPosition() const {
    for (int i = 0; i < core_.catalogue.count(); ++i)
        if (core_.catalogue.name(i) == kCacheWatcherIndexName) return i;
    return -1;
}

StartPage CacheWatcher::startPage() {
    StartPage page;
    const bool exists = indexPosition() >= 0;
    page.kind = chooseStartPage(exists, exists || !browsers_.findCaches().empty());
    switch (page.kind) {
        case StartPageKind::SearchForm:
            page.formFile = home_ / kFormFileName;
            break;
        case StartPageKind::CreateIndex:
            page.html = kCreateIndexPage;
            break;
        case StartPageKind::NoBrowser:
            page.html = noBrowserPage(browsers_.browsersLookedFor());
            break;
    }
    return page;
}

std::optional<IndexRequest> CacheWatcher::indexRequest(IndexRequest base, bool autoUpdateEnabled) {
    const std::vector<CacheFolder> caches = browsers_.findCaches();
    if (caches.empty()) return std::nullopt;
    mirror_.update(caches);
    base.name = kCacheWatcherIndexName;
    base.scope = cacheWatcherScope(caches, mirror_.folder());
    base.autoUpdate = autoUpdateEnabled;
    base.filesAsText = false;
    return base;
}

BuildOutcome CacheWatcher::CreateCacheWatcherIndex(IndexRequest base, bool autoUpdateEnabled) {
    auto request = indexRequest(std::move(base), autoUpdateEnabled);
    if (!request) return {};
    const int position = indexPosition();
    if (position >= 0) return core_.builder.Build(BuildKind::Update, position, *request);
    return core_.builder.Build(BuildKind::Create, -1, *request);
}

MirrorCounts CacheWatcher::refreshMirror() { return mirror_.update(browsers_.findCaches()); }

bool CacheWatcher::refreshMirrorAndIndex() {
    if (!refreshMirror().changed()) return false;
    if (const int position = indexPosition(); position >= 0) updateIndexAfterMirrorChange(position);
    return true;
}

std::vector<fs::path> CacheWatcher::foldersToWatch() {
    std::vector<fs::path> folders;
    for (const CacheFolder& cache : browsers_.findCaches())
        if (cache.format != CacheFormat::Files) folders.push_back(cache.folder);
    return folders;
}

void CacheWatcher::updateIndexAfterMirrorChange(int position) {
    const auto definition = IndexDefinition::load(core_.catalogue.definitionFile(position));
    vellcore::IndexObject* index = core_.catalogue.object(position);
    if (!definition || !index) return;
    IndexRequest request;
    request.name = core_.catalogue.name(position);
    request.scope = core_.catalogue.effectiveScope(definition->scope);
    request.maxLength = std::to_string(index->GetMaxWordLength());
    request.minLength = std::to_string(index->GetMinWordLength());
    request.languageName = index->GetLanguageName();
    request.languageTable = index->GetLanguageTable();
    request.autoUpdate = definition->monitored;
    request.archives = definition->archive;
    request.filesAsText = definition->filesAsText;
    request.express = definition->express;
    request.useDictionary = !definition->dictionary.empty();
    request.dictionary = definition->dictionary;
    request.useStopWords = !definition->stopWords.empty();
    request.stopWords = definition->stopWords;
    request.notes = definition->notes;
    core_.builder.Build(BuildKind::Update, position, request);
}

std::string CacheWatcher::errorLogNote() const {
    const fs::path log = core_.builder.errorLogFile();
    std::error_code ec;
    const auto written = fs::last_write_time(log, ec);
    if (ec || written < started_) return {};
    return "files that could not be indexed are listed in " + log.string();
}

SearchPage CacheWatcher::runSearch(int position, const std::string& query, bool rawText) {
    SearchPage result;
    if (refreshMirror().changed()) updateIndexAfterMirrorChange(position);
    vellcore::IndexObject* index = core_.catalogue.object(position);
    if (!index) {
        result.html = kSearchErrorPage;
        return result;
    }
    UserInterface& ui = core_.ui;
    index->BeginSession();
    ui.showStatus("Searching ");
    int files = 0;
    std::int64_t entries = 0;
    if (index->RunQuery(query, files, entries) == 0) {
        index->ClearError();
        index->EndSession();
        ui.showStatus("");
        result.html = kSearchErrorPage;
        return result;
    }
    if (files == 0) {
        index->EndSession();
        ui.showStatus("");
        result.html = kNothingFoundPage;
        return result;
    }

    // Passages must count words as the index did.
    TParserSet& parsers = core_.viewerParsers;
    parsers.SetMaxWordLength(static_cast<std::uint8_t>(index->GetMaxWordLength()));
    parsers.SetMinWordLength(static_cast<std::uint8_t>(index->GetMinWordLength()));
    parsers.SetLanguageTable(index->GetLanguageTable());

    ResultPage page(query, entries, files, errorLogNote());
    for (int i = 0; i < files; ++i) {
        std::string name;
        vellcore::Stamp stamp = 0;
        std::vector<vellcore::HitRecord> hits;
        if (!index->GetResult(i, name, stamp)) break;
        index->GetHits(i, hits);
        index->ClearError();
        ui.showStatus("Form search results in HTML format");
        ui.processPendingMessages();
        wordmill::WordRecord record;
        wordmill::Parser* parser = parsers.OpenDocument(name, rawText, record);
        if (!parser) {
            page.addUnreadableFile(name);
            continue;
        }
        std::string address;
        doorwell::GetUrl(name, address, kAddressCapacity);
        // The engine and the parsers each declare the 8-byte hit record.
        std::vector<wordmill::HitRecord> parserHits;
        parserHits.reserve(hits.size());
        for (const vellcore::HitRecord& hit : hits)
            parserHits.push_back({hit.firstWord, hit.unused, hit.wordCount});
        std::vector<std::string> passages;
        for (std::size_t j = 0; j < parserHits.size(); ++j) {
            std::string passage;
            if (parser->GetPassage(&parserHits[j], parserHits.size() - j, passage))
                passages.push_back(passage);
        }
        page.addFile(name, address, parser->GetTagName(), passages);
        parser->Close();
    }
    index->EndSession();

    auto written = resultPages_.write(page.text());
    if (auto* file = std::get_if<fs::path>(&written)) {
        ui.showStatus("Loading the file...");
        result.file = *file;
    } else {
        result.html = std::get<std::string>(written);
    }
    ui.showStatus("");
    return result;
}

}  // namespace vellumar::cachewatch
