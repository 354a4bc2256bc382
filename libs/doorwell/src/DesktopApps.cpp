#include "doorwell/DesktopApps.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "doorwell/CommandLine.h"

namespace doorwell {

namespace {

std::vector<std::string> splitList(const std::string& text, char separator) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(text);
    while (std::getline(in, item, separator))
        if (!item.empty()) out.push_back(item);
    return out;
}

std::string env(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

// The lines of a small text file (nothing when it cannot be read or is unreasonably big).
std::vector<std::string> readLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    std::string line;
    std::size_t bytes = 0;
    while (in && std::getline(in, line)) {
        if ((bytes += line.size()) > (8u << 20)) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// key=value of one [group] of a desktop-entry style file; the first occurrence wins.
std::optional<std::string> groupValue(const std::vector<std::string>& lines,
                                      const std::string& group, const std::string& key) {
    bool inGroup = false;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        if (!inGroup || line.empty() || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string k = line.substr(0, eq);
        while (!k.empty() && k.back() == ' ') k.pop_back();
        if (k != key) continue;
        std::size_t v = eq + 1;
        while (v < line.size() && line[v] == ' ') ++v;
        return line.substr(v);
    }
    return std::nullopt;
}

// The escapes of desktop entry values: \s \n \t \r \\.
std::string unescapeValue(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 >= value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += value[i];
        }
    }
    return out;
}

std::vector<std::string> dataDirsUserFirst(const XdgDirs& dirs) {
    std::vector<std::string> all{dirs.dataHome};
    all.insert(all.end(), dirs.dataDirs.begin(), dirs.dataDirs.end());
    return all;
}

// The mimeapps.list files in the order they count.
std::vector<std::string> mimeappsFiles(const XdgDirs& dirs) {
    std::vector<std::string> files{dirs.configHome + "/mimeapps.list"};
    for (const auto& d : dirs.configDirs) files.push_back(d + "/mimeapps.list");
    for (const auto& d : dataDirsUserFirst(dirs))
        files.push_back(d + "/applications/mimeapps.list");
    return files;
}

}  // namespace

XdgDirs XdgDirs::FromEnvironment() {
    const std::string home = env("HOME", "/");
    XdgDirs d;
    d.dataHome = env("XDG_DATA_HOME", home + "/.local/share");
    d.dataDirs = splitList(env("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':');
    d.configHome = env("XDG_CONFIG_HOME", home + "/.config");
    d.configDirs = splitList(env("XDG_CONFIG_DIRS", "/etc/xdg"), ':');
    return d;
}

std::string mimeTypeOf(const std::string& file, const XdgDirs& dirs) {
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "inode/directory";
    const std::size_t slash = file.rfind('/');
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    std::string lowerName = name;
    std::transform(lowerName.begin(), lowerName.end(), lowerName.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string best = "application/octet-stream";
    int bestWeight = -1;
    std::size_t bestLength = 0;
    for (const std::string& dir : dataDirsUserFirst(dirs)) {
        for (const std::string& line : readLines(dir + "/mime/globs2")) {
            if (line.empty() || line[0] == '#') continue;
            // weight:type:glob[:flags]
            const std::size_t a = line.find(':');
            const std::size_t b = a == std::string::npos ? a : line.find(':', a + 1);
            if (b == std::string::npos) continue;
            const std::size_t c = line.find(':', b + 1);
            const int weight = std::atoi(line.substr(0, a).c_str());
            const std::string type = line.substr(a + 1, b - a - 1);
            const std::string glob = line.substr(b + 1, c == std::string::npos ? c : c - b - 1);
            const bool caseSensitive =
                c != std::string::npos && line.find("cs", c) != std::string::npos;
            const bool match = caseSensitive
                                   ? fnmatch(glob.c_str(), name.c_str(), 0) == 0
                                   : fnmatch(glob.c_str(), lowerName.c_str(), FNM_CASEFOLD) == 0;
            if (!match) continue;
            if (weight > bestWeight || (weight == bestWeight && glob.size() > bestLength)) {
                best = type;
                bestWeight = weight;
                bestLength = glob.size();
            }
        }
        if (bestWeight >= 0) break;  // the user's own database overrides the system's
    }
    return best;
}

std::optional<DesktopEntry> findDesktopEntry(const std::string& id, const XdgDirs& dirs) {
    if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
    for (const std::string& dir : dataDirsUserFirst(dirs)) {
        const std::vector<std::string> lines = readLines(dir + "/applications/" + id);
        if (lines.empty()) continue;
        const auto exec = groupValue(lines, "Desktop Entry", "Exec");
        if (!exec) return std::nullopt;  // the first one found hides the others
        if (groupValue(lines, "Desktop Entry", "Hidden") == "true") return std::nullopt;
        auto argv = splitCommandLine(unescapeValue(*exec));
        if (!argv) return std::nullopt;
        DesktopEntry entry;
        entry.id = id;
        entry.name = unescapeValue(groupValue(lines, "Desktop Entry", "Name").value_or(id));
        entry.exec = std::move(*argv);
        entry.terminal = groupValue(lines, "Desktop Entry", "Terminal") == "true";
        return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> defaultApplicationFor(const std::string& mimeType,
                                                  const XdgDirs& dirs) {
    for (const std::string& file : mimeappsFiles(dirs)) {
        const auto value = groupValue(readLines(file), "Default Applications", mimeType);
        if (!value) continue;
        for (const std::string& id : splitList(*value, ';'))
            if (auto entry = findDesktopEntry(id, dirs)) return entry;
    }
    const auto all = applicationsFor(mimeType, dirs);
    if (all.empty()) return std::nullopt;
    return all.front();
}

std::vector<DesktopEntry> applicationsFor(const std::string& mimeType, const XdgDirs& dirs) {
    std::vector<std::string> ids;
    for (const std::string& file : mimeappsFiles(dirs)) {
        const auto lines = readLines(file);
        for (const char* group : {"Default Applications", "Added Associations"})
            if (const auto value = groupValue(lines, group, mimeType))
                for (const std::string& id : splitList(*value, ';')) ids.push_back(id);
    }
    for (const std::string& dir : dataDirsUserFirst(dirs))
        if (const auto value =
                groupValue(readLines(dir + "/applications/mimeinfo.cache"), "MIME Cache", mimeType))
            for (const std::string& id : splitList(*value, ';')) ids.push_back(id);
    std::vector<DesktopEntry> out;
    std::set<std::string> seen;
    for (const std::string& id : ids) {
        if (!seen.insert(id).second) continue;
        if (auto entry = findDesktopEntry(id, dirs)) out.push_back(std::move(*entry));
    }
    return out;
}

}  // namespace doorwell
