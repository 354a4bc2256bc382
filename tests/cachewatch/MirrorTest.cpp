// The mirror of the browsers' disk caches: pages written, kept, skipped and removed.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "CacheEntryWriter.h"
#include "monitor/cachewatch/BrowserCaches.h"
#include "monitor/cachewatch/CacheMirror.h"
#include "platform/Doorwell.h"
#include "support/TempDir.h"

using namespace vellumar::cachewatch;
using namespace cachetest;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::string kHex40 = "00112233445566778899AABBCCDDEEFF0011223";

std::string ffName(int i) { return kHex40 + std::to_string(i % 10); }
std::string crName(int i) { return "00112233445566a" + std::to_string(i % 10) + "_0"; }

class Mirror : public ::testing::Test {
  protected:
    fs::path firefox() const {
        return dir / "cache" / "mozilla" / "firefox" / "p1.default" / "cache2" / "entries";
    }
    fs::path chromium() const {
        return dir / "cache" / "chromium" / "Default" / "Cache" / "Cache_Data";
    }
    std::vector<CacheFolder> caches() const {
        return BrowserCaches(dir / "Registry.ini", dir / "cache").findCaches();
    }
    fs::path page(const std::string& mirrorName, const std::string& entry) const {
        return dir / "mirror" / mirrorName / (entry + ".htm");
    }

    testing_support::TempDir dir;
    CacheMirror mirror{dir / "mirror", 1024 * 1024};
};

TEST_F(Mirror, HtmlEntriesBecomePagesWithTheirAddress) {
    const std::string html = "<html><title>Tide tables</title><body>high water</body></html>";
    writeFile(firefox() / ffName(1),
              firefoxEntry("https://sea.example/tides", httpHead("text/html", "gzip"), gzip(html)));
    writeFile(chromium() / crName(1),
              chromiumEntry("https://sea.example/br", httpHead("text/html", "br"), brotli(html)));
    // An address with a blank and a quote still makes a mark GetUrl reads back.
    writeFile(firefox() / ffName(2),
              firefoxEntry("https://sea.example/a b\"c", httpHead("text/html"), html));

    const MirrorCounts counts = mirror.update(caches());
    EXPECT_EQ(counts.written, 3);
    const fs::path ff = page("firefox-p1.default", ffName(1));
    ASSERT_TRUE(fs::exists(ff));
    const std::string text = readAll(ff);
    EXPECT_EQ(text.substr(text.size() - html.size()), html) << "body decoded";
    std::string address;
    EXPECT_TRUE(doorwell::GetUrl(ff.string(), address));
    EXPECT_EQ(address, "https://sea.example/tides");
    EXPECT_TRUE(doorwell::GetUrl(page("chromium-Default", crName(1)).string(), address));
    EXPECT_EQ(address, "https://sea.example/br");
    EXPECT_TRUE(doorwell::GetUrl(page("firefox-p1.default", ffName(2)).string(), address));
    EXPECT_EQ(address, "https://sea.example/a%20b%22c");
    EXPECT_EQ(fs::last_write_time(ff), fs::last_write_time(firefox() / ffName(1)));

    // Nothing changed: nothing is written again.
    const MirrorCounts again = mirror.update(caches());
    EXPECT_EQ(again.written, 0);
    EXPECT_EQ(again.unchanged, 3);
    EXPECT_FALSE(again.changed());
}

TEST_F(Mirror, EntriesThatAreNotReadablePagesAreSkipped) {
    const std::string html = "<html><body>text</body></html>";
    writeFile(firefox() / ffName(1),
              firefoxEntry("https://x/img", httpHead("image/png"), "\x89PNG"));
    const std::string whole = firefoxEntry("https://x/cut", httpHead("text/html"), html);
    writeFile(firefox() / ffName(2), whole.substr(0, whole.size() - 9));
    writeFile(firefox() / ffName(3),
              firefoxEntry("https://x/z", httpHead("text/html", "zstd"), html));
    writeFile(firefox() / ffName(4),
              firefoxEntry("https://x/404", httpHead("text/html", "", 404), html));
    writeFile(firefox() / "index", "not an entry");
    writeFile(chromium() / crName(1),
              chromiumEntry("https://x/bad-gzip", httpHead("text/html", "gzip"), html));
    // A 50 MB page: skipped without being read (the file is sparse, so this is cheap).
    {
        fs::create_directories(firefox());
        std::ofstream huge(firefox() / ffName(5), std::ios::binary);
        const std::uint64_t size = 50ull * 1024 * 1024;
        huge.seekp(static_cast<std::streamoff>(size));
        huge << firefoxTrailer(":https://x/huge", httpHead("text/html"), size);
    }
    writeFile(firefox() / ffName(6), firefoxEntry("https://x/ok", httpHead("text/html"), html));

    const auto started = std::chrono::steady_clock::now();
    const MirrorCounts counts = mirror.update(caches());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(counts.written, 1);
    EXPECT_EQ(counts.skipped, 6);
    EXPECT_TRUE(fs::exists(page("firefox-p1.default", ffName(6))));
    int pages = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir / "mirror"))
        pages += e.is_regular_file();
    EXPECT_EQ(pages, 1);

    // Skipped entries are remembered while they stay the same, and read again once they
    // change (a download that completed).
    EXPECT_EQ(mirror.update(caches()).skipped, 6);
    writeFile(firefox() / ffName(2), whole);
    fs::last_write_time(firefox() / ffName(2),
                        fs::file_time_type::clock::now() + std::chrono::seconds(5));
    EXPECT_EQ(mirror.update(caches()).written, 1);
}

TEST_F(Mirror, EntriesThatLeftTheCacheLeaveTheMirror) {
    const std::string html = "<html><body>text</body></html>";
    writeFile(firefox() / ffName(1), firefoxEntry("https://x/1", httpHead("text/html"), html));
    writeFile(firefox() / ffName(2), firefoxEntry("https://x/2", httpHead("text/html"), html));
    writeFile(chromium() / crName(1), chromiumEntry("https://x/3", httpHead("text/html"), html));
    EXPECT_EQ(mirror.update(caches()).written, 3);

    fs::remove(firefox() / ffName(1));
    // An entry replaced by something that is no page any more goes too.
    writeFile(firefox() / ffName(2), firefoxEntry("https://x/2", httpHead("image/gif"), "GIF89a"));
    fs::last_write_time(firefox() / ffName(2),
                        fs::file_time_type::clock::now() + std::chrono::seconds(5));
    MirrorCounts counts = mirror.update(caches());
    EXPECT_EQ(counts.removed, 2);
    EXPECT_TRUE(counts.changed());
    EXPECT_FALSE(fs::exists(page("firefox-p1.default", ffName(1))));
    EXPECT_FALSE(fs::exists(page("firefox-p1.default", ffName(2))));
    EXPECT_TRUE(fs::exists(page("chromium-Default", crName(1))));

    // A browser whose cache is gone takes its folder of the mirror along.
    fs::remove_all(dir / "cache" / "chromium");
    counts = mirror.update(caches());
    EXPECT_EQ(counts.removed, 1);
    EXPECT_FALSE(fs::exists(dir / "mirror" / "chromium-Default"));
}

}  // namespace
