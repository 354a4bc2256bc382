#include "platform/CommandLine.h"
#include "platform/Home.h"
#include "platform/Settings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace fs = std::filesystem;
using namespace vellumar;

namespace {

EnvironmentLookup fakeEnvironment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

void touch(const fs::path& file, const std::string& text = "x") {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

}  // namespace

TEST(Home, ChoosesTheFirstRuleThatApplies) {
    testing_support::TempDir tmp;
    const fs::path portable = tmp.path() / "stick";
    touch(portable / "Vellumar.ini");
    const fs::path plainExe = tmp.path() / "bin";
    fs::create_directories(plainExe);

    struct Case {
        std::optional<std::string> commandLine;
        std::map<std::string, std::string> env;
        fs::path exe;
        fs::path expected;
        HomeSource source;
    } cases[] = {
        {"/srv/v/", {{"VELLUMAR_HOME", "/env/home"}}, portable, "/srv/v", HomeSource::CommandLine},
        {std::nullopt,
         {{"VELLUMAR_HOME", "/env/home//"}},
         portable,
         "/env/home",
         HomeSource::Environment},
        {std::nullopt,
         {{"VELLUMAR_HOME", ""}, {"HOME", "/home/ann"}},
         portable,
         portable,
         HomeSource::Portable},
        {std::nullopt, {{"XDG_DATA_HOME", "/xdg"}}, plainExe, "/xdg/vellumar", HomeSource::Default},
        // a relative XDG_DATA_HOME is ignored, as the XDG rule says
        {std::nullopt,
         {{"XDG_DATA_HOME", "rel"}, {"HOME", "/home/ann"}},
         plainExe,
         "/home/ann/.local/share/vellumar",
         HomeSource::Default},
        {std::nullopt,
         {{"HOME", "/home/ann"}},
         fs::path(),
         "/home/ann/.local/share/vellumar",
         HomeSource::Default},
    };
    for (const Case& c : cases) {
        const HomeChoice choice = chooseHome(c.commandLine, fakeEnvironment(c.env), c.exe);
        EXPECT_EQ(choice.folder, c.expected) << c.expected;
        EXPECT_EQ(choice.source, c.source) << c.expected;
    }
    const HomeChoice relative = chooseHome(std::string("some/rel"), fakeEnvironment({}), {});
    EXPECT_TRUE(relative.folder.is_absolute());
    EXPECT_EQ(relative.folder.filename(), "rel");
}

TEST(Home, UserConfigFolderFollowsXdg) {
    EXPECT_EQ(userConfigFolder(fakeEnvironment({{"XDG_CONFIG_HOME", "/cfg"}})), "/cfg/vellumar");
    EXPECT_EQ(userConfigFolder(fakeEnvironment({{"HOME", "/home/bo"}})),
              "/home/bo/.config/vellumar");
}

TEST(Home, FirstUseSetsUpTheHomeOnceAndKeepsWhatIsThere) {
    testing_support::TempDir tmp;
    const fs::path shipped = tmp.path() / "shipped";
    touch(shipped / "form.htm", "<form>");
    touch(shipped / "help" / "topic.html", "help");
    const fs::path home = tmp.path() / "new" / "home";

    HomeSetup setup = prepareHome(home, shipped, false);
    EXPECT_TRUE(setup.created);
    EXPECT_TRUE(setup.firstUse);
    EXPECT_EQ(setup.copiedFiles, 2U);
    EXPECT_TRUE(setup.problem.empty()) << setup.problem;
    EXPECT_TRUE(fs::exists(home / "help" / "topic.html"));
    EXPECT_TRUE(fs::is_directory(home / "Indexes"));
    EXPECT_TRUE(fs::is_directory(home / "Cache Watcher"));
    // The window and the command-line tool read the same index folder from now on.
    const LoadedSettings loaded = loadSettings({home / "Vellumar.ini", {}, false}, {});
    EXPECT_TRUE(loaded.existed);
    EXPECT_EQ(loaded.settings.indexFolder, (home / "Indexes").string());

    // Once set up, the home is left as it is: the user's own settings and edits stay, and
    // a shipped file the user deleted is not brought back.
    Settings changed = loaded.settings;
    changed.indexFolder = "/srv/indexes";
    ASSERT_TRUE(saveSettings({home / "Vellumar.ini", {}, false}, changed));
    touch(home / "form.htm", "mine");
    fs::remove(home / "help" / "topic.html");
    setup = prepareHome(home, shipped, false);
    EXPECT_FALSE(setup.firstUse);
    EXPECT_EQ(setup.copiedFiles, 0U);
    EXPECT_FALSE(fs::exists(home / "help" / "topic.html"));
    EXPECT_EQ(loadSettings({home / "Vellumar.ini", {}, false}, {}).settings.indexFolder,
              "/srv/indexes");

    // Without a settings file it is a first use again: missing files come back, edited
    // ones stay.
    fs::remove(home / "Vellumar.ini");
    setup = prepareHome(home, shipped, false);
    EXPECT_TRUE(setup.firstUse);
    EXPECT_EQ(setup.copiedFiles, 1U);
    std::ifstream in(home / "form.htm");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "mine");
}

TEST(Home, AHomeOnReadOnlyMediaIsUsedAsItStands) {
    testing_support::TempDir tmp;
    const fs::path home = tmp.path() / "cd";
    fs::create_directories(home);
    const HomeSetup setup = prepareHome(home, {}, true);
    EXPECT_TRUE(setup.firstUse);
    EXPECT_TRUE(setup.problem.empty());
    EXPECT_FALSE(fs::exists(home / "Vellumar.ini"));
    EXPECT_FALSE(fs::exists(home / "Indexes"));
}

TEST(Home, AHomeThatCannotBeMadeIsReportedNotThrown) {
    testing_support::TempDir tmp;
    touch(tmp.path() / "file");
    const HomeSetup underFile = prepareHome(tmp.path() / "file" / "home", {}, false);
    EXPECT_FALSE(underFile.problem.empty());
    EXPECT_NE(underFile.problem.find("file/home"), std::string::npos);

    if (::geteuid() != 0) {  // root may write anywhere
        const fs::path locked = tmp.path() / "locked";
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(prepareHome(locked, {}, false).problem.empty());
    }
}

TEST(Home, ShippedFolderIsFoundFromABuildTree) {
    testing_support::TempDir tmp;
    touch(tmp.path() / "data" / "home" / "form.htm");
    fs::create_directories(tmp.path() / "build" / "src");
    EXPECT_EQ(findShippedFolder(tmp.path() / "build" / "src"), tmp.path() / "data" / "home");
    EXPECT_EQ(findShippedFolder({}), fs::path());
}

TEST(CommandLine, UnderstandsHomeAndHelpAndRejectsTheRest) {
    struct Case {
        std::vector<std::string> args;
        std::optional<std::string> home;
        bool help;
        bool error;
    } cases[] = {
        {{}, std::nullopt, false, false},
        {{"--home", "/x"}, "/x", false, false},
        {{"--home=/y z"}, "/y z", false, false},
        {{"--help"}, std::nullopt, true, false},
        {{"-h", "--home", "/x"}, "/x", true, false},
        {{"--home"}, std::nullopt, false, true},
        {{"--home="}, std::nullopt, false, true},
        {{"--frobnicate"}, std::nullopt, false, true},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        EXPECT_EQ(line.home, c.home);
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(!line.error.empty(), c.error);
    }
    EXPECT_NE(usageText("vellumar").find("--home DIR"), std::string::npos);
}
