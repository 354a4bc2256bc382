// Where links lead: the table of link rules, RFC 3986 resolution, saved pages, the cache
// copies, and the status text over a link.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"
#include "viewer/ResolveLink.h"

namespace fs = std::filesystem;

namespace vellumar {
namespace {

struct LinkCase {
    const char* currentFile;
    const char* base;
    const char* url;
    LinkKind kind;
    const char* target;
    const char* anchor;
};

LinkContext context(const char* currentFile, const char* base) {
    LinkContext c;
    c.currentFile = currentFile;
    c.base = base;
    c.programFolder = "/opt/vellumar";
    c.getUrl = [](const std::string& file) -> std::optional<std::string> {
        if (file == "/cache/saved.htm") return "http://example.org/dir/page.htm";
        return std::nullopt;
    };
    return c;
}

TEST(ResolveLinkTest, TheLinkRules) {
    using K = LinkKind;
    const LinkCase cases[] = {
        // Anchors of the current page.
        {"/docs/page.html", "", "#Top", K::Anchor, "#Top", "Top"},
        // Addresses with a scheme.
        {"/docs/page.html", "", "http://example.org/a", K::openOutsideProgram,
         "http://example.org/a", ""},
        {"/docs/page.html", "", "HTTPS://example.org", K::openOutsideProgram, "HTTPS://example.org",
         ""},
        {"/docs/page.html", "", "mailto:ann@example.org", K::openOutsideProgram,
         "mailto:ann@example.org", ""},
        {"/docs/page.html", "", "javascript:alert(1)", K::Ignore, "javascript:alert(1)", ""},
        {"/docs/page.html", "", "JavaScript:void(0)", K::Ignore, "JavaScript:void(0)", ""},
        {"/docs/page.html", "", "file:///docs/other%20page.htm#Part", K::LocalFile,
         "/docs/other page.htm", "Part"},
        {"/docs/page.html", "", "file://localhost/etc/a.htm", K::LocalFile, "/etc/a.htm", ""},
        {"/docs/page.html", "", "FILE:/x/../y.htm", K::LocalFile, "/y.htm", ""},
        // Relative links on a page without base: beside the page.
        {"/docs/page.html", "", "sub/b.htm", K::LocalFile, "/docs/sub/b.htm", ""},
        {"/docs/page.html", "", "../up.htm?x=1#s", K::LocalFile, "/up.htm", "s"},
        {"/docs/page.html", "", "/abs/c.htm", K::LocalFile, "/abs/c.htm", ""},
        {"/docs/my page.html", "", "a%23b.htm", K::LocalFile, "/docs/a#b.htm", ""},
        {"/docs/page.html", "", "a:b.htm", K::openOutsideProgram, "a:b.htm", ""},
        {"/docs/page.html", "", "sub dir/b.htm", K::LocalFile, "/docs/sub dir/b.htm", ""},
        // No page shown: the program folder.
        {"", "", "help.html", K::LocalFile, "/opt/vellumar/help.html", ""},
        // A base of "DosPath": the page's folder.
        {"/docs/page.html", "DosPath", "x/y.htm", K::LocalFile, "/docs/x/y.htm", ""},
        // Any other base: resolved against it.
        {"/docs/page.html", "http://site.org/a/", "b/c.htm", K::openOutsideProgram,
         "http://site.org/a/b/c.htm", ""},
        {"/docs/page.html", "http://site.org/a/b.htm", "/root.htm", K::openOutsideProgram,
         "http://site.org/root.htm", ""},
        {"/docs/page.html", "file:///srv/www/", "c.htm#k", K::LocalFile, "/srv/www/c.htm", "k"},
        {"/docs/page.html", "other/", "c.htm", K::LocalFile, "/docs/other/c.htm", ""},
        // A page saved from the web: its address.
        {"/cache/saved.htm", "", "img/a.gif", K::openOutsideProgram,
         "http://example.org/dir/img/a.gif", ""},
        {"/cache/saved.htm", "", "/top.htm", K::openOutsideProgram, "http://example.org/top.htm",
         ""},
        {"/cache/saved.htm", "", "../x.htm", K::openOutsideProgram, "http://example.org/x.htm", ""},
    };
    for (const LinkCase& c : cases) {
        const ResolvedLink link = ResolveLink(context(c.currentFile, c.base), c.url);
        EXPECT_EQ(link.kind, c.kind) << c.url;
        EXPECT_EQ(link.target, c.target) << c.url;
        EXPECT_EQ(link.anchor, c.anchor) << c.url;
    }
}

TEST(ResolveLinkTest, RelativeReferencesResolveAsInTheStandard) {
    // The examples of RFC 3986, section 5.4.
    const std::string base = "http://a/b/c/d;p?q";
    const std::pair<const char*, const char*> cases[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {";x", "http://a/b/c/;x"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
    };
    for (const auto& [reference, expected] : cases)
        EXPECT_EQ(expandRelativeUrl(base, reference), expected) << reference;
    EXPECT_EQ(expandRelativeUrl("http://site", "x.htm"), "http://site/x.htm");
}

TEST(ResolveLinkTest, CacheCopiesAreFoundUnderTheirRenamedNames) {
    testing_support::TempDir dir;
    const fs::path cache = dir / "cache";
    fs::create_directories(cache / "AB12");
    fs::create_directories(cache / "CD34");
    std::ofstream(cache / "CD34" / "logo[1].gif") << "gif";
    LinkContext c;
    c.cacheFolder = cache;
    c.getUrl = [](const std::string&) { return std::nullopt; };
    c.currentFile = (cache / "AB12" / "index[1].htm").string();
    ResolvedLink link = ResolveLink(c, "images/logo.gif");
    EXPECT_EQ(link.kind, LinkKind::LocalFile);
    EXPECT_EQ(link.target, (cache / "CD34" / "logo[1].gif").string());
    // Not a renamed copy, or not in the cache: beside the page.
    link = ResolveLink(c, "images/none.gif");
    EXPECT_EQ(link.target, (cache / "AB12" / "images" / "none.gif").string());
    c.currentFile = (dir / "index[1].htm").string();
    EXPECT_EQ(ResolveLink(c, "logo.gif").target, (dir / "logo.gif").string());
}

TEST(ResolveLinkTest, TheStatusLineOverALink) {
    LinkContext saved = context("/cache/saved.htm", "");
    EXPECT_EQ(hotSpotStatusText(saved, "b.htm"), "Shortcut to: http://example.org/dir/b.htm");
    EXPECT_EQ(hotSpotStatusText(saved, "#top"), "Shortcut to: #top");
    EXPECT_EQ(hotSpotStatusText(saved, "http://x.org/"), "Shortcut to: http://x.org/");
    EXPECT_EQ(hotSpotStatusText(saved, ""), "Current file: /cache/saved.htm");
    EXPECT_EQ(hotSpotStatusText(context("/docs/a.htm", ""), "b.htm"), "Shortcut to: b.htm");
    EXPECT_EQ(hotSpotStatusText(context("", ""), ""), "");
}

}  // namespace
}  // namespace vellumar
