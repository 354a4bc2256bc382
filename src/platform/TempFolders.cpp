#include "platform/TempFolders.h"

#include <sys/stat.h>
#include <unistd.h>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace vellumar {

fs::path systemTempFolder(const EnvironmentLookup& environment) {
    if (const char* value = environment("TMPDIR"); value && value[0] == '/')
        return normaliseFolder(value);
    return "/tmp";
}

fs::path programTempFolder(const fs::path& home, bool readOnlyMedia, const fs::path& systemTemp) {
    if (readOnlyMedia) return systemTemp / ("vellumar-" + std::to_string(::getuid()));
    return home / "tmp";
}

bool emptyFolder(const fs::path& folder) {
    std::error_code ec;
    bool ok = true;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(it->path());
    if (ec) return false;
    for (const fs::path& entry : entries) {
        std::error_code itemError;
        // remove_all does not follow symbolic links: a link is removed as a link.
        fs::remove_all(entry, itemError);
        if (itemError) ok = false;
    }
    return ok;
}

bool prepareTempFolder(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (fs::is_symlink(status)) fs::remove(folder, ec);
    if (fs::is_directory(fs::symlink_status(folder, ec))) return emptyFolder(folder);
    fs::create_directories(folder, ec);
    return !ec && fs::is_directory(folder, ec);
}

namespace {

bool isSameOrParentOf(const fs::path& parent, const fs::path& child) {
    auto p = parent.begin(), c = child.begin();
    for (; p != parent.end(); ++p, ++c)
        if (c == child.end() || *p != *c) return false;
    return true;
}

// True when folder ended up empty and was removed (or would have been, if removable).
bool sweep(const fs::path& folder, dev_t device, const std::vector<fs::path>& keep,
           bool removable) {
    std::error_code ec;
    bool empty = true;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& entry = it->path();
        struct stat info {};
        if (::lstat(entry.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_dev != device) {
            empty = false;  // a file, a link, a mount point: the folder is not empty
            continue;
        }
        bool kept = false;
        for (const fs::path& k : keep) kept = kept || isSameOrParentOf(entry, k);
        if (!sweep(entry, device, keep, !kept) || kept) empty = false;
    }
    if (ec) return false;
    if (empty && removable) {
        std::error_code removeError;
        return fs::remove(folder, removeError) && !removeError;
    }
    return empty;
}

}  // namespace

void removeEmptySubfolders(const fs::path& folder, const std::vector<fs::path>& keep,
                           const fs::path& userHome) {
    const fs::path target = normaliseFolder(folder);
    if (target == "/" || (!userHome.empty() && isSameOrParentOf(target, normaliseFolder(userHome))))
        return;
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return;
    std::vector<fs::path> kept;
    for (const fs::path& k : keep) kept.push_back(normaliseFolder(k));
    sweep(target, info.st_dev, kept, false);
}

}  // namespace vellumar
