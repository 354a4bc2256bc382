#include "viewer/ResolveLink.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "doorwell/Doorwell.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

struct Uri {
    std::string scheme;  // empty: none
    bool hasAuthority = false;
    std::string authority;
    std::string path;
    bool hasQuery = false;
    std::string query;
    bool hasFragment = false;
    std::string fragment;
};

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the scheme at the start of text (without ":"), or 0.
std::size_t schemeLength(std::string_view text) {
    if (text.empty() || !isAlpha(text[0])) return 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':') return i;
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 0;
}

Uri parse(std::string_view text) {
    Uri u;
    if (const auto hash = text.find('#'); hash != std::string_view::npos) {
        u.hasFragment = true;
        u.fragment = text.substr(hash + 1);
        text = text.substr(0, hash);
    }
    if (const auto question = text.find('?'); question != std::string_view::npos) {
        u.hasQuery = true;
        u.query = text.substr(question + 1);
        text = text.substr(0, question);
    }
    if (const std::size_t n = schemeLength(text)) {
        u.scheme = text.substr(0, n);
        text = text.substr(n + 1);
    }
    if (text.substr(0, 2) == "//") {
        u.hasAuthority = true;
        const auto slash = text.find('/', 2);
        u.authority =
            text.substr(2, slash == std::string_view::npos ? std::string_view::npos : slash - 2);
        text = slash == std::string_view::npos ? std::string_view() : text.substr(slash);
    }
    u.path = text;
    return u;
}

std::string removeDotSegments(std::string_view input) {
    std::string in(input);
    std::string out;
    while (!in.empty()) {
        if (in.rfind("../", 0) == 0) {
            in.erase(0, 3);
        } else if (in.rfind("./", 0) == 0) {
            in.erase(0, 2);
        } else if (in.rfind("/./", 0) == 0) {
            in.erase(0, 2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.rfind("/../", 0) == 0 || in == "/..") {
            in = in == "/.." ? "/" : in.substr(3);
            const auto last = out.rfind('/');
            out.erase(last == std::string::npos ? 0 : last);
        } else if (in == "." || in == "..") {
            in.clear();
        } else {
            const std::size_t next = in.find('/', in[0] == '/' ? 1 : 0);
            out += in.substr(0, next);
            in.erase(0, next == std::string::npos ? in.size() : next);
        }
    }
    return out;
}

std::string compose(const Uri& u) {
    std::string out;
    if (!u.scheme.empty()) out += u.scheme + ":";
    if (u.hasAuthority) out += "//" + u.authority;
    out += u.path;
    if (u.hasQuery) out += "?" + u.query;
    if (u.hasFragment) out += "#" + u.fragment;
    return out;
}

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    c = lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::optional<std::string> savedFrom(const LinkContext& context) {
    if (context.currentFile.empty()) return std::nullopt;
    if (context.getUrl) return context.getUrl(context.currentFile);
    std::string address;
    if (!doorwell::GetUrl(context.currentFile, address, 255)) return std::nullopt;
    return address;
}

std::string normalPath(const fs::path& path) { return path.lexically_normal().string(); }

ResolvedLink localFile(std::string path, std::string_view url) {
    return {LinkKind::LocalFile, std::move(path), urlFragment(url)};
}

bool isUnder(const std::string& file, const fs::path& folder) {
    const std::string prefix = normalPath(folder);
    if (prefix.empty()) return false;
    const std::string withSlash = prefix.back() == '/' ? prefix : prefix + "/";
    return file.rfind(withSlash, 0) == 0;
}

// The cache keeps a copy of "logo.gif" as "logo[1].gif" in one of its folders.
std::optional<std::string> findInCache(const fs::path& folder, const std::string& name,
                                       int depth = 0) {
    std::error_code ec;
    std::vector<fs::path> folders;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::file_status status = it->symlink_status(ec);
        if (fs::is_directory(status))
            folders.push_back(it->path());
        else if (fs::is_regular_file(status) && it->path().filename() == name && depth > 0)
            return it->path().string();
    }
    if (depth >= 8) return std::nullopt;
    std::sort(folders.begin(), folders.end());
    for (const fs::path& sub : folders)
        if (auto found = findInCache(sub, name, depth + 1)) return found;
    return std::nullopt;
}

}  // namespace

std::string urlScheme(std::string_view url) {
    std::string scheme(url.substr(0, schemeLength(url)));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), lower);
    return scheme;
}

std::string urlFragment(std::string_view url) {
    const auto hash = url.find('#');
    return hash == std::string_view::npos ? std::string() : std::string(url.substr(hash + 1));
}

