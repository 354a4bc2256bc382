// vellumar-cli show: the viewer's hit list in a terminal, over a temporary home.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "archive/ArchiveMaker.h"
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "support/CliRun.h"

namespace fs = std::filesystem;

namespace vellumar::cli {
namespace {

class ShowCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "docs");
        std::ofstream(dir / "docs/fox.txt", std::ios::binary)
            << "the quick\r\nbrown fox\tand the quick brown dog\n";
        std::ofstream(dir / "docs/page.html")
            << "<html><title>Quick</title><body>ca&#116; and \"quick\"</body></html>";
        archive_test::TempDir work;
        ASSERT_TRUE(
            archive_test::makeArchive(work / "inner.zip", {{"sub/a.txt", "one quick fox"}}));
        std::ifstream in(work / "inner.zip", std::ios::binary);
        const std::string inner((std::istreambuf_iterator<char>(in)), {});
        ASSERT_TRUE(archive_test::makeArchive(dir / "docs/outer.zip", {{"inner.zip", inner}}));
        const std::string scope = (dir / "docs").string() + "/+<*.txt,*.html,*.zip>";
        ASSERT_EQ(run({"create", "docs", scope, "--archives"}), 0) << errors;
    }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", (dir / "home").string()});
        const testing_support::CliResult r = testing_support::runCli(args);
        output = r.output;
        errors = r.errors;
        return r.status;
    }
    std::string doc(const std::string& name) const { return (dir / "docs" / name).string(); }

    archive_test::TempDir dir;
    std::string output, errors;
};

TEST_F(ShowCommandTest, EachHitWithItsPlaceAndText) {
    ASSERT_EQ(run({"show", "docs", doc("fox.txt"), "quick brown | dog"}), 0) << errors;
    EXPECT_EQ(output, "1\t4\t12\tquick\\r\\nbrown\n2\t29\t11\tquick brown\n3\t41\t3\tdog\n");

    ASSERT_EQ(run({"show", "docs", doc("page.html"), "cat | quick", "--json"}), 0) << errors;
    EXPECT_EQ(output,
              "{\"file\": \"" + doc("page.html") +
                  "\", \"entries\": [\n"
                  "  {\"number\": 1, \"start\": 13, \"length\": 5, \"text\": \"Quick\"},\n"
                  "  {\"number\": 2, \"start\": 32, \"length\": 8, \"text\": \"ca&#116;\"},\n"
                  "  {\"number\": 3, \"start\": 46, \"length\": 5, \"text\": \"quick\"}\n]}\n");
}

TEST_F(ShowCommandTest, MembersOfNestedArchives) {
    const std::string member = doc("outer.zip") + "//inner.zip//sub/a.txt";
    ASSERT_EQ(run({"show", "docs", member, "fox", "--json"}), 0) << errors;
    EXPECT_EQ(output,
              "{\"file\": \"" + member +
                  "\", \"entries\": [\n"
                  "  {\"number\": 1, \"start\": 10, \"length\": 3, \"text\": \"fox\"}\n]}\n");
    EXPECT_TRUE(fs::is_empty(dir / "home" / "tmp")) << "the extracted files are removed";
}

TEST_F(ShowCommandTest, FilesNotFoundAndBadArguments) {
    EXPECT_EQ(run({"show", "docs", doc("fox.txt"), "zebra"}), 1);
    EXPECT_NE(errors.find("is not among the files found for \"zebra\""), std::string::npos)
        << errors;
    EXPECT_EQ(run({"show", "nothing", doc("fox.txt"), "fox"}), 1);
    EXPECT_NE(errors.find("There is no index named"), std::string::npos);
    fs::remove(dir / "docs/fox.txt");
    EXPECT_EQ(run({"show", "docs", doc("fox.txt"), "fox"}), 1);
    EXPECT_NE(errors.find("Can't open the file " + doc("fox.txt")), std::string::npos) << errors;
    EXPECT_EQ(run({"show", "docs", doc("fox.txt")}), 2);
    EXPECT_EQ(run({"show", "docs", doc("fox.txt"), "fox", "extra"}), 2);
}

TEST_F(ShowCommandTest, SearchContextReadsMembersOfNestedArchivesToo) {
    ASSERT_EQ(run({"search", "docs", "quick & fox", "--context"}), 0) << errors;
    const std::size_t member = output.find("outer.zip//inner.zip//sub/a.txt");
    ASSERT_NE(member, std::string::npos) << output;
    EXPECT_NE(output.find("one [quick] fox", member), std::string::npos) << output;
}

}  // namespace
}  // namespace vellumar::cli
