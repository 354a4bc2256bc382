#include "monitor/cachewatch/CacheMirror.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <system_error>

#include "monitor/cachewatch/ContentDecoding.h"

namespace fs = std::filesystem;

namespace vellumar::cachewatch {

namespace {

constexpr const char* kPageExtension = ".htm";
constexpr const char* kPartExtension = ".part";

// The mark ends at the first blank or quote (GetUrl refuses such an address), so those
// characters are written percent-encoded, as they would be in a link.
std::string markSafe(const std::string& url) {
    std::string out;
    for (unsigned char c : url) {
        if (c <= ' ' || c == '"' || c == '<' || c == '>' || c == 0x7f) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool writeWhole(const fs::path& file, const std::string& text) {
    const fs::path part = fs::path(file).concat(kPartExtension);
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(part, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(part, file, ec);
    if (ec) fs::remove(part, ec);
    return !ec;
}

// The entries of folder not in keep, listed before any is removed.
std::vector<fs::path> childrenExcept(const fs::path& folder, const std::set<fs::path>& keep) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator p(folder, ec), end; !ec && p != end; p.increment(ec))
        if (!keep.count(p->path())) out.push_back(p->path());
    return out;
}

}  // namespace

CacheMirror::CacheMirror(fs::path folder, std::size_t bodyLimit)
    : folder_(std::move(folder)), bodyLimit_(bodyLimit) {}

std::string CacheMirror::pageText(const std::string& url, const std::string& body) {
    const std::string address = markSafe(url);
    char length[16];
    std::snprintf(length, sizeof length, "%04zu", address.size());
    return "<!-- saved from url=(" + std::string(length) + ")" + address + " -->\r\n" + body;
}

bool CacheMirror::mirrorEntry(const CacheFolder& cache, const fs::path& entryFile,
                              const fs::path& page, MirrorCounts& counts) {
    const auto entry = readCacheEntry(cache.format, entryFile);
    // An address too long for the mark could not be linked back to; such pages are rare.
    if (!entry || !isHtmlPage(entry->head) || entry->url.size() > 999999) return false;
    if (entry->bodySize > bodyLimit_) return false;
    auto body = readEntryBody(entryFile, *entry);
    if (!body) return false;
    auto decoded = decodeContent(std::move(*body), entry->head.contentEncoding, bodyLimit_);
    if (!decoded || decoded->empty()) return false;
    if (!writeWhole(page, pageText(entry->url, *decoded))) return false;
    ++counts.written;
    return true;
}

MirrorCounts CacheMirror::update(const std::vector<CacheFolder>& caches) {
    MirrorCounts counts;
    std::set<std::string> mirrorNames;
    std::map<fs::path, Seen> stillNotPages;
    for (const CacheFolder& cache : caches) {
        if (cache.format == CacheFormat::Files || cache.mirrorName.empty()) continue;
        if (!mirrorNames.insert(cache.mirrorName).second) continue;
        const fs::path pages = folder_ / cache.mirrorName;
        std::error_code ec;
        fs::create_directories(pages, ec);

        std::set<fs::path> kept;
        std::error_code listError;
        fs::directory_iterator it(cache.folder, listError);
        // A cache that cannot be read now keeps its pages: it may be back next time.
        const bool listed = !listError;
        for (fs::directory_iterator end; !listError && it != end; it.increment(listError)) {
            const std::string name = it->path().filename().string();
            std::error_code statError;
            if (!isEntryFileName(cache.format, name) || !it->is_regular_file(statError)) continue;
            const Seen now{it->last_write_time(statError), it->file_size(statError)};
            if (statError) continue;
            const fs::path page = pages / (name + kPageExtension);

            std::error_code pageError;
            if (fs::exists(page, pageError) &&
                fs::last_write_time(page, pageError) == now.modified && !pageError) {
                kept.insert(page);
                ++counts.unchanged;
                continue;
            }
            if (auto known = notPages_.find(it->path()); known != notPages_.end() &&
                                                         known->second.modified == now.modified &&
                                                         known->second.size == now.size) {
                stillNotPages.emplace(it->path(), now);
                ++counts.skipped;
                continue;
            }
            if (mirrorEntry(cache, it->path(), page, counts)) {
                fs::last_write_time(page, now.modified, pageError);
                kept.insert(page);
            } else {
                stillNotPages.emplace(it->path(), now);
                ++counts.skipped;
            }
        }
        if (!listed) continue;
        for (const fs::path& stale : childrenExcept(pages, kept)) {
            std::error_code removeError;
            if (fs::remove_all(stale, removeError) > 0 && stale.extension() == kPageExtension)
                ++counts.removed;
        }
    }
    // The folders of caches that are gone (a profile deleted, a browser removed).
    std::set<fs::path> keptFolders;
    for (const std::string& name : mirrorNames) keptFolders.insert(folder_ / name);
    for (const fs::path& stale : childrenExcept(folder_, keptFolders)) {
        std::error_code removeError;
        const auto removed = fs::remove_all(stale, removeError);
        if (removed > 1) counts.removed += static_cast<int>(removed - 1);
    }
    notPages_ = std::move(stillNotPages);
    return counts;
}

}  // namespace vellumar::cachewatch
