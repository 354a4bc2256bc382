// Reading browser cache entries and undoing content codings.
#include <gtest/gtest.h>

#include "CacheEntryWriter.h"
#include "monitor/cachewatch/CacheEntries.h"
#include "monitor/cachewatch/ContentDecoding.h"
#include "support/TempDir.h"

using namespace vellumar::cachewatch;
using namespace cachetest;
namespace fs = std::filesystem;

namespace {

std::string page(const std::string& words) {
    return "<html><head><title>T</title></head><body>" + words + "</body></html>";
}

TEST(CacheEntries, BothFormatsGiveAddressHeadAndBody) {
    testing_support::TempDir dir;
    const std::string body = page("harbour lights");
    writeFile(dir / "ff", firefoxEntry("https://example.org/a?b=1",
                                       httpHead("text/HTML; charset=utf-8", "gzip"), body));
    writeFile(dir / "ff3", firefoxEntry("http://x/3", httpHead("text/html"), body, "", 3));
    writeFile(dir / "ff-secret",
              firefoxEntry("http://x/s", httpHead("text/html"), body, "", 4, true));
    writeFile(dir / "cr",
              chromiumEntry("https://example.org/c", httpHead("text/html", "br"), body));
    writeFile(dir / "cr-old",
              chromiumEntry("http://old.example/", httpHead("text/plain"), body, false));
    const struct {
        CacheFormat format;
        const char* file;
        std::string url, type, encoding;
    } cases[] = {
        {CacheFormat::Firefox, "ff", "https://example.org/a?b=1", "text/html", "gzip"},
        {CacheFormat::Firefox, "ff3", "http://x/3", "text/html", ""},
        {CacheFormat::Chromium, "cr", "https://example.org/c", "text/html", "br"},
        {CacheFormat::Chromium, "cr-old", "http://old.example/", "text/plain", ""},
    };
    for (const auto& c : cases) {
        const auto entry = readCacheEntry(c.format, dir / c.file);
        ASSERT_TRUE(entry) << c.file;
        EXPECT_EQ(entry->url, c.url);
        EXPECT_EQ(entry->head.status, 200);
        EXPECT_EQ(entry->head.contentType, c.type);
        EXPECT_EQ(entry->head.contentEncoding, c.encoding);
        EXPECT_EQ(readEntryBody(dir / c.file, *entry), body) << c.file;
    }
    EXPECT_FALSE(readCacheEntry(CacheFormat::Firefox, dir / "ff-secret")) << "encrypted";
    // Each format's reader refuses the other's files.
    EXPECT_FALSE(readCacheEntry(CacheFormat::Chromium, dir / "ff"));
    EXPECT_FALSE(readCacheEntry(CacheFormat::Firefox, dir / "cr"));
}

TEST(CacheEntries, FirefoxKeysWithTagsAndEscapedCommas) {
    EXPECT_EQ(urlFromFirefoxKey(":http://a/"), "http://a/");
    EXPECT_EQ(urlFromFirefoxKey("a,:http://a/b,c"), "http://a/b,c");
    EXPECT_EQ(urlFromFirefoxKey("O^partitionKey=%28https%2Cx.org%29,,y,a,~1234,:https://x.org/"),
              "https://x.org/");
    EXPECT_EQ(urlFromFirefoxKey("a,"), "");     // no address
    EXPECT_EQ(urlFromFirefoxKey("O^x,,"), "");  // value never ends
    EXPECT_EQ(urlFromChromiumKey("1/0/_dk_https://a https://a https://a/p q"), "q");
}

TEST(CacheEntries, ResponseHeadLines) {
    static const char lines[] =
        "HTTP/2 203 \0content-type:  Application/XHTML+xml ;charset=x\0Content-Encoding: gzip\0"
        "content-encoding: br\0\0";
    const ResponseHead h = parseResponseHead(std::string(lines, sizeof lines - 1));
    EXPECT_EQ(h.status, 203);
    EXPECT_EQ(h.contentType, "application/xhtml+xml");
    EXPECT_EQ(h.contentEncoding, "gzip, br");
    EXPECT_TRUE(isHtmlPage(h));
    EXPECT_FALSE(
        isHtmlPage(parseResponseHead("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n")));
    EXPECT_FALSE(
        isHtmlPage(parseResponseHead("HTTP/1.1 206 Partial\r\nContent-Type: text/html\r\n")));
    EXPECT_FALSE(isHtmlPage(parseResponseHead("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n")));
    EXPECT_EQ(parseResponseHead("garbage").status, 0);
}

// Every cut of an entry (a download still being written, a disk that filled) and every
// damaged byte of its trailer is refused or read within the file, never beyond it.
TEST(CacheEntries, TruncatedAndDamagedEntriesAreRefusedSafely) {
    testing_support::TempDir dir;
    const std::string body = page("x");
    const std::pair<CacheFormat, std::string> entries[] = {
        {CacheFormat::Firefox, firefoxEntry("https://e/", httpHead("text/html"), body)},
        {CacheFormat::Firefox, firefoxEntry("https://e/", httpHead("text/html"), body, "a,", 3)},
        {CacheFormat::Chromium, chromiumEntry("https://e/", httpHead("text/html"), body)},
    };
    for (const auto& [format, bytes] : entries) {
        // Every cut near the ends, where the readers look, and some in between.
        for (std::size_t cut = 0; cut < bytes.size();
             cut += (cut < 48 || cut + 80 > bytes.size()) ? 1 : 7) {
            writeFile(dir / "e", bytes.substr(0, cut));
            EXPECT_FALSE(readCacheEntry(format, dir / "e")) << "cut at " << cut;
        }
        for (std::size_t at = body.size(); at < bytes.size(); at += 5) {
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ 0xff);
            writeFile(dir / "e", damaged);
            if (const auto entry = readCacheEntry(format, dir / "e")) {
                EXPECT_LE(entry->bodyOffset + entry->bodySize, damaged.size()) << at;
                readEntryBody(dir / "e", *entry);
            }
        }
    }
    EXPECT_TRUE(isEntryFileName(CacheFormat::Firefox, "0123456789ABCDEF0123456789abcdef01234567"));
    EXPECT_FALSE(isEntryFileName(CacheFormat::Firefox, "index"));
    EXPECT_TRUE(isEntryFileName(CacheFormat::Chromium, "0123456789abcdef_0"));
    EXPECT_FALSE(isEntryFileName(CacheFormat::Chromium, "0123456789abcdef_1"));
    EXPECT_FALSE(isEntryFileName(CacheFormat::Chromium, "the-real-index"));
}

