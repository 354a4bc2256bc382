// Window tests of searching: an index "docs" built through the Indexes page over a folder
// of real files, more documents added straight into the engine when a test needs many,
// the Search page made current, and a launcher that records the programs it is asked to
// start instead of starting them.
#pragma once

#include "IndexFixture.h"

#include "doorwell/Launcher.h"
#include "search/ui/TResultList.h"
#include "search/ui/TSearchPage.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <mutex>

// Records every launch; answers with `result` (a finished program with exit status 0 unless
// a test says otherwise). Used from the open worker thread too.
class FakeLauncher : public doorwell::Launcher {
  public:
    doorwell::LaunchResult Launch(const std::vector<std::string>& argv,
                                  std::chrono::milliseconds) override {
        std::lock_guard<std::mutex> lock(mutex_);
        launched_.push_back(argv);
        return result;
    }
    std::vector<std::vector<std::string>> launched() {
        std::lock_guard<std::mutex> lock(mutex_);
        return launched_;
    }
    doorwell::LaunchResult result{0, true, 0};

  private:
    std::mutex mutex_;
    std::vector<std::vector<std::string>> launched_;
};

struct SearchFixture : IndexFixture {
    FakeLauncher launcher;
    std::unique_ptr<vellumar::TFormMain> w;

    // Starts the window with the index "docs" over the files written so far.
    void startWithIndex(const std::string& scope = {}) {
        w = start();
        create(*w, "docs", scope.empty() ? scopeOf(docs) : scope);
        w->controls().tabMain->setCurrentIndex(vellumar::pageSearch);
        w->resultList().setFileServices({&launcher, false});
    }

    vellumar::TSearchPage& page() const { return w->searchPage(); }
    const vellumar::TSearchPage::Controls& sp() const { return w->searchPage().controls(); }
    vellumar::TResultList& list() const { return w->resultList(); }
    const vellumar::TResultList::Controls& rl() const { return w->resultList().controls(); }
    vellcore::IndexObject& index() const {
        return *w->core()->catalogue.object(w->core()->catalogue.opened());
    }

    void search(const QString& query) const {
        sp().cmbSearchExpr->setEditText(query);
        page().cmdOKClick();
    }

    // Documents straight into the engine (in this order, the engine's order), each holding
    // the given words; the files themselves do not exist.
    void addDocuments(int count, const std::string& words, const std::string& prefix = "/gen/f") {
        vellcore::IndexObject& ix = index();
        ix.BeginSession();
        for (int i = 0; i < count; ++i) {
            char number[16];
            std::snprintf(number, sizeof number, "%04d", i);
            QVERIFY(ix.BeginDocument(prefix + number + ".txt", 1, words.size()));
            int position = 0;
            std::string word;
            for (char c : words + " ") {
                if (c != ' ') {
                    word += c;
                } else if (!word.empty()) {
                    QVERIFY(ix.AddWord(word, position++, 0));
                    word.clear();
                }
            }
        }
        ix.EndSession();
        QVERIFY(ix.CloseFiles() && ix.Prepare(3, "", nullptr, 32, 2, 50));
    }

    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < rl().lstFiles->count(); ++i) names << rl().lstFiles->item(i)->text();
        return names;
    }

    QStringList messages() const {
        QStringList texts;
        for (const auto& m : answers.messages()) texts << m.text;
        return texts;
    }
};
