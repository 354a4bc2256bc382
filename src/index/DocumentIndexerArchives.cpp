// The archive half of the document indexer: unpacking an archive below the index's
// folder, indexing its members under virtual names, and the clean-up of unpack folders.
#include <algorithm>
#include <chrono>
#include <system_error>

#include "index/DocumentIndexer.h"
#include "scope/ScopeStrings.h"
#include "wordmill/ProcessRunner.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

// Nested archives are unpacked up to this depth; deeper ones (an archive that contains
// itself, say) are left alone and logged.
constexpr int kMaxArchiveDepth = 8;

// Unpack folders live here below the index's own folder.
constexpr const char* kUnpackRoot = "tmp";

// After a cancel the unpack folder is removed for at most this long; the rest goes at the
// start of the index's next build or of the program (a person waits for the cancel).
constexpr auto kCancelCleanUp = std::chrono::milliseconds(400);

// Removes a folder's tree until the deadline; true when it is gone.
bool removeTreeWithin(const fs::path& folder, std::chrono::steady_clock::time_point deadline) {
    std::error_code ec;
    std::vector<fs::path> folders;
    int sinceClock = 0;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            folders.push_back(it->path());
            continue;
        }
        fs::remove(it->path(), typeError);
        if (++sinceClock == 64) {
            sinceClock = 0;
            if (std::chrono::steady_clock::now() > deadline) return false;
        }
    }
    for (auto f = folders.rbegin(); f != folders.rend(); ++f) fs::remove(*f, ec);
    fs::remove(folder, ec);
    return !fs::exists(folder, ec);
}

bool endsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool isArchiveName(const std::string& name) {
    static const char* const kinds[] = {".zip", ".arj", ".cab",  ".rar", ".7z",  ".tar",
                                        ".tgz", ".tbz", ".tbz2", ".txz", ".tzst"};
    const std::string lower = asciiLower(name);
    for (const char* kind : kinds)
        if (endsWith(lower, kind) && lower.size() > std::char_traits<char>::length(kind))
            return true;
    // A compressed tar: ".tar." and a compression the reader knows (.tar.gz, .tar.zst, ...).
    const std::size_t dot = lower.rfind('.');
    return dot != std::string::npos && dot >= 4 && lower.compare(dot - 4, 4, ".tar") == 0 &&
           arcread::ArchiveReader::IsSupportedName(lower);
}

void removeStaleUnpackFolders(vellcore::IndexObject& index) {
    const fs::path root = fs::path(index.GetIndexPath()) / kUnpackRoot;
    std::error_code ec;
    if (!fs::exists(root, ec)) return;
    if (!index.CanModify()) return;
    fs::remove_all(root, ec);
}

void DocumentIndexer::IndexArchive(const std::string& folder, const std::string& archiveName,
                                   const std::vector<std::string>& memberList,
                                   const FileStamp& stamp, std::string_view label) {
    if (memberList.empty()) return;
    const std::string full = folder + archiveName;
    const std::string archiveDocument = virtualPath_.empty() ? full : virtualPath_ + archiveName;
    if (archiveDepth_ >= kMaxArchiveDepth) {
        ReportProblem(archiveDocument + ": not unpacked: archives nested deeper than " +
                      std::to_string(kMaxArchiveDepth) + " levels");
        return;
    }
    // Without the arj program arj archives are skipped, as they always were.
    if (asciiLower(fs::path(archiveName).extension().string()) == ".arj" &&
        !wordmill::findProgram("arj", services_.archiveTools.programFolder))
        return;
    auto reader = arcread::ArchiveReader::Open(full, {}, services_.archiveTools);
    if (!reader) {
        ReportProblem(archiveDocument + ": " + arcread::StatusText(arcread::Status::OpenFailed));
        return;
    }
    reader->SetKeepGoing([this] { return keepGoing(); });
    services_.ui.showStatus("extracting files from " + full);

    // The unpack folder lives under the index's own folder: a.zip unpacks into
    // tmp/a_zip, or a_zip0, a_zip1 ... when that is taken (nested archives).
    std::string base = archiveName;
    if (const auto dot = base.rfind('.'); dot != std::string::npos) base[dot] = '_';
    const fs::path tmp = fs::path(index_->GetIndexPath()) / kUnpackRoot;
    fs::path unpackFolder = tmp / base;
    std::error_code ec;
    for (int n = 0; fs::exists(unpackFolder, ec); ++n)
        unpackFolder = tmp / (base + std::to_string(n));
    fs::create_directories(unpackFolder, ec);

    const arcread::UnpackResult unpacked = reader->UnpackMatching(memberList, unpackFolder);
    if (unpacked.status == arcread::Status::Cancelled) {
        // Nothing to log: the folder step that notices the cancel says "User Cancel".
    } else if (!unpacked.ok()) {
        ReportProblem(archiveDocument + ": " + arcread::StatusText(unpacked.status));
    } else if (unpacked.members == 0) {
        ReportProblem(archiveDocument + ": the archive holds no files");
    }
    for (const arcread::MemberProblem& skipped : unpacked.skipped)
        ReportProblem(archiveDocument + "//" + skipped.member + ": " + skipped.reason);
    if (unpacked.unpacked > 0 && !services_.cancel.load()) {
        const std::string saved = virtualPath_;
        virtualPath_ = archiveDocument + "//";
        ++archiveDepth_;
        IndexExtractedFolder(memberList, unpackFolder.string(), stamp, label);
        --archiveDepth_;
        virtualPath_ = saved;
    }
    reader.reset();
    if (services_.cancel.load())
        removeTreeWithin(unpackFolder, std::chrono::steady_clock::now() + kCancelCleanUp);
    else
        fs::remove_all(unpackFolder, ec);
    if (fs::is_empty(tmp, ec)) fs::remove(tmp, ec);
}

void DocumentIndexer::IndexExtractedFolder(const std::vector<std::string>& memberList,
                                           const std::string& folderIn, const FileStamp& stamp,
                                           std::string_view label) {
    const std::string folder = withSlashOf(folderIn);
    for (const Entry& entry : listFolderEntries(folder)) {
        letMessagesThrough();
        if (services_.cancel.load()) return;
        showFolderProgress(folder);
        if (entry.isFolder) {
            const std::string saved = virtualPath_;
            virtualPath_ += entry.name + "/";
            IndexExtractedFolder(memberList, folder + entry.name, stamp, label);
            virtualPath_ = saved;
            continue;
        }
        // Members carry the stamp and version of their archive: an unchanged archive gives
        // unchanged members, which are then not read again.
        IndexOneFile(folder, entry.name, memberList, stamp, label);
    }
}

}  // namespace vellumar
