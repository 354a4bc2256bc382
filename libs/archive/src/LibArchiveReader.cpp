// zip, rar, cab, 7z, tar and single compressed files through libarchive. libarchive
// reads as a stream, so every operation opens the archive afresh.
#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <functional>

#include "ArchiveKinds.h"
#include "FolderWriter.h"

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
    Pass(const std::filesystem::path& path, bool raw, const Limits& limits)
        : raw_(raw), limits_(limits), stem_(path.stem().string()) {
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
            entry.safeName = SafeMemberPath(stem_);  // "notes.txt.gz" holds "notes.txt"
        } else if (name) {
            entry.safeName = SafeMemberPath(name);
        }
        return true;
    }

    // Reads the current entry's data into sink, counting against the byte limit.
    Status read(const Entry& entry, std::uint64_t budget,
                const std::function<bool(const char*, std::size_t)>& sink) {
        if (entry.declaredSize > 0 && static_cast<std::uint64_t>(entry.declaredSize) > budget)
            return Status::TooLarge;
        char buffer[65536];
        std::uint64_t total = 0;
        for (;;) {
            const la_ssize_t n = archive_read_data(a_.get(), buffer, sizeof buffer);
            if (n == 0) return Status::Ok;
            if (n < 0) return entry.encrypted ? Status::Encrypted : Status::Damaged;
            total += static_cast<std::uint64_t>(n);
            if (total > budget) return Status::TooLarge;
            if (!sink(buffer, static_cast<std::size_t>(n))) return Status::WriteFailed;
        }
    }

    Status status() const { return status_; }
    void fail(Status s) { status_ = s; }

  private:
    ArchiveHandle a_;
    bool raw_;
    Limits limits_;
    std::string stem_;
    std::size_t members_ = 0;
    Status status_ = Status::Ok;
};

class LibArchiveReader : public ArchiveReader {
  public:
    LibArchiveReader(std::filesystem::path path, const Limits& limits, bool raw)
        : ArchiveReader(std::move(path)), limits_(limits), raw_(raw) {}

    UnpackResult UnpackMatching(const std::vector<std::string>& masks,
                                const std::filesystem::path& folder) override {
        UnpackResult result;
        Pass pass(path(), raw_, limits_);
        if (!pass.opened()) return {Status::OpenFailed, 0, 0};
        FolderWriter writer(folder);
        if (!writer.ok()) return {Status::WriteFailed, 0, 0};
        std::uint64_t written = 0;
        bool encrypted = false;
        Entry entry;
        while (pass.next(entry)) {
            if (entry.directory) continue;
            if (!entry.regular || !entry.safeName) {
                ++result.skippedUnsafe;
                continue;
            }
            if (!matchesAny(baseName(*entry.safeName), masks)) continue;
            if (entry.encrypted) {
                encrypted = true;
                continue;
            }
            const int fd = writer.create(*entry.safeName);
            if (fd < 0) {
                pass.fail(Status::WriteFailed);
                break;
            }
            std::uint64_t thisMember = 0;
            const Status s = pass.read(entry, limits_.maxTotalBytes - written,
                                       [&](const char* d, std::size_t n) {
                                           thisMember += n;
                                           return writeAll(fd, d, n);
                                       });
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
        const std::optional<std::string> wanted = SafeMemberPath(member);
        if (!wanted) return Status::NotFound;
        std::error_code ec;
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
        FolderWriter writer(file.has_parent_path() ? file.parent_path()
                                                   : std::filesystem::path("."));
        const std::string name = file.filename().string();
        Status s = find(*wanted, [&](Pass& pass, const Entry& entry) {
            const int fd = writer.create(name);
            if (fd < 0) return Status::WriteFailed;
            const Status r =
                pass.read(entry, limits_.maxTotalBytes,
                          [fd](const char* d, std::size_t n) { return writeAll(fd, d, n); });
            ::close(fd);
            return r;
        });
        if (s != Status::Ok) writer.removeAll();
        return s;
    }

    Status ReadMember(const std::string& member, std::size_t maxBytes, std::string& out) override {
        out.clear();
        const std::optional<std::string> wanted = SafeMemberPath(member);
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
        Pass pass(path(), raw_, limits_);
        Entry entry;
        while (pass.next(entry))
            if (entry.regular && entry.safeName) names.push_back(*entry.safeName);
        return names;
    }

  private:
    // Finds the member (exactly, else without regard to case) and hands it to use.
    Status find(const std::string& wanted, const std::function<Status(Pass&, const Entry&)>& use) {
        for (int round = 0; round < 2; ++round) {
            Pass pass(path(), raw_, limits_);
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
    bool raw_;
};

}  // namespace

std::unique_ptr<ArchiveReader> openLibArchive(const std::filesystem::path& archive,
                                              const Limits& limits, bool raw) {
    Pass probe(archive, raw, limits);
    if (!probe.opened()) return nullptr;
    Entry entry;
    if (!probe.next(entry) && probe.status() == Status::Damaged) return nullptr;
    return std::make_unique<LibArchiveReader>(archive, limits, raw);
}

}  // namespace arcread
