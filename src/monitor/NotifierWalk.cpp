// The walk of TNotifier: ScanScope and WalkFolder. It runs on the main thread with the
// notifier lock held (inside AddScope or SetScope).
#include <chrono>
#include <utility>

#include "monitor/FolderListing.h"
#include "monitor/Notifier.h"
#include "scope/ScopeParser.h"
#include "scope/ScopeStrings.h"

namespace vellumar {

struct TNotifier::WalkState {
    // The folders on the path from the entry's folder down to the current one, by device
    // and inode: a bind mount of an ancestor would otherwise make the walk go round.
    std::vector<std::pair<dev_t, ino_t>> ancestors;
    std::chrono::steady_clock::time_point lastMessages{};
    unsigned calls = 0;
    int result = 0;  // the handler's code that ended the walk, or 0

    // Pending messages are let through at most every few milliseconds: calling the event
    // loop for each of a million files would cost more than the walk, and a person does not
    // notice the difference. The clock itself is read every 16th item only.
    void ProcessMessages(UserInterface& ui) {
        if (calls++ % 16 != 0) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastMessages < std::chrono::milliseconds(5)) return;
        lastMessages = now;
        ui.processPendingMessages();
    }
};

int TNotifier::ScanScope(int position) {
    aborted_.store(false);
    const TScopeParser parser(scopes_[static_cast<std::size_t>(position)]);
    WalkState state;
    for (int i = 0; i < parser.Count() && !aborted_.load(); ++i) {
        const TScopeEntry entry = parser.GetEntry(i);
        if (entry.text.empty()) continue;
        const std::string folder = normalizeScopeFolder(ScopeFolder(entry.text));
        std::string patterns = ScopePatterns(entry.text);
        if (entry.exclude && patterns.empty()) patterns = "<*.*>";
        // Group text must open a group: in "/home/ann/docs+<*>" (a "/" forgotten) the
        // folder would be /home/ann and every file in it would be taken.
        if (folder.empty() || patterns.empty() || patterns.front() != '<') continue;
        WalkFolder(position, folder, patterns, entry.subfolders, entry.exclude, state);
    }
    return state.result;
}

namespace {

// Whether folder is base itself or lies below it (both folder keys).
bool AtOrBelow(const std::string& folder, const std::string& base) {
    if (base == "/") return !folder.empty() && folder.front() == '/';
    return folder.compare(0, base.size(), base) == 0 &&
           (folder.size() == base.size() || folder[base.size()] == '/');
}

}  // namespace

int TNotifier::ScanNewSubfolders(int position, const std::string& folder) {
    NotifierLockGuard guard(lock_);
    if (position < 0 || position >= static_cast<int>(scopes_.size())) return 0;
    const std::int32_t number = scopeNumbers_.Get(position);
    std::vector<std::string> fresh;
    {
        FolderListing listing;
        if (!listing.Open(folder, /*followLink=*/true)) return 0;
        listing.ForEach([&](std::string_view name, bool isFolder) {
            if (!isFolder) return true;
            const std::string child = JoinPath(folder, name);
            // A folder with entries of this index is known; its own reports cover it.
            if (!tables_.HasEntries(child, number)) fresh.push_back(child);
            return true;
        });
    }
    if (fresh.empty()) return 0;
    aborted_.store(false);
    const TScopeParser parser(scopes_[static_cast<std::size_t>(position)]);
    WalkState state;
    // The entries in scope order, exclusions registered before the inclusions they trim,
    // as in the first walk: each new folder is walked by every entry that reaches it.
    for (const std::string& child : fresh) {
        for (int i = 0; i < parser.Count() && !aborted_.load(); ++i) {
            const TScopeEntry entry = parser.GetEntry(i);
            if (entry.text.empty()) continue;
            const std::string base = normalizeScopeFolder(ScopeFolder(entry.text));
            std::string patterns = ScopePatterns(entry.text);
            if (entry.exclude && patterns.empty()) patterns = "<*.*>";
            if (base.empty() || patterns.empty() || patterns.front() != '<') continue;
            if (entry.subfolders && AtOrBelow(child, base) && child != base)
                WalkFolder(position, child, patterns, true, entry.exclude, state);
            else if (AtOrBelow(base, child))
                WalkFolder(position, base, patterns, entry.subfolders, entry.exclude, state);
        }
    }
    return state.result;
}

std::vector<std::string> TNotifier::FoldersOf(int position, const std::string& folder) {
    NotifierLockGuard guard(lock_);
    if (position < 0 || position >= scopeNumbers_.Count()) return {};
    return tables_.FoldersOf(folder, scopeNumbers_.Get(position));
}

void TNotifier::ForgetFolderTree(int position, const std::string& folder) {
    NotifierLockGuard guard(lock_);
    if (position < 0 || position >= scopeNumbers_.Count()) return;
    tables_.RemoveFolderTree(folder, scopeNumbers_.Get(position));
}

void TNotifier::WalkFolder(int position, const std::string& folder, const std::string& patterns,
                           bool subfolders, bool exclusion, WalkState& state) {
    UserInterface& ui = services_.ui;
    if (services_.throttle.due()) ui.showStatus("Processing: " + JoinPath(folder, ""));
    state.ProcessMessages(ui);
    if (aborted_.load() || isNeverWalkedFolder(folder)) return;

    // A folder that vanished or cannot be read is skipped; the walk goes on.
    FolderListing listing;
    const bool top = state.ancestors.empty();
    if (!listing.Open(folder, /*followLink=*/top)) return;
    const std::pair<dev_t, ino_t> id{listing.Device(), listing.Inode()};
    for (const auto& ancestor : state.ancestors) {
        if (ancestor == id) return;
    }
    if ((top || id.first != state.ancestors.back().first) && listing.IsPseudoFileSystem()) return;

    std::string shortened = patterns;
    const std::int32_t number = scopeNumbers_.Get(position);
    const bool newlyCovered = tables_.RegisterFolder(folder, number, shortened, exclusion);
    if (newlyCovered && !exclusion && onScanFolder_) {
        const ScanFolderEvent handler = onScanFolder_;
        int result = 0;
        CallIdle([&] { handler(position, JoinPath(folder, ""), shortened, result); });
        if (result != 0) {
            state.result = result;
            aborted_.store(true);
            return;
        }
    }
    if (!subfolders) return;

    std::vector<std::string> children;
    long count = 0;
    listing.ForEach([&](std::string_view name, bool isFolder) {
        state.ProcessMessages(ui);
        if (aborted_.load()) return false;
        ++count;
        if (count % 16 == 0 && services_.throttle.due())
            ui.showStatus("Processing: " + folder + " - " + std::to_string(count) + " files");
        if (isFolder) children.emplace_back(name);
        return true;
    });
    // The listing is closed before descending, so deep trees do not run out of descriptors.
    listing.Close();

    state.ancestors.push_back(id);
    for (const std::string& name : children) {
        if (aborted_.load()) break;
        WalkFolder(position, JoinPath(folder, name), patterns, true, exclusion, state);
    }
    state.ancestors.pop_back();
}

}  // namespace vellumar
