// Starting the desktop's programs (xdg-open, a file's application, the file manager):
// always with an argument vector through posix_spawnp, never through a shell, in a session
// of their own with standard input, output and error on /dev/null. The caller may wait a
// moment for the program to end, to learn how an opener fared; a program still running
// after that is left to run and reaped when it ends.
//
// Launcher is the seam the tests replace; SystemLauncher() is the real one and may be
// used from any thread.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace doorwell {

struct LaunchResult {
    int startError = 0;     // errno when the program could not be started, else 0
    bool finished = false;  // it ended within the wait
    int exitStatus = -1;    // its exit status when it ended normally, -1 after a signal
};

class Launcher {
  public:
    virtual ~Launcher() = default;
    // argv[0] is looked up on the PATH. Waits at most `wait` for the program to end.
    virtual LaunchResult Launch(const std::vector<std::string>& argv,
                                std::chrono::milliseconds wait) = 0;
};

Launcher& SystemLauncher();

}  // namespace doorwell
