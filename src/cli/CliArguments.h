// The command line of vellumar-cli:
//   vellumar-cli [--home DIR] [--yes|--no] [--json] COMMAND ...
//     list [--json]
//     create NAME SCOPE [--language NAME] [--max-length N] [--min-length N] [--archives]
//            [--raw] [--auto-update] [--stop-words FILE] [--dictionary FILE] [--notes TEXT]
//     update NAME
//     remove NAME
//     search NAME QUERY [--sort name|relevance] [--offset N] [--limit N] [--hits] [--json]
//            [--context]; or search NAME --from-list FILE [...]: the query from a list file
//     words NAME [PATTERN]
//     show NAME FILE QUERY [--json]
//     watch
// Pure parsing; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellumar::cli {

enum class Command { None, Help, List, Create, Update, Remove, Search, Words, Show, Watch };
enum class Answer { Default, Yes, No };
enum class Sort { None, Name, Relevance };

struct Arguments {
    Command command = Command::None;
    std::optional<std::string> home;
    Answer answer = Answer::Default;
    bool json = false;
    // create / update / remove / search / words
    std::string name;
    std::string scope;    // create
    std::string query;    // search
    std::string pattern;  // words
    std::string file;     // show
    // create options
    std::string language;
    std::string maxLength = "32";
    std::string minLength = "2";
    bool archives = false;
    bool raw = false;
    bool autoUpdate = false;
    std::string stopWords;
    std::string dictionary;
    std::string notes;
    // search options
    Sort sort = Sort::None;
    long offset = 0;
    long limit = -1;  // all
    bool hits = false;
    bool context = false;  // each hit's words with a few words on either side
    std::string fromList;  // a list file whose words make the query (instead of QUERY)

    std::string error;  // a usage error, empty when the arguments were understood
};

Arguments parseArguments(const std::vector<std::string>& args);
std::string usage();

}  // namespace vellumar::cli
