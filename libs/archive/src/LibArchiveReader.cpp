// zip, rar, cab, 7z, tar and single compressed files through libarchive. libarchive
// reads as a stream, so every operation opens the archive afresh.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "ArchiveKinds.h"
#include "FolderWriter.h"
#include "ZipDirectory.h"

namespace arcread {

namespace {

struct ArchiveCloser {
    void operator()(struct archive* a) const { archive_read_free(a); }
};
using ArchiveHandle = std::unique_ptr<struct archive, ArchiveCloser>;

struct Entry {
    std::optional<std::string> safeName;  // nothing: unsafe (links, "..", absolute, devices)
    bool regular = false;
    bool directory = false;
    bool encrypted = false;
    std::int64_t declaredSize = -1;
};

// One pass over the archive's entries.
class Pass {
  public:
    Pass(const std::filesystem::path& path, bool raw, const Limits& limits,
         const KeepGoing& keepGoing = {})
        : raw_(raw), limits_(limits), stem_(path.stem().string()), keepGoing_(keepGoing) {
        a_.reset(archive_read_new());
        if (!a_) return;
        archive_read_support_filter_all(a_.get());
        if (raw) {
            archive_read_support_format_raw(a_.get());
        } else {
            archive_read_support_format_all(a_.get());
        }
        if (archive_read_open_filename(a_.get(), path.c_str(), 65536) != ARCHIVE_OK) a_.reset();
    }

    bool opened() const { return a_ != nullptr; }

    // The next entry; false at the end or on a failure (see status()).
    bool next(Entry& entry) {
        if (!a_ || status_ != Status::Ok) return false;
        struct archive_entry* e = nullptr;
        const int r = archive_read_next_header(a_.get(), &e);
        if (r == ARCHIVE_EOF) return false;
        if (r < ARCHIVE_WARN) {
            status_ = Status::Damaged;
            return false;
        }
        if (++members_ > limits_.maxMembers) {
            status_ = Status::TooLarge;
            return false;
        }
        entry = Entry{};
        const mode_t type = archive_entry_filetype(e);
        entry.directory = type == AE_IFDIR;
        entry.regular = type == AE_IFREG && archive_entry_hardlink(e) == nullptr &&
                        archive_entry_symlink(e) == nullptr;
        entry.encrypted = archive_entry_is_encrypted(e) != 0;
        if (archive_entry_size_is_set(e)) entry.declaredSize = archive_entry_size(e);
        const char* name = archive_entry_pathname_utf8(e);
        if (!name) name = archive_entry_pathname(e);
        if (raw_) {
            entry.regular = true;
            entry.safeName = safeMemberPath(stem_);  // "notes.txt.gz" holds "notes.txt"
        } else if (name) {
            entry.safeName = safeMemberPath(name);
        }
        return true;
    }

    // Reads the current entry's data into sink, counting against the byte limit. With
    // cutAtBudget the data beyond the budget is dropped (truncated is set) instead of
    // failing the read.
    Status read(const Entry& entry, std::uint64_t budget,
                const std::function<bool(const char*, std::size_t)>& sink, bool cutAtBudget = false,
                bool* truncated = nullptr) {
        if (!cutAtBudget && entry.declaredSize > 0 &&
            static_cast<std::uint64_t>(entry.declaredSize) > budget)
            return Status::TooLarge;
        char buffer[65536];
        std::uint64_t total = 0;
        for (;;) {
            // A large member is many chunks: a cancel must not wait for its end.
            if (keepGoing_ && !keepGoing_()) return Status::Cancelled;
            const la_ssize_t n = archive_read_data(a_.get(), buffer, sizeof buffer);
            if (n == 0) return Status::Ok;
            if (n < 0) return entry.encrypted ? Status::Encrypted : Status::Damaged;
            std::size_t take = static_cast<std::size_t>(n);
            if (total + take > budget) {
                if (!cutAtBudget) return Status::TooLarge;
                take = static_cast<std::size_t>(budget - total);
                if (truncated) *truncated = true;
                if (take > 0 && !sink(buffer, take)) return Status::WriteFailed;
                return Status::Ok;
            }
            total += take;
            if (!sink(buffer, take)) return Status::WriteFailed;
        }
    }

    Status status() const { return status_; }
    void fail(Status s) { status_ = s; }

