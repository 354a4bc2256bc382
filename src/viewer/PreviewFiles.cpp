#include "viewer/PreviewFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <string>
#include <vector>

#include "textfold/TextFold.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

// Empties the folder open as dirFd. Every step works relative to an open folder and never
// follows a symbolic link, so a link swapped in meanwhile cannot lead outside.
bool emptyOpenFolder(int dirFd, bool deleteFiles, const std::string& keepFile = {}) {
    const int listFd = ::dup(dirFd);
    if (listFd < 0) return false;
    DIR* listing = ::fdopendir(listFd);
    if (!listing) {
        ::close(listFd);
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(listing);

    bool ok = true;
    for (const std::string& name : names) {
        struct stat info {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            continue;
        }
        if (!S_ISDIR(info.st_mode)) {
            if (S_ISREG(info.st_mode) && name == keepFile) continue;
            if (deleteFiles && ::unlinkat(dirFd, name.c_str(), 0) != 0) ok = false;
            continue;
        }
        // A folder unpacked without write or search permission for its owner could not be
        // emptied; like clearing a read-only attribute, give the owner access first.
        int sub = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0 && errno == EACCES &&
            ::fchmodat(dirFd, name.c_str(), (info.st_mode & 07777) | S_IRWXU, 0) == 0)
            sub = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) {
            ok = false;
            continue;
        }
        if ((info.st_mode & S_IRWXU) != S_IRWXU) ::fchmod(sub, (info.st_mode & 07777) | S_IRWXU);
        const bool emptied = emptyOpenFolder(sub, deleteFiles);
        ::close(sub);
        // Without deleteFiles a folder that keeps files stays; that is not a failure.
        if (::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0 && (deleteFiles || !emptied))
            ok = false;
    }
    return ok;
}

// Absolute, normalised, without a trailing "/".
fs::path cleanFolder(const fs::path& folder) {
    std::error_code ec;
    std::string text = fs::absolute(folder, ec).lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool isSymlink(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

ProgramTempFolder::ProgramTempFolder(fs::path folder) : folder_(cleanFolder(folder)) {}

bool ProgramTempFolder::EmptyFolder(const fs::path& folderIn, bool deleteFiles) const {
    return emptyFolder(folderIn, deleteFiles, {});
}

bool ProgramTempFolder::EmptyKeeping(const fs::path& file) const {
    const fs::path kept = cleanFolder(file);
    const bool inside = kept.parent_path() == folder_;
    return emptyFolder(folder_, true, inside ? kept.filename().string() : std::string());
}

bool ProgramTempFolder::emptyFolder(const fs::path& folderIn, bool deleteFiles,
                                    const std::string& keepFile) const {
    const fs::path folder = cleanFolder(folderIn);
    // Only the temp folder and what lies inside it, reached without a symbolic link.
    const fs::path relative = folder.lexically_relative(folder_);
    if (relative.empty() || *relative.begin() == "..") return false;
    fs::path walked = folder_;
    if (isSymlink(walked)) return false;
    for (const fs::path& part : relative) {
        if (part == ".") continue;
        walked /= part;
        if (isSymlink(walked)) return false;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;  // nothing there, nothing to delete
    const bool ok = emptyOpenFolder(fd, deleteFiles, keepFile);
    ::close(fd);
    return ok;
}

std::optional<fs::path> ProgramTempFolder::MakeTempFileName(std::string_view extension) const {
    // A name of six random characters and the extension, created exclusively.
    std::string pattern = (folder_ / "XXXXXX").string();
    pattern.append(extension);
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string name = pattern;
        const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
        if (fd >= 0) {
            ::close(fd);
            return fs::path(name);
        }
        std::error_code ec;
        if (attempt > 0 || fs::exists(folder_, ec)) break;
        fs::create_directories(folder_, ec);
    }
    return std::nullopt;
}

bool IsFileModified(const std::string& fileName, DosStamp stamp, bool fileExists, bool runFromCd) {
    if (!fileExists || runFromCd) return false;
    std::string onDisk = fileName;
    if (const auto member = onDisk.find("//"); member != std::string::npos) onDisk.resize(member);
    const std::optional<DosStamp> now = dosStampOfFile(onDisk);
    return now && *now != stamp;
}

void blankControlBytes(char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 32 && b != 9 && b != 10 && b != 13) bytes[i] = ' ';
    }
}

TTextFileStream::TTextFileStream(const fs::path& file) {
    // Read-only and without locks, so a file another program holds open can be shown.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return;
    }
    file_ = ::fdopen(fd, "rb");
    if (!file_) ::close(fd);
}

TTextFileStream::~TTextFileStream() {
    if (file_) std::fclose(file_);
}

std::size_t TTextFileStream::Read(char* buffer, std::size_t size) {
    if (!file_) return 0;
    const std::size_t got = std::fread(buffer, 1, size, file_);
    blankControlBytes(buffer, got);
    return got;
}

std::optional<std::string> readTextForDisplay(const fs::path& file) {
    TTextFileStream stream(file);
    if (!stream.isOpen()) return std::nullopt;
    std::string bytes;
    char buffer[1 << 16];
    while (const std::size_t got = stream.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
    // Blanking first and decoding after gives the parsers' text: no byte below 32 is part
    // of a multi-byte UTF-8 sequence, and Windows-1252 maps them to themselves.
    if (textfold::isValidUtf8(bytes)) return bytes;
    return textfold::toUtf8Document(bytes);
}

std::int64_t FileSizeLimit(std::string_view text) {
    constexpr std::int64_t kDefaultKB = 500;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int32_t kb = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, kb);
    if (text.empty() || error != std::errc() || end != last) return kDefaultKB * 1024;
    return static_cast<std::int64_t>(kb) * 1024;
}

}  // namespace vellumar
