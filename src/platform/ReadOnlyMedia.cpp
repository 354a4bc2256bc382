#include "platform/ReadOnlyMedia.h"

#include "platform/MediaPath.h"

#include <sys/statvfs.h>
#include <fstream>
#include <sstream>
#include <string>

namespace vellumar {

namespace {

bool hasOption(std::string_view options, std::string_view wanted) {
    std::size_t pos = 0;
    while (pos <= options.size()) {
        const std::size_t comma = options.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? options.size() : comma;
        if (options.substr(pos, end - pos) == wanted) return true;
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return false;
}

}  // namespace

bool isReadOnlyMount(std::string_view fileSystemType, std::string_view mountOptions) {
    if (fileSystemType == "iso9660" || fileSystemType == "udf" || fileSystemType == "squashfs")
        return true;
    return hasOption(mountOptions, "ro");
}

bool isOnReadOnlyMedia(const std::filesystem::path& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) == 0 && (info.f_flag & ST_RDONLY)) return true;

    // statvfs already sees read-only mounts; the type check catches optical media that a
    // driver reports writable (an overlay or a packet-writing udf).
    const std::string mount = mountPointOf(folder.string());
    std::ifstream mountinfo("/proc/self/mountinfo");
    std::string line;
    std::string type;
    while (std::getline(mountinfo, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point, options;
        if (!(fields >> id >> parent >> device >> root >> point >> options)) continue;
        if (point != mount) continue;
        // Optional fields run up to a lone "-", then the type follows.
        std::string field;
        while (fields >> field && field != "-") {
        }
        if (fields >> field) type = field;  // the last mount on that point wins
    }
    return type == "iso9660" || type == "udf";
}

}  // namespace vellumar
