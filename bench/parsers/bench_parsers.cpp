// Measures how fast the parsers tokenise: the text parser on plain ASCII and on UTF-8
// text with accents, the HTML parser on a set of real HTML pages. Each round times our
// parser and `wc -w` over the same files, in turn, so both see the same machine state;
// the medians of all rounds are printed.
//
//   bench_parsers make-corpora DIR [MB]      writes DIR/ascii.txt and DIR/utf8.txt
//   bench_parsers run DIR HTMLDIR [ROUNDS]   measures (HTMLDIR: *.html below it)
//   bench_parsers count FILE [html|french]   tokenises one file in a process of its own
//                                            (to be timed from outside beside wc -w)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "lang/SampleLanguages.h"
#include "wordmill/Parser.h"
#include "wordmill/ProcessRunner.h"

namespace {

using Clock = std::chrono::steady_clock;

void makeCorpus(const std::filesystem::path& file, std::size_t bytes, bool accents) {
    const std::vector<std::string> ascii = {
        "the",   "search",      "index",     "of",      "a",    "document", "Folder",
        "quick", "brown",       "fox",       "jumps",   "over", "lazy",     "dog",
        "and",   "to",          "Vellumar",  "archive", "is",   "query",    "42",
        "x",     "information", "retrieval", "system",  "with", "words"};
    const std::vector<std::string> accented = {"\xC3\xA9l\xC3\xA8ve",
                                               "Stra\xC3\x9F"
                                               "e",
                                               "gar\xC3\xA7on",
                                               "\xC3\xBC"
                                               "ber",
                                               "na\xC3\xAFve",
                                               "caf\xC3\xA9",
                                               "M\xC3\xBCller",
                                               "d\xC3\xA9j\xC3\xA0",
                                               "\xC5\x93uvre",
                                               "Gr\xC3\xB6\xC3\x9F"
                                               "e",
                                               "for\xC3\xAAt",
                                               "\xC3\xA0",
                                               "b\xC3\xA4r",
                                               "No\xC3\xABl"};
    const char* const separators[] = {" ", " ", " ", " ", ", ", ". ", " - ", "; ", "\n"};
    std::mt19937 random(12345);
    std::ofstream out(file, std::ios::binary);
    std::string chunk;
    std::size_t written = 0;
    while (written < bytes) {
        chunk.clear();
        while (chunk.size() < (1u << 20)) {
            const bool pickAccent = accents && random() % 3 == 0;
            const auto& words = pickAccent ? accented : ascii;
            chunk += words[random() % words.size()];
            chunk += separators[random() % std::size(separators)];
        }
        out << chunk;
        written += chunk.size();
    }
}

struct Measure {
    std::uint64_t bytes = 0;
    std::uint64_t words = 0;
    double seconds = 0;
};

Measure parseFiles(const std::vector<std::filesystem::path>& files, bool html,
                   const textfold::CharTable& table) {
    auto parser = html ? wordmill::CreateHtmlParser(table) : wordmill::CreateTextParser(table);
    wordmill::WordRecord record;
    Measure m;
    const auto start = Clock::now();
    for (const auto& f : files) {
        // A file that cannot be read would make the figure look better than it is.
        if (!parser->Open(f, record)) {
            std::fprintf(stderr, "cannot open %s: the benchmark stops\n", f.c_str());
            std::exit(1);
        }
        m.bytes += parser->GetDocumentSize();
        while (parser->NextWord(record)) ++m.words;
        parser->Close();
    }
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return m;
}

Measure wordCount(const std::vector<std::filesystem::path>& files, std::uint64_t bytes) {
    wordmill::ProgramCall call;
    call.program = wordmill::findProgram("wc").value_or("/usr/bin/wc");
    call.arguments = {"-w"};
    for (const auto& f : files) call.arguments.push_back(f.string());
    call.captureOutput = true;
    call.timeLimit = std::chrono::minutes(10);
    Measure m;
    m.bytes = bytes;
    const auto start = Clock::now();
    const wordmill::ProgramResult r = wordmill::runProgram(call);
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // A wc that failed or crashed must stop the benchmark, never count as a fast run.
    if (!r.succeeded() || r.outputTruncated) {
        std::fprintf(stderr,
                     "wc -w failed (started %d, exit %d, timed out %d): the benchmark stops\n%s\n",
                     r.started, r.exitCode, r.timedOut, r.output.c_str());
        std::exit(1);
    }
    // The last line is the total (or the only count).
    const std::size_t end = r.output.find_last_not_of('\n');
    const std::size_t begin = r.output.find_last_of('\n', end);
    m.words =
        std::strtoull(r.output.c_str() + (begin == std::string::npos ? 0 : begin + 1), nullptr, 10);
    return m;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int run(const std::filesystem::path& dir, const std::filesystem::path& htmlDir, int rounds) {
    struct Corpus {
        const char* name;
        std::vector<std::filesystem::path> files;
        bool html;
        textfold::CharTable table;
    };
    std::vector<std::filesystem::path> pages;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(htmlDir, ec);
         it != std::filesystem::recursive_directory_iterator(); ++it)
        if (it->is_regular_file() && it->path().extension() == ".html") pages.push_back(it->path());
    std::sort(pages.begin(), pages.end());
    std::vector<Corpus> corpora = {
        {"text parser, ASCII", {dir / "ascii.txt"}, false, textfold::englishTable()},
        {"text parser, UTF-8 with accents", {dir / "utf8.txt"}, false, vellumar::frenchTable()},
        {"HTML parser, HTML pages", pages, true, textfold::englishTable()},
    };
    std::printf("%-34s %8s %10s %11s %8s %14s %11s %11s\n", "corpus", "MB", "ours MB/s",
                "wc -w MB/s", "ratio", "ratio min-max", "our words", "wc words");
    for (const Corpus& c : corpora) {
        if (c.files.empty()) {
            std::printf("%-34s (no files)\n", c.name);
            continue;
        }
        std::vector<double> ours, theirs, ratios;
        Measure last, lastWc;
        for (int r = 0; r < rounds; ++r) {
            last = parseFiles(c.files, c.html, c.table);
            lastWc = wordCount(c.files, last.bytes);
            ours.push_back(last.bytes / 1e6 / last.seconds);
            theirs.push_back(lastWc.bytes / 1e6 / lastWc.seconds);
            ratios.push_back(ours.back() / theirs.back());
        }
        // The ratio is taken round by round, so that a slow moment of the machine hits
        // both sides of it.
        const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
        std::printf("%-34s %8.1f %10.1f %11.1f %7.2fx %6.2f-%-7.2f %11llu %11llu\n", c.name,
                    last.bytes / 1e6, median(ours), median(theirs), median(ratios), *low, *high,
                    static_cast<unsigned long long>(last.words),
                    static_cast<unsigned long long>(lastWc.words));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "make-corpora") {
        const std::size_t mb = argc >= 4 ? std::stoul(argv[3]) : 200;
        std::filesystem::create_directories(argv[2]);
        makeCorpus(std::filesystem::path(argv[2]) / "ascii.txt", mb << 20, false);
        makeCorpus(std::filesystem::path(argv[2]) / "utf8.txt", mb << 20, true);
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "count") {
        // One process per measurement, for timing from outside beside `wc -w FILE`.
        const bool html = argc >= 4 && std::string(argv[3]) == "html";
        const bool accents = argc >= 4 && std::string(argv[3]) == "french";
        const Measure m = parseFiles({argv[2]}, html,
                                     accents ? vellumar::frenchTable() : textfold::englishTable());
        std::printf("%llu %s\n", static_cast<unsigned long long>(m.words), argv[2]);
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "run")
        return run(argv[2], argv[3], argc >= 5 ? std::stoi(argv[4]) : 5);
    std::fprintf(stderr, "usage: bench_parsers make-corpora DIR [MB] | run DIR HTMLDIR [ROUNDS]\n");
    return 2;
}
