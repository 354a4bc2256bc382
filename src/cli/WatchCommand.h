// `vellumar-cli watch`: automatic updating without a window. It holds the home (the window
// and a second watcher are refused while it runs, and it is refused while the window
// runs), brings every automatically updateable index up to date, then polls their folders
// as the window's notifier thread does and updates each changed folder through the same
// core handler, printing one line per update. SIGINT and SIGTERM end it after the update
// that runs.
//
// Thread: the main thread, which here is also the notifier's polling thread.
#pragma once

#include <chrono>
#include <cstdio>

namespace vellumar::cli {

class Session;

struct WatchOptions {
    std::chrono::milliseconds pollInterval{500};
};

// Returns 0 after a clean end, 1 when the home is held elsewhere or nothing can be watched.
int watchIndexes(Session& session, std::FILE* out, const WatchOptions& options = {});

// Ends a running watch after its current pass (the signal handlers call it; tests too).
void requestWatchStop();

}  // namespace vellumar::cli
