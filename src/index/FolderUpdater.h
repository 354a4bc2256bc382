// Re-indexing one folder of an index: the core of automatic updating. When the notifier
// reports that a folder of an automatically updateable index changed, the window's
// folder-changed handler calls Update for that index and folder. The files of the folder
// that the index's patterns select are indexed again inside a session, documents whose
// files are gone from the folder leave the index, and LastUpdated is written when the
// index changed. Subfolders made or moved in since the last walk are walked, watched and
// indexed in the same session; a folder that is gone takes its documents, and those of
// the folders below it, out of the index and stops being watched.
//
// A failed update never costs the index: it keeps what it held at its last commit, stays
// in the catalogue with its definition file and is opened again for searching when it was
// open before. Only an index that cannot be opened afterwards is left to the repair
// question of its next opening.
//
// Nothing here shows anything (the document indexer's progress texts aside): the outcome
// carries the message, which the handler shows through TNotifier::RunInMainThread, so a
// main thread that waits for the notifier lock can never be waited for in turn.
//
// Owned by IndexingCore. Thread: the thread that holds the notifier lock: the notifier
// thread in a polling pass, or the main thread through TNotifier::FolderChanged.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "index/Catalogue.h"
#include "index/DocumentIndexer.h"

namespace vellumar {

class TNotifier;
class TParserSet;

struct FolderUpdateOutcome {
    bool ran = false;         // the index takes files from the folder and they were indexed
    std::int32_t code = 0;    // 0, the cancel code, or the failure that ended the update
    bool changed = false;     // documents were added, replaced or removed
    bool reopened = true;     // false: the index could not be opened afterwards
    std::string message;      // the error message to show after a failure, else empty
    std::string lastUpdated;  // the LastUpdated text written when the index changed
    int added = 0;            // documents new to the index
    int replaced = 0;         // documents read again because their files changed
    int removed = 0;          // documents whose files are gone
    bool folderGone = false;  // the folder no longer exists (deleted, moved or unmounted)
};

struct FolderUpdaterServices {
    Catalogue& catalogue;
    TNotifier& notifier;
    DocumentIndexer& indexer;
    TParserSet& parsers;  // the indexing parser set
    std::atomic<bool>& cancel;
    std::filesystem::path home;  // Files.log
};

class FolderUpdater {
  public:
    explicit FolderUpdater(FolderUpdaterServices services) : services_(std::move(services)) {}

    // position: the index; folder: the notifier's folder key (no trailing "/", the root
    // is "/").
    FolderUpdateOutcome Update(int position, const std::string& folder);

  private:
    std::int32_t removeVanished(vellcore::IndexObject& index,
                                const std::vector<std::string>& folders,
                                FolderUpdateOutcome& outcome);

    FolderUpdaterServices services_;
};

// The message after a failed automatic update of the named index.
std::string folderUpdateFailureText(std::int32_t code, const std::string& indexName, bool reopened);

}  // namespace vellumar
