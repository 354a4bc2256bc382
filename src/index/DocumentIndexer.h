// Indexing documents: the files of one folder that the folder's pattern groups select are
// opened with the parser set and their words fed to the current index; archives met on
// the way are unpacked below the index folder and indexed member by member, under
// virtual names such as /docs/a.zip//sub/readme.txt (nested: /docs/a.zip//inner.zip//x.txt).
//
// The notifier's walk calls IndexFolderFiles for every folder a new or changed scope newly
// covers; automatic updating calls it for one changed folder; the one-file update calls
// IndexSingleFile. All run inside a build that begin() started and end() finishes, and
// report their failures alike: one line per document in the build's ErrorLog, with a
// short reason.
//
// A document is read again only when its file changed: its stamp, its size or its exact
// modification time (kept by the engine beside the stamp) differ from the indexed one.
//
// Cancellation reaches every long step: between files and folders, between the members
// of an archive (and within a large one), and while a converter runs; pending messages
// are let through there so that "Cancel" and the session's signals get in.
//
// Ownership: the owner of the program (the window, the command-line tool) owns one
// indexer; it borrows the parser set, the user interface and the throttle.
// Thread: whichever thread holds the notifier lock (the main thread in a build, the
// notifier thread in an automatic update); never two at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "archive/ArchiveReader.h"
#include "index/ErrorLog.h"
#include "platform/DosStamp.h"
#include "platform/ProgressThrottle.h"
#include "platform/UserInterface.h"
#include "vellcore/IndexObject.h"
#include "wordmill/Parser.h"

struct stat;

namespace vellumar {

class TParserSet;

struct IndexingOptions {
    bool archives = false;     // "Scan archives": look into zip, rar, cab, arj, 7z and tar
    bool filesAsText = false;  // "Don't use format filters": every file as plain text
    // Reads every stored version in one pass at the start, for a build that visits the
    // whole index; a build of one folder looks its few files up one by one instead.
    bool wholeIndex = true;
};

struct IndexingServices {
    TParserSet& parsers;
    UserInterface& ui;
    ProgressThrottle& throttle;
    const std::atomic<bool>& cancel;          // the user asked to stop
    std::filesystem::path programTempFolder;  // emptied before each folder
    arcread::ToolSettings archiveTools;
};

// Which version of a file a document was read from: the DOS stamp the engine's callers
// know, and the size and exact time that tell apart two versions within one stamp.
struct FileStamp {
    DosStamp dos = 0;
    vellcore::FileVersion version;
};
FileStamp fileStampOf(const struct stat& info);

class DocumentIndexer {
  public:
    explicit DocumentIndexer(IndexingServices services);
    ~DocumentIndexer();
    DocumentIndexer(const DocumentIndexer&) = delete;
    DocumentIndexer& operator=(const DocumentIndexer&) = delete;

    // A build of `index` starts: folders are indexed into it until end(). Unpack folders
    // that a killed build left in the index's folder are removed first.
    void begin(vellcore::IndexObject& index, IndexingOptions options, ErrorLog& log);
    void end();
    bool active() const { return index_ != nullptr; }

    // Called after every stored document (the window shows the record count and volume).
    void setDocumentListener(std::function<void(const vellcore::IndexObject&)> listener) {
        onDocument_ = std::move(listener);
    }

    // The per-folder step: folder ends in "/"; groups such as "<*.txt,*.htm><mail:*.xml>".
    // Returns 0, an engine code that ends the build (1, 6), or the cancel code.
    std::int32_t IndexFolderFiles(int position, const std::string& folder,
                                  const std::string& groups);

    // The one-file update: the file of that full path is read and stored again (a file
    // that is gone or empty now stays out). Returns 0 or an engine code (1, 6).
    std::int32_t IndexSingleFile(const std::string& path);

    // One file or archive (folder ends in "/"); the member list selects archive members;
    // label ("/" + a group's label, or empty) prefixes an XML document's element paths.
    std::int32_t IndexOneFile(const std::string& folder, const std::string& name,
                              const std::vector<std::string>& memberList, const FileStamp& stamp,
                              std::string_view label);

    // Feeds every word of the parser's open document to the index; closes the parser. A
    // document that could not be parsed to its end is logged by name, unless the caller
    // has logged it already (noted: its text was cut, which may be why).
    std::int32_t AddDocumentWords(const std::string& documentName, wordmill::Parser& parser,
                                  wordmill::WordRecord& record, bool noted = false);

    void ReportProblem(std::string text);

    int processedFiles() const { return processedFiles_; }

    // Documents stored since begin(): new ones, and ones that replaced an older version.
    struct Tally {
        int added = 0;
        int replaced = 0;
    };
    const Tally& tally() const { return tally_; }

    struct Entry {
        std::string name;
        bool isFolder;
    };

  private:
    void IndexArchive(const std::string& folder, const std::string& archiveName,
                      const std::vector<std::string>& memberList, const FileStamp& stamp,
                      std::string_view label);
    void IndexExtractedFolder(const std::vector<std::string>& memberList, const std::string& folder,
                              const FileStamp& stamp, std::string_view label);
    std::int32_t indexPattern(const std::string& folder, const std::string& pattern,
                              const std::vector<std::string>& memberList, std::string_view label,
                              bool archivesOnly);
    std::int32_t scanGroups(const std::string& folder, const std::string& groups,
                            const std::vector<std::string>& memberList, bool archivesOnly);
    bool indexedAlready(const std::string& documentName, const FileStamp& stamp);
    void letMessagesThrough(bool always = false);
    bool keepGoing();
    void showProgress(const std::string& text);
    void showFolderProgress(const std::string& folder);
    // The entries of a folder sorted by name, so that every build meets them in one order.
    static std::vector<Entry> listFolderEntries(const std::string& folder);
    static std::string withSlashOf(std::string folder);

    IndexingServices services_;
    vellcore::IndexObject* index_ = nullptr;
    IndexingOptions options_;
    ErrorLog* log_ = nullptr;
    std::function<void(const vellcore::IndexObject&)> onDocument_;
    int processedFiles_ = 0;
    Tally tally_;
    bool lastFound_ = false;   // indexedAlready found the document (in any version)
    std::string virtualPath_;  // empty outside archives; else the member name prefix
    int archiveDepth_ = 0;
    std::string listedFolder_;  // the folder listing_ holds
    std::vector<Entry> listing_;
    // The listed folder, open: its files are looked at relative to it, which spares the
    // kernel walking the whole path again for each file.
    int listedFd_ = -1;
    void forgetListing();
    // Files of the current folder step already handled: a file that two patterns select
    // (an archive named by the scope and looked into anyway, say) is read once.
    std::unordered_set<std::string> handled_;
    std::int64_t lastMessagesMs_ = 0;
};

// The archives that "Scan archives" looks into, by name (without regard to case): .zip
// .arj .cab .rar .7z .tar, compressed tar (.tar.gz, .tgz, .tar.xz, .tar.zst, ...).
bool isArchiveName(const std::string& name);

// Removes the unpack folders that a killed build left in the index's folder; nothing while
// another process holds the index for writing (its build may be using them). Cheap when
// there are none. Called at the start of each build and when indexes are loaded.
void removeStaleUnpackFolders(vellcore::IndexObject& index);

}  // namespace vellumar
