// Runs one vellumar-cli command in the test process, as a person or a script would, and
// keeps what it printed. The tests' one way of driving the command-line tool.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliCommands.h"

namespace testing_support {

struct CliResult {
    int status = 0;
    std::string output;  // standard output
    std::string errors;  // standard error
};

// Reads a temporary file from its start and closes it.
inline std::string readAndClose(std::FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, f)) text.append(buffer, n);
    std::fclose(f);
    return text;
}

// answers: what a person at a terminal types, or nullptr for no terminal.
inline CliResult runCli(const std::vector<std::string>& args, const char* answers = nullptr) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::FILE* in = nullptr;
    if (answers) {
        in = std::tmpfile();
        std::fputs(answers, in);
        std::rewind(in);
    }
    CliResult result;
    result.status =
        vellumar::cli::runCommand(vellumar::cli::parseArguments(args), out, err, false, in);
    if (in) std::fclose(in);
    result.output = readAndClose(out);
    result.errors = readAndClose(err);
    return result;
}

}  // namespace testing_support