TEST(ContentDecoding, ServerCodingsAreUndone) {
    const std::string text = page(std::string(5000, 'a') + " sea");
    EXPECT_EQ(decodeContent(text, "", 1 << 20), text);
    EXPECT_EQ(decodeContent(text, "identity", 1 << 20), text);
    EXPECT_EQ(decodeContent(gzip(text), "gzip", 1 << 20), text);
    EXPECT_EQ(decodeContent(gzip(text), "X-GZIP", 1 << 20), text);
    EXPECT_EQ(decodeContent(zlibDeflate(text), "deflate", 1 << 20), text);
    EXPECT_EQ(decodeContent(rawDeflate(text), "deflate", 1 << 20), text);
    EXPECT_EQ(decodeContent(brotli(text), "br", 1 << 20), text);
    EXPECT_EQ(decodeContent(brotli(gzip(text)), "gzip, br", 1 << 20), text) << "last applied first";
    EXPECT_EQ(decodeContent(gzip("one ") + gzip("two"), "gzip", 1 << 20), "one two");
}

TEST(ContentDecoding, UnknownDamagedOrOversizedBodiesAreRefused) {
    const std::string text = page("words");
    EXPECT_FALSE(decodeContent(text, "compress", 1 << 20));
    EXPECT_FALSE(decodeContent(text, "gzip, zstd", 1 << 20));
    const std::string packed = gzip(text);
    EXPECT_FALSE(decodeContent(packed.substr(0, packed.size() / 2), "gzip", 1 << 20));
    const std::string br = brotli(text);
    EXPECT_FALSE(decodeContent(br.substr(0, br.size() / 2), "br", 1 << 20));
    EXPECT_FALSE(decodeContent("not compressed at all", "gzip", 1 << 20));
    // A small body that expands past the limit (a "zip bomb") stops at the limit.
    const std::string bomb = gzip(std::string(4 << 20, 'z'));
    EXPECT_LT(bomb.size(), 64u * 1024);
    EXPECT_FALSE(decodeContent(bomb, "gzip", 1 << 20));
    EXPECT_FALSE(decodeContent(brotli(std::string(4 << 20, 'z')), "br", 1 << 20));
    EXPECT_FALSE(decodeContent(std::string(100, 'a'), "", 50));
}

}  // namespace
