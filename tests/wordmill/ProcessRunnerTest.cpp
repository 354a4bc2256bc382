#include <gtest/gtest.h>

#include <cerrno>

#include "TestHelpers.h"
#include "wordmill/ProcessRunner.h"

using namespace wordmill;
using namespace wordmill_test;
using namespace std::chrono_literals;

TEST(ProcessRunner, PassesArgumentsVerbatimWithoutAShell) {
    ProgramCall call;
    call.program = "/bin/echo";
    call.arguments = {"$(id)", ";", "*", "two words", "\"q\""};
    call.captureOutput = true;
    const ProgramResult r = runProgram(call);
    ASSERT_TRUE(r.succeeded());
    EXPECT_EQ(r.output, "$(id) ; * two words \"q\"\n");
}

TEST(ProcessRunner, ReportsExitCodesStartFailuresAndTruncation) {
    ProgramCall call;
    call.program = "/bin/false";
    ProgramResult r = runProgram(call);
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.succeeded());

    call.program = "/nonexistent/program";
    r = runProgram(call);
    EXPECT_FALSE(r.started);
    EXPECT_EQ(r.startError, ENOENT);

    TempDir dir;
    writeFile(dir / "not-a-program", "just text");
    std::filesystem::permissions(dir / "not-a-program", std::filesystem::perms::owner_all);
    call.program = dir / "not-a-program";
    r = runProgram(call);
    EXPECT_FALSE(r.succeeded());

    call.program = "/bin/cat";
    call.arguments = {"/dev/zero"};
    call.captureOutput = true;
    call.outputLimit = 100000;
    call.timeLimit = 20s;
    r = runProgram(call);
    EXPECT_EQ(r.output.size(), 100000u);
    EXPECT_TRUE(r.outputTruncated);
}

TEST(ProcessRunner, KillsAProgramAndItsChildrenAtTheTimeLimit) {
    TempDir dir;
    // The script starts a child that would keep the output pipe open.
    writeScript(dir / "hang", "sleep 30 & sleep 30");
    ProgramCall call;
    call.program = dir / "hang";
    call.timeLimit = 300ms;
    call.captureOutput = true;
    const ProgramResult r = runProgram(call);
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.succeeded());
}

TEST(ProcessRunner, FindsTheProgramFolderCopyFirst) {
    TempDir dir;
    writeScript(dir / "sh", "exit 0");
    EXPECT_EQ(findProgram("sh", dir.path()), dir / "sh");
    EXPECT_NE(findProgram("sh"), dir / "sh");
    writeFile(dir / "plain", "x");  // not executable
    EXPECT_FALSE(findProgram("plain", dir.path()).has_value() &&
                 *findProgram("plain", dir.path()) == dir / "plain");
    EXPECT_FALSE(findProgram("no-such-program-anywhere", dir.path()).has_value());
    EXPECT_FALSE(findProgram("").has_value());
}

TEST(ProcessRunner, StartsDetachedPrograms) {
    TempDir dir;
    writeScript(dir / "tool", "echo \"$1\" > \"$1/started\"");
    EXPECT_EQ(startDetached(dir / "tool", {dir.path().string()}), 0);
    for (int i = 0; i < 200 && !std::filesystem::exists(dir / "started"); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(std::filesystem::exists(dir / "started"));
    EXPECT_EQ(startDetached(dir / "missing", {}), ENOENT);
}
