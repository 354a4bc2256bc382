// Window tests of the viewer pane: a window with an index over a folder of documents,
// queries run through the engine (as the Search page runs them; its session stays open
// while the results are "listed"), and the pane asked to show a found file as the result
// list asks it. The desktop never opens anything: the opener records what it was given.
#pragma once

#include "IndexFixture.h"

#include "index/IndexingCore.h"
#include "viewer/DocumentPreview.h"
#include "viewer/THistory.h"
#include "viewer/ui/OpenOutside.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

struct Found {
    int number = -1;  // the engine's result index
    quint32 stamp = 0;
};

struct ViewerWindowFixture : IndexFixture {
    std::unique_ptr<vellumar::TFormMain> w;
    vellcore::IndexObject* index = nullptr;
    bool inSession = false;
    std::vector<QUrl> opened;  // what the desktop was asked to open
    vellumar::DesktopOpener previousOpener;

    ViewerWindowFixture() : previousOpener(vellumar::desktopOpener()) {
        vellumar::desktopOpener() = [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        };
    }
    ~ViewerWindowFixture() {
        endSearch();
        w.reset();
        vellumar::desktopOpener() = previousOpener;
    }

    // Starts the window and builds the index "docs" over the docs folder; archives and
    // "Don't use format filters" as asked.
    void build(const std::string& patterns, bool archives = false, bool raw = false) {
        w = start();
        w->indexesPage().controls().chkArc->setChecked(archives);
        w->indexesPage().controls().chkFileAsText->setChecked(raw);
        create(*w, QStringLiteral("docs"), docs.string() + "/+<" + patterns + ">");
        vellumar::Catalogue& catalogue = w->core()->catalogue;
        QCOMPARE(catalogue.count(), 1);
        if (catalogue.opened() != 0) {
            w->searchPage().selectIndex(0);
            w->searchPage().cmbUsedIndexClick();
        }
        index = catalogue.object(0);
        QVERIFY(index);
        QCOMPARE(w->viewerPane().formatFiltersInUse(), !raw);
        w->showPage(vellumar::pageSearch);  // F2 and F3 act on the Search page
    }

    // Runs the query, keeps its session open, and finds `name` among the results.
    Found search(const QString& query, const std::string& name) {
        endSearch();
        index->BeginSession();
        inSession = true;
        int files = 0;
        std::int64_t entries = 0;
        Found found;
        if (index->RunQuery(query.toStdString(), files, entries) == 0) return found;
        for (int i = 0; i < files; ++i) {
            std::string result;
            vellcore::Stamp stamp = 0;
            if (index->GetResult(i, result, stamp) && result == name) {
                found = {i, static_cast<quint32>(stamp)};
                break;
            }
        }
        w->viewerPane().setLastQuery(query);
        return found;
    }

    void endSearch() {
        if (inSession && index) index->EndSession();
        inSession = false;
    }

    // Searches and asks the pane to show the file, as a click in the result list does.
    bool show(const QString& query, const fs::path& file) {
        const Found found = search(query, file.string());
        if (found.number < 0) return false;
        pane().EntriesDelay(found.number, QString::fromStdString(file.string()), found.stamp);
        return true;
    }

    vellumar::TViewerPane& pane() { return w->viewerPane(); }
    const vellumar::TViewerPane::Controls& vp() { return w->viewerPane().controls(); }

    // The viewer in front and its selected text, line ends as "\n".
    QString selected() {
        QWidget* front = vp().viewerStack->currentWidget();
        if (front == vp().HTML1) return vp().HTML1->SelText();
        return vellumar::selectedTextOf(front);
    }
    QString entryLabels() {
        return vp().lblEntries1->text() + vp().lblEntries2->text() + vp().lblEntries3->text();
    }
    // F3 or F2 through the frame's key handling on the Search page.
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        w->FormKeyDown(key, modifiers);
    }
    QString lastMessage() const {
        return answers.messages().empty() ? QString() : answers.messages().back().text;
    }
};
