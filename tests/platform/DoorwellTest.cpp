// The shell helpers: saved-page addresses, the desktop's MIME and application databases,
// opening files (with a recording launcher and with the real one over a stand-in
// xdg-open), command lines, the clipboard data, properties and the freedesktop trash.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "doorwell/CommandLine.h"
#include "doorwell/FileActions.h"
#include "doorwell/Trash.h"
#include "platform/Doorwell.h"
#include "platform/Snapcatch.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace doorwell;

namespace {

// A file name that has everything a careless caller gets wrong.
const std::string kOddName = "-odd \"name\" 'q' \xE9.txt";

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Records what would be started and answers with a scripted result per call.
class RecordingLauncher : public Launcher {
  public:
    LaunchResult Launch(const std::vector<std::string>& argv, std::chrono::milliseconds) override {
        calls.push_back(argv);
        if (answers.empty()) return LaunchResult{0, true, 0};
        LaunchResult r = answers.front();
        answers.erase(answers.begin());
        return r;
    }
    std::vector<std::vector<std::string>> calls;
    std::vector<LaunchResult> answers;
};

// A private set of XDG folders: a MIME database and a few applications.
struct FakeDesktop {
    FakeDesktop() {
        fs::create_directories(tmp / "data/mime");
        fs::create_directories(tmp / "data/applications");
        fs::create_directories(tmp / "sys/applications");
        fs::create_directories(tmp / "config");
        std::ofstream(tmp / "data/mime/globs2") << "# weight:type:glob\n"
                                                   "50:text/plain:*.txt\n"
                                                   "50:text/html:*.html\n"
                                                   "60:text/x-readme:README:cs\n"
                                                   "40:text/x-log:*.log\n"
                                                   "55:text/x-special-log:*.special.log\n";
        std::ofstream(tmp / "data/applications/editor.desktop")
            << "[Desktop Entry]\nName=Editor\nExec=\"/opt/my editor/bin/ed\" --new \"a "
               "\\\\\"q\\\\\"\" %F\n";
        std::ofstream(tmp / "sys/applications/browser.desktop")
            << "[Desktop Action x]\nExec=wrong\n[Desktop Entry]\nName=Browser\nExec=browse %u\n";
        std::ofstream(tmp / "sys/applications/term.desktop")
            << "[Desktop Entry]\nName=Term\nExec=vi\nTerminal=true\n";
        std::ofstream(tmp / "sys/applications/mimeinfo.cache")
            << "[MIME Cache]\ntext/html=browser.desktop;\ntext/plain=term.desktop;\n";
        std::ofstream(tmp / "config/mimeapps.list")
            << "[Default Applications]\ntext/plain=missing.desktop;editor.desktop;\n";
        dirs.dataHome = (tmp / "data").string();
        dirs.dataDirs = {(tmp / "sys").string()};
        dirs.configHome = (tmp / "config").string();
    }
    testing_support::TempDir tmp;
    XdgDirs dirs;
};

}  // namespace

