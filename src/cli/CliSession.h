// One run of vellumar-cli: the home (set up on first use exactly as the window sets it
// up), the index folder the window uses, the languages, and the index-management core
// with its catalogue loaded. SIGINT and SIGTERM stop a running build between files.
//
// Thread: the main thread; the notifier thread does not run in the tool.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/CliArguments.h"
#include "cli/ConsoleUserInterface.h"
#include "index/IndexingCore.h"
#include "lang/TLanguageList.h"
#include "monitor/MainThreadDispatcher.h"
#include "platform/Settings.h"

namespace vellumar::cli {

class Session {
  public:
    // answers: standard input when a person can answer questions there, else nullptr.
    Session(const Arguments& arguments, std::FILE* err, bool terminal, std::FILE* answers);
    ~Session();

    // The index of that name opened for searching (repairing it after the question), or
    // -1 with the message printed.
    int open(const std::string& name);
    // The definition file of an index that is not loaded because its engine folder is
    // missing (case-insensitive name), or empty.
    std::filesystem::path definitionWithoutIndex(const std::string& name) const;
    // What the Indexes page would show for an existing index.
    IndexRequest requestFor(int position);

    ConsoleUserInterface ui;
    std::filesystem::path home;
    std::string indexFolder;
    Settings settings;  // the program's settings file, as the window reads it
    TLanguageList languages;
    QueuedDispatcher dispatcher;
    ProgressThrottle throttle;
    std::unique_ptr<IndexingCore> core;
};

}  // namespace vellumar::cli
