// The commands of vellumar-cli over the program core: the same home, index folder,
// definition files and build code as the window.
#pragma once

#include <cstdio>

#include "cli/CliArguments.h"

namespace vellumar::cli {

// Runs one parsed command; returns the exit status (0 success, 1 failure, 2 usage or a
// removal nobody confirmed). Results go to out, messages and progress to err; with --json
// a failure also writes one object {"error": ..., "status": ...} to out. terminal: err is
// a terminal (progress line). answers: where a person answers questions (standard input
// when it and err are a terminal), or nullptr.
int runCommand(const Arguments& arguments, std::FILE* out, std::FILE* err, bool terminal,
               std::FILE* answers = nullptr);

}  // namespace vellumar::cli
