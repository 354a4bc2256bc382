#include "doorwell/Trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "doorwell/CommandLine.h"

namespace doorwell {

namespace {

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A folder that exists as a real folder (not a link), or is made now with mode 0700.
bool ensureFolder(const std::string& folder) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (::mkdir(folder.c_str(), 0700) == 0) return true;
    return errno == EEXIST && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The device of the nearest existing folder at or above path.
bool deviceOf(std::string path, dev_t& device) {
    for (;;) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            device = st.st_dev;
            return true;
        }
        if (path == "/" || path.empty()) return false;
        path = parentOf(path);
    }
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

TrashResult failure(std::string message) {
    TrashResult r;
    r.message = std::move(message);
    return r;
}

std::string normalised(const std::string& path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (!(path[i] == '/' && !out.empty() && out.back() == '/')) out += path[i];
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

}  // namespace

TrashPlaces TrashPlaces::FromEnvironment() {
    TrashPlaces p;
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    p.dataHome =
        data && *data == '/' ? data : std::string(home && *home ? home : "/") + "/.local/share";
    p.uid = ::getuid();
    return p;
}

std::string topdirOf(const std::string& path) {
    struct stat st {};
    std::string current = normalised(path);
    if (::lstat(current.c_str(), &st) != 0) return "/";
    const dev_t device = st.st_dev;
    while (current != "/") {
        const std::string up = parentOf(current);
        struct stat upSt {};
        if (::stat(up.c_str(), &upSt) != 0 || upSt.st_dev != device) break;
        current = up;
    }
    // A file's own top is the folder holding it at least.
    return current == normalised(path) ? parentOf(current) : current;
}

std::string topdirTrash(const std::string& topdir, uid_t uid) {
    const std::string base = topdir == "/" ? "" : topdir;
    const std::string shared = base + "/.Trash";
    struct stat st {};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX))
        return shared + "/" + std::to_string(uid);
    return base + "/.Trash-" + std::to_string(uid);
}

TrashResult moveIntoTrashFolder(const std::string& file, const std::string& trashFolder,
                                const std::string& pathValue, std::time_t now) {
    const std::string files = trashFolder + "/files";
    const std::string info = trashFolder + "/info";
    if (!ensureFolder(trashFolder) || !ensureFolder(files) || !ensureFolder(info))
        return failure("The trash folder \"" + trashFolder + "\" cannot be used.");

    std::tm local{};
    localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string content =
        "[Trash Info]\nPath=" + percentEncodePath(pathValue) + "\nDeletionDate=" + date + "\n";

    // Claim a name: the file's own, else "name.2", "name.3", ...
    const std::string base = baseOf(file);
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const std::string infoFile = info + "/" + name + ".trashinfo";
        const int fd = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return failure("The trash information cannot be written: " +
                           std::string(std::strerror(errno)) + ".");
        }
        const bool written = writeAll(fd, content);
        ::close(fd);
        const std::string target = files + "/" + name;
        struct stat st {};
        if (!written || ::lstat(target.c_str(), &st) == 0) {
            ::unlink(infoFile.c_str());
            if (!written) return failure("The trash information cannot be written.");
            continue;  // a file of that name is there without its information
        }
        if (::rename(file.c_str(), target.c_str()) != 0) {
            const int error = errno;
            ::unlink(infoFile.c_str());
            return failure("The file cannot be moved to the trash: " +
                           std::string(std::strerror(error)) + ".");
        }
        TrashResult r;
        r.ok = true;
        r.trashedAs = target;
        r.infoFile = infoFile;
        return r;
    }
    return failure("The trash holds too many files of that name.");
}

TrashResult moveFileToTrash(const std::string& name, const TrashPlaces& places, std::time_t now) {
    if (name.find("//") != std::string::npos)
        return failure("A file inside an archive cannot be moved to the trash.");
    if (name.empty() || name[0] != '/') return failure("The file name is not a full path.");
    const std::string file = normalised(name);
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0)
        return failure(
            "The file cannot be moved to the trash: " + std::string(std::strerror(errno)) + ".");

    const std::string homeTrash = normalised(places.dataHome) + "/Trash";
    if (file == homeTrash || homeTrash.rfind(file + "/", 0) == 0 ||
        file.rfind(homeTrash + "/", 0) == 0)
        return failure("The trash itself cannot be moved to the trash.");
    dev_t homeDevice = 0;
    if (deviceOf(homeTrash, homeDevice) && homeDevice == st.st_dev) {
        // A fresh account may not have its data folder yet.
        std::error_code ec;
        std::filesystem::create_directories(normalised(places.dataHome), ec);
        return moveIntoTrashFolder(file, homeTrash, file, now);
    }

    const std::string topdir = topdirOf(file);
    const std::string trash = topdirTrash(topdir, places.uid);
    if (file == topdir || file.rfind(trash, 0) == 0)
        return failure("The file cannot be moved to the trash.");
    // A trash folder of someone else's (or a link) is never used: the files would leave
    // the user's hands.
    struct stat own {};
    if (::lstat(trash.c_str(), &own) == 0 && (!S_ISDIR(own.st_mode) || own.st_uid != places.uid))
        return failure("The trash of this file system cannot be used.");
    // The shared .Trash holds one folder per user; it must not be a link either.
    if (trash.find("/.Trash/") != std::string::npos) {
        struct stat shared {};
        if (::lstat(parentOf(trash).c_str(), &shared) != 0 || !S_ISDIR(shared.st_mode))
            return failure("The trash of this file system cannot be used.");
    }
    const std::string relative = topdir == "/" ? file.substr(1) : file.substr(topdir.size() + 1);
    return moveIntoTrashFolder(file, trash, relative, now);
}

}  // namespace doorwell
