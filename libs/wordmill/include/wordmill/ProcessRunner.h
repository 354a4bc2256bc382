// Runs outside programs (pdftotext, antiword, catdoc, arj, tablewright) safely: with an
// argument vector through posix_spawn (never a shell, never fork: forking a process
// that holds hundreds of MB is slow), with standard input from /dev/null, no inherited
// descriptors, and a time limit after which the program and its process group are
// killed.
//
// Free functions; every call is independent and may run on any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace wordmill {

inline constexpr std::chrono::milliseconds kConverterTimeLimit{60000};

struct ProgramCall {
    std::filesystem::path program;       // a full path (see FindProgram)
    std::vector<std::string> arguments;  // without the program name
    std::chrono::milliseconds timeLimit = kConverterTimeLimit;
    bool captureOutput = false;            // standard output into ProgramResult::output
    std::size_t outputLimit = 512u << 20;  // captured bytes beyond this are dropped
    std::filesystem::path workingFolder;   // empty: the caller's
};

struct ProgramResult {
    bool started = false;
    int startError = 0;     // errno when it could not be started
    bool timedOut = false;  // killed at the time limit
    bool exited = false;    // ended normally (not by a signal)
    int exitCode = -1;
    std::string output;
    bool outputTruncated = false;

    bool succeeded() const { return started && !timedOut && exited && exitCode == 0; }
};

ProgramResult RunProgram(const ProgramCall& call);

// Finds a program by name: a copy in `preferredFolder` (when given) wins over the PATH.
// Only regular executable files count.
std::optional<std::filesystem::path> FindProgram(const std::string& name,
                                                 const std::filesystem::path& preferredFolder = {});

// Starts a program that runs on by itself (an interactive tool); it is reaped when it
// ends. Returns 0, or the errno of the failed start.
int StartDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace wordmill
