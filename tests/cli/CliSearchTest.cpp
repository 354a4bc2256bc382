// vellumar-cli search --from-list and --context, run against a temporary home.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace vellumar::cli;

namespace {

class CliSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(tmp / "docs");
        std::ofstream(tmp / "docs" / "cats.txt")
            << "Cats chase the red dog.\nA red dog sleeps under the old table all day.";
        std::ofstream(tmp / "docs" / "birds.htm")
            << "<html><title>Birds</title><body><p>red <i>birds</i> sing</p></body></html>";
        // A name with blanks, quotes, a leading "-" and a byte that is not UTF-8.
        std::ofstream(tmp / "docs" / "-odd \"name\" \xE9.txt") << "one red fox";
        ASSERT_EQ(run({"create", "pets", (tmp / "docs").string() + "/+<*.txt,*.htm>"}), 0)
            << errors;
    }
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", (tmp / "home").string()});
        const testing_support::CliResult r = testing_support::runCli(args);
        output = r.output;
        errors = r.errors;
        return r.status;
    }
    bool has(const std::string& text) const { return output.find(text) != std::string::npos; }

    testing_support::TempDir tmp;
    std::string output, errors;
};

}  // namespace

TEST_F(CliSearch, ContextShowsEachHitWithItsNeighbours) {
    ASSERT_EQ(run({"search", "pets", "red dog", "--context"}), 0) << errors;
    // "A" is too short to be indexed but keeps its word number.
    EXPECT_TRUE(has("    3: Cats chase the [red dog]. A red dog sleeps under\n")) << output;
    EXPECT_TRUE(has("    6: chase the red dog. A [red dog] sleeps under the old table\n"))
        << output;
    EXPECT_FALSE(has("hits:")) << "--context alone does not print the raw hits";

    ASSERT_EQ(run({"search", "pets", "red", "--context", "--json", "--sort", "name"}), 0);
    EXPECT_TRUE(
        has("{\"word\": 1, \"words\": 1, \"before\": \"Birds \", \"hit\": \"red\", "
            "\"after\": \" birds sing\"}"))
        << output;
    EXPECT_TRUE(has("\"before\": \"one \", \"hit\": \"red\", \"after\": \" fox\""))
        << "the odd file name is read like any other: " << output;
}

TEST_F(CliSearch, FromListMakesTheQueryOfTheFilesWords) {
    std::ofstream(tmp / "list.txt") << "fox\nbirds";
    ASSERT_EQ(run({"search", "pets", "--from-list", (tmp / "list.txt").string()}), 0) << errors;
    EXPECT_EQ(output.rfind("2 files, 3 entries\n", 0), 0U) << output;
    std::ofstream(tmp / "and.txt") << "red & table";
    ASSERT_EQ(run({"search", "pets", "--from-list=" + (tmp / "and.txt").string()}), 0);
    EXPECT_EQ(output.rfind("1 file,", 0), 0U) << output;

    std::ofstream(tmp / "empty.txt") << " ... ";
    std::ofstream(tmp / "binary.txt", std::ios::binary) << std::string("red\0dog", 7);
    for (const char* bad : {"empty.txt", "binary.txt", "missing.txt"}) {
        EXPECT_EQ(run({"search", "pets", "--from-list", (tmp / bad).string()}), 1) << bad;
        EXPECT_NE(errors.find("The list file"), std::string::npos) << errors;
    }
    EXPECT_FALSE(parseArguments({"search", "pets", "q", "--from-list", "f"}).error.empty())
        << "a query and a list file at once";
    EXPECT_FALSE(parseArguments({"search", "pets", "--from-list"}).error.empty());
}