TEST(Doorwell, ReadsTheSavedFromMarkAndNothingElse) {
    const struct {
        const char* text;
        const char* url;
    } cases[] = {
        {"<!-- saved from url=(0023)http://www.example.com/ -->\n<html>",
         "http://www.example.com/"},
        {"<!-- Saved From URL=(0014)about:internet -->", "about:internet"},
        {"<html><!-- saved from url=(0099)http://short/ --></html>", ""},  // length beyond the text
        {"<!-- saved from url=(0030)http://a.b/ with blanks ok -->", ""},
        {"<!-- saved from url=()http://x/ -->", ""},
        {"<!-- saved from url=(0000) -->", ""},
        {"<html>no mark</html>", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(doorwell::urlFromSavedMark(c.text), c.url) << c.text;

    testing_support::TempDir tmp;
    const auto page = tmp.path() / "page.htm";
    std::ofstream(page) << "<!-- saved from url=(0019)http://example.org/ -->\n<html></html>";
    std::string address = "stale";
    EXPECT_TRUE(doorwell::GetUrl(page.string(), address));
    EXPECT_EQ(address, "http://example.org/");
    EXPECT_TRUE(doorwell::GetUrl(page.string(), address, 7));
    EXPECT_EQ(address, "http://");
    EXPECT_FALSE(doorwell::GetUrl((tmp.path() / "missing.htm").string(), address));
    EXPECT_EQ(address, "");
    EXPECT_FALSE(snapcatch::UnHook());  // harmless without a hook, also twice
    EXPECT_FALSE(snapcatch::UnHook());
}

TEST(DesktopDatabases, TypesDefaultApplicationsAndTheirCommands) {
    FakeDesktop d;
    const auto type = [&](const std::string& name) { return mimeTypeOf(name, d.dirs); };
    EXPECT_EQ(type("/x/a.TXT"), "text/plain") << "globs ignore case unless marked cs";
    EXPECT_EQ(type("/x/README"), "text/x-readme");
    EXPECT_EQ(type("/x/readme"), "application/octet-stream") << "a case-sensitive glob";
    EXPECT_EQ(type("/x/a.special.log"), "text/x-special-log") << "the heavier glob wins";
    EXPECT_EQ(type("/x/a.bin"), "application/octet-stream");
    EXPECT_EQ(type(d.tmp.path().string()), "inode/directory");

    const auto editor = defaultApplicationFor("text/plain", d.dirs);
    ASSERT_TRUE(editor) << "the first installed default";
    EXPECT_EQ(editor->id, "editor.desktop");
    EXPECT_EQ(editor->exec,
              (std::vector<std::string>{"/opt/my editor/bin/ed", "--new", "a \"q\"", "%F"}));
    const auto browser = defaultApplicationFor("text/html", d.dirs);
    ASSERT_TRUE(browser) << "from the applications' own list";
    EXPECT_EQ(browser->exec, (std::vector<std::string>{"browse", "%u"}));
    EXPECT_FALSE(defaultApplicationFor("image/png", d.dirs));
    const auto plain = applicationsFor("text/plain", d.dirs);
    ASSERT_EQ(plain.size(), 2U);
    EXPECT_EQ(plain[1].id, "term.desktop");
    EXPECT_TRUE(plain[1].terminal);

    std::ofstream(d.tmp / "notes.txt") << "x";
    EXPECT_EQ(defaultCommandOf((d.tmp / "notes.txt").string(), d.dirs), "editor.desktop");
    EXPECT_EQ(defaultCommandOf((d.tmp / "gone.txt").string(), d.dirs), "") << "no file";
    // The library entry point reads the environment's folders.
    ::setenv("XDG_DATA_HOME", d.dirs.dataHome.c_str(), 1);
    ::setenv("XDG_DATA_DIRS", d.dirs.dataDirs[0].c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", d.dirs.configHome.c_str(), 1);
    EXPECT_EQ(GetDefaultItemInMenu((d.tmp / "notes.txt").string()), "editor.desktop");
    std::ofstream(d.tmp / "pic.png") << "x";
    EXPECT_EQ(GetDefaultItemInMenu((d.tmp / "pic.png").string()), "") << "no application";
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_DATA_DIRS");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(CommandLines, SplitWithoutAShellAndFilledWithTheFile) {
    const struct {
        const char* line;
        std::vector<std::string> argv;
    } cases[] = {
        {"gimp", {"gimp"}},
        {"  kate   -n\t--x ", {"kate", "-n", "--x"}},
        {"\"/opt/my app/run\" 'a b' c\\ d", {"/opt/my app/run", "a b", "c d"}},
        {"e \"say \\\"hi\\\" \\$HOME \\\\ \\n\"", {"e", "say \"hi\" $HOME \\ \\n"}},
        {"x ';rm -rf ~' $(y) `z` |w", {"x", ";rm -rf ~", "$(y)", "`z`", "|w"}},
        {"a''b \"\"", {"ab", ""}},
    };
    for (const auto& c : cases) {
        const auto argv = splitCommandLine(c.line);
        ASSERT_TRUE(argv) << c.line;
        EXPECT_EQ(*argv, c.argv) << c.line;
    }
    std::string error;
    for (const char* bad : {"", "   ", "x \"open", "x 'open", "x \\"}) {
        EXPECT_FALSE(splitCommandLine(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }

    using V = std::vector<std::string>;
    EXPECT_EQ(argumentsForFile({"ed"}, "/a b.txt"), (V{"ed", "/a b.txt"}));
    EXPECT_EQ(argumentsForFile({"ed", "%F", "--x"}, "/a.txt"), (V{"ed", "/a.txt", "--x"}));
    EXPECT_EQ(argumentsForFile({"b", "%U", "%i", "%c", "100%%"}, "/a b"),
              (V{"b", "file:///a%20b", "100%"}));
    EXPECT_EQ(argumentsForFile({"ed", "--file=%f"}, "/x"), (V{"ed", "--file=/x"}));
    EXPECT_EQ(argumentsForFile({"ed"}, "-rf"), (V{"ed", "./-rf"})) << "never an option";

    EXPECT_EQ(fileUri("/a b/\xE9%#?.txt"), "file:///a%20b/%E9%25%23%3F.txt");
    EXPECT_EQ(percentDecode("/a%20b/%e9%25"), "/a b/\xE9%");
    EXPECT_FALSE(percentDecode("/a%2"));
    EXPECT_FALSE(percentDecode("/a%zz"));
}

TEST(OpenFiles, FailuresMapToTheirMessagesAndTheDefaultCommandIsTheRetry) {
    FakeDesktop d;
    const std::string file = (d.tmp / kOddName).string();
    std::ofstream(file) << "x";
    RecordingLauncher launcher;

    OpenResult r = OpenWithAssociation(file, launcher, d.dirs);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.message, "");
    ASSERT_EQ(launcher.calls.size(), 1U);
    EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", file}));

    // xdg-open finds no application (exit 4): the default application is started itself.
    launcher.calls.clear();
    launcher.answers = {{0, true, 4}, {0, false, -1}};
    d.dirs.configHome = "/nonexistent";  // no mimeapps.list: the .txt default is term (a terminal)
    r = OpenWithAssociation(file, launcher, d.dirs);
    EXPECT_EQ(r.code, kNoAssociation) << "a terminal program is not started blindly";
    EXPECT_EQ(r.message, "There is no application associated\rwith the given filename extension");
    EXPECT_EQ(launcher.calls.size(), 1U);

    const std::string page = (d.tmp / "page.html").string();
    std::ofstream(page) << "<p>x";
    launcher.calls.clear();
    launcher.answers = {{ENOENT, false, -1}, {0, false, -1}};  // no xdg-open at all
    r = OpenWithAssociation(page, launcher, d.dirs);
    EXPECT_TRUE(r.ok());
    ASSERT_EQ(launcher.calls.size(), 2U);
    EXPECT_EQ(launcher.calls[1], (std::vector<std::string>{"browse", "file://" + page}));

    const struct {
        LaunchResult answer;
        int code;
    } mapped[] = {{{0, true, 2}, kFileNotFound},
                  {{0, true, 1}, kAssociationIncomplete},
                  {{ENOMEM, false, -1}, kOutOfResources},
                  {{0, true, 3}, kNoAssociation},
                  {{0, false, -1}, kOpened}};
    for (const auto& m : mapped) {
        launcher.answers = {m.answer};
        EXPECT_EQ(OpenWithAssociation((d.tmp / "notes.bin").string(), launcher, d.dirs).code,
                  kFileNotFound)
            << "a missing file never reaches the opener";
        std::ofstream(d.tmp / "there.bin") << "x";
        launcher.answers = {m.answer};
        EXPECT_EQ(OpenWithAssociation((d.tmp / "there.bin").string(), launcher, d.dirs).code,
                  m.code);
    }
    launcher.calls.clear();
    r = OpenWithAssociation((d.tmp / "nofolder/x.txt").string(), launcher, d.dirs);
    EXPECT_EQ(r.message, "The specified path was not found");
    r = OpenWithAssociation((d.tmp / "a.zip//inner.txt").string(), launcher, d.dirs);
    EXPECT_EQ(r.message, "The specified file was not found");
    EXPECT_TRUE(launcher.calls.empty()) << "archive members and missing files start nothing";
    EXPECT_EQ(openFailureMessage(kBadProgram),
              "The .EXE file is invalid (non-Win32\r.EXE or error in .EXE image).");
    EXPECT_EQ(openFailureMessage(kOpened), "");
}

TEST(OpenFiles, TheRealLauncherHandsOddNamesOverIntact) {
    testing_support::TempDir tmp;
    const fs::path bin = tmp / "bin";
    fs::create_directories(bin);
    const fs::path args = tmp / "args.txt";
    std::ofstream(bin / "xdg-open")
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << args.string() << "'\nexit 2\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const std::string file = (tmp / kOddName).string();
    std::ofstream(file) << "x";

    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    XdgDirs none;
    none.dataHome = none.configHome = "/nonexistent";
    const OpenResult r = OpenWithAssociation(file, SystemLauncher(), none);
    const OpenResult folder = openFolderOnDesktop(tmp.path().string());
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(r.code, kFileNotFound) << "the opener's own exit status";
    EXPECT_EQ(folder.code, kFileNotFound);
    EXPECT_EQ(readFile(args), tmp.path().string() + "\n") << "the last call was the folder";

    std::ofstream(bin / "xdg-open")
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << args.string() << "'\nexit 0\n";
    ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    EXPECT_TRUE(OpenWithAssociation(file, SystemLauncher(), none).ok());
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(readFile(args), file + "\n") << "one argument, byte for byte";

    const LaunchOutcome missing = openWithCommand("no-such-program-xyz %f", file);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("cannot be started"), std::string::npos) << missing.message;
    const LaunchOutcome failing =
        openWithCommand("false", file, SystemLauncher(), std::chrono::seconds(30));
    EXPECT_FALSE(failing.ok);
    EXPECT_NE(failing.message.find("exit status 1"), std::string::npos) << failing.message;
    EXPECT_FALSE(openWithCommand("\"unclosed", file).ok);
    std::error_code ec;
    const LaunchOutcome copy = openWithCommand("cp %f '" + (tmp / "copy.txt").string() + "'", file);
    EXPECT_TRUE(copy.ok) << copy.message;
    for (int i = 0; i < 3000 && fs::file_size(tmp / "copy.txt", ec) != 1; ++i) ::usleep(10000);
    EXPECT_EQ(readFile(tmp / "copy.txt"), "x");
}

TEST(FileActions, FolderClipboardPropertiesAndWhatTheMenuOffers) {
    testing_support::TempDir tmp;
    const std::string file = (tmp / kOddName).string();
    std::ofstream(file) << "12345";
    ::chmod(file.c_str(), 0640);

    FolderRequest f = containingFolder(file);
    EXPECT_EQ(f.folder, tmp.path().string());
    EXPECT_EQ(f.item, file);
    f = containingFolder("/docs/a.zip//sub/inner.zip//x.txt");
    EXPECT_EQ(f.folder, "/docs");
    EXPECT_EQ(f.item, "/docs/a.zip");
    EXPECT_EQ(f.itemUri, "file:///docs/a.zip");

    EXPECT_EQ(pathForClipboard("/a b/c.txt"), "/a b/c.txt");
    EXPECT_EQ(pathForClipboard("/a/\xE9.txt"), "file:///a/%E9.txt") << "not UTF-8: keep every byte";
    const auto data = clipboardDataFor({"/a b.txt", "/z.zip//m.txt", "relative.txt", "/c"});
    ASSERT_TRUE(data);
    EXPECT_EQ(data->uriList, "file:///a%20b.txt\r\nfile:///c\r\n");
    EXPECT_EQ(data->gnomeCopiedFiles, "copy\nfile:///a%20b.txt\nfile:///c");
    EXPECT_EQ(data->text, "/a b.txt\n/c");
    EXPECT_FALSE(clipboardDataFor({"/z.zip//m.txt"}));

    AvailableActions a = actionsFor(file);
    EXPECT_TRUE(a.open && a.openWith && a.openFolder && a.copyFile && a.moveToTrash &&
                a.properties);
    std::ofstream(tmp / "a.zip") << "PK";
    a = actionsFor((tmp / "a.zip//m.txt").string());
    EXPECT_FALSE(a.open || a.openWith || a.copyFile || a.moveToTrash);
    EXPECT_TRUE(a.openFolder && a.copyPath && a.properties);
    a = actionsFor((tmp / "gone.txt").string());
    EXPECT_FALSE(a.open || a.openFolder || a.moveToTrash || a.properties);

    auto p = getFileProperties(file);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, kOddName);
    EXPECT_EQ(p->folder, tmp.path().string());
    EXPECT_EQ(p->size, 5U);
    EXPECT_EQ(p->type, "Text document");
    EXPECT_EQ(p->permissions, "rw-r-----");
    EXPECT_EQ(p->modified.size(), 19U);
    fs::create_symlink(file, tmp / "link");
    p = getFileProperties((tmp / "link").string());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->type, "Link");
    EXPECT_EQ(p->linkTarget, file);
    p = getFileProperties((tmp / "a.zip//sub/m.txt").string());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "sub/m.txt");
    EXPECT_EQ(p->folder, (tmp / "a.zip").string());
    EXPECT_EQ(p->type, "Archive member");
    EXPECT_FALSE(getFileProperties((tmp / "gone").string()));
    ::chmod(tmp.path().c_str(), 01777);
    EXPECT_EQ(getFileProperties(tmp.path().string())->permissions, "rwxrwxrwt");
}

