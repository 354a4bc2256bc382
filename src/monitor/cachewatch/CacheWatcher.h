// The Cache Watcher without its window: an ordinary index named "Cache Watcher" over the
// pages kept in the web browsers' caches, and the search page of its own that shows the
// program's pages (a start page, the search form "form.htm" of the home, result pages).
//
// How the window drives it (the Cache Watcher page, HTML2):
//  - ShowCacheWatcherStartPage: startPage(); load `formFile` into HTML2 when set ("Can't
//    open the file " + that path when loading fails), else show `html`.
//  - CreateCacheWatcherIndex: indexRequest() gives the name, scope, automatic updating
//    and raw-text state to put into the Indexes page before running cmdUpdateClick; the
//    command-line tool and tests call CreateCacheWatcherIndex, which builds at once.
//  - Form submission: decideFormSubmission (CacheWatcherPages.h), then for a search, after
//    selecting the index for searching, runSearch: show `html`, or load `file`.
//  - HTML2's history changed: resultPages().historyChanged(...) gives the buttons' states
//    and purges result files the history dropped.
//  - foldersToWatch(): the cache folders whose changes call for refreshMirror() (the
//    mirror folder itself is part of the index's scope and is watched like any folder).
//
// Owned by the main window (or a test), beside the IndexingCore it borrows. Thread: the
// main thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "index/IndexBuilder.h"
#include "monitor/cachewatch/BrowserCaches.h"
#include "monitor/cachewatch/CacheMirror.h"
#include "monitor/cachewatch/CacheWatcherPages.h"
#include "monitor/cachewatch/ResultPages.h"

namespace vellumar {
class IndexingCore;
}

namespace vellumar::cachewatch {

inline constexpr const char* kCacheWatcherFolderName = "Cache Watcher";
inline constexpr const char* kMirrorFolderName = "pages";

struct StartPage {
    StartPageKind kind = StartPageKind::NoBrowser;
    std::filesystem::path formFile;  // set for the search form
    std::string html;                // the page otherwise
};

struct SearchPage {
    std::filesystem::path file;  // a result page to load, or empty
    std::string html;            // else the page to show
};

class CacheWatcher {
  public:
    // home: the program folder (Registry.ini, form.htm, the "Cache Watcher" folder).
    // cacheRoot: where the browsers' disk caches are ($XDG_CACHE_HOME, else ~/.cache).
    CacheWatcher(IndexingCore& core, std::filesystem::path home, std::filesystem::path cacheRoot);

    // The position of the index named exactly "Cache Watcher", or -1.
    int indexPosition() const;

    StartPage startPage();

    // The request that creates (or, when it exists, updates) the index: base's language
    // and word lists, the name, the scope of the caches found, automatic updating when the
    // box is enabled, format filters on. The mirror is brought up to date first. nullopt
    // when no cache was found.
    std::optional<IndexRequest> indexRequest(IndexRequest base, bool autoUpdateEnabled);
    // Builds the index through the index builder; outcome.ran is false when no cache was
    // found (nothing is done then).
    BuildOutcome CreateCacheWatcherIndex(IndexRequest base, bool autoUpdateEnabled);

    // Searches the index at position (opened for searching) and writes the result page.
    // The mirror is brought up to date first and the index with it when pages changed.
    // rawText: the state of "Don't use format filters".
    SearchPage runSearch(int position, const std::string& query, bool rawText);

    MirrorCounts refreshMirror();
    // What a change in a cache folder calls for: the mirror brought up to date and, when
    // pages came or went and the index exists, the index updated. True when pages changed.
    bool refreshMirrorAndIndex();
    std::vector<std::filesystem::path> foldersToWatch();

    ResultPages& resultPages() { return resultPages_; }
    BrowserCaches& browsers() { return browsers_; }
    const std::filesystem::path& mirrorFolder() const { return mirror_.folder(); }

  private:
    std::string errorLogNote() const;
    void updateIndexAfterMirrorChange(int position);

    IndexingCore& core_;
    std::filesystem::path home_;
    BrowserCaches browsers_;
    CacheMirror mirror_;
    ResultPages resultPages_;
    std::filesystem::file_time_type started_;
};

}  // namespace vellumar::cachewatch
