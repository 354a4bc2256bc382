// What the two viewer benchmarks share: the clocks, the median, and the makings of their
// corpus (random words as text or HTML, a zip in memory), and `grep -c` timed as the
// yardstick.
#pragma once

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

#include "wordmill/ProcessRunner.h"

namespace viewer_bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kSize = 10u << 20;

inline double millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The process's processor time in ms: unlike the wall clock, it leaves out the time other
// programs on a busy machine take the processor away.
inline double cpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline const char* const kPool[] = {"the",   "search", "index", "of",      "a",     "document",
                                    "quick", "brown",  "fox",   "jumps",   "over",  "lazy",
                                    "dog",   "and",    "query", "archive", "words", "system"};

inline std::string words(std::mt19937& random, std::size_t bytes, bool html) {
    std::string text;
    text.reserve(bytes + 64);
    int inLine = 0;
    if (html) text += "<p>";
    while (text.size() < bytes) {
        text += kPool[random() % std::size(kPool)];
        if (++inLine == 12) {
            text += html ? "</p>\n<p>" : "\r\n";
            inLine = 0;
        } else {
            text += ' ';
        }
    }
    if (html) text += "</p>";
    return text;
}

inline void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string zipOf(const std::string& name, const std::string& data) {
    struct archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    std::vector<char> buffer(data.size() + (1 << 16));
    std::size_t used = 0;
    archive_write_open_memory(a, buffer.data(), buffer.size(), &used);
    struct archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, static_cast<la_int64_t>(data.size()));
    archive_write_header(a, e);
    archive_write_data(a, data.data(), data.size());
    archive_entry_free(e);
    archive_write_close(a);
    archive_write_free(a);
    return std::string(buffer.data(), used);
}

inline double timeGrep(const fs::path& file, const std::string& word) {
    static const auto grep = wordmill::findProgram("grep");
    const auto start = Clock::now();
    wordmill::ProgramCall call;
    call.program = *grep;
    call.arguments = {"-c", word, file.string()};
    call.captureOutput = true;
    wordmill::runProgram(call);
    return millis(Clock::now() - start);
}

}  // namespace viewer_bench
