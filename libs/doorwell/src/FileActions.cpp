#include "doorwell/FileActions.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "doorwell/CommandLine.h"
#include "doorwell/Doorwell.h"
#include "textfold/TextFold.h"

namespace doorwell {

namespace {

bool isMember(const std::string& name) { return name.find("//") != std::string::npos; }

// The archive that holds a member (the outermost one), or the name itself.
std::string outerFile(const std::string& name) {
    const std::size_t cut = name.find("//");
    return cut == std::string::npos ? name : name.substr(0, cut);
}

std::string folderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

// What an opener's exit status means (xdg-open: 1 bad arguments, 2 no such file, 3 a
// tool it needs is missing, 4 the action failed, which is what "no application" gives).
int codeOfOpener(const LaunchResult& r) {
    if (r.startError == ENOENT || r.startError == EACCES) return kNoAssociation;
    if (r.startError == ENOMEM || r.startError == EAGAIN) return kOutOfResources;
    if (r.startError != 0) return kBadProgram;
    if (!r.finished) return kOpened;  // still running: it is showing the file
    switch (r.exitStatus) {
        case 0:
            return kOpened;
        case 2:
            return kFileNotFound;
        case 3:
        case 4:
            return kNoAssociation;
        default:
            return kAssociationIncomplete;
    }
}

std::string safeName(const std::string& file) {
    return !file.empty() && file[0] != '/' ? "./" + file : file;
}

LaunchOutcome launchFor(const std::vector<std::string>& command, const std::string& file,
                        Launcher& launcher, std::chrono::milliseconds wait = kLaunchWait) {
    const std::vector<std::string> argv = argumentsForFile(command, file);
    // A moment's wait catches a program that cannot start or gives up at once.
    const LaunchResult r = launcher.Launch(argv, wait);
    LaunchOutcome out;
    if (r.startError != 0) {
        out.message = "The program \"" + argv[0] +
                      "\" cannot be started: " + std::strerror(r.startError) + ".";
        return out;
    }
    if (r.finished && r.exitStatus != 0) {
        out.message = "The program \"" + argv[0] + "\" ended with exit status " +
                      std::to_string(r.exitStatus) + ".";
        return out;
    }
    out.ok = true;
    return out;
}

std::string formatTime(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

std::string permissionText(mode_t mode) {
    std::string p = "---------";
    const mode_t bits[] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP,
                           S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
    for (int i = 0; i < 9; ++i)
        if (mode & bits[i]) p[i] = "rwx"[i % 3];
    if (mode & S_ISUID) p[2] = (mode & S_IXUSR) ? 's' : 'S';
    if (mode & S_ISGID) p[5] = (mode & S_IXGRP) ? 's' : 'S';
    if (mode & S_ISVTX) p[8] = (mode & S_IXOTH) ? 't' : 'T';
    return p;
}

// A plain description of the formats the program reads; the MIME type otherwise.
std::string describeType(const std::string& name, const std::string& mimeType) {
    std::string ext;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.find('/', dot) == std::string::npos)
        for (char c : name.substr(dot + 1))
            ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const struct {
        const char* ext;
        const char* type;
    } known[] = {
        {"txt", "Text document"},   {"htm", "HTML document"},  {"html", "HTML document"},
        {"xml", "XML document"},    {"pdf", "PDF document"},   {"rtf", "RTF document"},
        {"doc", "Word document"},   {"docx", "Word document"}, {"odt", "OpenDocument text"},
        {"epub", "EPUB book"},      {"zip", "Zip archive"},    {"rar", "RAR archive"},
        {"cab", "Cabinet archive"}, {"arj", "ARJ archive"}};
    for (const auto& k : known)
        if (ext == k.ext) return k.type;
    if (mimeType != "application/octet-stream") return mimeType;
    return ext.empty() ? "File" : ext + " file";
}

}  // namespace

std::string openFailureMessage(int code) {
    switch (code) {
        case kOutOfResources:
            return "The system is out of memory or resources";
        case kFileNotFound:
            return "The specified file was not found";
        case kPathNotFound:
            return "The specified path was not found";
        case kBadProgram:
            return "The .EXE file is invalid (non-Win32\r.EXE or error in .EXE image).";
        case kSharingViolation:
            return "A sharing violation occured";
        case kAssociationIncomplete:
            return "The filename association is incomplete or invalid";
        case kNoAssociation:
            return "There is no application associated\rwith the given filename extension";
        default:
            return {};
    }
}

std::string defaultCommandOf(const std::string& file, const XdgDirs& dirs) {
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0) return {};
    const auto app = defaultApplicationFor(mimeTypeOf(file, dirs), dirs);
    return app ? app->id : std::string();
}

