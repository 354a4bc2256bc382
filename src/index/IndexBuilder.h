// Creating, updating and removing indexes. The builder brackets the notifier's walk over a
// scope (which calls the document indexer for every newly covered folder) with the engine
// calls that prepare and close the index and with the index's definition file, and keeps
// the catalogue's four lists parallel whatever happens: a failed creation leaves the index
// in none of them and nothing on disk; a failed, cancelled or killed update never costs the
// index, which stays in all of them with its definition file, as it was at its last commit.
//
// The window and the command-line tool fill an IndexRequest from their controls or
// arguments, call Build, and show the outcome; questions and messages go through the
// UserInterface, the window's busy state through the BuildListener.
//
// Thread: the main thread. Build takes the notifier lock for its whole length.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "index/Catalogue.h"
#include "index/DocumentIndexer.h"
#include "index/ErrorLog.h"
#include "platform/UserInterface.h"
#include "textfold/TextFold.h"

namespace vellumar {

class HomeLock;

class TNotifier;
class TParserSet;

struct IndexRequest {
    std::string name;
    std::string scope;
    std::string maxLength = "32";  // as typed; validated by Build
    std::string minLength = "2";
    std::string languageName;
    textfold::CharTable languageTable = textfold::englishTable();
    bool autoUpdate = false;
    bool archives = false;
    bool filesAsText = false;
    bool express = false;
    bool useStopWords = false;
    std::string stopWords;  // box text: relative to the home unless absolute
    bool useDictionary = false;
    std::string dictionary;
    std::string notes;
};

enum class BuildKind {
    Create,      // a new index named request.name
    Update,      // walk the index's scope again: new and changed documents, vanished removed
    UpdateFile,  // one found file again (request.scope holds its document name)
};

struct BuildOutcome {
    std::int32_t code = 0;  // BuildResult codes
    int position = -1;      // the index's position afterwards, -1 when it is gone
    bool ran = false;       // false when validation stopped it before anything was built
};

// What the window does around a build: the busy state, the statistics while documents
// are stored, the unchecking of boxes the build turned off.
class BuildListener {
  public:
    virtual ~BuildListener() = default;
    virtual void buildStarted() {}
    virtual void buildFinished() {}
    virtual void documentStored(const vellcore::IndexObject&) {}
    // The request was changed by the build (a list turned off, raw text refused for the
    // Cache Watcher index); the window puts the new values back into its controls.
    virtual void requestChanged(const IndexRequest&) {}
};

struct BuilderServices {
    Catalogue& catalogue;
    TNotifier& notifier;
    DocumentIndexer& indexer;
    TParserSet& parsers;  // the indexing parser set
    UserInterface& ui;
    std::atomic<bool>& cancel;
    std::filesystem::path home;  // Files.log, relative word-list names
    HomeLock* homeLock =
        nullptr;  // when set, nothing is written while another process holds the home
};

class IndexBuilder {
  public:
    explicit IndexBuilder(BuilderServices services);

    void setListener(BuildListener* listener) { listener_ = listener; }

    // The whole build for the index at position (Update, UpdateFile; an index opened
    // with Catalogue::OpenIndex) or a new one
    // (Create): validation and its messages, the build, Files.log, the definition file,
    // and the failure message. The request may be changed (see BuildListener).
    BuildOutcome Build(BuildKind kind, int position, IndexRequest& request);

    // Deletes the index at position after the question; false when it was kept.
    bool RemoveIndex(int position, bool ask = true);

    // Recreates a broken index at position empty with the given language and walks its
    // scope again; the new object, or nullptr when that failed. For Catalogue::OpenIndex.
    std::unique_ptr<vellcore::IndexObject> RepairIndex(int position,
                                                       const std::string& languageName,
                                                       const textfold::CharTable& table,
                                                       bool filesAsText);

    const ErrorLog& errorLog() const { return errorLog_; }
    std::filesystem::path errorLogFile() const { return services_.home / kErrorLogFileName; }
    bool busy() const { return busy_; }
    // The warning the last build showed (the scope entries it skipped), or empty.
    const std::string& lastWarning() const { return lastWarning_; }

    // The request that updates the index at position as it was defined: its definition
    // file's options and the engine's language and word lengths.
    IndexRequest RequestFor(int position) const;

    // Checks name, scope and word lengths, showing the message for the first problem.
    bool Validate(const IndexRequest& request, int& maxLength, int& minLength) const;

  private:
    std::int32_t CreateIndex(IndexRequest& request, int maxLength, int minLength, int& position);
    std::int32_t UpdateIndex(int position, const IndexRequest& request);
    std::int32_t RebuildIndex(int position, const IndexRequest& request);
    std::int32_t UpdateOneFile(int position, const IndexRequest& request);
    std::int32_t UpdateArchiveOf(vellcore::IndexObject& index, int position,
                                 const std::string& archive, const IndexRequest& request);
    std::int32_t prepareForSearch(vellcore::IndexObject& index, std::int32_t result);
    std::int32_t walkResult(std::int32_t walked) const;
    void writeDefinition(BuildKind kind, int position, const IndexRequest& request);
    void reportFailure(BuildKind kind, std::int32_t code);
    bool reopenAfterFailedUpdate(int position);
    bool mayWrite();  // false (and says so) while another process holds the home

    BuilderServices services_;
    BuildListener* listener_ = nullptr;
    ErrorLog errorLog_;
    std::string lastWarning_;
    bool busy_ = false;
};

inline constexpr const char* kCannotModifyMessage =
    "Sorry, this index can not be updated or removed now. Probably it is opened by another "
    "application.";
inline constexpr const char* kCacheWatcherIndexName = "Cache Watcher";
// The end of the message after a failed update that the index survived.
inline constexpr const char* kIndexKeptText =
    "The index was kept as it was before the update and can still be searched.";
inline constexpr const char* kRepairAdviceText =
    "You can recreate index manually or Vellumar\rtry repair index at next launch.";

}  // namespace vellumar
