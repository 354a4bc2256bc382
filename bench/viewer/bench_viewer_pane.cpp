// The preview in the window, timed: from the result list asking for a file (EntriesDelay)
// to its first entry selected and painted, driven offscreen with the large-file question
// answered Yes: a 10 MB text with its hit near the end, a 10 MB HTML page, a 200-page PDF
// already converted, a member of a zip inside a zip; F3 through 1,000 entries (each step
// with its paint); and, in a run of its own, the peak memory of the program while the
// 10 MB text is shown. Every round also times `grep -c` over the 10 MB text, in turn, so
// both see the same machine state; medians of all rounds are printed.
//
//   bench_viewer_pane WORKDIR [ROUNDS]    the timings
//   bench_viewer_pane WORKDIR --memory    start, show the 10 MB text, print the peak memory
//
// WORKDIR receives the corpus and a home with the index over it (made once).
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QScrollBar>
#include <QStackedWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <archive.h>
#include <archive_entry.h>

#include "ViewerBenchSupport.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"
#include "index/IndexingCore.h"
#include "index/ui/TIndexesPage.h"
#include "platform/ui/MessageBox.h"
#include "search/ui/TSearchPage.h"
#include "viewer/ui/TViewerPane.h"
#include "wordmill/ProcessRunner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace fs = std::filesystem;
using namespace vellumar;
using Clock = std::chrono::steady_clock;

namespace {

using namespace viewer_bench;

// A PDF of `pages` pages of 40 lines each, "needle" on the last page but one.
std::string pdfOf(int pages, std::mt19937& random) {
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
    std::string kids;
    const int fontObject = 3;
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (int p = 0; p < pages; ++p) {
        std::string content = "BT /F1 10 Tf 40 800 Td 12 TL";
        for (int line = 0; line < 40; ++line) {
            std::string text;
            for (int w = 0; w < 10; ++w)
                text += std::string(kPool[random() % std::size(kPool)]) + " ";
            if (p == pages - 2 && line == 20) text += "needle";
            content += " (" + text + ") Tj T*";
        }
        content += " ET";
        const int contentObject = static_cast<int>(objects.size()) + 1;
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" +
                          content + "\nendstream");
        const int pageObject = contentObject + 1;
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents " +
                          std::to_string(contentObject) + " 0 R /Resources << /Font << /F1 " +
                          std::to_string(fontObject) + " 0 R >> >> >>");
        kids += std::to_string(pageObject) + " 0 R ";
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>";
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

void makeCorpus(const fs::path& docs) {
    fs::create_directories(docs);
    std::mt19937 random(2024);
    std::string text = words(random, kSize, false);
    text.insert(text.size() - 200, " needle ");
    writeFile(docs / "large.txt", text);
    std::string many = words(random, kSize, false);
    for (int i = 0; i < 1000; ++i) {
        std::size_t at = many.find(' ', (many.size() / 1000) * i + 1);
        many.insert(at, " marker");
    }
    writeFile(docs / "many.txt", many);
    writeFile(docs / "large.html", "<html><head><title>Large page</title></head><body>" +
                                       words(random, kSize, true) +
                                       "<p>needle at the end</p></body></html>");
    writeFile(docs / "paper.pdf", pdfOf(200, random));
    const std::string inner = zipOf("deep/member.txt", "a member with a needle inside\r\n");
    writeFile(docs / "outer.zip", zipOf("inner.zip", inner));
}

struct Run {
    fs::path work;
    ProgramEnvironment environment;
    MessageResponderScope answers;  // Yes to the large-file question
    std::unique_ptr<TFormMain> w;
    vellcore::IndexObject* index = nullptr;
    bool inSession = false;

    explicit Run(const fs::path& workFolder) : work(workFolder) {
        const fs::path home = work / "pane-home";
        fs::create_directories(home / "Indexes");
        fs::create_directories(work / "systmp");
        if (!fs::exists(home / "Vellumar.ini"))
            writeFile(home / "Vellumar.ini",
                      "[Indexes]\r\nIndexFolder=" + (home / "Indexes").string() + "\r\n");
        environment.home = home;
        environment.systemTemp = work / "systmp";
        environment.userConfigFolder = work / "config";
        environment.userHome = work / "user";
        TTrayIcon::availability() = [] { return false; };
        w = std::make_unique<TFormMain>(environment);
        w->dialogs.runModal = [](QDialog&) { return 1; };
        w->DeferredStartup();
        if (w->core()->catalogue.count() == 0) {
            std::printf("indexing the corpus...\n");
            TIndexesPage& page = w->indexesPage();
            page.controls().cmbIndexName->setEditText(QStringLiteral("bench"));
            page.controls().txtFileNames->setText(QString::fromStdString(
                (work / "pane-docs").string() + "/+<*.txt,*.html,*.pdf,*.zip>"));
            page.controls().chkArc->setChecked(true);
            page.txtFileNamesChange();
            page.cmdUpdateClick(page.controls().cmdUpdate);
        }
        if (w->core()->catalogue.opened() != 0) {
            w->searchPage().selectIndex(0);
            w->searchPage().cmbUsedIndexClick();
        }
        index = w->core()->catalogue.object(0);
        w->showPage(pageSearch);
        w->resize(1280, 900);
        w->show();
        QApplication::processEvents();
    }
    ~Run() {
        if (inSession) index->EndSession();
    }

