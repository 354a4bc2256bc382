// A program core over a temporary home for the index tests: a user interface that records
// every message and answers questions from a script, and helpers to write documents.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/IndexingCore.h"
#include "monitor/MainThreadDispatcher.h"
#include "support/TempDir.h"

namespace vellumar::testing {

class ScriptedUserInterface : public UserInterface {
  public:
    void processPendingMessages() override {
        if (onMessages) onMessages();
    }
    void showStatus(const std::string& text) override { statuses.push_back(text); }
    MessageResult showMessage(const std::string& text, MessageIcon,
                              MessageButtons buttons) override {
        messages.push_back(text);
        if (!answers.empty()) {
            const MessageResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        switch (buttons) {
            case MessageButtons::YesNo:
            case MessageButtons::YesNoCancel:
                return MessageResult::Yes;
            case MessageButtons::RetryCancel:
                return MessageResult::Cancel;
            default:
                return MessageResult::Ok;
        }
    }
    bool saw(const std::string& start) const {
        for (const auto& m : messages)
            if (m.rfind(start, 0) == 0) return true;
        return false;
    }

    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::deque<MessageResult> answers;
    std::function<void()> onMessages;
};

class CoreFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        tmp = std::make_unique<testing_support::TempDir>();
        root = tmp->path();
        std::filesystem::create_directories(root / "home" / "Indexes");
        std::filesystem::create_directories(root / "home" / "tmp");
        std::filesystem::create_directories(root / "docs");
        makeCore();
    }
    void TearDown() override {
        core.reset();
        tmp.reset();
    }
    void makeCore() {
        core.reset();
        IndexingCoreSettings settings;
        settings.home = root / "home";
        settings.indexFolder = (root / "home" / "Indexes").string();
        settings.programTempFolder = root / "home" / "tmp";
        settings.startNotifierThread = false;
        core = std::make_unique<IndexingCore>(ui, dispatcher, throttle, settings);
        core->attachScanFolder();
    }
    void write(const std::string& relative, const std::string& text) {
        const auto path = root / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string docs() const { return (root / "docs").string(); }
    IndexRequest request(const std::string& name, const std::string& scope) {
        IndexRequest r;
        r.name = name;
        r.scope = scope;
        r.languageName = "English (i)";
        return r;
    }
    // Files found for a query in the index at position (opened for searching).
    std::vector<std::string> search(int position, const std::string& query) {
        vellcore::IndexObject* index = core->catalogue.object(position);
        std::vector<std::string> names;
        if (!index) return names;
        index->BeginSession();
        int files = 0;
        std::int64_t entries = 0;
        if (index->RunQuery(query, files, entries) != 0) {
            index->SortResults(1);
            for (int i = 0; i < files; ++i) {
                std::string name;
                vellcore::Stamp stamp;
                if (index->GetResult(i, name, stamp)) names.push_back(name);
            }
        }
        index->ClearError();
        index->EndSession();
        return names;
    }

    std::unique_ptr<testing_support::TempDir> tmp;
    std::filesystem::path root;
    ScriptedUserInterface ui;
    QueuedDispatcher dispatcher;
    ProgressThrottle throttle;
    std::unique_ptr<IndexingCore> core;
};

}  // namespace vellumar::testing
