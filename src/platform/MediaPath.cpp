#include "platform/MediaPath.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace vellumar {

namespace {

std::vector<std::string> components(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos < path.size()) {
        const std::size_t next = path.find('/', pos);
        const std::size_t end = next == std::string_view::npos ? path.size() : next;
        if (end > pos) parts.emplace_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::string joinRest(std::string_view mountPoint, const std::vector<std::string>& parts,
                     std::size_t from) {
    std::string out(mountPoint);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    for (std::size_t i = from; i < parts.size(); ++i) {
        if (out.empty() || out.back() != '/') out += '/';
        out += parts[i];
    }
    return out.empty() ? "/" : out;
}

// Lengths (in components) of the mount prefixes that the recorded path could have.
std::vector<std::size_t> prefixLengths(const std::vector<std::string>& parts) {
    std::vector<std::size_t> lengths;
    if (parts.empty()) return lengths;
    if ((parts[0] == "media" || parts[0] == "mnt") && parts.size() >= 2) lengths.push_back(2);
    if (parts[0] == "media" && parts.size() >= 3) lengths.push_back(3);
    if (parts[0] == "run" && parts.size() >= 4 && parts[1] == "media") lengths.push_back(4);
    return lengths;
}

bool isUnder(std::string_view path, std::string_view folder) {
    if (folder == "/") return true;
    if (path.substr(0, folder.size()) != folder) return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

}  // namespace

std::string retargetToMount(std::string_view recordedPath, std::string_view mountPoint) {
    std::string recorded(recordedPath);
    if (recorded.empty() || mountPoint.empty() || isUnder(recorded, mountPoint) || exists(recorded))
        return recorded;
    const auto parts = components(recorded);
    auto lengths = prefixLengths(parts);
    if (lengths.empty()) return recorded;

    const std::size_t preferred = components(mountPoint).size();
    std::stable_partition(lengths.begin(), lengths.end(),
                          [&](std::size_t n) { return n == preferred; });
    for (std::size_t n : lengths) {
        const std::string candidate = joinRest(mountPoint, parts, n);
        if (exists(candidate)) return candidate;
    }
    return joinRest(mountPoint, parts, lengths.front());
}

std::string mountPointOf(std::string_view path) {
    std::error_code ec;
    std::string target =
        std::filesystem::weakly_canonical(std::filesystem::path(path), ec).string();
    if (ec || target.empty()) target = std::string(path);

    std::ifstream mountinfo("/proc/self/mountinfo");
    std::string line;
    std::string best = "/";
    while (std::getline(mountinfo, line)) {
        // Fields: id parent major:minor root mount-point options ...
        std::istringstream fields(line);
        std::string id, parent, device, root, mount;
        if (!(fields >> id >> parent >> device >> root >> mount)) continue;
        // Mount points with blanks are written with octal escapes.
        std::string decoded;
        for (std::size_t i = 0; i < mount.size(); ++i) {
            if (mount[i] == '\\' && i + 3 < mount.size()) {
                const std::string octal = mount.substr(i + 1, 3);
                if (octal.size() == 3 && octal.find_first_not_of("01234567") == std::string::npos) {
                    decoded += static_cast<char>(std::stoi(octal, nullptr, 8));
                    i += 3;
                    continue;
                }
            }
            decoded += mount[i];
        }
        if (isUnder(target, decoded) && decoded.size() > best.size()) best = decoded;
    }
    return best;
}

}  // namespace vellumar
