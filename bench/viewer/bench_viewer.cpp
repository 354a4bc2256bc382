// The preview's core part, timed: from loading a found file to its first entry's
// selection (the temp folder emptied, the hits read, the document opened and parsed up to
// the entry, the selection mapped to text-control positions), and stepping with F3
// through a thousand entries. Every round also times `grep -c` over the same file, in
// turn, so both see the same machine state; medians of all rounds are printed.
//
//   bench_viewer WORKDIR [ROUNDS]
//
// WORKDIR receives the corpus (made once): a 10 MB text with one hit near its end, a
// 10 MB text with 1,000 hits spread over it, a 10 MB HTML page with a hit near its end,
// and a member of a zip inside a zip; and a home with the index over them.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <archive.h>
#include <archive_entry.h>

#include "ViewerBenchSupport.h"
#include "index/IndexingCore.h"
#include "monitor/MainThreadDispatcher.h"
#include "viewer/DocumentPreview.h"
#include "wordmill/ProcessRunner.h"

namespace fs = std::filesystem;
using namespace vellumar;
using Clock = std::chrono::steady_clock;

namespace {

using namespace viewer_bench;

void makeCorpus(const fs::path& docs) {
    fs::create_directories(docs);
    std::mt19937 random(2024);
    std::string text = words(random, kSize, false);
    text.insert(text.size() - 200, " needle ");
    writeFile(docs / "large.txt", text);

    std::string many = words(random, kSize, false);
    for (int i = 0; i < 1000; ++i) {
        std::size_t at = many.find(' ', (many.size() / 1000) * i + 1);
        many.insert(at, " marker");
    }
    writeFile(docs / "many.txt", many);

    std::string page = "<html><head><title>Large page</title></head><body>" +
                       words(random, kSize, true) + "<p>needle at the end</p></body></html>";
    writeFile(docs / "large.html", page);

    const std::string inner = zipOf("deep/member.txt", "a member with a needle inside\r\n");
    writeFile(docs / "outer.zip", zipOf("inner.zip", inner));
}

// The plain text of our generated page as the HTML display shows it: tags gone, each
// paragraph on its own line.
std::u16string displayTextOf(const fs::path& page) {
    std::ifstream in(page, std::ios::binary);
    const std::string html((std::istreambuf_iterator<char>(in)), {});
    std::u16string out;
    out.reserve(html.size());
    bool inTag = false, inTitle = false;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<') {
            inTag = true;
            if (html.compare(i, 7, "<title>") == 0) inTitle = true;
            if (html.compare(i, 8, "</title>") == 0) inTitle = false;
            if (html.compare(i, 4, "</p>") == 0) out += u'\n';
            continue;
        }
        if (c == '>') {
            inTag = false;
            continue;
        }
        if (!inTag && !inTitle && c != '\n') out += static_cast<char16_t>(c);
    }
    return out;
}

struct Bench {
    explicit Bench(const fs::path& work) {
        IndexingCoreSettings settings;
        settings.home = work / "home";
        settings.indexFolder = (work / "home" / "Indexes").string();
        settings.programTempFolder = work / "home" / "tmp";
        settings.startNotifierThread = false;
        fs::create_directories(settings.indexFolder);
        core = std::make_unique<IndexingCore>(ui, dispatcher, throttle, settings);
        core->attachScanFolder();
        core->catalogue.LoadIndexes({});
        IndexRequest r;
        r.name = "bench";
        r.scope = (work / "docs").string() + "/+<*.txt,*.html,*.zip>";
        r.languageName = "English (i)";
        r.archives = true;
        const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
        index = core->catalogue.object(outcome.position);
        temp = std::make_unique<ProgramTempFolder>(settings.programTempFolder);
        preview = std::make_unique<DocumentPreview>(core->viewerParsers, *temp, ui);
    }

    // Result number of name for query (the session stays open).
    int find(const std::string& query, const std::string& name) {
        index->EndSession();
        index->BeginSession();
        int files = 0;
        std::int64_t entries = 0;
        if (index->RunQuery(query, files, entries) == 0) return -1;
        for (int i = 0; i < files; ++i) {
            std::string found;
            if (index->GetResult(i, found, stamp) && found == name) return i;
        }
        return -1;
    }

    bool load(const std::string& name, int number) {
        PreviewRequest r;
        r.listName = name;
        r.index = index;
        r.resultNumber = number;
        r.stamp = stamp;
        r.sizeLimitText = "100000";
        return preview->Load(r) == PreviewStatus::Shown;
    }