TEST(Trash, TheHomeTrashKeepsTheNameTheOriginalPlaceAndTheDate) {
    testing_support::TempDir tmp;
    TrashPlaces places;
    places.dataHome = (tmp / "home/.local/share").string();
    places.uid = ::getuid();
    fs::create_directories(tmp / "docs");
    const std::string file = (tmp / "docs" / kOddName).string();
    std::ofstream(file) << "first";

    const std::time_t when = 1700000000;
    TrashResult r = moveFileToTrash(file, places, when);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_FALSE(fs::exists(file));
    const fs::path trash = fs::path(places.dataHome) / "Trash";
    EXPECT_EQ(r.trashedAs, (trash / "files" / kOddName).string());
    EXPECT_EQ(readFile(r.trashedAs), "first");
    std::tm local{};
    localtime_r(&when, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string info = readFile(trash / "info" / (kOddName + ".trashinfo"));
    EXPECT_EQ(info,
              "[Trash Info]\nPath=" + percentEncodePath(file) + "\nDeletionDate=" + date + "\n");
    EXPECT_EQ(percentDecode(info.substr(info.find("Path=") + 5, info.find('\n', 18) - 18)), file);
    EXPECT_EQ(fs::status(trash).permissions() & fs::perms::all, fs::perms::owner_all);

    // The same name again gets a name of its own; a folder goes as a whole.
    std::ofstream(file) << "second";
    r = moveFileToTrash(file, places, when);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.trashedAs, (trash / "files" / (kOddName + ".2")).string());
    EXPECT_EQ(readFile(r.trashedAs), "second");
    fs::create_directories(tmp / "docs/sub/deeper");
    ASSERT_TRUE(moveFileToTrash((tmp / "docs/sub").string(), places, when).ok);
    EXPECT_TRUE(fs::exists(trash / "files/sub/deeper"));

    EXPECT_FALSE(moveFileToTrash((tmp / "docs/gone.txt").string(), places).ok);
    std::ofstream(tmp / "docs/a.zip") << "PK";
    r = moveFileToTrash((tmp / "docs/a.zip//m.txt").string(), places);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(fs::exists(tmp / "docs/a.zip")) << "a member never takes its archive along";
    EXPECT_FALSE(moveFileToTrash(trash.string(), places).ok) << "not the trash itself";
    EXPECT_FALSE(moveFileToTrash((tmp / "home").string(), places).ok) << "nor what holds it";
    EXPECT_FALSE(moveFileToTrash("relative.txt", places).ok);
}

