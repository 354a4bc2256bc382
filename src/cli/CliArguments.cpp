#include "cli/CliArguments.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace vellumar::cli {

namespace {

bool parseCount(const std::string& text, long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && value >= 0;
}

}  // namespace

std::string usage() {
    return "Usage: vellumar-cli [--home DIR] [--yes|--no] COMMAND ...\n"
           "  list [--json]                      the indexes with their statistics\n"
           "  create NAME SCOPE [--language NAME] [--max-length N] [--min-length N]\n"
           "         [--archives] [--raw] [--auto-update] [--stop-words FILE]\n"
           "         [--dictionary FILE] [--notes TEXT]\n"
           "  update NAME                        walk the index's folders again\n"
           "  remove NAME                        delete an index\n"
           "  search NAME QUERY [--sort name|relevance] [--offset N] [--limit N]\n"
           "         [--hits] [--context] [--json]\n"
           "  search NAME --from-list FILE [...]  the query made of a list file's words\n"
           "  words NAME [PATTERN]               the index's words (* and ? in PATTERN)\n"
           "  show NAME FILE QUERY [--json]      each hit of QUERY in FILE: number, start,\n"
           "                                     length (characters) and the text it covers\n"
           "  watch                              keep the automatically updateable indexes\n"
           "                                     up to date until SIGINT or SIGTERM, one\n"
           "                                     line per updated folder\n"
           "A scope lists folders and patterns, for example /home/ann/docs/+<*.txt,*.pdf>.\n"
           "--archives (look into zip, rar, cab and arj files) and --auto-update exclude\n"
           "each other.\n"
           "On a terminal questions are asked; otherwise they take their default answer,\n"
           "or the one --yes or --no gives. remove asks on a terminal and needs --yes\n"
           "elsewhere.\n"
           "With --json a failure is also written to standard output as {\"error\": ...}.\n"
           "Exit status: 0 success, 1 a build or search failed, 2 a usage error or a\n"
           "removal nobody confirmed.\n";
}

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments a;
    std::vector<std::string> positional;
    auto fail = [&](std::string message) {
        a.error = std::move(message);
        return a;
    };
    // Known before anything can fail, so that even a usage error is reported as JSON.
    a.json = std::find(args.begin(), args.end(), "--json") != args.end();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Options taking a value accept "--opt VALUE" and "--opt=VALUE".
        std::string option = arg, value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                option = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&](std::string& out) -> bool {
            if (hasInlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        static const std::map<std::string, std::string Arguments::*> valueOptions = {
            {"--language", &Arguments::language},     {"--max-length", &Arguments::maxLength},
            {"--min-length", &Arguments::minLength},  {"--stop-words", &Arguments::stopWords},
            {"--dictionary", &Arguments::dictionary}, {"--notes", &Arguments::notes},
        };
        if (option == "--help" || option == "-h") {
            a.command = Command::Help;
            return a;
        } else if (option == "--home") {
            std::string home;
            if (!takeValue(home) || home.empty()) return fail("--home needs a folder");
            a.home = home;
        } else if (auto it = valueOptions.find(option); it != valueOptions.end()) {
            if (!takeValue(a.*(it->second))) return fail(option + " needs a value");
        } else if (option == "--yes") {
            a.answer = Answer::Yes;
        } else if (option == "--no") {
            a.answer = Answer::No;
        } else if (option == "--json") {
            a.json = true;
        } else if (option == "--archives") {
            a.archives = true;
        } else if (option == "--raw") {
            a.raw = true;
        } else if (option == "--auto-update") {
            a.autoUpdate = true;
        } else if (option == "--hits") {
            a.hits = true;
        } else if (option == "--context") {
            a.context = true;
        } else if (option == "--from-list") {
            if (!takeValue(a.fromList) || a.fromList.empty())
                return fail("--from-list needs a file");
        } else if (option == "--sort") {
            std::string how;
            if (!takeValue(how)) return fail("--sort needs name or relevance");
            if (how == "name")
                a.sort = Sort::Name;
            else if (how == "relevance")
                a.sort = Sort::Relevance;
            else
                return fail("--sort takes name or relevance, not " + how);
        } else if (option == "--offset" || option == "--limit") {
            std::string text;
            long n = 0;
            if (!takeValue(text) || !parseCount(text, n))
                return fail(option + " needs a number of 0 or more");
            (option == "--offset" ? a.offset : a.limit) = n;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return fail("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty()) return fail("no command given");
    const std::string command = positional[0];
    const std::size_t operands = positional.size() - 1;
    const std::size_t searchOperands = a.fromList.empty() ? 2 : 1;  // NAME [QUERY]
    auto need = [&](std::size_t min, std::size_t max) {
        return operands >= min && operands <= max;
    };
    if (command == "list" && need(0, 0)) {
        a.command = Command::List;
    } else if (command == "create" && need(2, 2)) {
        a.command = Command::Create;
        a.scope = positional[2];
    } else if (command == "update" && need(1, 1)) {
        a.command = Command::Update;
    } else if (command == "remove" && need(1, 1)) {
        a.command = Command::Remove;
    } else if (command == "search" && need(searchOperands, searchOperands)) {
        a.command = Command::Search;
        if (a.fromList.empty()) a.query = positional[2];
    } else if (command == "words" && need(1, 2)) {
        a.command = Command::Words;
        if (operands == 2) a.pattern = positional[2];
    } else if (command == "show" && need(3, 3)) {
        a.command = Command::Show;
        a.file = positional[2];
        a.query = positional[3];
    } else if (command == "watch" && need(0, 0)) {
        a.command = Command::Watch;
    } else if (command == "watch" || command == "list" || command == "create" ||
               command == "update" || command == "remove" || command == "search" ||
               command == "words" || command == "show") {
        return fail("wrong number of arguments for " + command);
    } else {
        return fail("unknown command " + command);
    }
    if (operands >= 1 && a.command != Command::List && a.command != Command::Watch)
        a.name = positional[1];
    // An index that looks into archives is never automatically updateable, as in the window.
    if (a.archives && a.autoUpdate) return fail("--archives and --auto-update exclude each other");
    return a;
}

}  // namespace vellumar::cli
