// The long-lived objects of index management, created together and wired to each other:
// the change notifier (with its inotify source and priority switch), the two parser sets,
// the document indexer, the catalogue, the builder and the folder updater. The window owns
// one (created in FormCreate), the command-line tool owns one, tests make their own.
//
// Members are declared in dependency order, so they are destroyed in reverse: the builder
// and catalogue go before the notifier they use, the notifier (whose destructor waits for
// its thread) before the objects its events reach.
//
// Thread: created and destroyed on the main thread; see each member for its rules.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "index/Catalogue.h"
#include "index/DocumentIndexer.h"
#include "index/FolderChangeHandler.h"
#include "index/FolderUpdater.h"
#include "index/IndexBuilder.h"
#include "monitor/HomeLock.h"
#include "monitor/Notifier.h"
#include "monitor/ProcessPriorityControl.h"
#include "parserset/TParserSet.h"
#include "platform/notify/InotifyChangeSource.h"

namespace vellumar {

struct IndexingCoreSettings {
    std::filesystem::path home;  // the program folder
    std::string indexFolder;
    std::filesystem::path programTempFolder;  // emptied per folder while indexing
    bool runFromCd = false;
    std::string mountPoint;
    textfold::CharTable firstLanguageTable = textfold::englishTable();
    bool startNotifierThread = true;    // the command-line tool polls nothing
    std::string writerRole = "window";  // who holds the home while it writes (HomeLock)
};

class IndexingCore {
  public:
    IndexingCore(UserInterface& ui, MainThreadDispatcher& dispatcher, ProgressThrottle& throttle,
                 IndexingCoreSettings settings);
    ~IndexingCore();

    std::atomic<bool> cancel{false};  // the user asked to stop indexing

    UserInterface& ui;
    IndexingCoreSettings settings;
    HomeLock homeLock;  // taken by the first write (or at start by a long-lived writer)
    InotifyChangeSource changes;
    ProcessPriorityControl priority;
    TNotifier notifier;
    std::shared_ptr<ParserSetShared> parserState;
    TParserSet indexingParsers;
    TParserSet viewerParsers;
    DocumentIndexer indexer;
    Catalogue catalogue;
    IndexBuilder builder;
    FolderUpdater folderUpdater;        // automatic updating of one changed folder
    FolderChangeHandler folderChanges;  // what the notifier's folder reports start

    // Attaches the walk's per-folder step to the indexer (the window does this at the
    // start of its deferred start-up; the tool at once).
    void attachScanFolder();
    void detachScanFolder();
};

}  // namespace vellumar