    struct Found {
        int number = -1;
        quint32 stamp = 0;
    };
    Found find(const std::string& query, const std::string& name) {
        if (inSession) index->EndSession();
        index->BeginSession();
        inSession = true;
        int files = 0;
        std::int64_t entries = 0;
        Found found;
        if (index->RunQuery(query, files, entries) == 0) return found;
        for (int i = 0; i < files; ++i) {
            std::string result;
            vellcore::Stamp stamp = 0;
            if (index->GetResult(i, result, stamp) && result == name) return {i, stamp};
        }
        return found;
    }

    QWidget* front() { return w->viewerPane().controls().viewerStack->currentWidget(); }
    void paint() {
        auto* area = qobject_cast<QAbstractScrollArea*>(front());
        if (area) area->viewport()->repaint();
    }
    bool selected() {
        const auto& c = w->viewerPane().controls();
        return front() == c.HTML1 ? !c.HTML1->SelText().isEmpty()
                                  : !selectedTextOf(front()).isEmpty();
    }

    // Milliseconds from the request to the first entry selected and painted (and the
    // processor time of it in lastCpu); -1 on failure.
    double show(const std::string& query, const std::string& name) {
        const Found found = find(query, name);
        if (found.number < 0) return -1;
        w->viewerPane().setLastQuery(QString::fromStdString(query));
        const auto start = Clock::now();
        const double cpu = cpuMillis();
        w->viewerPane().EntriesDelay(found.number, QString::fromStdString(name), found.stamp);
        paint();
        lastCpu = cpuMillis() - cpu;
        const double elapsed = millis(Clock::now() - start);
        return selected() ? elapsed : -1;
    }
    double lastCpu = 0;
};

long currentRssMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_viewer_pane WORKDIR [ROUNDS | --memory]\n");
        return 2;
    }
    const fs::path work = fs::absolute(argv[1]);
    const bool memory = argc > 2 && std::string(argv[2]) == "--memory";
    const int rounds = argc > 2 && !memory ? std::max(1, std::atoi(argv[2])) : 5;
    const fs::path docs = work / "pane-docs";
    if (!fs::exists(docs / "outer.zip")) makeCorpus(docs);
    Run run(work);
    if (!run.index) return 1;
    const std::string large = (docs / "large.txt").string();
    const std::string many = (docs / "many.txt").string();
    const std::string page = (docs / "large.html").string();
    const std::string pdf = (docs / "paper.pdf").string();
    const std::string member = (docs / "outer.zip").string() + "//inner.zip//deep/member.txt";

    if (memory) {
        const long before = currentRssMB();
        if (run.show("needle", large) < 0) return 1;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("10 MB text shown: resident %ld MB (%ld MB before showing it), peak %ld MB\n",
                    currentRssMB(), before, usage.ru_maxrss / 1024);
        return 0;
    }

    // Once untimed: the PDF is converted, the files are in the system's cache.
    for (const std::string& name : {large, many, page, pdf, member})
        if (run.show(name == many ? "marker" : "needle", name) < 0) {
            std::fprintf(stderr, "%s was not shown\n", name.c_str());
            return 1;
        }
    std::vector<double> text, textCpu, grep, html, paper, zip, steps, stepCpu, stepP99, stepMax;
    for (int round = 0; round < rounds; ++round) {
        text.push_back(run.show("needle", large));
        textCpu.push_back(run.lastCpu);
        grep.push_back(timeGrep(large, "needle"));
        html.push_back(run.show("needle", page));
        paper.push_back(run.show("needle", pdf));
        zip.push_back(run.show("needle", member));
        if (run.show("marker", many) < 0) return 1;
        std::vector<double> each, eachCpu;
        for (int i = 1; i < 1000; ++i) {
            const auto start = Clock::now();
            const double cpu = cpuMillis();
            run.w->FormKeyDown(Qt::Key_F3, Qt::NoModifier);
            run.paint();
            eachCpu.push_back(cpuMillis() - cpu);
            each.push_back(millis(Clock::now() - start));
        }
        stepCpu.push_back(median(eachCpu));
        if (run.w->viewerPane().controls().scrNextPrev->value() != 999) return 1;
        steps.push_back(median(each));
        std::sort(each.begin(), each.end());
        stepP99.push_back(each[each.size() * 99 / 100]);
        stepMax.push_back(each.back());
    }
    for (const auto* v : {&text, &html, &paper, &zip})
        if (std::find(v->begin(), v->end(), -1.0) != v->end()) return 1;
    std::printf("rounds: %d (medians, ms; request to first entry selected and painted)\n", rounds);
    std::printf("10 MB text, entry near the end:   %8.1f   grep -c: %6.1f   ratio %.2f\n",
                median(text), median(grep), median(text) / median(grep));
    std::printf("  in processor time:               %8.1f\n", median(textCpu));
    std::printf("10 MB HTML page, entry at the end: %8.1f\n", median(html));
    std::printf("200-page PDF, already converted:   %8.1f\n", median(paper));
    std::printf("member of a zip inside a zip:      %8.1f\n", median(zip));
    std::printf(
        "F3 through 1,000 entries, per step: %7.3f   99th percentile: %.3f   slowest: %.3f\n",
        median(steps), median(stepP99), median(stepMax));
    std::printf("  per step in processor time:       %7.3f\n", median(stepCpu));
    return 0;
}
