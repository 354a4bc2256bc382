#include "platform/CommandLine.h"

namespace vellumar {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--home") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                result.error = "--home needs a folder";
                return result;
            }
            result.home = args[++i];
        } else if (arg.rfind("--home=", 0) == 0) {
            if (arg.size() == 7) {
                result.error = "--home needs a folder";
                return result;
            }
            result.home = arg.substr(7);
        } else {
            result.error = "unknown argument: " + arg;
            return result;
        }
    }
    return result;
}

std::string usageText(const std::string& programName) {
    return "Usage: " + programName +
           " [--home DIR]\n"
           "\n"
           "Starts Vellumar, the desktop full-text search program.\n"
           "\n"
           "  --home DIR  keep the settings, the query history and the indexes in DIR\n"
           "              (created on first use). Without it the folder is $VELLUMAR_HOME,\n"
           "              else the program's own folder when it holds a Vellumar.ini,\n"
           "              else $XDG_DATA_HOME/vellumar (~/.local/share/vellumar).\n"
           "  --help      show this text and exit\n";
}

}  // namespace vellumar
