#include "platform/Priority.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>

namespace vellumar {

namespace {

constexpr int kIdleNice = 19;
// ioprio_set(2): class in the top bits, level below.
constexpr int kIoprioWhoProcess = 1;
constexpr int kIoprioClassShift = 13;
constexpr int kIoprioClassBestEffort = 2;
constexpr int kIoprioClassIdle = 3;

std::mutex gMutex;
std::atomic<PriorityClass> gCurrent{PriorityClass::Normal};
int gNormalNice = 0;
bool gNormalNiceKnown = false;

void setIoClass(int ioClass, int level) {
    // Errors ignored on purpose: an old kernel or a scheduler without I/O classes simply
    // keeps the I/O priority it has.
    ::syscall(SYS_ioprio_set, kIoprioWhoProcess, 0, (ioClass << kIoprioClassShift) | level);
}

// On Linux the nice value belongs to each thread; a process-wide change walks all of them.
void setNiceOfAllThreads(int nice) {
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks) {
        ::setpriority(PRIO_PROCESS, 0, nice);
        return;
    }
    while (dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        char* end = nullptr;
        const long tid = std::strtol(entry->d_name, &end, 10);
        if (end && *end == 0 && tid > 0) ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice);
    }
    ::closedir(tasks);
}

bool canRestore(int normalNice) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NICE, &limit) == 0) {
        // The lowest nice value allowed is 20 - rlim_cur.
        const long floor = 20 - static_cast<long>(limit.rlim_cur);
        if (limit.rlim_cur == RLIM_INFINITY || normalNice >= floor) return true;
    }
    return ::geteuid() == 0;
}

}  // namespace

bool ProcessPriority::cpuSwitchIsReversible() {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    return errno == 0 && canRestore(nice);
}

void ProcessPriority::set(PriorityClass priority) {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gCurrent.load() == priority) return;
    if (priority == PriorityClass::Idle) {
        errno = 0;
        const int nice = ::getpriority(PRIO_PROCESS, 0);
        if (errno == 0) {
            gNormalNice = nice;
            gNormalNiceKnown = true;
        }
        if (gNormalNiceKnown && canRestore(gNormalNice) && gNormalNice < kIdleNice)
            setNiceOfAllThreads(kIdleNice);
        setIoClass(kIoprioClassIdle, 0);
    } else {
        if (gNormalNiceKnown && canRestore(gNormalNice)) setNiceOfAllThreads(gNormalNice);
        setIoClass(kIoprioClassBestEffort, 4);
    }
    gCurrent.store(priority);
}

PriorityClass ProcessPriority::current() { return gCurrent.load(); }

}  // namespace vellumar
