// Plain functions on scope strings and paths, shared by the notifier's walk, automatic
// updating, the per-folder indexing step and the folder dialog.
//
// A scope entry is  [-] folder "/" [+] groups, split at the entry's last "/" (patterns and
// labels never contain "/"):  /home/ann/docs/+<*.txt,*.doc><notes:*.xml>.  The root folder
// is written "/" (entry "/+<*.txt>"), and its folder-table key is "/". Folders keep their
// case and compare exactly; patterns and labels compare without regard to case, which is
// why the scope parser lower-cases the group text of every entry.
//
// Positions are 0-based unless a name says otherwise. Everything here is pure and
// thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

// 1-based position of the last occurrence of ch in text, 0 when it does not occur.
std::size_t LastCharPos(std::string_view text, char ch);

// The folder of an entry: the text before its last "/", or "/" for an entry of the root
// folder ("/+<*.txt>"); empty when the entry holds no "/".
std::string ScopeFolder(std::string_view entry);

// The pattern groups of an entry: the text after its last "/", with one "+" directly after
// that "/" dropped. Empty when there is no "/" or nothing follows the "+".
std::string ScopePatterns(std::string_view entry);

// The tokenizer of pattern groups. Scans text from pos up to (not including) last:
//  - "<" starts a new group (the caller clears its current label; groupStarted is set);
//  - "," or ">" ends a pattern token;
//  - ":" ends a label token, returned with the "<" before it ("<orders");
//  - reaching last without a terminator yields an empty token (an unclosed group gives no
//    pattern for its last token).
// On return pos is just past the terminator (or last), so a caller loops while pos < last.
std::string NextPatternToken(std::string_view text, std::size_t& pos, std::size_t last,
                             bool* groupStarted = nullptr);

// True when a token from NextPatternToken is a label ("<orders"); its field name is the
// token with the "<" replaced by "/" ("/orders").
inline bool isLabelToken(std::string_view token) { return !token.empty() && token[0] == '<'; }

// True for the patterns that stand for every file ("*.*" and "*").
inline bool isAllFilesPattern(std::string_view token) { return token == "*.*" || token == "*"; }

// One group of a pattern text, as the indexing step uses it: its label ("" when it has
// none) and its patterns in order (empty tokens left out).
struct PatternGroup {
    std::string label;
    std::vector<std::string> patterns;
};
std::vector<PatternGroup> splitPatternGroups(std::string_view groups);

// The labels of a scope's pattern groups (the text between a group's "<" and its ":"),
// trimmed, each once without regard to case, in the order they first appear. A ":"
// after the group's ">" belongs to another group and names nothing here.
std::vector<std::string> scopeLabels(std::string_view scope);

// folder + name, with one "/" between them unless the folder already ends in "/".
std::string JoinPath(std::string_view folder, std::string_view name);

// Removes the last "/" and what follows it; "/home" becomes "/", and "/" as well as a text
// without "/" stay unchanged.
void StripLastPathPart(std::string& path);

// A folder written in a scope, made into a table key: "//" and "/./" collapsed, ".."
// resolved lexically, no trailing "/" (except for the root itself). Empty for a folder that
// is not absolute, since walking relative to whatever the current folder is would surprise.
std::string normalizeScopeFolder(std::string_view folder);

// True when path is folder itself or lies below it (folder given without trailing "/";
// "/" contains every absolute path).
bool isPathUnder(std::string_view path, std::string_view folder);

// The system folders that "Do not monitor system folders" leaves out: /etc, /usr, /var,
// /boot and /opt. (On Linux there is no single system folder.)
const std::vector<std::string>& SystemFolders();
bool isInSystemFolder(std::string_view path);

// Folders the walk never enters: the kernel's pseudo file systems under /proc, /sys, /dev
// and /run (their contents are not documents and some files block when read). Volumes
// mounted under /run/media/USER are the exception: they are the user's removable media.
bool isNeverWalkedFolder(std::string_view path);

// ASCII lower case; patterns and labels compare without regard to case.
std::string asciiLower(std::string_view text);

// Blanks and control characters (code below 33) removed at both ends.
std::string_view trimScopeBlanks(std::string_view text);

}  // namespace vellumar