  private:
    ArchiveHandle a_;
    bool raw_;
    Limits limits_;
    std::string stem_;
    KeepGoing keepGoing_;
    std::size_t members_ = 0;
    Status status_ = Status::Ok;
};

// The zip family, whose central directory ReadZipDirectory reads.
bool hasZipDirectory(const std::filesystem::path& archive) {
    std::string ext = archive.extension().string();
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* zip :
         {".zip", ".jar", ".docx", ".xlsx", ".pptx", ".odt", ".ods", ".odp", ".epub"})
        if (ext == zip) return true;
    return false;
}

// Writes the data of the current entry into fd.
std::function<bool(const char*, std::size_t)> writeTo(int fd, std::uint64_t* count = nullptr) {
    return [fd, count](const char* d, std::size_t n) {
        if (count) *count += n;
        return writeAll(fd, d, n);
    };
}

class LibArchiveReader : public ArchiveReader {
  public:
    LibArchiveReader(std::filesystem::path path, const Limits& limits, ArchiveKind kind)
        : ArchiveReader(std::move(path)), limits_(limits), kind_(kind) {}

    UnpackResult UnpackMatching(const std::vector<std::string>& masks,
                                const std::filesystem::path& folder) override {
        if (kind_ == ArchiveKind::Container) {
            // The directory first: a bomb is refused before a single file is written.
            const Status ahead = checkDirectory(masks);
            if (ahead == Status::TooLarge || ahead == Status::Cancelled)
                return unpackFailure(ahead);
        }
        UnpackResult result;
        Pass pass(path(), raw(), limits_, keepGoingCallback());
        if (!pass.opened()) return unpackFailure(Status::OpenFailed);
        FolderWriter writer(folder);
        if (!writer.ok()) return unpackFailure(Status::WriteFailed);
        std::uint64_t written = 0;
        bool encrypted = false;
        Entry entry;
        while (pass.next(entry)) {
            if (!keepGoing()) {
                pass.fail(Status::Cancelled);
                break;
            }
            if (entry.directory) continue;
            if (!entry.regular || !entry.safeName) {
                ++result.skippedUnsafe;
                continue;
            }
            ++result.members;
            if (!matchesAny(baseName(*entry.safeName), masks)) continue;
            if (entry.encrypted) {
                encrypted = true;
                continue;
            }
            const int fd = writer.create(*entry.safeName);
            if (fd < 0) {
                if (const char* why = refusedNameReason(errno)) {
                    result.skipped.push_back({*entry.safeName, why});
                    continue;
                }
                pass.fail(Status::WriteFailed);
                break;
            }
            std::uint64_t thisMember = 0;
            const Status s =
                pass.read(entry, limits_.maxTotalBytes - written, writeTo(fd, &thisMember));
            ::close(fd);
            written += thisMember;
            if (s == Status::Ok) {
                ++result.unpacked;
                continue;
            }
            writer.discard(*entry.safeName);
            if (s == Status::Encrypted) {
                encrypted = true;
                continue;
            }
            pass.fail(s);
            break;
        }
        result.status = pass.status();
        if (result.status == Status::TooLarge) {
            writer.removeAll();
            result.unpacked = 0;
        } else if (result.status == Status::Ok && encrypted) {
            result.status = Status::Encrypted;
        }
        return result;
    }

    Status ExtractMember(const std::string& member, const std::filesystem::path& file) override {
        const std::optional<std::string> wanted = safeMemberPath(member);
        if (!wanted) return Status::NotFound;
        std::error_code ec;
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
        FolderWriter writer(file.has_parent_path() ? file.parent_path()
                                                   : std::filesystem::path("."));
        const std::string name = file.filename().string();
        Status s = find(*wanted, [&](Pass& pass, const Entry& entry) {
            const int fd = writer.create(name);
            if (fd < 0) return Status::WriteFailed;
            const Status r = pass.read(entry, limits_.maxTotalBytes, writeTo(fd));
            ::close(fd);
            return r;
        });
        if (s != Status::Ok) writer.removeAll();
        return s;
    }

    Status ReadMember(const std::string& member, std::size_t maxBytes, std::string& out) override {
        out.clear();
        const std::optional<std::string> wanted = safeMemberPath(member);
        if (!wanted) return Status::NotFound;
        const Status s = find(*wanted, [&](Pass& pass, const Entry& entry) {
            return pass.read(entry, std::min<std::uint64_t>(maxBytes, limits_.maxTotalBytes),
                             [&out](const char* d, std::size_t n) {
                                 out.append(d, n);
                                 return true;
                             });
        });
        if (s != Status::Ok) out.clear();
        return s;
    }

    std::vector<std::string> MemberNames() override {
        std::vector<std::string> names;
        Pass pass(path(), raw(), limits_, keepGoingCallback());
        Entry entry;
        while (pass.next(entry))
            if (entry.regular && entry.safeName) names.push_back(*entry.safeName);
        return names;
    }

  private:
    bool raw() const { return kind_ == ArchiveKind::Compressed; }