std::string urlToLocalPath(std::string_view url) {
    std::string_view text = url;
    if (const auto cut = text.find_first_of("?#"); cut != std::string_view::npos)
        text = text.substr(0, cut);
    if (urlScheme(text) == "file") {
        text = text.substr(5);
        // "file://host/path": the host (empty or "localhost" for this machine) goes.
        if (text.substr(0, 2) == "//") {
            const auto slash = text.find('/', 2);
            text = slash == std::string_view::npos ? std::string_view("/") : text.substr(slash);
        }
    }
    return percentDecoded(text);
}

std::string fileUrl(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 32 || c == '%' || c == '#' || c == '?' || b == 127) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string expandRelativeUrl(std::string_view baseText, std::string_view reference) {
    const Uri base = parse(baseText);
    const Uri ref = parse(reference);
    Uri t;
    if (!ref.scheme.empty()) {
        t = ref;
        t.path = removeDotSegments(ref.path);
    } else {
        if (ref.hasAuthority) {
            t.hasAuthority = true;
            t.authority = ref.authority;
            t.path = removeDotSegments(ref.path);
            t.hasQuery = ref.hasQuery;
            t.query = ref.query;
        } else {
            if (ref.path.empty()) {
                t.path = base.path;
                t.hasQuery = ref.hasQuery || base.hasQuery;
                t.query = ref.hasQuery ? ref.query : base.query;
            } else {
                if (ref.path[0] == '/') {
                    t.path = removeDotSegments(ref.path);
                } else {
                    std::string merged;
                    if (base.hasAuthority && base.path.empty())
                        merged = "/" + ref.path;
                    else
                        merged = base.path.substr(0, base.path.rfind('/') + 1) + ref.path;
                    t.path = removeDotSegments(merged);
                }
                t.hasQuery = ref.hasQuery;
                t.query = ref.query;
            }
            t.hasAuthority = base.hasAuthority;
            t.authority = base.authority;
        }
        t.scheme = base.scheme;
    }
    t.hasFragment = ref.hasFragment;
    t.fragment = ref.fragment;
    return compose(t);
}

ResolvedLink ResolveLink(const LinkContext& context, std::string_view url) {
    if (!url.empty() && url[0] == '#')
        return {LinkKind::Anchor, std::string(url), urlFragment(url)};

    const std::string scheme = urlScheme(url);
    if (!scheme.empty()) {
        if (scheme == "file") return localFile(normalPath(urlToLocalPath(url)), url);
        if (scheme == "javascript") return {LinkKind::Ignore, std::string(url), {}};
        return {LinkKind::openOutsideProgram, std::string(url), {}};
    }

    const std::string pageUrl =
        context.currentFile.empty() ? std::string() : fileUrl(context.currentFile);
    if (!context.base.empty()) {
        if (context.base == "DosPath") {
            const fs::path folder = fs::path(context.currentFile).parent_path();
            return localFile(normalPath(folder.string() + "/" + urlToLocalPath(url)), url);
        }
        std::string expanded = expandRelativeUrl(context.base, url);
        if (urlScheme(expanded).empty() && !pageUrl.empty())
            expanded = expandRelativeUrl(pageUrl, expanded);  // a relative base
        if (urlScheme(expanded) == "file")
            return localFile(normalPath(urlToLocalPath(expanded)), url);
        return {LinkKind::openOutsideProgram, expanded, {}};
    }

    if (const auto address = savedFrom(context))
        return {LinkKind::openOutsideProgram, expandRelativeUrl(*address, url), {}};

    if (context.currentFile.empty())
        return localFile(normalPath(context.programFolder / urlToLocalPath(url)), url);

    if (!context.cacheFolder.empty() && isUnder(context.currentFile, context.cacheFolder) &&
        fs::path(context.currentFile).filename().string().find('[') != std::string::npos) {
        std::string name = urlToLocalPath(url);
        if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos)
            name.erase(0, slash + 1);
        if (const auto dot = name.find('.'); dot != std::string::npos) name.insert(dot, "[1]");
        if (!name.empty())
            if (auto found = findInCache(context.cacheFolder, name)) return localFile(*found, url);
    }
    return localFile(normalPath(urlToLocalPath(expandRelativeUrl(pageUrl, url))), url);
}

std::string hotSpotStatusText(const LinkContext& context, std::string_view url) {
    if (url.empty())
        return context.currentFile.empty() ? std::string() : "Current file: " + context.currentFile;
    if (url[0] != '#' && urlScheme(url).empty())
        if (const auto address = savedFrom(context))
            return "Shortcut to: " + expandRelativeUrl(*address, url);
    return "Shortcut to: " + std::string(url);
}

}  // namespace vellumar
