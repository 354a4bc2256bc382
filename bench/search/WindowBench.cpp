// The search benchmark's window helper: the main window driven offscreen, as a user
// drives the Search page.
//   bench_search_window search FOLDER NAME ROUNDS QUERY...
//        per query, the median and slowest time from cmdOKClick until the first page of
//        names is in lstFiles (page size 100)
//   bench_search_window paging FOLDER NAME ROUNDS
//        a search for "common", then ROUNDS page changes (btnNextClick, and from the last
//        page btnStartClick): median and slowest
//   bench_search_window memory FOLDER NAME PAGESIZE
//        a search for "common" with that page size; the peak memory of the process
// FOLDER is an index folder and NAME an index in it; an index without its definition file
// (a generated one) gets one. The window runs on a home of its own next to the folder.
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/TFormMain.h"
#include "index/IndexDefinition.h"
#include "platform/ui/MessageBox.h"
#include "search/ui/TResultList.h"
#include "search/ui/TSearchPage.h"

using namespace vellumar;
namespace fs = std::filesystem;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

long peakKB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct Window {
    std::unique_ptr<TFormMain> form;
    TSearchPage* page = nullptr;
    const TSearchPage::Controls* sp = nullptr;
    const TResultList::Controls* rl = nullptr;
};

// The window on a home beside the index folder, with that folder as its index folder and
// the named index open on the Search page.
Window openWindow(const fs::path& folder, const std::string& name, const std::string& pageSize) {
    const fs::path definition = definitionFileOf(indexPathOf(folder.string(), name));
    if (!fs::exists(definition)) {
        IndexDefinition generated;
        generated.scope = "/generated/+<*.txt>";
        generated.save(definition);
    }
    const fs::path home = folder.parent_path() / ("window-home-" + name);
    fs::create_directories(home);
    std::ofstream(home / "Vellumar.ini", std::ios::trunc)
        << "[Indexes]\r\nIndexFolder=" << folder.string() << "\r\nIndexName=" << name
        << "\r\n[View Options]\r\nStayOnPreviouslyViewed=0\r\n";
    ProgramEnvironment environment;
    environment.home = home;
    environment.systemTemp = fs::temp_directory_path();
    environment.userConfigFolder = home / "config";
    environment.userHome = home;

    Window w;
    w.form = std::make_unique<TFormMain>(environment);
    w.form->dialogs.runModal = [](QDialog&) { return 0; };
    w.form->settings().maximumFiles = pageSize;
    w.form->DeferredStartup();
    w.page = &w.form->searchPage();
    w.sp = &w.page->controls();
    w.rl = &w.form->resultList().controls();
    const int position = w.sp->cmbUsedIndex->findText(QString::fromStdString(name));
    if (position < 0) {
        std::fprintf(stderr, "no index %s in %s\n", name.c_str(), folder.c_str());
        std::exit(1);
    }
    w.page->useIndex(position);
    return w;
}

// One search as the user starts it; milliseconds until lstFiles holds the first page.
double timedSearch(Window& w, const QString& query) {
    w.sp->cmbSearchExpr->setEditText(query);
    QElapsedTimer timer;
    timer.start();
    w.page->cmdOKClick();
    return timer.nsecsElapsed() / 1e6;
}

int search(Window& w, int rounds, const std::vector<std::string>& queries) {
    std::printf("%-28s %10s %10s %10s %8s\n", "query", "median ms", "slowest", "files", "listed");
    for (const std::string& q : queries) {
        std::vector<double> times;
        timedSearch(w, QString::fromStdString(q));  // warm-up
        for (int r = 0; r < rounds; ++r) times.push_back(timedSearch(w, QString::fromStdString(q)));
        std::printf("%-28s %10.2f %10.2f %10s %8d\n", q.c_str(), median(times),
                    *std::max_element(times.begin(), times.end()),
                    w.sp->lblTotalFiles1->text().toUtf8().constData(), w.rl->lstFiles->count());
    }
    return 0;
}

int paging(Window& w, int rounds) {
    const double searchMs = timedSearch(w, QStringLiteral("common"));
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        if (w.rl->btnNext->isEnabled())
            w.form->resultList().btnNextClick();
        else
            w.form->resultList().btnStartClick();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf(
        "found %s; search %.1f ms; page change (%d names): median %.2f ms, slowest %.2f ms\n",
        w.sp->lblTotalFiles1->text().toUtf8().constData(), searchMs, w.rl->lstFiles->count(),
        median(times), *std::max_element(times.begin(), times.end()));
    return 0;
}

int memory(Window& w) {
    const long before = peakKB();
    const double searchMs = timedSearch(w, QStringLiteral("common"));
    std::printf(
        "found %s, page of %d names: search %.1f ms; peak %ld KB (%ld KB before the search)\n",
        w.sp->lblTotalFiles1->text().toUtf8().constData(), w.rl->lstFiles->count(), searchMs,
        peakKB(), before);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::vector<std::string> a(argv + 1, argv + argc);
    // A message box would wait for a person: print it instead.
    MessageResponderScope answers([](const MessageRequest& m) {
        std::fprintf(stderr, "message: %s\n", m.text.toUtf8().constData());
        return MessageResult::Ok;
    });
    if (a.size() >= 5 && a[0] == "search") {
        Window w = openWindow(a[1], a[2], "100");
        return search(w, std::stoi(a[3]), std::vector<std::string>(a.begin() + 4, a.end()));
    }
    if (a.size() == 4 && a[0] == "paging") {
        Window w = openWindow(a[1], a[2], "100");
        return paging(w, std::stoi(a[3]));
    }
    if (a.size() == 4 && a[0] == "memory") {
        Window w = openWindow(a[1], a[2], a[3]);
        return memory(w);
    }
    std::fprintf(stderr,
                 "usage: bench_search_window search FOLDER NAME ROUNDS QUERY... | paging FOLDER "
                 "NAME ROUNDS | memory FOLDER NAME PAGESIZE\n");
    return 2;
}