TEST(Trash, OtherFileSystemsUseTheirOwnTrashAndNothingIsEverCopied) {
    testing_support::TempDir tmp;
    // The shared .Trash counts only as a real folder with the sticky bit.
    EXPECT_EQ(topdirTrash(tmp.path().string(), 1000), (tmp / ".Trash-1000").string());
    fs::create_directories(tmp / ".Trash");
    EXPECT_EQ(topdirTrash(tmp.path().string(), 1000), (tmp / ".Trash-1000").string());
    ::chmod((tmp / ".Trash").c_str(), 01777);
    EXPECT_EQ(topdirTrash(tmp.path().string(), 1000), (tmp / ".Trash/1000").string());
    testing_support::TempDir other;
    fs::create_directories(other / "real");
    ::chmod((other / "real").c_str(), 01777);
    fs::create_directory_symlink(other / "real", other / ".Trash");
    EXPECT_EQ(topdirTrash(other.path().string(), 7), (other / ".Trash-7").string());

    // A trash on another file system: the rename fails, the file stays, no info is left.
    if (fs::exists("/dev/shm") && ::access("/dev/shm", W_OK) == 0) {
        std::ofstream(tmp / "stay.txt") << "x";
        const std::string shmTrash = "/dev/shm/vellumar-trash-test-" + std::to_string(::getpid());
        const TrashResult r =
            moveIntoTrashFolder((tmp / "stay.txt").string(), shmTrash, "stay.txt", 0);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(fs::exists(tmp / "stay.txt"));
        EXPECT_TRUE(fs::is_empty(fs::path(shmTrash) / "info"));
        fs::remove_all(shmTrash);

        // A file on that other file system goes to its own top folder's trash.
        struct stat a {
        }, b{};
        if (::stat("/dev/shm", &a) == 0 && ::stat(tmp.path().c_str(), &b) == 0 &&
            a.st_dev != b.st_dev) {
            const fs::path shmFile = "/dev/shm/vellumar-trash-file-" + std::to_string(::getpid());
            std::ofstream(shmFile) << "y";
            TrashPlaces places;
            places.dataHome = (tmp / "home").string();
            places.uid = 4242;
            EXPECT_EQ(topdirOf(shmFile.string()), "/dev/shm");
            const TrashResult moved = moveFileToTrash(shmFile.string(), places, 0);
            ASSERT_TRUE(moved.ok) << moved.message;
            EXPECT_EQ(moved.trashedAs, "/dev/shm/.Trash-4242/files/" + shmFile.filename().string());
            EXPECT_NE(readFile(moved.infoFile).find("\nPath=" + shmFile.filename().string() + "\n"),
                      std::string::npos)
                << "relative to the top folder";
            fs::remove_all("/dev/shm/.Trash-4242");

            // Someone else's trash folder is never used.
            std::ofstream(shmFile) << "z";
            fs::create_directories("/dev/shm/.Trash-4243");
            ::chown("/dev/shm/.Trash-4243", 4244, 4244);
            places.uid = 4243;
            if (::getuid() == 0) {
                EXPECT_FALSE(moveFileToTrash(shmFile.string(), places, 0).ok);
                EXPECT_TRUE(fs::exists(shmFile));
            }
            fs::remove_all("/dev/shm/.Trash-4243");
            fs::remove(shmFile);
        }
    }
}
