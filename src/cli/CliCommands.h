// The commands of vellumar-cli over the program core: the same home, index folder,
// definition files and build code as the window.
#pragma once

#include <cstdio>

#include "cli/CliArguments.h"

namespace vellumar::cli {

// Runs one parsed command; returns the exit status (0 success, 1 failure, 2 usage).
// Results go to out, messages and progress to err.
int runCommand(const Arguments& arguments, std::FILE* out, std::FILE* err, bool terminal);

}  // namespace vellumar::cli
