#include "monitor/cachewatch/ResultPages.h"

#include <fstream>
#include <set>
#include <system_error>

#include "monitor/cachewatch/CacheWatcherPages.h"

namespace fs = std::filesystem;

namespace vellumar::cachewatch {

namespace {

// A history entry as a comparable path: "file://" addresses lose their scheme.
fs::path entryPath(const std::string& entry) {
    std::string path = entry;
    if (path.rfind("file://", 0) == 0) path = path.substr(7);
    return fs::path(path).lexically_normal();
}

}  // namespace

std::variant<fs::path, std::string> ResultPages::write(const std::string& page) {
    ++counter_;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const fs::path file = folder_ / (std::to_string(counter_) + ".tmp");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        --counter_;
        return std::string(kCannotCreateResultFilePage);
    }
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    out.close();
    if (!out) {
        --counter_;
        return std::string(kCannotWriteResultFilePage);
    }
    return file;
}

ResultPages::Buttons ResultPages::historyChanged(const std::vector<std::string>& history,
                                                 int position) {
    Buttons buttons;
    const int count = static_cast<int>(history.size());
    buttons.forward = position > 0;
    buttons.back = position < count - 1;
    if (history.empty()) {
        PurgeResultPages(history);
    } else if (history.front() != lastNewest_) {
        lastNewest_ = history.front();
        PurgeResultPages(history);
    }
    return buttons;
}

int ResultPages::PurgeResultPages(const std::vector<std::string>& history) const {
    std::set<fs::path> kept;
    for (const std::string& entry : history) kept.insert(entryPath(entry));
    std::vector<fs::path> doomed;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->path().extension() != ".tmp" || !it->is_regular_file(typeError) ||
            it->is_symlink(typeError))
            continue;
        if (!kept.count(it->path().lexically_normal())) doomed.push_back(it->path());
    }
    int deleted = 0;
    for (const fs::path& file : doomed) {
        std::error_code removeError;
        if (fs::remove(file, removeError)) ++deleted;
    }
    return deleted;
}

}  // namespace vellumar::cachewatch
