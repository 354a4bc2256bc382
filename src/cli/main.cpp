// vellumar-cli: builds, updates, removes and searches Vellumar indexes from the command
// line, for scripting, servers and benchmarks. See CliArguments.h for the commands.
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliCommands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto arguments = vellumar::cli::parseArguments(args);
    return vellumar::cli::runCommand(arguments, stdout, stderr, ::isatty(STDERR_FILENO) != 0);
}
