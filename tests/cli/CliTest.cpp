// vellumar-cli: its arguments, and whole commands run against a temporary home.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "cli/Json.h"
#include "platform/Settings.h"
#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace vellumar::cli;

TEST(CliArguments, CommandsAndOptions) {
    auto a = parseArguments({"--home", "/h", "create", "docs", "/d/+<*.txt>", "--archives",
                             "--max-length=40", "--notes", "n o t e s", "--yes"});
    EXPECT_TRUE(a.error.empty()) << a.error;
    EXPECT_EQ(a.command, Command::Create);
    EXPECT_EQ(*a.home, "/h");
    EXPECT_EQ(a.name, "docs");
    EXPECT_EQ(a.scope, "/d/+<*.txt>");
    EXPECT_TRUE(a.archives);
    EXPECT_EQ(a.maxLength, "40");
    EXPECT_EQ(a.notes, "n o t e s");
    EXPECT_EQ(a.answer, Answer::Yes);

    a = parseArguments({"search", "docs", "cat dog", "--sort", "relevance", "--offset", "10",
                        "--limit", "5", "--hits", "--json"});
    EXPECT_TRUE(a.error.empty()) << a.error;
    EXPECT_EQ(a.query, "cat dog");
    EXPECT_EQ(a.sort, Sort::Relevance);
    EXPECT_EQ(a.offset, 10);
    EXPECT_EQ(a.limit, 5);
    EXPECT_TRUE(a.hits && a.json);

    EXPECT_EQ(parseArguments({"words", "docs"}).pattern, "");
    EXPECT_EQ(parseArguments({"words", "docs", "CA*"}).pattern, "CA*");
    EXPECT_EQ(parseArguments({"--help"}).command, Command::Help);
}

TEST(CliArguments, UsageErrorsAreReported) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"create", "docs"},
        {"search", "docs"},
        {"list", "extra"},
        {"search", "d", "q", "--sort", "size"},
        {"search", "d", "q", "--limit", "-1"},
        {"search", "d", "q", "--offset", "x"},
        {"list", "--bogus"},
        {"--home"},
        {"update", "a", "b"},
    };
    for (const auto& args : bad) {
        const auto a = parseArguments(args);
        EXPECT_FALSE(a.error.empty()) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ(runCommand(a, stdout, stderr, false), 2);
    }
}

TEST(CliJson, EscapesEverythingThatWouldBreakTheOutput) {
    EXPECT_EQ(jsonString("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\nd\\u0001\"");
    EXPECT_EQ(jsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
    EXPECT_EQ(jsonString("bad\xFF"), "\"bad\xEF\xBF\xBD\"") << "invalid UTF-8 is replaced";
}

namespace {

class CliRun : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root / "docs" / "sub");
        std::ofstream(root / "docs" / "cats.txt") << "Cats chase the red dog. A red dog sleeps.";
        std::ofstream(root / "docs" / "sub" / "birds.htm")
            << "<html><title>Birds</title><body>red birds sing</body></html>";
    }
    // Runs a command; returns its exit status and puts its standard output in `output`.
    // With answers, a person at a terminal types them.
    int run(std::vector<std::string> args, const char* answers = nullptr) {
        args.insert(args.begin(), {"--home", (root / "home").string()});
        const testing_support::CliResult r = testing_support::runCli(args, answers);
        output = r.output;
        errors = r.errors;
        return r.status;
    }
    testing_support::TempDir tmp;
    fs::path root = tmp.path();
    std::string output, errors;
};

}  // namespace

