// The mirror of the browsers' disk caches: every cached HTML page as a ".htm" file that
// the Cache Watcher index can take in, so that the index needs nothing but ordinary files.
//
// Each entry of a cache (CacheFolder of format Firefox or Chromium) whose response is an
// HTML page becomes "<mirror>/<cache's mirror name>/<entry file name>.htm": the "saved from
// url" mark with the page's address (which GetUrl reads back for the result page and for
// relative links), then the body with its content codings undone. The file takes the
// entry's modification time, so an entry that has not changed is not read again. Entries
// that left the cache, or that no longer hold an HTML page, leave the mirror, and so do
// the folders of caches that are gone.
//
// Entries are skipped, never fatal: truncated or damaged entries, other formats, unknown
// codings, and bodies over the size limit (which are not even read).
//
// Owned by the CacheWatcher. Thread: the main thread (it runs before searches and when the
// window sees a cache folder change).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "monitor/cachewatch/BrowserCaches.h"

namespace vellumar::cachewatch {

struct MirrorCounts {
    int written = 0;    // pages written or rewritten
    int unchanged = 0;  // pages already up to date
    int skipped = 0;    // entries that are not (readable) HTML pages
    int removed = 0;    // mirror pages whose entry left the cache
    bool changed() const { return written != 0 || removed != 0; }
};

class CacheMirror {
  public:
    static constexpr std::size_t kDefaultBodyLimit = 16 * 1024 * 1024;

    explicit CacheMirror(std::filesystem::path folder, std::size_t bodyLimit = kDefaultBodyLimit);

    // Brings the mirror up to date with the caches of format Firefox or Chromium among
    // caches (the others are left alone). Never throws; problems skip the entry.
    MirrorCounts update(const std::vector<CacheFolder>& caches);

    const std::filesystem::path& folder() const { return folder_; }

    // The page text for an address and a decoded body (the mark, then the body).
    static std::string pageText(const std::string& url, const std::string& body);

  private:
    struct Seen {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
    };
    bool mirrorEntry(const CacheFolder& cache, const std::filesystem::path& entryFile,
                     const std::filesystem::path& page, MirrorCounts& counts);

    std::filesystem::path folder_;
    std::size_t bodyLimit_;
    // Entries found not to be pages, by path, as they were then: not read again while
    // they stay the same.
    std::map<std::filesystem::path, Seen> notPages_;
};

}  // namespace vellumar::cachewatch
