// The archive reading component: opens an archive by its name, unpacks the members
// that match a list of file masks into a folder (reporting how many), extracts one
// member into a file, or reads one member into memory (for .docx, .odt and .epub).
//
// Safety: nothing is ever written outside the given folder. Members named with "..",
// with an absolute path or a drive, symbolic and hard links, devices and the like are
// skipped. An archive that would unpack more than the byte or member limit (1 GiB,
// 100,000 members) is a bomb: the operation stops and removes what it wrote. Encrypted
// members are skipped and damaged archives reported, never a crash.
//
// Formats: zip, rar, cab, 7z, tar and compressed tar through libarchive; arj through the
// arj program when it is installed (its members come out without their folders).
//
// Ownership: the caller owns the reader; it holds no open file between calls.
// Thread: one thread at a time per reader.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace arcread {

struct Limits {
    std::uint64_t maxTotalBytes = 1ull << 30;
    std::size_t maxMembers = 100000;
};

struct ToolSettings {
    std::filesystem::path programFolder;  // an arj there wins over the PATH
    std::chrono::milliseconds timeLimit{60000};
};

enum class Status {
    Ok,
    OpenFailed,   // missing, unreadable, or not an archive of a supported kind
    Damaged,      // a header or data that cannot be read
    Encrypted,    // at least one wanted member is encrypted (and was skipped)
    TooLarge,     // beyond the limits: a bomb; what was written is removed again
    WriteFailed,  // the folder or file could not be written
    NotFound,     // no member of that name
};

const char* StatusText(Status status);

struct UnpackResult {
    Status status = Status::Ok;
    std::size_t unpacked = 0;       // files written (and left in place)
    std::size_t skippedUnsafe = 0;  // links, ".." and absolute names, devices
    bool ok() const { return status == Status::Ok; }
};

class ArchiveReader {
  public:
    virtual ~ArchiveReader() = default;

    // Opens by extension (without regard to case): .zip .rar .cab .7z .tar .tgz .gz .bz2
    // .xz .arj and the OOXML/ODF/EPUB containers (.docx .xlsx .pptx .odt .ods .odp
    // .epub). Nothing when the file is missing, of another kind, or cannot be read.
    static std::unique_ptr<ArchiveReader> Open(const std::filesystem::path& archive,
                                               const Limits& limits = {},
                                               const ToolSettings& tools = {});
    static bool IsSupportedName(const std::filesystem::path& archive);

    // Unpacks the members whose file name (without folders) matches one of the masks
    // ("*.txt", "report?.doc"; "*" and "*.*" match all) into folder, keeping the
    // archive's subfolders. The folder is created when missing.
    virtual UnpackResult UnpackMatching(const std::vector<std::string>& masks,
                                        const std::filesystem::path& folder) = 0;

    // Writes the member named `member` ("sub/readme.txt"; compared exactly, then
    // without regard to case) into file (replaced).
    virtual Status ExtractMember(const std::string& member, const std::filesystem::path& file) = 0;

    // The member's contents, at most maxBytes (more is TooLarge).
    virtual Status ReadMember(const std::string& member, std::size_t maxBytes,
                              std::string& out) = 0;

    // The safe member names of regular files, in archive order.
    virtual std::vector<std::string> MemberNames() = 0;

    const std::filesystem::path& path() const { return path_; }

  protected:
    explicit ArchiveReader(std::filesystem::path path) : path_(std::move(path)) {}

  private:
    std::filesystem::path path_;
};

// A member name made safe for writing below a folder: "\" read as "/", "." and empty
// parts dropped; nothing for absolute names, drive names, ".." parts or NUL.
std::optional<std::string> SafeMemberPath(const std::string& raw);

// Whether a file name matches a mask (* and ?, without regard to case).
bool MatchesMask(const std::string& fileName, const std::string& mask);

}  // namespace arcread