TEST_F(CliRun, CreateSearchUpdateAndRemove) {
    const std::string scope = (root / "docs").string() + "/+<*.txt,*.htm>";
    ASSERT_EQ(run({"create", "animals", scope}), 0) << errors;
    EXPECT_NE(output.find("2 files"), std::string::npos) << output;
    EXPECT_TRUE(fs::exists(root / "home" / "Indexes" / "animals.inf"));

    ASSERT_EQ(run({"search", "animals", "red dog", "--hits"}), 0) << errors;
    EXPECT_EQ(output.rfind("1 file, 2 entries\n", 0), 0U) << output;
    EXPECT_NE(output.find("cats.txt"), std::string::npos);
    // "A" is shorter than the minimum length: not indexed, but it takes its word number.
    EXPECT_NE(output.find("hits: 3+2 6+2"), std::string::npos) << output;

    ASSERT_EQ(run({"search", "animals", "red", "--json", "--sort", "name", "--limit", "1"}), 0);
    EXPECT_EQ(output.rfind("{\"files\": 2, \"entries\": 3, \"results\": [", 0), 0U) << output;
    EXPECT_NE(output.find("cats.txt"), std::string::npos) << "sorted by full name, cats first";
    EXPECT_EQ(output.find("birds.htm"), std::string::npos) << "the limit keeps one";

    fs::remove(root / "docs" / "cats.txt");
    ASSERT_EQ(run({"update", "animals"}), 0) << errors;
    ASSERT_EQ(run({"search", "animals", "dog"}), 0);
    EXPECT_EQ(output.rfind("0 files", 0), 0U) << "a deleted file leaves the results";

    ASSERT_EQ(run({"list", "--json"}), 0);
    EXPECT_NE(output.find("\"name\": \"animals\""), std::string::npos) << output;
    EXPECT_NE(output.find("\"files\": 1"), std::string::npos) << output;

    ASSERT_EQ(run({"words", "animals", "B*"}), 0);
    EXPECT_EQ(output, "BIRDS\n");

    ASSERT_EQ(run({"remove", "animals", "--yes"}), 0) << errors;
    EXPECT_FALSE(fs::exists(root / "home" / "Indexes" / "animals.inf"));
    EXPECT_EQ(run({"search", "animals", "red"}), 1);
    EXPECT_NE(errors.find("There is no index named"), std::string::npos);
}

TEST_F(CliRun, FailuresExitWithOne) {
    EXPECT_EQ(run({"create", "empty", (root / "nowhere").string() + "/+<*.txt>"}), 1);
    EXPECT_NE(errors.find("No files are found to index."), std::string::npos) << errors;
    EXPECT_EQ(run({"create", "x", (root / "docs").string() + "/<*.txt>", "--max-length", "100"}),
              1);
    EXPECT_NE(errors.find("Make sure"), std::string::npos);
    EXPECT_EQ(run({"create", "x", (root / "docs").string() + "/<*.txt>", "--language", "Klingon"}),
              2);
    ASSERT_EQ(run({"create", "x", (root / "docs").string() + "/<*.txt>"}), 0);
    EXPECT_EQ(run({"search", "x", "( red"}), 1) << "a malformed query fails";
    EXPECT_EQ(run({"create", "X", (root / "docs").string() + "/<*.txt>"}), 1)
        << "names ignore case";
}

TEST(CliText, NamesCanNotBreakLinesOrReachTheTerminal) {
    EXPECT_EQ(plainText("/docs/a.zip//two\nlines.txt"), "/docs/a.zip//two\\nlines.txt");
    EXPECT_EQ(plainText("tab\there\r\x1b[31mred\x7f"), "tab\\there\\r\\x1b[31mred\\x7f");
    EXPECT_EQ(plainText("caf\xC3\xA9 \xC2\x85 bad\xFF back\\slash"),
              "caf\xC3\xA9 \\u0085 bad\\xff back\\\\slash");
}

TEST_F(CliRun, RemovingNeedsSomebodyToSaySo) {
    ASSERT_EQ(run({"create", "animals", (root / "docs").string() + "/<*.txt>"}), 0) << errors;
    const fs::path definition = root / "home" / "Indexes" / "animals.inf";

    EXPECT_EQ(run({"remove", "animals"}), 2) << "no terminal and no --yes";
    EXPECT_NE(errors.find("give --yes to confirm"), std::string::npos) << errors;
    EXPECT_EQ(run({"remove", "animals", "--no"}), 1);
    EXPECT_TRUE(fs::exists(definition));

    // On a terminal the question is asked until it is answered; the end of the input or
    // "no" keeps the index.
    EXPECT_EQ(run({"remove", "animals"}, "perhaps\nn\n"), 1);
    EXPECT_EQ(run({"remove", "animals"}, ""), 1);
    EXPECT_TRUE(fs::exists(definition));
    EXPECT_EQ(run({"remove", "animals"}, "maybe\n Yes\n"), 0) << errors;
    EXPECT_NE(errors.find("Are you sure you want to remove the selected index?"),
              std::string::npos);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '?'), 3) << "asked twice: " << errors;
    EXPECT_FALSE(fs::exists(definition));
}

