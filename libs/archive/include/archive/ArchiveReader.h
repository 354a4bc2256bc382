// The archive reading component: opens an archive by its name, unpacks the members
// that match a list of file masks into a folder (reporting how many), extracts one
// member into a file, or reads one member into memory (for .docx, .odt and .epub); and
// decompresses a file compressed as a whole (.gz, .bz2, .xz, .zst) into the document
// inside.
//
// Safety: nothing is ever written outside the given folder. Members named with "..",
// with an absolute path or a drive, symbolic and hard links, devices and the like are
// skipped. An archive that would unpack more than the byte or member limit (1 GiB,
// 100,000 members) is a bomb: where the format keeps a directory that is cheap to read
// (zip, 7z, rar, cab, plain tar, and arj's listing) the limits are checked against it
// before anything is written; in compressed streams (.tar.gz and the like) they are
// counted as the members come. Either way the operation stops and removes what it
// wrote. Encrypted members are skipped and damaged archives reported, never a crash. A
// member whose name the file system refuses (too long, say) is skipped and named in the
// result; the members after it are still unpacked.
//
// Cancellation: a KeepGoing callback, when set, is asked between members and now and
// then within a large one (and while outside programs run); when it answers false the
// operation stops within moments and reports Cancelled. The complete members it wrote
// stay for the caller to remove: deleting ninety thousand files takes seconds, longer
// than a cancel may take.
//
// Formats: zip, rar, cab, 7z, tar and compressed tar (.tar.gz, .tgz, .tar.bz2, .tar.xz,
// .tar.zst, ...) through libarchive; arj through the arj program when it is installed
// (its members come out without their folders).
//
// Ownership: the caller owns the reader; it holds no open file between calls.
// Thread: one thread at a time per reader.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
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
    Cancelled,    // the KeepGoing callback said stop; complete members written stay
};

const char* StatusText(Status status);

// Asked between members; false stops the operation (see Cancellation above).
using KeepGoing = std::function<bool()>;

// A member left out for a reason of its own while the others were unpacked.
struct MemberProblem {
    std::string member;  // its safe path in the archive ("sub/long...name.txt")
    std::string reason;  // a short English reason for the log
};

struct UnpackResult {
    Status status = Status::Ok;
    std::size_t unpacked = 0;            // files written (and left in place)
    std::size_t skippedUnsafe = 0;       // links, ".." and absolute names, devices
    std::size_t members = 0;             // regular files met in the archive, matching or not
    std::vector<MemberProblem> skipped;  // members the file system refused
    bool ok() const { return status == Status::Ok; }
};

class ArchiveReader {
  public:
    virtual ~ArchiveReader() = default;

    // Opens by name (without regard to case): .zip .rar .cab .7z .tar, compressed tar
    // (.tar.gz .tgz .tar.bz2 .tbz2 .tar.xz .txz .tar.zst ...), single compressed files
    // (.gz .bz2 .xz .zst, holding one member named without the suffix), .arj and the
    // OOXML/ODF/EPUB containers (.docx .xlsx .pptx .odt .ods .odp .epub). Nothing when the
    // file is missing, of another kind, or cannot be read.
    static std::unique_ptr<ArchiveReader> Open(const std::filesystem::path& archive,
                                               const Limits& limits = {},
                                               const ToolSettings& tools = {});
    static bool IsSupportedName(const std::filesystem::path& archive);

    void SetKeepGoing(KeepGoing keepGoing) { keepGoing_ = std::move(keepGoing); }

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
    bool keepGoing() const { return !keepGoing_ || keepGoing_(); }
    const KeepGoing& keepGoingCallback() const { return keepGoing_; }

  private:
    std::filesystem::path path_;
    KeepGoing keepGoing_;
};

// Whether the name is that of one file compressed as a whole: .gz .bz2 .xz .zst (any
// case), but not a compressed tar (.tar.gz is an archive).
bool isCompressedFileName(const std::filesystem::path& file);

// The name of the document inside a compressed file: "changelog.html.gz" gives
// "changelog.html".
std::filesystem::path decompressedName(const std::filesystem::path& file);

// Writes the document inside a compressed file into target (replaced; never through a
// symbolic link), at most maxBytes of it: more sets truncated and keeps the first
// maxBytes. Damaged when the compressed data ends early or is corrupt (target is then
// removed), OpenFailed when the file cannot be read.
Status decompressFile(const std::filesystem::path& compressed, const std::filesystem::path& target,
                      std::uint64_t maxBytes, bool& truncated, const KeepGoing& keepGoing = {});

// A member name made safe for writing below a folder: "\" read as "/", "." and empty
// parts dropped; nothing for absolute names, drive names, ".." parts or NUL.
std::optional<std::string> safeMemberPath(const std::string& raw);

// Whether a file name matches a mask (* and ?, without regard to case).
bool matchesMask(const std::string& fileName, const std::string& mask);

}  // namespace arcread
