#include "scope/MountedVolumes.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <system_error>

namespace vellumar {

namespace {

// File systems that hold no user's files.
constexpr std::array<std::string_view, 27> kPseudoFileSystems = {
    "proc",        "sysfs",       "devtmpfs",  "devpts",     "cgroup",
    "cgroup2",     "securityfs",  "debugfs",   "tracefs",    "configfs",
    "fusectl",     "mqueue",      "hugetlbfs", "pstore",     "bpf",
    "autofs",      "binfmt_misc", "efivarfs",  "rpc_pipefs", "nsfs",
    "ramfs",       "squashfs",    "selinuxfs", "nfsd",       "fuse.gvfsd-fuse",
    "fuse.portal", "tmpfs"};

bool under(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
            path[folder.size()] == '/');
}

bool systemMountPoint(std::string_view point) {
    for (std::string_view folder : {"/proc", "/sys", "/dev"})
        if (under(point, folder)) return true;
    // /run holds the system's runtime state; removable media are mounted under /run/media.
    return under(point, "/run") && !under(point, "/run/media");
}

// mountinfo writes a blank, tab, newline and backslash as \040, \011, \012 and \134.
std::string unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                        [](char c) { return c >= '0' && c <= '7'; })) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool readLine(const std::string& line, MountedVolume& volume) {
    std::istringstream in(line);
    std::vector<std::string> fields{std::istream_iterator<std::string>(in), {}};
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const auto dash = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 6 || dash == fields.end() || dash - fields.begin() < 6 ||
        fields.end() - dash < 3)
        return false;
    volume.mountPoint = unescape(fields[4]);
    volume.fileSystem = *(dash + 1);
    volume.source = unescape(*(dash + 2));
    const std::string options = "," + fields[5] + ",";
    volume.readOnly = options.find(",ro,") != std::string::npos;
    return !volume.mountPoint.empty() && volume.mountPoint.front() == '/';
}

}  // namespace

std::vector<MountedVolume> parseMountInfo(std::string_view text) {
    std::map<std::string, MountedVolume> byPoint;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        MountedVolume volume;
        if (!readLine(line, volume)) continue;
        const bool pseudo = std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(),
                                      volume.fileSystem) != kPseudoFileSystems.end();
        // A later mount over the same point hides the earlier one, whatever it is.
        if (pseudo || systemMountPoint(volume.mountPoint))
            byPoint.erase(volume.mountPoint);
        else
            byPoint[volume.mountPoint] = std::move(volume);
    }
    std::vector<MountedVolume> volumes;
    for (auto& [point, volume] : byPoint) volumes.push_back(std::move(volume));
    return volumes;  // the map's order puts "/" first
}

std::vector<MountedVolume> mountedVolumes() {
    std::ifstream in("/proc/self/mountinfo");
    std::vector<MountedVolume> volumes;
    if (in) {
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        for (MountedVolume& volume : parseMountInfo(text)) {
            // Single files bound into place (a container's /etc/hosts) are no volumes.
            std::error_code ec;
            if (std::filesystem::is_directory(volume.mountPoint, ec))
                volumes.push_back(std::move(volume));
        }
    }
    if (volumes.empty() || volumes.front().mountPoint != "/")
        volumes.insert(volumes.begin(), MountedVolume{"/", "", "", false});
    return volumes;
}

int volumeOfPath(const std::vector<MountedVolume>& volumes, std::string_view path) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(volumes.size()); ++i) {
        const std::string& point = volumes[static_cast<std::size_t>(i)].mountPoint;
        const bool covers =
            point == "/" ? !path.empty() && path.front() == '/' : under(path, point);
        if (covers &&
            (best < 0 || point.size() > volumes[static_cast<std::size_t>(best)].mountPoint.size()))
            best = i;
    }
    return best;
}

}  // namespace vellumar
