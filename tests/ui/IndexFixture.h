// Window tests of index management: a home whose settings point at an index folder (so
// start-up runs no wizard), a folder of documents, and helpers that fill the Indexes page
// and press its buttons as a user would.
#pragma once

#include "WindowFixture.h"

#include "index/IndexingCore.h"
#include "index/ui/TIndexesPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

struct IndexFixture : WindowFixture {
    fs::path docs;
    fs::path indexes;
    // Every message is answered here (Ok, Yes, Retry unless an answer is queued).
    vellumar::MessageResponderScope answers;

    IndexFixture() {
        docs = fs::path(root.path().toStdString()) / "docs";
        indexes = home / "Indexes";
        fs::create_directories(docs);
        fs::create_directories(indexes);
        writeSettings();
    }

    void writeSettings(const std::string& more = {}) const {
        write(home / "Vellumar.ini",
              "[Indexes]\r\nIndexFolder=" + indexes.string() + "\r\n" + more);
    }

    std::unique_ptr<vellumar::TFormMain> start() {
        auto w = makeWindow();
        w->DeferredStartup();
        return w;
    }

    static std::string scopeOf(const fs::path& folder) { return folder.string() + "/+<*.txt>"; }

    // Types a name and a scope on the Indexes page and presses "Create".
    static void create(vellumar::TFormMain& w, const QString& name, const std::string& scope) {
        vellumar::TIndexesPage& page = w.indexesPage();
        page.controls().cmbIndexName->setEditText(name);
        page.controls().txtFileNames->setText(QString::fromStdString(scope));
        page.txtFileNamesChange();
        page.cmdUpdateClick(page.controls().cmdUpdate);
    }

    static QStringList items(const QComboBox* box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
        return list;
    }

    static int records(vellumar::TFormMain& w, int position) {
        const auto* index = w.core()->catalogue.object(position);
        return index ? index->GetRecordCount() : -1;
    }

    bool saw(const QString& start) const {
        for (const auto& m : answers.messages())
            if (m.text.startsWith(start)) return true;
        return false;
    }
};
