// The program's command line: `vellumar [--home DIR]`, `vellumar --help`.
//
// Pure functions; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellumar {

struct CommandLine {
    std::optional<std::string> home;
    bool help = false;
    std::string error;  // empty when the arguments were understood
};

// args excludes the program name. Accepts "--home DIR" and "--home=DIR"; "--help" and
// "-h" ask for the usage text.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string usageText(const std::string& programName);

}  // namespace vellumar
