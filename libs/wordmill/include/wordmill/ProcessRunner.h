// Runs outside programs (pdftotext, antiword, catdoc, arj, tablewright) safely: with an
// argument vector through posix_spawn (never a shell, never fork: forking a process
// that holds hundreds of MB is slow), with standard input from /dev/null, no inherited
// descriptors, and a time limit after which the program and its process group are
// killed. Captured output is capped (in memory or in a file), so a program that prints
// without end costs neither memory nor disk beyond the cap; and a caller that is being
// cancelled can have the program killed at once.
//
// Free functions; every call is independent and may run on any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wordmill {

inline constexpr std::chrono::milliseconds kConverterTimeLimit{60000};

struct ProgramCall {
    std::filesystem::path program;       // a full path (see findProgram)
    std::vector<std::string> arguments;  // without the program name
    std::chrono::milliseconds timeLimit = kConverterTimeLimit;
    bool captureOutput = false;           // standard output into ProgramResult::output
    std::filesystem::path outputFile;     // with captureOutput: into this file instead
    std::size_t outputLimit = 64u << 20;  // beyond this the program is stopped (truncated)
    std::filesystem::path workingFolder;  // empty: the caller's
    // Asked about ten times a second while the program runs; false kills it (cancelled).
    std::function<bool()> keepGoing;
};

struct ProgramResult {
    bool started = false;
    int startError = 0;      // errno when it could not be started
    bool timedOut = false;   // killed at the time limit
    bool cancelled = false;  // killed because keepGoing said stop
    bool exited = false;     // ended normally (not by a signal)
    int exitCode = -1;
    std::string output;             // empty when the output went to a file
    std::size_t outputBytes = 0;    // bytes captured (kept), in memory or in the file
    bool outputTruncated = false;   // it wrote more than outputLimit and was stopped
    bool outputFileFailed = false;  // the output file could not be written

    bool succeeded() const { return started && !timedOut && !cancelled && exited && exitCode == 0; }
};

ProgramResult runProgram(const ProgramCall& call);

// Finds a program by name: a copy in `preferredFolder` (when given) wins over the PATH.
// Only regular executable files count.
std::optional<std::filesystem::path> findProgram(const std::string& name,
                                                 const std::filesystem::path& preferredFolder = {});

// Starts a program that runs on by itself (an interactive tool); it is reaped when it
// ends. Returns 0, or the errno of the failed start.
int startDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace wordmill
