// The list of documents that failed to index during one build ("Files.log" after it):
// one line per failure, each the document's name and, mostly, a short reason.
//
// A line is kept once however often it is reported (a document met through two patterns
// fails once), and control characters in it (a line break in an archive member's name)
// are written as \xNN, so that every entry stays one line of the file.
//
// Owned by the build that runs; touched only by the thread that holds the notifier lock
// (the main thread in a build, the notifier thread in an automatic update).
#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

namespace vellumar {

class ErrorLog {
  public:
    void report(std::string line);
    void clear() {
        lines_.clear();
        seen_.clear();
    }
    bool empty() const { return lines_.empty(); }
    std::size_t size() const { return lines_.size(); }
    const std::vector<std::string>& lines() const { return lines_; }

    // One line per entry, each ended by a line feed; false when it cannot be written.
    bool save(const std::filesystem::path& file) const;

  private:
    std::vector<std::string> lines_;
    std::unordered_set<std::string> seen_;
};

inline constexpr const char* kErrorLogFileName = "Files.log";

}  // namespace vellumar