    SilentUserInterface ui;
    QueuedDispatcher dispatcher;
    ProgressThrottle throttle;
    std::unique_ptr<IndexingCore> core;
    vellcore::IndexObject* index = nullptr;
    vellcore::Stamp stamp = 0;
    std::unique_ptr<ProgramTempFolder> temp;
    std::unique_ptr<DocumentPreview> preview;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_viewer WORKDIR [ROUNDS]\n");
        return 2;
    }
    const fs::path work = fs::absolute(argv[1]);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    if (!fs::exists(work / "docs" / "outer.zip")) makeCorpus(work / "docs");
    fs::remove_all(work / "home");
    std::printf("indexing the corpus...\n");
    Bench bench(work);
    if (!bench.index) return 1;

    const std::string large = (work / "docs" / "large.txt").string();
    const std::string many = (work / "docs" / "many.txt").string();
    const std::string page = (work / "docs" / "large.html").string();
    const std::string member =
        (work / "docs" / "outer.zip").string() + "//inner.zip//deep/member.txt";
    const std::u16string pageText = displayTextOf(page);

    std::vector<double> first, firstCpu, grep, steps, stepMax, stepP99, stepCpuMax, back, html,
        htmlCpu, zip;
    for (int round = 0; round < rounds; ++round) {
        // 10 MB text, hit near the end: load and select the first entry.
        int number = bench.find("needle", large);
        auto start = Clock::now();
        double cpu = cpuMillis();
        if (!bench.load(large, number) || !bench.preview->TextSelectionOf(0)) return 1;
        firstCpu.push_back(cpuMillis() - cpu);
        first.push_back(millis(Clock::now() - start));
        grep.push_back(timeGrep(large, "needle"));

        // F3 through 1,000 entries, then one jump back to the first (a rewind).
        number = bench.find("marker", many);
        if (!bench.load(many, number) || bench.preview->HitCount() != 1000) return 1;
        std::vector<double> each, eachCpu;
        for (std::size_t i = 0; i < bench.preview->HitCount(); ++i) {
            start = Clock::now();
            const double cpu = cpuMillis();
            if (!bench.preview->TextSelectionOf(i)) return 1;
            eachCpu.push_back(cpuMillis() - cpu);
            each.push_back(millis(Clock::now() - start));
        }
        stepCpuMax.push_back(*std::max_element(eachCpu.begin(), eachCpu.end()));
        steps.push_back(median(each));
        stepMax.push_back(*std::max_element(each.begin(), each.end()));
        std::sort(each.begin(), each.end());
        stepP99.push_back(each[each.size() * 99 / 100]);
        start = Clock::now();
        bench.preview->TextSelectionOf(0);  // located already: no reading
        back.push_back(millis(Clock::now() - start));

        // 10 MB HTML page, hit near the end, located in the source and the display text.
        number = bench.find("needle", page);
        start = Clock::now();
        cpu = cpuMillis();
        if (!bench.load(page, number)) return 1;
        bench.preview->SetHtmlDisplayText(pageText);
        if (!bench.preview->HtmlSelectionOf(0)) return 1;
        htmlCpu.push_back(cpuMillis() - cpu);
        html.push_back(millis(Clock::now() - start));

        // A member of a zip inside a zip.
        number = bench.find("needle", member);
        start = Clock::now();
        if (!bench.load(member, number) || !bench.preview->TextSelectionOf(0)) return 1;
        zip.push_back(millis(Clock::now() - start));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rounds: %d (medians, ms)\n", rounds);
    std::printf("10 MB text, first entry (near the end): %8.1f   grep -c: %6.1f   ratio %.2f\n",
                median(first), median(grep), median(first) / median(grep));
    std::printf("  in processor time:                      %8.1f\n", median(firstCpu));
    std::printf(
        "F3 through 1,000 entries, per step:       %8.3f   99th percentile: %.3f   "
        "slowest: %.3f\n",
        median(steps), median(stepP99), median(stepMax));
    std::printf("  slowest step in processor time:         %8.3f\n", median(stepCpuMax));
    std::printf("F2 back to a located entry:               %8.4f\n", median(back));
    std::printf("10 MB HTML page, first entry in display:  %8.1f   in processor time: %.1f\n",
                median(html), median(htmlCpu));
    std::printf("member of a zip inside a zip:             %8.1f\n", median(zip));
    std::printf("peak memory of the process: %ld MB\n", usage.ru_maxrss / 1024);
    return 0;
}
