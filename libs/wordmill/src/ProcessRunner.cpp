#include "wordmill/ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace wordmill {

namespace {

using Clock = std::chrono::steady_clock;

class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void release() { fd_ = -1; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

// Owns the spawn attributes and file actions for one start.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

std::vector<char*> makeArgv(const std::filesystem::path& program,
                            const std::vector<std::string>& arguments,
                            std::vector<std::string>& store) {
    store.clear();
    store.push_back(program.string());
    store.insert(store.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : store) argv.push_back(s.data());
    argv.push_back(nullptr);
    return argv;
}

// The child in its own process group, with default signal handling, so that a kill at
// the time limit reaches whatever it started too.
void prepareSpawn(SpawnSetup& setup, int stdoutFd, const std::filesystem::path& workingFolder) {
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&setup.actions, stdoutFd, 1);
    else
        posix_spawn_file_actions_addopen(&setup.actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&setup.actions, workingFolder.c_str());
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGCHLD);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(
        &setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
}

int openPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

bool writeFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool isExecutableFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::filesystem::path> findProgram(const std::string& name,
                                                 const std::filesystem::path& preferredFolder) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (isExecutableFile(name)) return std::filesystem::path(name);
        return std::nullopt;
    }
    if (!preferredFolder.empty() && isExecutableFile(preferredFolder / name))
        return preferredFolder / name;
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty() && isExecutableFile(std::filesystem::path(dir) / name))
            return std::filesystem::path(dir) / name;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

ProgramResult runProgram(const ProgramCall& call) {
    ProgramResult result;
    Fd readEnd;
    Fd writeEnd;
    Fd outputFile;
    if (call.captureOutput && !call.outputFile.empty()) {
        outputFile.reset(::open(call.outputFile.c_str(),
                                O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (outputFile.get() < 0) {
            result.startError = errno;
            result.outputFileFailed = true;
            return result;
        }
    }
    if (call.captureOutput) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            result.startError = errno;
            return result;
        }
        readEnd.reset(fds[0]);
        writeEnd.reset(fds[1]);
    }

    SpawnSetup setup;
    prepareSpawn(setup, writeEnd.get(), call.workingFolder);
    std::vector<std::string> store;
    std::vector<char*> argv = makeArgv(call.program, call.arguments, store);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, call.program.c_str(), &setup.actions, &setup.attributes,
                                 argv.data(), environ);
    writeEnd.reset();
    if (rc != 0) {
        result.startError = rc;
        return result;
    }
    result.started = true;

    const Clock::time_point deadline = Clock::now() + call.timeLimit;
    Fd pidFd(openPidFd(pid));
    int status = 0;
    bool reaped = false;
    char buffer[65536];
    const auto stopProgram = [&] {
        ::kill(-pid, SIGKILL);
        if (!reaped) ::kill(pid, SIGKILL);
    };

    for (;;) {
        if (reaped && readEnd.get() < 0) break;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            stopProgram();
            result.timedOut = true;
            break;
        }
        if (call.keepGoing && !call.keepGoing()) {
            stopProgram();
            result.cancelled = true;
            break;
        }
        pollfd fds[2];
        nfds_t count = 0;
        int readSlot = -1;
        int pidSlot = -1;
        if (readEnd.get() >= 0)
            readSlot = static_cast<int>(count), fds[count++] = {readEnd.get(), POLLIN, 0};
        if (!reaped && pidFd.get() >= 0)
            pidSlot = static_cast<int>(count), fds[count++] = {pidFd.get(), POLLIN, 0};
        // Without a pidfd (old kernels) the child is looked at every 20 ms.
        const bool watchByPolling = !reaped && pidFd.get() < 0;
        const long long cap = watchByPolling ? 20 : call.keepGoing ? 100 : 1000;
        const int wait = static_cast<int>(std::min<long long>(left.count(), cap));
        int ready = 0;
        if (count)
            ready = ::poll(fds, count, wait);
        else
            ::usleep(static_cast<useconds_t>(wait) * 1000);
        if (ready < 0 && errno != EINTR) break;
        if (readSlot >= 0 && (fds[readSlot].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::read(readEnd.get(), buffer, sizeof buffer);
            if (n > 0) {
                const std::size_t room = call.outputLimit > result.outputBytes
                                             ? call.outputLimit - result.outputBytes
                                             : 0;
                const std::size_t take = std::min<std::size_t>(room, static_cast<std::size_t>(n));
                if (outputFile.get() >= 0) {
                    if (!writeFully(outputFile.get(), buffer, take)) {
                        // A full disk: what the program says next cannot be kept either.
                        result.outputFileFailed = true;
                        stopProgram();
                        readEnd.reset();
                        continue;
                    }
                } else {
                    result.output.append(buffer, take);
                }
                result.outputBytes += take;
                if (take < static_cast<std::size_t>(n)) {
                    // More output than anyone can use: stop the program now.
                    result.outputTruncated = true;
                    stopProgram();
                    readEnd.reset();
                }
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                readEnd.reset();
            }
        }
        if (!reaped && (watchByPolling || (pidSlot >= 0 && (fds[pidSlot].revents & POLLIN)))) {
            if (::waitpid(pid, &status, WNOHANG) == pid) reaped = true;
        }
    }
    if (!reaped) {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (outputFile.get() >= 0 && ::close(outputFile.get()) != 0) result.outputFileFailed = true;
    outputFile.release();
    if (!result.timedOut && !result.cancelled && WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

int startDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP);
    std::vector<std::string> store;
    std::vector<char*> argv = makeArgv(program, arguments, store);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes,
                                 argv.data(), environ);
    if (rc != 0) return rc;
    // The tool outlives the call; a waiting thread reaps it so no zombie stays behind.
    std::thread([pid] {
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

}  // namespace wordmill
