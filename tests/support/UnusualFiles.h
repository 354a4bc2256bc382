// Names that point at things other than ordinary files, for tests of the readers of user
// files, and a watchdog for calls that must return at once: a read that blocks on a FIFO
// or never ends on /dev/zero cannot be interrupted, so the test program ends instead.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

namespace testing_support {

enum class SpecialFile { Fifo, DevZeroLink, Folder };

inline const char* nameOf(SpecialFile kind) {
    switch (kind) {
        case SpecialFile::Fifo:
            return "a FIFO";
        case SpecialFile::DevZeroLink:
            return "a link to /dev/zero";
        case SpecialFile::Folder:
            return "a folder";
    }
    return "?";
}

// Puts the special file at `path` (which must not exist yet); false when the system
// refused.
inline bool makeSpecialFile(const std::filesystem::path& path, SpecialFile kind) {
    switch (kind) {
        case SpecialFile::Fifo:
            return ::mkfifo(path.c_str(), 0600) == 0;
        case SpecialFile::DevZeroLink:
            return ::symlink("/dev/zero", path.c_str()) == 0;
        case SpecialFile::Folder:
            return std::filesystem::create_directory(path);
    }
    return false;
}

// A settings-like file of one line of `megabytes` MB: "[section]\nkey=xxxx...".
inline void writeHugeLine(const std::filesystem::path& path, const std::string& section,
                          const std::string& key, std::size_t megabytes) {
    std::ofstream out(path, std::ios::binary);
    out << "[" << section << "]\n" << key << "=" << std::string(megabytes << 20, 'x') << "\n";
}

// Runs fn and ends the test program with a message when it has not returned within the
// limit.
template <class F>
void finishesWithin(std::chrono::milliseconds limit, const std::string& what, F&& fn) {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread worker([&] {
        fn();
        std::lock_guard<std::mutex> lock(m);
        done = true;
        cv.notify_one();
    });
    std::unique_lock<std::mutex> lock(m);
    if (!cv.wait_for(lock, limit, [&] { return done; })) {
        std::fprintf(stderr, "FAILED: %s did not finish within %lld ms\n", what.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    lock.unlock();
    worker.join();
}

}  // namespace testing_support
