// vellumar-cli watch: an automatically updateable index follows its folder without a
// window, one line per update (a burst of new files is one update, not one per file),
// the home is held while it runs, and it ends on request.
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/WatchCommand.h"
#include "monitor/HomeLock.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace vellumar;
using namespace vellumar::cli;

namespace {

class Watch : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vellumar-watch-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "docs");
        fs::create_directories(root / "tmp");
        // The test's folders lie in the system's temporary folder, which is not monitored.
        const char* old = std::getenv("TMPDIR");
        oldTmp = old ? old : "";
        ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
        std::ofstream(root / "docs" / "a.txt") << "alpha";
    }
    void TearDown() override {
        if (watcher.joinable()) {
            requestWatchStop();
            watcher.join();
        }
        oldTmp.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", oldTmp.c_str(), 1);
        fs::remove_all(root);
    }
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", (root / "home").string()});
        std::FILE* out = std::tmpfile();
        const int status = runCommand(parseArguments(args), out, stderr, false);
        std::fclose(out);
        return status;
    }
    void startWatching() {
        watcher = std::thread([this] {
            std::FILE* out = std::fopen((root / "watch.out").c_str(), "w");
            status = runCommand(parseArguments({"--home", (root / "home").string(), "watch"}), out,
                                stderr, false);
            std::fclose(out);
        });
    }
    std::string watchOutput() const {
        std::ifstream in(root / "watch.out");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Waits until the output holds text (or a few seconds pass).
    bool waitFor(const std::string& text) const {
        for (int i = 0; i < 200; ++i) {
            if (watchOutput().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    fs::path root;
    std::string oldTmp;
    std::thread watcher;
    int status = -1;
};

}  // namespace

TEST_F(Watch, FollowsTheFolderAndHoldsTheHome) {
    const std::string scope = (root / "docs").string() + "/+<*.txt>";
    ASSERT_EQ(run({"create", "docs", scope, "--auto-update"}), 0);
    startWatching();
    ASSERT_TRUE(waitFor("Watching \"docs\"")) << watchOutput();

    HomeLock window(root / "home", "window");
    EXPECT_FALSE(window.TryAcquire()) << "the watcher holds the home";
    EXPECT_NE(window.Holder().find("watcher"), std::string::npos);
    EXPECT_EQ(run({"update", "docs"}), 1) << "another writer is refused";

    // A burst of new files in one folder: one update (or a few), never one per file.
    for (int i = 0; i < 200; ++i)
        std::ofstream(root / "docs" / ("n" + std::to_string(i) + ".txt")) << "burst" << i;
    ASSERT_TRUE(waitFor("added")) << watchOutput();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::string out = watchOutput();
    int lines = 0, added = 0;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.find("added") == std::string::npos) continue;
        ++lines;
        EXPECT_EQ(line.rfind("docs\t" + (root / "docs").string() + "\t", 0), 0U) << line;
        added += std::atoi(line.substr(line.rfind('\t') + 1).c_str());
    }
    EXPECT_EQ(added, 200) << out;
    EXPECT_LE(lines, 4) << out;

    requestWatchStop();
    watcher.join();
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(window.TryAcquire()) << "the home is free once the watcher ended";
}

TEST_F(Watch, RefusedWhileAnotherProgramHoldsTheHomeOrNothingIsAutomatic) {
    const std::string scope = (root / "docs").string() + "/+<*.txt>";
    ASSERT_EQ(run({"create", "docs", scope}), 0);
    EXPECT_EQ(run({"watch"}), 1) << "no automatically updateable index";

    HomeLock window(root / "home", "window");
    ASSERT_TRUE(window.TryAcquire());
    EXPECT_EQ(run({"watch"}), 1);
    EXPECT_EQ(parseArguments({"watch", "extra"}).error.empty(), false);
}
