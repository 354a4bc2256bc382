// What a link in an HTML display leads to: a web address to open outside (with the
// desktop's browser), a local file to load into the display, an anchor of the current
// page, or nothing (script links are never run). Also the status text shown while the
// mouse is over a link, and the URL helpers these rules need.
//
// The rules, in order:
//  1. "#name": an anchor of the current page.
//  2. A link with a scheme: "file:" addresses are local files; "javascript:" is ignored;
//     every other scheme (http, https, ftp, mailto, ...) is opened outside.
//  3. A relative link on a page whose <base> is "DosPath": a file in the page's folder.
//  4. A relative link on a page with any other base: resolved against the base; opened
//     outside unless that gives a file: address.
//  5. A relative link on a page saved from the web (GetUrl knows its address): resolved
//     against that address and opened outside.
//  6. Otherwise a local file: relative to the program folder when no page is shown; on a
//     browser cache copy whose name holds "[", the cache's renamed copy ("logo[1].gif")
//     searched in the cache's folders; else relative to the page.
// Relative links resolve as browsers resolve them (RFC 3986: "/x" from the site's root,
// "../x" one folder up). A local target loses its "#fragment", which comes back as the
// anchor to position to after loading; "%20" and the like are decoded.
//
// Pure functions apart from GetUrl (reads the page's first bytes) and the search of the
// cache folders; thread-safe.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vellumar {

enum class LinkKind {
    openOutsideProgram = 0,  // hand the target to the desktop (browser, mail program)
    LocalFile = 1,           // load the target file into the display
    Anchor = 2,              // position the current page to `anchor`
    Ignore = 3,              // a script link: do nothing
};

struct ResolvedLink {
    LinkKind kind = LinkKind::Ignore;
    std::string target;  // an address, or a local path
    std::string anchor;  // without "#"; for Anchor, and for a LocalFile link with a fragment
};

struct LinkContext {
    std::string currentFile;  // the display's current file (a path); empty when none
    std::string base;         // the page's <base href>; empty when it has none
    std::filesystem::path programFolder;
    std::filesystem::path cacheFolder;  // the browser cache folder; empty when none
    // Where a saved page came from; defaults to doorwell::GetUrl.
    std::function<std::optional<std::string>(const std::string& file)> getUrl;
};

ResolvedLink ResolveLink(const LinkContext& context, std::string_view url);

// The status line while the mouse is over `url` ("Shortcut to: ..."), or, with an empty
// url (the mouse left the link), "Current file: " + the current file (empty without one).
std::string hotSpotStatusText(const LinkContext& context, std::string_view url);

// The scheme of an absolute URL, lower-cased ("http"), or empty for a relative reference.
std::string urlScheme(std::string_view url);

// A file: URL or a relative reference as a path: scheme, host, query and fragment dropped,
// percent escapes decoded.
std::string urlToLocalPath(std::string_view url);

// "file://" + the path, with the characters that would end or escape a path encoded.
std::string fileUrl(const std::string& path);

// The fragment of a reference (after the first "#"), without the "#".
std::string urlFragment(std::string_view url);

// Resolves a reference against an absolute base URL (RFC 3986, section 5.2).
std::string expandRelativeUrl(std::string_view base, std::string_view reference);

}  // namespace vellumar