OpenResult OpenWithAssociation(const std::string& file, Launcher& launcher, const XdgDirs& dirs) {
    OpenResult result;
    struct stat st {};
    if (isMember(file) || ::stat(file.c_str(), &st) != 0) {
        const std::string folder = folderOf(outerFile(file));
        struct stat fst {};
        const bool folderThere = ::stat(folder.c_str(), &fst) == 0 && S_ISDIR(fst.st_mode);
        result.code = isMember(file) || folderThere ? kFileNotFound : kPathNotFound;
        result.message = openFailureMessage(result.code);
        return result;
    }
    const std::string verb = defaultCommandOf(file, dirs);
    result.code = codeOfOpener(launcher.Launch({"xdg-open", safeName(file)}, kOpenerWait));
    if (result.code == kNoAssociation && !verb.empty()) {
        // The desktop's opener failed (or is missing); start the default application itself.
        if (const auto app = findDesktopEntry(verb, dirs); app && !app->terminal)
            result.code = launchFor(app->exec, file, launcher).ok ? kOpened : kNoAssociation;
    }
    result.message = openFailureMessage(result.code);
    return result;
}

LaunchOutcome openWithCommand(const std::string& commandLine, const std::string& file,
                              Launcher& launcher, std::chrono::milliseconds wait) {
    std::string error;
    const auto command = splitCommandLine(commandLine, &error);
    if (!command) {
        LaunchOutcome out;
        out.message = "The command cannot be used: " + error + ".";
        return out;
    }
    return launchFor(*command, file, launcher, wait);
}

LaunchOutcome openWithApplication(const DesktopEntry& application, const std::string& file,
                                  Launcher& launcher) {
    return launchFor(application.exec, file, launcher);
}

FolderRequest containingFolder(const std::string& name) {
    FolderRequest r;
    r.item = outerFile(name);
    r.folder = folderOf(r.item);
    r.itemUri = fileUri(r.item);
    return r;
}

OpenResult openFolderOnDesktop(const std::string& folder, Launcher& launcher) {
    OpenResult result;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        result.code = kPathNotFound;
    } else {
        result.code = codeOfOpener(launcher.Launch({"xdg-open", safeName(folder)}, kOpenerWait));
    }
    result.message = openFailureMessage(result.code);
    return result;
}

std::string pathForClipboard(const std::string& name) {
    return textfold::isValidUtf8(name) ? name : fileUri(name);
}

std::optional<ClipboardFiles> clipboardDataFor(const std::vector<std::string>& names) {
    ClipboardFiles data;
    data.gnomeCopiedFiles = "copy";
    bool any = false;
    for (const std::string& name : names) {
        if (name.empty() || name[0] != '/' || isMember(name)) continue;
        const std::string uri = fileUri(name);
        data.uriList += uri + "\r\n";
        data.gnomeCopiedFiles += "\n" + uri;
        if (any) data.text += "\n";
        data.text += pathForClipboard(name);
        any = true;
    }
    if (!any) return std::nullopt;
    return data;
}

AvailableActions actionsFor(const std::string& name) {
    AvailableActions a;
    struct stat st {};
    const bool exists = ::lstat(outerFile(name).c_str(), &st) == 0;
    a.openFolder = exists;
    a.properties = exists;
    if (isMember(name) || !exists) return a;
    a.open = a.openWith = a.copyFile = a.moveToTrash = true;
    return a;
}

std::optional<FileProperties> getFileProperties(const std::string& name, const XdgDirs& dirs) {
    const std::string file = outerFile(name);
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return std::nullopt;
    FileProperties p;
    if (isMember(name)) {
        p.name = name.substr(file.size() + 2);
        p.folder = file;
        p.type = "Archive member";
    } else {
        const std::size_t slash = file.rfind('/');
        p.name = slash == std::string::npos ? file : file.substr(slash + 1);
        p.folder = folderOf(file);
    }
    p.size = static_cast<std::uintmax_t>(st.st_size);
    p.modified = formatTime(st.st_mtime);
    p.permissions = permissionText(st.st_mode);
    if (const passwd* pw = ::getpwuid(st.st_uid))
        p.owner = pw->pw_name;
    else
        p.owner = std::to_string(st.st_uid);
    if (const group* gr = ::getgrgid(st.st_gid))
        p.group = gr->gr_name;
    else
        p.group = std::to_string(st.st_gid);
    if (S_ISLNK(st.st_mode)) {
        std::string target(4096, '\0');
        const ssize_t n = ::readlink(file.c_str(), target.data(), target.size());
        if (n >= 0) target.resize(static_cast<std::size_t>(n));
        p.linkTarget = n >= 0 ? target : std::string();
    }
    if (p.type.empty()) {
        if (S_ISDIR(st.st_mode)) {
            p.type = "Folder";
            p.mimeType = "inode/directory";
        } else if (S_ISLNK(st.st_mode)) {
            p.type = "Link";
            p.mimeType = "inode/symlink";
        } else {
            p.mimeType = mimeTypeOf(file, dirs);
            p.type = describeType(p.name, p.mimeType);
        }
    }
    return p;
}

}  // namespace doorwell