TEST_F(CliRun, JsonFailuresAreJsonToo) {
    EXPECT_EQ(run({"search", "nothing", "red", "--json"}), 1);
    EXPECT_EQ(output, "{\"error\": \"There is no index named \\\"nothing\\\" in " +
                          (root / "home" / "Indexes").string() + "\", \"status\": 1}\n");
    EXPECT_NE(errors.find("There is no index named"), std::string::npos);
    EXPECT_EQ(run({"list", "--bogus", "--json"}), 2);
    EXPECT_EQ(output, "{\"error\": \"unknown option --bogus\", \"status\": 2}\n");
    EXPECT_EQ(run({"list", "--bogus"}), 2);
    EXPECT_TRUE(output.empty()) << "plain output stays plain";
}

TEST_F(CliRun, SkippedScopeEntriesAreNamedOnStandardError) {
    const std::string docs = (root / "docs").string();
    EXPECT_EQ(run({"create", "animals", docs + "+<*.txt>"}), 1);
    EXPECT_NE(errors.find("warning: Skipped in the scope: \"" + docs +
                          "+<*.txt>\" (a \"/\" is missing before the file patterns)\n"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("No files are found to index."), std::string::npos);
    EXPECT_EQ(run({"create", "animals", docs + "/<*.txt>", "--archives", "--auto-update"}), 2);
    EXPECT_NE(errors.find("exclude each other"), std::string::npos);
}

TEST_F(CliRun, NamesAndCountsInPlainOutput) {
    std::ofstream(root / "docs" / "two\nlines.txt") << "zebra";
    ASSERT_EQ(run({"create", "animals", (root / "docs").string() + "/<*.txt>"}), 0) << errors;
    EXPECT_NE(output.find("Created \"animals\": 2 files"), std::string::npos) << output;
    ASSERT_EQ(run({"search", "animals", "zebra"}), 0);
    EXPECT_EQ(
        output.rfind("1 file, 1 entry\n" + (root / "docs").string() + "/two\\nlines.txt\t", 0), 0U)
        << output;
}

TEST_F(CliRun, OneHomeForTheWindowAndTheTool) {
    // A new home is set up with the settings the window reads.
    ASSERT_EQ(run({"list"}), 0) << errors;
    EXPECT_EQ(vellumar::loadSettings({root / "home" / "Vellumar.ini", {}, false}, {})
                  .settings.indexFolder,
              (root / "home" / "Indexes").string());

    // The tool follows the index folder the settings name.
    vellumar::Settings settings;
    settings.indexFolder = (root / "elsewhere").string();
    ASSERT_TRUE(vellumar::saveSettings({root / "home" / "Vellumar.ini", {}, false}, settings));
    ASSERT_EQ(run({"create", "animals", (root / "docs").string() + "/<*.txt>"}), 0) << errors;
    EXPECT_TRUE(fs::exists(root / "elsewhere" / "animals.inf"));

    // An index whose engine folder was deleted is listed as broken, and stays listed.
    fs::remove_all(root / "elsewhere" / "animals");
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(run({"list"}), 0);
        EXPECT_EQ(output.rfind("animals\tbroken (its index folder is missing)\t", 0), 0U) << output;
    }
    ASSERT_EQ(run({"list", "--json"}), 0);
    EXPECT_NE(output.find("\"broken\": true"), std::string::npos) << output;
    EXPECT_EQ(run({"search", "animals", "red"}), 1);
    EXPECT_NE(errors.find("is broken"), std::string::npos) << errors;
    ASSERT_EQ(run({"remove", "animals", "--yes"}), 0) << errors;
    EXPECT_FALSE(fs::exists(root / "elsewhere" / "animals.inf"));
}
