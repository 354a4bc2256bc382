#include "doorwell/Launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace doorwell {

namespace {

class PosixLauncher : public Launcher {
  public:
    LaunchResult Launch(const std::vector<std::string>& argv,
                        std::chrono::milliseconds wait) override {
        LaunchResult result;
        if (argv.empty() || argv[0].empty()) {
            result.startError = ENOENT;
            return result;
        }
        std::vector<char*> args;
        args.reserve(argv.size() + 1);
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawnattr_t attributes;
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        for (int fd = 0; fd <= 2; ++fd)
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                             fd == 0 ? O_RDONLY : O_WRONLY, 0);
        // A session of its own: the application outlives the program that opened it and
        // never reads the terminal.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        pid_t pid = 0;
        const int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (error != 0) {
            result.startError = error;
            return result;
        }

        const auto deadline = std::chrono::steady_clock::now() + wait;
        for (;;) {
            int status = 0;
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid) {
                result.finished = true;
                result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return result;
            }
            if (done < 0 && errno != EINTR) return result;  // not ours to wait for any more
            if (std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // Still running (an opener that stays with its application): reap it later.
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        return result;
    }
};

}  // namespace

Launcher& SystemLauncher() {
    static PosixLauncher launcher;
    return launcher;
}

}  // namespace doorwell
