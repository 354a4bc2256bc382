#include "index/DocumentIndexer.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <sys/stat.h>
#include <system_error>

#include "index/BuildResult.h"
#include "monitor/FolderListing.h"
#include "parserset/TParserSet.h"
#include "platform/TempFolders.h"
#include "scope/ScopeStrings.h"

namespace fs = std::filesystem;

namespace vellumar {

namespace {

// Nested archives are unpacked up to this depth; deeper ones (an archive that contains
// itself, say) are left alone.
constexpr int kMaxArchiveDepth = 8;

// Pending messages are let through at most this often while words are added: often
// enough for a click on "Cancel" to feel immediate, rare enough to cost nothing.
constexpr std::int64_t kMessageIntervalMs = 20;

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The entries of a folder sorted by name, so that every build meets them in one order.
std::vector<DocumentIndexer::Entry> listFolder(const std::string& folder) {
    std::vector<DocumentIndexer::Entry> entries;
    FolderListing listing;
    if (!listing.Open(folder, true)) return entries;
    listing.ForEach([&](std::string_view name, bool isFolder) {
        entries.push_back({std::string(name), isFolder});
        return true;
    });
    std::sort(entries.begin(), entries.end(),
              [](const DocumentIndexer::Entry& a, const DocumentIndexer::Entry& b) { return a.name < b.name; });
    return entries;
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

bool isArchiveName(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) return false;
    const std::string extension = AsciiLower(name.substr(dot));
    return extension == ".zip" || extension == ".arj" || extension == ".cab" ||
           extension == ".rar";
}

DocumentIndexer::DocumentIndexer(IndexingServices services) : services_(std::move(services)) {}

void DocumentIndexer::begin(vellcore::IndexObject& index, IndexingOptions options, ErrorLog& log) {
    index_ = &index;
    options_ = options;
    log_ = &log;
    virtualPath_.clear();
    archiveDepth_ = 0;
    stopCode_ = 0;
}

void DocumentIndexer::end() {
    index_ = nullptr;
    log_ = nullptr;
    services_.parsers.Shared().currentVirtualFolderLabel.clear();
}

void DocumentIndexer::ReportProblem(std::string text) {
    if (log_) log_->report(std::move(text));
}

void DocumentIndexer::letMessagesThrough(bool always) {
    const std::int64_t now = nowMs();
    if (!always && now - lastMessagesMs_ < kMessageIntervalMs) return;
    lastMessagesMs_ = now;
    services_.ui.processPendingMessages();
}

void DocumentIndexer::showProgress(const std::string& text) {
    if (!services_.throttle.due()) return;
    letMessagesThrough(true);
    services_.ui.showStatus(text);
}

std::int32_t DocumentIndexer::IndexFolderFiles(int, const std::string& folderIn,
                                               const std::string& groups) {
    // Converters leave their output in the temporary folder; it never outlives a folder.
    emptyFolder(services_.programTempFolder);
    if (!active() || groups.find('<') == std::string::npos) return 0;
    const std::string folder = withSlash(folderIn);
    listedFolder_.clear();  // the folder may have changed since it was last listed

    processedFiles_ = 0;
    std::vector<std::string> memberList;
    std::int32_t result = scanGroups(folder, groups, memberList);
    if (result == 0 && options_.archives) {
        // Archives are looked into even when the patterns do not name them.
        for (const char* mask : {"*.zip", "*.rar", "*.arj", "*.cab"}) memberList.push_back(mask);
        result = scanGroups(folder, "<*.zip,*.arj,*.cab,*.rar>", memberList);
    }
    services_.parsers.Shared().currentVirtualFolderLabel.clear();
    if (result != 0) stopCode_ = result;
    return result;
}

std::int32_t DocumentIndexer::scanGroups(const std::string& folder, const std::string& groups,
                                         std::vector<std::string>& memberList) {
    std::string& label = services_.parsers.Shared().currentVirtualFolderLabel;
    std::size_t pos = 0;
    while (pos < groups.size()) {
        bool groupStarted = false;
        const std::string token = NextPatternToken(groups, pos, groups.size(), &groupStarted);
        if (groupStarted) label.clear();
        if (token.empty()) continue;
        if (IsLabelToken(token)) {
            const std::string field = "/" + token.substr(1);
            if (index_->GetFieldNumber(field) != 0) label = field;
            continue;
        }
        if (options_.archives) memberList.push_back(token);
        if (const std::int32_t result = indexPattern(folder, token, memberList)) return result;
    }
    return 0;
}

std::int32_t DocumentIndexer::indexPattern(const std::string& folder, const std::string& pattern,
                                           const std::vector<std::string>& memberList) {
    // One listing serves every pattern of the folder's groups.
    if (listedFolder_ != folder) {
        listing_ = listFolder(folder);
        listedFolder_ = folder;
    }
    for (const Entry& entry : listing_) {
        if (entry.isFolder || !arcread::MatchesMask(entry.name, pattern)) continue;
        letMessagesThrough();
        if (services_.cancel.load()) {
            ReportProblem("User Cancel");
            return BuildResult::kUserCancel;
        }
        const std::string full = folder + entry.name;
        struct stat info {};
        // A file that vanished or cannot be read is skipped like an empty one; folders
        // reached through a link are not files.
        if (::stat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if ((static_cast<std::uint64_t>(info.st_size) & 0xFFFFFFFFu) == 0) continue;
        virtualPath_.clear();
        const std::int32_t result =
            IndexOneFile(folder, entry.name, memberList, dosStampOf(info.st_mtime));
        if (result != 0) return result;
    }
    return 0;
}

std::int32_t DocumentIndexer::IndexOneFile(const std::string& folderIn, const std::string& name,
                                           const std::vector<std::string>& memberList,
                                           DosStamp stamp) {
    const std::string folder = withSlash(folderIn);
    ++processedFiles_;
    const std::string full = folder + name;
    if (options_.archives && isArchiveName(name)) {
        IndexArchive(folder, name, memberList, stamp);
        return 0;
    }
    const std::string documentName = virtualPath_.empty() ? full : virtualPath_ + name;
    // A document indexed under the same stamp is not read again: opening it (and for PDF
    // or Word files running a converter) is what an unchanged update would spend its time
    // on, only for the engine to decline it. The engine keeps it, since its file exists.
    vellcore::Stamp indexedStamp = 0;
    if (index_->FindDocument(documentName, indexedStamp) && indexedStamp == stamp && stamp != 0) {
        showProgress("Processing: " + folder + " - " + std::to_string(processedFiles_) + " files");
        return 0;
    }
    index_->ClearError();
    wordmill::WordRecord record;
    wordmill::Parser* parser = services_.parsers.OpenDocument(full, options_.filesAsText, record);
    if (!parser) {
        showProgress("Processing: " + folder + " - " + std::to_string(processedFiles_) + " files");
        return 0;
    }
    if (index_->BeginDocument(documentName, stamp, parser->GetDocumentSize())) {
        const std::int32_t result = AddDocumentWords(documentName, *parser, record);
        if (onDocument_) onDocument_(*index_);
        return result;
    }
    const int code = index_->GetErrorCode();
    index_->ClearError();
    parser->Close();
    if (code == vellcore::kDeclined) return 0;  // indexed already, unchanged
    ReportProblem(std::to_string(code) + " - Error " + documentName);
    return (code == 1 || code == 6) ? code : 0;
}

std::int32_t DocumentIndexer::AddDocumentWords(const std::string& documentName,
                                               wordmill::Parser& parser,
                                               wordmill::WordRecord& record) {
    showProgress("Indexing: " + documentName);
    std::int32_t result = 0;
    // Untagged words go to field 0: carrying the last tag's field over would file an HTML
    // page's whole body under its last heading.
    int field = 0;
    std::uint16_t lastTag = 0;
    while (parser.NextWord(record)) {
        if (record.tag == 0) {
            field = 0;
        } else if (record.tag != lastTag) {
            field = index_->GetFieldNumber(parser.GetTagName(record.tag));
        }
        lastTag = record.tag;
        if (!index_->AddWord(record.text, record.position, field)) {
            const int code = index_->GetErrorCode();
            index_->ClearError();
            ReportProblem(std::to_string(code) + " - Error " + documentName);
            result = (code == 1 || code == 6) ? code : 0;
            break;
        }
        letMessagesThrough();
    }
    const bool failed = record.position == wordmill::kParseFailed;
    parser.Close();
    if (failed) ReportProblem(documentName);
    return result;
}

void DocumentIndexer::IndexArchive(const std::string& folder, const std::string& archiveName,
                                   const std::vector<std::string>& memberList, DosStamp stamp) {
    if (memberList.empty() || archiveDepth_ >= kMaxArchiveDepth) return;
    const std::string full = folder + archiveName;
    auto reader = arcread::ArchiveReader::Open(full, {}, services_.archiveTools);
    if (!reader) return;
    services_.ui.showStatus("extracting files from " + full);

    // The unpack folder lives under the index's own folder: a.zip unpacks into
    // tmp/a_zip, or a_zip0, a_zip1 ... when that is taken (nested archives).
    std::string base = archiveName;
    if (const auto dot = base.rfind('.'); dot != std::string::npos) base[dot] = '_';
    const fs::path tmp = fs::path(index_->GetIndexPath()) / "tmp";
    fs::path unpackFolder = tmp / base;
    std::error_code ec;
    for (int n = 0; fs::exists(unpackFolder, ec); ++n)
        unpackFolder = tmp / (base + std::to_string(n));
    fs::create_directories(unpackFolder, ec);

    const arcread::UnpackResult unpacked = reader->UnpackMatching(memberList, unpackFolder);
    const std::string archiveDocument = virtualPath_.empty() ? full : virtualPath_ + archiveName;
    if (!unpacked.ok())
        ReportProblem(archiveDocument + ": " + arcread::StatusText(unpacked.status));
    if (unpacked.unpacked > 0) {
        const std::string saved = virtualPath_;
        virtualPath_ = archiveDocument + "//";
        ++archiveDepth_;
        IndexExtractedFolder(memberList, unpackFolder.string(), stamp);
        --archiveDepth_;
        virtualPath_ = saved;
    }
    reader.reset();
    fs::remove_all(unpackFolder, ec);
    if (fs::is_empty(tmp, ec)) fs::remove(tmp, ec);
}

void DocumentIndexer::IndexExtractedFolder(const std::vector<std::string>& memberList,
                                           const std::string& folderIn, DosStamp stamp) {
    const std::string folder = withSlash(folderIn);
    for (const Entry& entry : listFolder(folder)) {
        letMessagesThrough();
        if (services_.cancel.load()) return;
        showProgress("Processing: " + folder + " - " + std::to_string(processedFiles_) + " files");
        if (entry.isFolder) {
            const std::string saved = virtualPath_;
            virtualPath_ += entry.name + "/";
            IndexExtractedFolder(memberList, folder + entry.name, stamp);
            virtualPath_ = saved;
            continue;
        }
        // Members carry the stamp of their archive: unchanged archives give unchanged
        // members, which the engine then declines instead of indexing them again.
        IndexOneFile(folder, entry.name, memberList, stamp);
    }
}

}  // namespace vellumar
