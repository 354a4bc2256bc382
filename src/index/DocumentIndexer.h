// Indexing documents: the files of one folder that the folder's pattern groups select are
// opened with the parser set and their words fed to the current index; archives met on
// the way are unpacked below the index folder and indexed member by member, under
// virtual names such as /docs/a.zip//sub/readme.txt (nested: /docs/a.zip//inner.zip//x.txt).
//
// The notifier's walk calls IndexFolderFiles for every folder a new or changed scope newly
// covers; automatic updating calls it for one changed folder. Both run inside a build that
// begin() started and end() finishes.
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
#include <vector>

#include "archive/ArchiveReader.h"
#include "index/ErrorLog.h"
#include "platform/DosStamp.h"
#include "platform/ProgressThrottle.h"
#include "platform/UserInterface.h"
#include "vellcore/IndexObject.h"
#include "wordmill/Parser.h"

namespace vellumar {

class TParserSet;

struct IndexingOptions {
    bool archives = false;     // "Scan archives": unpack zip, rar, cab, arj (and more)
    bool filesAsText = false;  // "Don't use format filters": every file as plain text
};

struct IndexingServices {
    TParserSet& parsers;
    UserInterface& ui;
    ProgressThrottle& throttle;
    const std::atomic<bool>& cancel;            // the user asked to stop
    std::filesystem::path programTempFolder;    // emptied before each folder
    arcread::ToolSettings archiveTools;
};

class DocumentIndexer {
public:
    explicit DocumentIndexer(IndexingServices services);

    // A build of `index` starts: folders are indexed into it until end().
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

    // One file or archive (folder ends in "/"); the member list selects archive members.
    std::int32_t IndexOneFile(const std::string& folder, const std::string& name,
                              const std::vector<std::string>& memberList, DosStamp stamp);

    // Feeds every word of the parser's open document to the index; closes the parser.
    std::int32_t AddDocumentWords(const std::string& documentName, wordmill::Parser& parser,
                                  wordmill::WordRecord& record);

    void ReportProblem(std::string text);

    int processedFiles() const { return processedFiles_; }

    struct Entry {
        std::string name;
        bool isFolder;
    };
    // The code with which a folder step last stopped the walk in this build (0: none).
    std::int32_t stopCode() const { return stopCode_; }

private:
    void IndexArchive(const std::string& folder, const std::string& archiveName,
                      const std::vector<std::string>& memberList, DosStamp stamp);
    void IndexExtractedFolder(const std::vector<std::string>& memberList,
                              const std::string& folder, DosStamp stamp);
    std::int32_t indexPattern(const std::string& folder, const std::string& pattern,
                              const std::vector<std::string>& memberList);
    std::int32_t scanGroups(const std::string& folder, const std::string& groups,
                            std::vector<std::string>& memberList);
    void letMessagesThrough(bool always = false);
    void showProgress(const std::string& text);

    IndexingServices services_;
    vellcore::IndexObject* index_ = nullptr;
    IndexingOptions options_;
    ErrorLog* log_ = nullptr;
    std::function<void(const vellcore::IndexObject&)> onDocument_;
    int processedFiles_ = 0;
    std::string virtualPath_;  // empty outside archives; else the member name prefix
    int archiveDepth_ = 0;
    std::int32_t stopCode_ = 0;
    std::string listedFolder_;   // the folder listing_ holds
    std::vector<Entry> listing_;
    std::int64_t lastMessagesMs_ = 0;
};

// The extension test of archives: the lower-cased extension (dot included) is one of
// .zip .arj .cab .rar.
bool isArchiveName(const std::string& name);

}  // namespace vellumar
