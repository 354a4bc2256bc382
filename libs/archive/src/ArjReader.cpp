// arj archives through the arj program. Members are extracted without their folders
// ("arj e") into a private staging folder inside the target, so that no name stored in
// the archive can point outside; the listing's totals are checked against the limits
// before anything is extracted; only regular files are moved into place.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "ArchiveKinds.h"
#include "FolderWriter.h"
#include "wordmill/ProcessRunner.h"

namespace arcread {

namespace {

struct Totals {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

// The summary line of "arj l": "     2 files         12         12 1.000".
std::optional<Totals> parseListing(const std::string& listing) {
    std::istringstream lines(listing);
    std::string line;
    std::optional<Totals> totals;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::uint64_t files = 0, bytes = 0;
        std::string label;
        if (words >> files >> label >> bytes && (label == "files" || label == "file"))
            totals = Totals{files, bytes};
    }
    return totals;
}

class ArjReader : public ArchiveReader {
  public:
    ArjReader(std::filesystem::path path, const Limits& limits, std::filesystem::path program,
              std::chrono::milliseconds timeLimit)
        : ArchiveReader(std::move(path)),
          limits_(limits),
          program_(std::move(program)),
          timeLimit_(timeLimit) {}

    // Lists the archive; nothing when arj cannot read it.
    std::optional<Totals> totals() {
        wordmill::ProgramCall call;
        call.program = program_;
        call.arguments = {"l", absolute()};
        call.captureOutput = true;
        call.outputLimit = 64u << 20;
        call.timeLimit = timeLimit_;
        call.keepGoing = keepGoingCallback();
        const wordmill::ProgramResult r = wordmill::runProgram(call);
        cancelled_ = r.cancelled;
        if (!r.succeeded()) return std::nullopt;
        if (auto t = parseListing(r.output)) return t;
        return Totals{};  // an empty archive has no summary line
    }

    UnpackResult UnpackMatching(const std::vector<std::string>& masks,
                                const std::filesystem::path& folder) override {
        UnpackResult result;
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        Staging staging(folder);
        const Status s = extractAll(staging.path);
        if (s != Status::Ok) return unpackFailure(s);
        for (const auto& item : std::filesystem::directory_iterator(staging.path, ec)) {
            if (!keepGoing()) {
                result.status = Status::Cancelled;
                return result;
            }
            const std::string name = item.path().filename().string();
            struct stat st;
            if (::lstat(item.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
                ++result.skippedUnsafe;
                continue;
            }
            ++result.members;
            if (!matchesAny(name, masks)) continue;
            std::error_code moved;
            std::filesystem::rename(item.path(), folder / name, moved);
            if (moved) {
                if (const char* why = refusedNameReason(moved.value())) {
                    result.skipped.push_back({name, why});
                    continue;
                }
                result.status = Status::WriteFailed;
                return result;
            }
            ++result.unpacked;
        }
        return result;
    }

    Status ExtractMember(const std::string& member, const std::filesystem::path& file) override {
        const std::optional<std::string> wanted = safeMemberPath(member);
        if (!wanted) return Status::NotFound;
        std::error_code ec;
        const std::filesystem::path parent = file.has_parent_path() ? file.parent_path() : ".";
        std::filesystem::create_directories(parent, ec);
        Staging staging(parent);
        const Status s = extractAll(staging.path);
        if (s != Status::Ok) return s;
        const std::optional<std::filesystem::path> found =
            findFlat(staging.path, baseName(*wanted));
        if (!found) return Status::NotFound;
        std::filesystem::rename(*found, file, ec);
        return ec ? Status::WriteFailed : Status::Ok;
    }

    Status ReadMember(const std::string& member, std::size_t maxBytes, std::string& out) override {
        out.clear();
        const std::optional<std::string> wanted = safeMemberPath(member);
        if (!wanted) return Status::NotFound;
        std::error_code ec;
        Staging staging(std::filesystem::temp_directory_path(ec));
        const Status s = extractAll(staging.path);
        if (s != Status::Ok) return s;
        const std::optional<std::filesystem::path> found =
            findFlat(staging.path, baseName(*wanted));
        if (!found) return Status::NotFound;
        if (std::filesystem::file_size(*found, ec) > maxBytes) return Status::TooLarge;
        std::FILE* f = std::fopen(found->c_str(), "rb");
        if (!f) return Status::WriteFailed;
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
        std::fclose(f);
        return Status::Ok;
    }

    std::vector<std::string> MemberNames() override {
        std::vector<std::string> names;
        std::error_code ec;
        Staging staging(std::filesystem::temp_directory_path(ec));
        if (extractAll(staging.path) != Status::Ok) return names;
        for (const auto& item : std::filesystem::directory_iterator(staging.path, ec))
            if (item.is_regular_file(ec) && !item.is_symlink(ec))
                names.push_back(item.path().filename().string());
        return names;
    }

  private:
    // A private folder that is removed with everything in it.
    struct Staging {
        std::filesystem::path path;
        explicit Staging(const std::filesystem::path& parent) {
            std::string pattern = (parent / ".arj-XXXXXX").string();
            if (::mkdtemp(pattern.data())) path = pattern;
        }
        ~Staging() {
            std::error_code ec;
            if (!path.empty()) std::filesystem::remove_all(path, ec);
        }
    };

    std::string absolute() const {
        std::error_code ec;
        return std::filesystem::absolute(path(), ec).string();
    }

    Status extractAll(const std::filesystem::path& staging) {
        if (staging.empty()) return Status::WriteFailed;
        const std::optional<Totals> t = totals();
        if (!t) return cancelled_ ? Status::Cancelled : Status::Damaged;
        if (t->files > limits_.maxMembers || t->bytes > limits_.maxTotalBytes)
            return Status::TooLarge;
        wordmill::ProgramCall call;
        call.program = program_;
        // e: without folders; -y: yes to every question (never waits for input);
        // -i: no progress display; the target folder ends with "/".
        std::error_code ec;
        call.arguments = {"e", "-y", "-i", absolute(),
                          std::filesystem::absolute(staging, ec).string() + "/"};
        call.timeLimit = timeLimit_;
        call.keepGoing = keepGoingCallback();
        const wordmill::ProgramResult r = wordmill::runProgram(call);
        if (r.cancelled) return Status::Cancelled;
        if (!r.succeeded()) return Status::Damaged;
        return Status::Ok;
    }

    static std::optional<std::filesystem::path> findFlat(const std::filesystem::path& folder,
                                                         const std::string& name) {
        std::error_code ec;
        std::optional<std::filesystem::path> caseMatch;
        for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
            struct stat st;
            if (::lstat(item.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            const std::string file = item.path().filename().string();
            if (file == name) return item.path();
            if (!caseMatch && sameNameIgnoringCase(file, name)) caseMatch = item.path();
        }
        return caseMatch;
    }

    Limits limits_;
    std::filesystem::path program_;
    std::chrono::milliseconds timeLimit_;
    bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<ArchiveReader> openArj(const std::filesystem::path& archive, const Limits& limits,
                                       const ToolSettings& tools) {
    const auto program = wordmill::findProgram("arj", tools.programFolder);
    if (!program) return nullptr;  // without arj, arj archives are skipped
    auto reader = std::make_unique<ArjReader>(archive, limits, *program, tools.timeLimit);
    if (!reader->totals()) return nullptr;
    return reader;
}

}  // namespace arcread
