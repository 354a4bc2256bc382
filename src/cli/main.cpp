// vellumar-cli: builds, updates, removes and searches Vellumar indexes from the command
// line, for scripting, servers and benchmarks. See CliArguments.h for the commands.
#include <unistd.h>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliCommands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto arguments = vellumar::cli::parseArguments(args);
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    // Questions are put to a person only when one can see them and answer.
    std::FILE* answers = terminal && ::isatty(STDIN_FILENO) ? stdin : nullptr;
    return vellumar::cli::runCommand(arguments, stdout, stderr, terminal, answers);
}
