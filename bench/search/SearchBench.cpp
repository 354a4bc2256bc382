// The search benchmark's helper:
//   bench_search queries INDEX ROUNDS QUERY...   median time of a query and its first page
//                                                 of 100 names, in process
//   bench_search generate INDEX COUNT            an index of COUNT small documents, all
//                                                 holding the word "common"
//   bench_search paging INDEX PAGESIZE ROUNDS    a search for "common", then page changes:
//                                                 median and slowest, and the peak memory
// INDEX is an engine path (the index folder and name).
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "search/ResultPager.h"
#include "search/SearchRunner.h"
#include "vellcore/IndexObject.h"

using namespace vellumar;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// CPU time of this thread: steadier than wall time on a machine shared with other work.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long peakKB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::unique_ptr<vellcore::IndexObject> open(const std::string& path) {
    auto index = vellcore::CreateIndexObject(path, 0);
    if (!index || !index->Prepare(3, "", nullptr, 32, 2, 50)) {
        std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(),
                     index ? index->GetErrorMessage().c_str() : "no memory");
        std::exit(1);
    }
    return index;
}

int queries(const std::string& path, int rounds, const std::vector<std::string>& list) {
    auto index = open(path);
    SilentUserInterface ui;
    SearchRunner runner(ui);
    std::printf("%-28s %10s %10s %10s %10s %10s\n", "query", "wall ms", "cpu ms", "min cpu",
                "files", "entries");
    for (const std::string& q : list) {
        std::vector<double> times, cpu;
        SearchOutcome last;
        for (int r = 0; r < rounds; ++r) {
            ResultPager pager;
            std::vector<std::string> history;
            SearchRequest request;
            request.text = q;
            request.stayOn = false;
            const auto t0 = Clock::now();
            const double c0 = cpuMs();
            last = runner.Run(*index, request, pager, history);
            cpu.push_back(cpuMs() - c0);
            times.push_back(ms(Clock::now() - t0));
        }
        std::printf("%-28s %10.2f %10.2f %10.2f %10d %10lld%s\n", q.c_str(), median(times),
                    median(cpu), *std::min_element(cpu.begin(), cpu.end()), last.files,
                    static_cast<long long>(last.entries), last.failure ? "  FAILED" : "");
    }
    return 0;
}

int generate(const std::string& path, int count) {
    auto index = vellcore::CreateIndexObject(path, 0);
    const auto table = textfold::englishTable();
    if (!index->Prepare(2, "English (i)", &table, 32, 2, 50)) return 1;
    std::mt19937 random(42);
    static const char* words[] = {"alpha", "beta",  "gamma", "delta", "epsilon", "zeta",
                                  "eta",   "theta", "iota",  "kappa", "lambda",  "mu"};
    index->BeginSession();
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/generated/f%03d/doc%07d.txt", i % 1000, i);
        if (!index->BeginDocument(name, 0x58210000u + static_cast<unsigned>(i % 1000), 64))
            return 1;
        int position = 0;
        index->AddWord("common", position++, 0);
        for (int w = 0; w < 8; ++w) index->AddWord(words[random() % 12], position++, 0);
    }
    index->EndSession();
    if (!index->CloseFiles()) return 1;
    std::printf("generated %d documents in %s\n", count, path.c_str());
    return 0;
}

int paging(const std::string& path, int pageSize, int rounds) {
    auto index = open(path);
    SilentUserInterface ui;
    SearchRunner runner(ui);
    ResultPager pager;
    std::vector<std::string> history;
    SearchRequest request;
    request.text = "common";
    request.stayOn = false;
    request.pageSize = pageSize;
    const auto t0 = Clock::now();
    const SearchOutcome o = runner.Run(*index, request, pager, history);
    const double searchMs = ms(Clock::now() - t0);
    // Page changes as the buttons make them: next pages, then the last, then back.
    std::vector<double> times;
    index->BeginSession();
    const PageMode modes[] = {PageMode::Next, PageMode::Next, PageMode::Last, PageMode::Previous,
                              PageMode::First};
    for (int r = 0; r < rounds; ++r) {
        const auto t = Clock::now();
        pager.FillResultPage(index.get(), modes[r % 5], pageSize);
        times.push_back(ms(Clock::now() - t));
    }
    index->EndSession();
    std::printf(
        "found %d; search %.1f ms; page of %d: median %.2f ms, slowest %.2f ms; peak %ld KB\n",
        o.files, searchMs, pageSize, median(times), *std::max_element(times.begin(), times.end()),
        peakKB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 3 && a[0] == "queries")
        return queries(a[1], std::stoi(a[2]), std::vector<std::string>(a.begin() + 3, a.end()));
    if (a.size() == 3 && a[0] == "generate") return generate(a[1], std::stoi(a[2]));
    if (a.size() == 4 && a[0] == "paging") return paging(a[1], std::stoi(a[2]), std::stoi(a[3]));
    std::fprintf(stderr,
                 "usage: bench_search queries INDEX ROUNDS QUERY... | generate INDEX COUNT | "
                 "paging INDEX PAGESIZE ROUNDS\n");
    return 2;
}
