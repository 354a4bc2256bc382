// Benchmark of the notifier's walk and polling pass.
//
//   bench_walk generate TREE [folders] [files-per-folder]
//       builds a tree of empty files (10 top folders, 100 below each, the rest below those)
//   bench_walk walk TREE inotify|null|plain   (plain: no-op watches, THashList's own hash)
//       walks and registers TREE/+<*.txt> (no indexing); prints folders, seconds, peak RSS
//   bench_walk poll TREE watched-folders
//       watches that many folders with inotify, times passes with nothing changed, then the
//       delay from a change to its report with the thread polling every 500 ms
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "monitor/Notifier.h"
#include "platform/notify/InotifyChangeSource.h"

using namespace vellumar;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Accepts every watch without asking the kernel: the walk and the tables alone.
class NullChangeSource : public ChangeSource {
  public:
    ChangeHandle FindFirstChangeNotification(const std::string&, int& error) override {
        error = 0;
        return next_++;
    }
    bool FindNextChangeNotification(ChangeHandle) override { return true; }
    bool FindCloseChangeNotification(ChangeHandle) override { return true; }
    std::uint32_t WaitForMultipleObjects(std::uint32_t, const ChangeHandle*,
                                         std::uint32_t) override {
        return kWaitTimeout;
    }

  private:
    ChangeHandle next_ = 0;
};

int Generate(const std::string& root, long folders, int filesPerFolder) {
    namespace fs = std::filesystem;
    fs::create_directories(root);
    long made = 0;
    auto fill = [&](const fs::path& dir) {
        for (int f = 0; f < filesPerFolder; ++f)
            std::ofstream(dir / ("f" + std::to_string(f) + ".txt"));
    };
    fill(root);
    for (int a = 0; a < 10 && made < folders; ++a) {
        const fs::path top = fs::path(root) / ("d" + std::to_string(a));
        fs::create_directory(top);
        fill(top);
        ++made;
        for (int b = 0; b < 100 && made < folders; ++b) {
            const fs::path mid = top / ("d" + std::to_string(b));
            fs::create_directory(mid);
            fill(mid);
            ++made;
            const long leaves = std::min<long>(99, (folders - 1010) / 1000 + 1);
            for (long c = 0; c < leaves && made < folders; ++c) {
                const fs::path leaf = mid / ("d" + std::to_string(c));
                fs::create_directory(leaf);
                fill(leaf);
                ++made;
            }
        }
    }
    std::printf("generated %ld folders below %s, %d files each\n", made, root.c_str(),
                filesPerFolder);
    return 0;
}

struct Rig {
    SilentUserInterface ui;
    ProgressThrottle throttle;
    QueuedDispatcher dispatcher;
};

int Walk(const std::string& root, bool inotify, bool plainHash) {
    Rig rig;
    InotifyChangeSource real;
    NullChangeSource null;
    ChangeSource& source = inotify ? static_cast<ChangeSource&>(real) : null;
    NotifierOptions options;
    options.startThread = false;
    options.plainFolderHash = plainHash;
    TNotifier notifier({rig.ui, rig.throttle, rig.dispatcher, source, nullptr}, options);
    long scanned = 0;
    notifier.SetOnScanFolder([&](int, const std::string&, const std::string&, int&) { ++scanned; });
    const auto start = Clock::now();
    notifier.AddScope(root + "/+<*.txt>", true, true);
    const double seconds = Seconds(Clock::now() - start);
    std::printf(
        "walk %s%s folders=%ld watched=%d unwatchable=%d seconds=%.3f folders_per_s=%.0f "
        "peak_rss_kb=%ld\n",
        inotify ? "inotify" : "null", plainHash ? "+plain-hash" : "", scanned,
        notifier.WatchedCount(), notifier.UnwatchableCount(), seconds, scanned / seconds,
        PeakRssKb());
    const auto clearStart = Clock::now();
    notifier.Clear();
    std::printf("clear seconds=%.3f\n", Seconds(Clock::now() - clearStart));
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Poll(const std::string& root, int wanted) {
    Rig rig;
    InotifyChangeSource source;
    // Watch the first top folders of the tree until about `wanted` folders are watched.
    NotifierOptions manual;
    manual.startThread = false;
    std::vector<std::string> folders;
    {
        TNotifier notifier({rig.ui, rig.throttle, rig.dispatcher, source, nullptr}, manual);
        for (int a = 0; a < 10 && notifier.WatchedCount() < wanted; ++a)
            notifier.AddScope(root + "/d" + std::to_string(a) + "/+<*.txt>", true, true);
        std::printf("watched=%d unwatchable=%d\n", notifier.WatchedCount(),
                    notifier.UnwatchableCount());
        std::vector<double> passes;
        for (int i = 0; i < 200; ++i) {
            const auto start = Clock::now();
            notifier.PollPass();
            passes.push_back(Seconds(Clock::now() - start) * 1000);
        }
        std::sort(passes.begin(), passes.end());
        std::printf("idle pass ms: median=%.3f p90=%.3f max=%.3f\n", Median(passes),
                    passes[passes.size() * 9 / 10], passes.back());
        for (std::int32_t i = 0; i < notifier.WatchedCount(); ++i)
            folders.push_back(notifier.Tables().WatchedFolder(i)->Path());
    }

    // Change latency with the thread running at its normal interval.
    TNotifier notifier({rig.ui, rig.throttle, rig.dispatcher, source, nullptr});
    for (int a = 0; a < 10 && notifier.WatchedCount() < wanted; ++a)
        notifier.AddScope(root + "/d" + std::to_string(a) + "/+<*.txt>", true, true);
    std::mutex m;
    std::condition_variable cv;
    std::string reported;
    Clock::time_point reportedAt;
    notifier.SetOnFolderChanged([&](int, const std::string& folder, bool&) {
        std::lock_guard lock(m);
        reported = folder;
        reportedAt = Clock::now();
        cv.notify_all();
    });
    std::mt19937 random(1);
    std::vector<double> delays;
    for (int round = 0; round < 20; ++round) {
        const std::string folder = folders[random() % folders.size()];
        // A change comes at any moment of the thread's cycle, not right after a report.
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
        std::unique_lock lock(m);
        reported.clear();
        lock.unlock();
        const auto changed = Clock::now();
        std::ofstream(folder + "/changed.txt") << round;
        lock.lock();
        if (!cv.wait_for(lock, std::chrono::seconds(5), [&] { return reported == folder; })) {
            std::printf("change in %s not reported within 5 s\n", folder.c_str());
            return 1;
        }
        delays.push_back(Seconds(reportedAt - changed) * 1000);
    }
    std::sort(delays.begin(), delays.end());
    std::printf("change reported after ms: median=%.1f max=%.1f (poll interval 500)\n",
                Median(delays), delays.back());
    std::printf("peak_rss_kb=%ld\n", PeakRssKb());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_walk generate|walk|poll TREE [...]\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::string root = argv[2];
    if (mode == "generate")
        return Generate(root, argc > 3 ? std::stol(argv[3]) : 100000,
                        argc > 4 ? std::stoi(argv[4]) : 10);
    if (mode == "walk") {
        const std::string how = argc > 3 ? argv[3] : "null";
        return Walk(root, how == "inotify", how == "plain");
    }
    if (mode == "poll") return Poll(root, argc > 3 ? std::stoi(argv[3]) : 50000);
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
