// Test fixtures: archives written with libarchive (zip, tar; plain or encrypted), a
// stored RAR 4 archive written by hand, and temporary folders.
#pragma once

#include "support/TempDir.h"

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>
#include <algorithm>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace archive_test {

using TempDir = testing_support::TempDir;

struct Member {
    enum Kind { File, Symlink, Hardlink, Folder };
    Member(std::string n, std::string d, Kind k = File, std::string t = {})
        : name(std::move(n)), data(std::move(d)), kind(k), target(std::move(t)) {}
    std::string name;
    std::string data;
    Kind kind = File;
    std::string target;  // of a link
};

// Adds a compression filter by name ("gzip", "bzip2", "xz", "zstd"; "" for none).
inline bool addFilter(struct archive* a, const std::string& filter) {
    if (filter.empty()) return true;
    return archive_write_add_filter_by_name(a, filter.c_str()) == ARCHIVE_OK;
}

// format: "zip", "tar" or "7z"; filter: a compression around it (for tar); passphrase:
// encrypt the zip's members (traditional zip crypto). Returns false when this libarchive
// cannot write what was asked (no encryption support, an unknown filter).
inline bool makeArchive(const std::filesystem::path& path, const std::vector<Member>& members,
                        const std::string& format = "zip", const std::string& passphrase = "",
                        const std::string& filter = "") {
    struct archive* a = archive_write_new();
    if (format == "zip")
        archive_write_set_format_zip(a);
    else if (format == "7z")
        archive_write_set_format_7zip(a);
    else
        archive_write_set_format_pax_restricted(a);
    if (!addFilter(a, filter)) {
        archive_write_free(a);
        return false;
    }
    if (!passphrase.empty()) {
        if (archive_write_set_options(a, "zip:encryption=zipcrypt") != ARCHIVE_OK ||
            archive_write_set_passphrase(a, passphrase.c_str()) != ARCHIVE_OK) {
            archive_write_free(a);
            return false;
        }
    }
    if (archive_write_open_filename(a, path.c_str()) != ARCHIVE_OK) {
        archive_write_free(a);
        return false;
    }
    bool ok = true;
    for (const Member& m : members) {
        struct archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, m.name.c_str());
        archive_entry_set_perm(e, 0644);
        archive_entry_set_mtime(e, 1700000000, 0);
        switch (m.kind) {
            case Member::File:
                archive_entry_set_filetype(e, AE_IFREG);
                archive_entry_set_size(e, static_cast<la_int64_t>(m.data.size()));
                break;
            case Member::Symlink:
                archive_entry_set_filetype(e, AE_IFLNK);
                archive_entry_set_symlink(e, m.target.c_str());
                break;
            case Member::Hardlink:
                archive_entry_set_filetype(e, AE_IFREG);
                archive_entry_set_hardlink(e, m.target.c_str());
                archive_entry_set_size(e, 0);
                break;
            case Member::Folder:
                archive_entry_set_filetype(e, AE_IFDIR);
                archive_entry_set_perm(e, 0755);
                break;
        }
        ok = ok && archive_write_header(a, e) == ARCHIVE_OK;
        if (m.kind == Member::File && !m.data.empty())
            ok = ok && archive_write_data(a, m.data.data(), m.data.size()) ==
                           static_cast<la_ssize_t>(m.data.size());
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

// One file compressed as a whole (gzip, bzip2, xz or zstd), as gzip(1) and the like make.
inline bool makeCompressed(const std::filesystem::path& path, const std::string& data,
                           const std::string& filter) {
    struct archive* a = archive_write_new();
    archive_write_set_format_raw(a);
    bool ok = addFilter(a, filter) && archive_write_open_filename(a, path.c_str()) == ARCHIVE_OK;
    if (ok) {
        struct archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, "data");
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, static_cast<la_int64_t>(data.size()));
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             (data.empty() || archive_write_data(a, data.data(), data.size()) ==
                                  static_cast<la_ssize_t>(data.size()));
        archive_entry_free(e);
        ok = archive_write_close(a) == ARCHIVE_OK && ok;
    }
    archive_write_free(a);
    return ok;
}

inline std::uint32_t crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A RAR 4 archive with stored (uncompressed) members.
inline std::string makeRar(const std::vector<std::pair<std::string, std::string>>& files) {
    auto le = [](std::string& s, std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto block = [&](const std::string& body) {  // body starts with the header type
        std::string out;
        le(out, crc32(body) & 0xFFFF, 2);
        return out + body;
    };
    std::string rar("Rar!\x1A\x07\x00", 7);
    std::string main;
    le(main, 0x73, 1), le(main, 0, 2), le(main, 13, 2), le(main, 0, 6);
    rar += block(main);
    for (const auto& [name, data] : files) {
        std::string h;
        le(h, 0x74, 1), le(h, 0x8000, 2), le(h, 32 + name.size(), 2);
        le(h, data.size(), 4), le(h, data.size(), 4), le(h, 0, 1), le(h, crc32(data), 4);
        le(h, 0x5A210000, 4), le(h, 20, 1), le(h, 0x30, 1), le(h, name.size(), 2), le(h, 0x20, 4);
        h += name;
        rar += block(h) + data;
    }
    rar += std::string("\xC4\x3D\x7B\x00\x40\x07\x00", 7);
    return rar;
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file below a folder, as relative paths.
inline std::vector<std::string> filesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         it != std::filesystem::recursive_directory_iterator(); ++it)
        if (!it->is_directory())
            out.push_back(std::filesystem::relative(it->path(), folder).string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace archive_test
