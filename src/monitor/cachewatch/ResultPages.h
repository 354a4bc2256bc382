// The result pages of the Cache Watcher on disk: "1.tmp", "2.tmp", ... in the home's
// "Cache Watcher" folder, numbered by a counter that starts at 0 in every run (files of an
// earlier run are overwritten or purged), and the purge of the pages that the display's
// history of 20 pages no longer holds.
//
// Owned by the CacheWatcher; main thread only.
#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace vellumar::cachewatch {

class ResultPages {
  public:
    explicit ResultPages(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Writes the page as the next numbered file (the folder is made when missing) and
    // returns its path; when that fails, the counter is taken back and the page to show
    // instead (an error page) is returned.
    std::variant<std::filesystem::path, std::string> write(const std::string& page);

    int counter() const { return counter_; }
    const std::filesystem::path& folder() const { return folder_; }

    // Called when the display's history changed (entries newest first, position the one
    // shown). Purges when the history is empty or its newest entry is new.
    struct Buttons {
        bool back = false;     // cmdCWBack
        bool forward = false;  // cmdCWForward
    };
    Buttons historyChanged(const std::vector<std::string>& history, int position);

    // Deletes every "*.tmp" file (not folder) of the folder whose path is not in history.
    // History entries may be paths or file: addresses. Returns how many were deleted.
    int PurgeResultPages(const std::vector<std::string>& history) const;

  private:
    std::filesystem::path folder_;
    int counter_ = 0;
    std::string lastNewest_;
};

}  // namespace vellumar::cachewatch
