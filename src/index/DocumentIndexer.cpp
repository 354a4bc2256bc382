#include "index/DocumentIndexer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "index/BuildResult.h"
#include "monitor/FolderListing.h"
#include "parserset/TParserSet.h"
#include "platform/TempFolders.h"
#include "scope/ScopeStrings.h"

namespace vellumar {

namespace {

// Pending messages are let through at most this often while words are added: often
// enough for a click on "Cancel" to feel immediate, rare enough to cost nothing.
constexpr std::int64_t kMessageIntervalMs = 20;

// Looked for in every folder with "Scan archives", whatever the patterns say.
constexpr const char* kArchiveGroups =
    "<*.zip,*.arj,*.cab,*.rar,*.7z,*.tar,*.tgz,*.tbz,*.tbz2,*.txz,*.tzst,*.tar.gz,*.tar.bz2,"
    "*.tar.xz,*.tar.zst,*.tar.lz,*.tar.lzma,*.tar.lz4,*.tar.z>";

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The archive masks of kArchiveGroups, for the member list: nested archives come out too.
std::vector<std::string> archiveMasks() {
    std::vector<std::string> masks;
    const std::string groups = kArchiveGroups;
    std::size_t pos = 0;
    while (pos < groups.size()) {
        const std::string token = NextPatternToken(groups, pos, groups.size(), nullptr);
        if (!token.empty()) masks.push_back(token);
    }
    return masks;
}

}  // namespace

std::vector<DocumentIndexer::Entry> DocumentIndexer::listFolderEntries(const std::string& folder) {
    std::vector<Entry> entries;
    FolderListing listing;
    if (!listing.Open(folder, true)) return entries;
    listing.ForEach([&](std::string_view name, bool isFolder) {
        entries.push_back({std::string(name), isFolder});
        return true;
    });
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::string DocumentIndexer::withSlashOf(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

FileStamp fileStampOf(const struct stat& info) {
    FileStamp stamp;
    stamp.dos = dosStampOf(info.st_mtime);
    stamp.version.size = static_cast<std::uint64_t>(info.st_size);
    stamp.version.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return stamp;
}

DocumentIndexer::DocumentIndexer(IndexingServices services) : services_(std::move(services)) {}

void DocumentIndexer::begin(vellcore::IndexObject& index, IndexingOptions options, ErrorLog& log) {
    index_ = &index;
    options_ = options;
    log_ = &log;
    tally_ = {};
    // One pass over the stored versions instead of one lookup per file: what makes an
    // update with little changed cost about what listing the folders costs.
    if (options.wholeIndex && !index.LoadDocumentVersions()) index.ClearError();
    virtualPath_.clear();
    archiveDepth_ = 0;
    removeStaleUnpackFolders(index);
    services_.parsers.SetKeepGoing([this] { return keepGoing(); });
}

void DocumentIndexer::end() {
    index_ = nullptr;
    log_ = nullptr;
    handled_.clear();
    forgetListing();
    services_.parsers.SetKeepGoing({});
}

DocumentIndexer::~DocumentIndexer() { forgetListing(); }

void DocumentIndexer::forgetListing() {
    listing_.clear();
    listedFolder_.clear();
    if (listedFd_ >= 0) ::close(listedFd_);
    listedFd_ = -1;
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

bool DocumentIndexer::keepGoing() {
    letMessagesThrough();
    return !services_.cancel.load();
}

void DocumentIndexer::showProgress(const std::string& text) {
    if (!services_.throttle.due()) return;
    letMessagesThrough(true);
    services_.ui.showStatus(text);
}

void DocumentIndexer::showFolderProgress(const std::string& folder) {
    showProgress("Processing: " + folder + " - " + std::to_string(processedFiles_) + " files");
}

std::int32_t DocumentIndexer::IndexFolderFiles(int, const std::string& folderIn,
                                               const std::string& groups) {
    // Converters leave their output in the temporary folder; it never outlives a folder.
    emptyFolder(services_.programTempFolder);
    if (!active() || groups.find('<') == std::string::npos) return 0;
    const std::string folder = withSlashOf(folderIn);
    forgetListing();  // the folder may have changed since it was last listed
    handled_.clear();

    processedFiles_ = 0;
    // Archives take the members every pattern of the folder selects, and nested archives,
    // whichever pattern met them: one unpacking serves all.
    std::vector<std::string> memberList;
    if (options_.archives) {
        std::size_t pos = 0;
        while (pos < groups.size()) {
            std::string token = NextPatternToken(groups, pos, groups.size(), nullptr);
            if (!token.empty() && !isLabelToken(token)) memberList.push_back(std::move(token));
        }
        for (std::string& mask : archiveMasks()) memberList.push_back(std::move(mask));
    }
    std::int32_t result = scanGroups(folder, groups, memberList, false);
    // Archives are looked into even when the patterns do not name them.
    if (result == 0 && options_.archives)
        result = scanGroups(folder, kArchiveGroups, memberList, true);
    handled_.clear();
    return result;
}

std::int32_t DocumentIndexer::scanGroups(const std::string& folder, const std::string& groups,
                                         const std::vector<std::string>& memberList,
                                         bool archivesOnly) {
    std::string label;
    std::size_t pos = 0;
    while (pos < groups.size()) {
        bool groupStarted = false;
        const std::string token = NextPatternToken(groups, pos, groups.size(), &groupStarted);
        if (groupStarted) label.clear();
        if (token.empty()) continue;
        if (isLabelToken(token)) {
            const std::string field = "/" + token.substr(1);
            if (index_->GetFieldNumber(field) != 0) label = field;
            continue;
        }
        if (const std::int32_t result =
                indexPattern(folder, token, memberList, label, archivesOnly))
            return result;
    }
    return 0;
}

std::int32_t DocumentIndexer::indexPattern(const std::string& folder, const std::string& pattern,
                                           const std::vector<std::string>& memberList,
                                           std::string_view label, bool archivesOnly) {
    // One listing serves every pattern of the folder's groups.
    if (listedFolder_ != folder) {
        forgetListing();
        listing_ = listFolderEntries(folder);
        listedFolder_ = folder;
        listedFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    for (const Entry& entry : listing_) {
        if (entry.isFolder || !arcread::matchesMask(entry.name, pattern)) continue;
        if (archivesOnly && !isArchiveName(entry.name)) continue;
        letMessagesThrough();
        if (services_.cancel.load()) {
            ReportProblem("User Cancel");
            return BuildResult::kUserCancel;
        }
        if (!handled_.insert(entry.name).second) continue;
        const std::string full = folder + entry.name;
        struct stat info {};
        // A file that vanished or cannot be read is skipped like an empty one; folders
        // reached through a link are not files.
        const int statted = listedFd_ >= 0 ? ::fstatat(listedFd_, entry.name.c_str(), &info, 0)
                                           : ::stat(full.c_str(), &info);
        if (statted != 0 || !S_ISREG(info.st_mode)) continue;
        if ((static_cast<std::uint64_t>(info.st_size) & 0xFFFFFFFFu) == 0) continue;
        virtualPath_.clear();
        const std::int32_t result =
            IndexOneFile(folder, entry.name, memberList, fileStampOf(info), label);
        if (result != 0) return result;
    }
    return 0;
}

std::int32_t DocumentIndexer::IndexSingleFile(const std::string& path) {
    if (!active()) return 0;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return 0;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return 0;
    processedFiles_ = 0;
    virtualPath_.clear();
    return IndexOneFile(path.substr(0, slash + 1), path.substr(slash + 1), {}, fileStampOf(info),
                        {});
}

bool DocumentIndexer::indexedAlready(const std::string& documentName, const FileStamp& stamp) {
    vellcore::Stamp indexedStamp = 0;
    vellcore::FileVersion indexedVersion;
    lastFound_ = index_->FindExistingDocument(documentName, indexedStamp, &indexedVersion);
    if (!lastFound_) return false;
    // Stamp, size and exact time: a file saved twice within one two-second stamp is read
    // again. A document stored without a version is offered again for the engine to judge.
    return stamp.dos != 0 && indexedStamp == stamp.dos && indexedVersion.known() &&
           indexedVersion == stamp.version;
}

std::int32_t DocumentIndexer::IndexOneFile(const std::string& folderIn, const std::string& name,
                                           const std::vector<std::string>& memberList,
                                           const FileStamp& stamp, std::string_view label) {
    const std::string folder = withSlashOf(folderIn);
    ++processedFiles_;
    const std::string full = folder + name;
    if (options_.archives && isArchiveName(name)) {
        IndexArchive(folder, name, memberList, stamp, label);
        return 0;
    }
    const std::string documentName = virtualPath_.empty() ? full : virtualPath_ + name;
    // An unchanged document is not read again: opening it (and for PDF or Word files
    // running a converter) is what an unchanged update would spend its time on, only for
    // the engine to decline it. The engine keeps it, since its file exists.
    if (indexedAlready(documentName, stamp)) {
        showFolderProgress(folder);
        return 0;
    }
    index_->ClearError();
    wordmill::WordRecord record;
    TParserSet& parsers = services_.parsers;
    wordmill::Parser* parser = parsers.OpenDocument(full, options_.filesAsText, record, label);
    const std::string problem = parsers.LastProblem();
    if (!parser) {
        if (!problem.empty()) ReportProblem(documentName + ": " + problem);
        showFolderProgress(folder);
        return 0;
    }
    if (index_->BeginDocument(documentName, stamp.dos, parser->GetDocumentSize(), stamp.version)) {
        ++(lastFound_ ? tally_.replaced : tally_.added);
        if (!problem.empty()) ReportProblem(documentName + ": " + problem);
        const std::int32_t result =
            AddDocumentWords(documentName, *parser, record, !problem.empty());
        if (onDocument_) onDocument_(*index_);
        return result;
    }
    const int code = index_->GetErrorCode();
    index_->ClearError();
    parser->Close();
    if (code == vellcore::kDeclined) return 0;  // indexed already, unchanged
    ReportProblem(std::to_string(code) + " - Error " + documentName);
    return vellcore::isFatalError(code) ? code : 0;
}

std::int32_t DocumentIndexer::AddDocumentWords(const std::string& documentName,
                                               wordmill::Parser& parser,
                                               wordmill::WordRecord& record, bool noted) {
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
            result = vellcore::isFatalError(code) ? code : 0;
            break;
        }
        letMessagesThrough();
    }
    const bool failed = record.position == wordmill::kParseFailed;
    parser.Close();
    if (failed && !noted) ReportProblem(documentName);
    return result;
}

}  // namespace vellumar