    // The limits against the archive's directory: every entry counts towards the member
    // limit, the declared sizes of the members that would be unpacked towards the byte
    // limit. Ok also when the directory cannot be read to its end: the unpack itself then
    // reports the damage and keeps what comes before it.
    Status checkDirectory(const std::vector<std::string>& masks) {
        if (hasZipDirectory(path())) {
            std::uint64_t declared = 0;
            std::size_t entries = 0;
            Status verdict = Status::Ok;
            const auto read = ReadZipDirectory(path(), [&](const ZipDirectoryEntry& e) {
                if (++entries > limits_.maxMembers) {
                    verdict = Status::TooLarge;
                } else if (entries % 1024 == 0 && !keepGoing()) {
                    verdict = Status::Cancelled;
                } else if (!e.folder) {
                    const std::optional<std::string> name = safeMemberPath(e.name);
                    if (name && matchesAny(baseName(*name), masks)) declared += e.size;
                    if (declared > limits_.maxTotalBytes) verdict = Status::TooLarge;
                }
                return verdict == Status::Ok;
            });
            if (read) return verdict;
            // No directory of its own to read: the members are walked instead.
        }
        Pass pass(path(), false, limits_);
        std::uint64_t declared = 0;
        Entry entry;
        while (pass.next(entry)) {
            if (!keepGoing()) return Status::Cancelled;
            if (!entry.regular || !entry.safeName || entry.encrypted || entry.declaredSize <= 0)
                continue;
            if (!matchesAny(baseName(*entry.safeName), masks)) continue;
            declared += static_cast<std::uint64_t>(entry.declaredSize);
            if (declared > limits_.maxTotalBytes) return Status::TooLarge;
        }
        return pass.status() == Status::TooLarge ? Status::TooLarge : Status::Ok;
    }

    // Finds the member (exactly, else without regard to case) and hands it to use.
    Status find(const std::string& wanted, const std::function<Status(Pass&, const Entry&)>& use) {
        for (int round = 0; round < 2; ++round) {
            Pass pass(path(), raw(), limits_, keepGoingCallback());
            if (!pass.opened()) return Status::OpenFailed;
            Entry entry;
            while (pass.next(entry)) {
                if (!entry.regular || !entry.safeName) continue;
                const bool match = round == 0 ? *entry.safeName == wanted
                                              : sameNameIgnoringCase(*entry.safeName, wanted);
                if (!match) continue;
                if (entry.encrypted) return Status::Encrypted;
                return use(pass, entry);
            }
            if (pass.status() != Status::Ok) return pass.status();
        }
        return Status::NotFound;
    }

    Limits limits_;
    ArchiveKind kind_;
};

}  // namespace

std::unique_ptr<ArchiveReader> openLibArchive(const std::filesystem::path& archive,
                                              const Limits& limits, ArchiveKind kind) {
    // A zip whose central directory reads well opens without libarchive, which would
    // read the whole directory into memory first (a second and more for a bomb of a
    // hundred thousand members, before the limits could refuse it).
    if (kind == ArchiveKind::Container && hasZipDirectory(archive) &&
        ReadZipDirectory(archive, [](const ZipDirectoryEntry&) { return false; }))
        return std::make_unique<LibArchiveReader>(archive, limits, kind);
    Pass probe(archive, kind == ArchiveKind::Compressed, limits);
    if (!probe.opened()) return nullptr;
    Entry entry;
    if (!probe.next(entry) && probe.status() == Status::Damaged) return nullptr;
    return std::make_unique<LibArchiveReader>(archive, limits, kind);
}

Status decompressFile(const std::filesystem::path& compressed, const std::filesystem::path& target,
                      std::uint64_t maxBytes, bool& truncated, const KeepGoing& keepGoing) {
    truncated = false;
    Pass pass(compressed, /*raw=*/true, Limits{}, keepGoing);
    if (!pass.opened()) {
        // libarchive reads a small file whole when it opens it: a readable file that does
        // not open is damaged.
        std::error_code ec;
        const bool readable = std::filesystem::is_regular_file(compressed, ec) &&
                              ::access(compressed.c_str(), R_OK) == 0;
        return readable ? Status::Damaged : Status::OpenFailed;
    }
    Entry entry;
    if (!pass.next(entry)) return pass.status() == Status::Ok ? Status::Damaged : pass.status();
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return Status::WriteFailed;
    const Status s = pass.read(entry, maxBytes, writeTo(fd), /*cutAtBudget=*/true, &truncated);
    if (::close(fd) != 0 && s == Status::Ok) {
        std::error_code ec;
        std::filesystem::remove(target, ec);
        return Status::WriteFailed;
    }
    if (s != Status::Ok) {
        std::error_code ec;
        std::filesystem::remove(target, ec);
    }
    return s;
}

}  // namespace arcread
