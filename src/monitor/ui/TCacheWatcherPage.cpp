#include "monitor/ui/TCacheWatcherPage.h"

#include "htmlview/THTMLViewer.h"
#include "index/IndexDefinition.h"
#include "index/IndexingCore.h"
#include "monitor/cachewatch/CacheWatcher.h"
#include "platform/Home.h"
#include "platform/ProgramSetup.h"
#include "platform/Settings.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "viewer/ResolveLink.h"
#include "viewer/ui/ViewColors.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vellumar {

namespace {

constexpr int kHistoryPages = 20;

QString q(const std::string& s) { return QString::fromStdString(s); }

const QString kCannotOpenFile = QStringLiteral("Can't open the file ");

}  // namespace

TCacheWatcherPage::TCacheWatcherPage(PageHost& host, QWidget* parent)
    : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("tabWatcher"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    page->addLayout(bar);
    ui.cmdNewSearch = makeButton(this, "cmdNewSearch", QStringLiteral("New &Search"),
                                 QStringLiteral("Opens search screen"));
    ui.cmdCWBack =
        makeToolButton(this, "cmdCWBack", style()->standardIcon(QStyle::SP_ArrowBack),
                       QStringLiteral("Go back through the history of search results: F4"));
    ui.cmdCWForward =
        makeToolButton(this, "cmdCWForward", style()->standardIcon(QStyle::SP_ArrowForward),
                       QStringLiteral("Go forward through the history of search results: F5"));
    ui.cmdCWBack->setEnabled(false);
    ui.cmdCWForward->setEnabled(false);
    ui.cmdCWHelp =
        makeButton(this, "cmdCWHelp", QStringLiteral("&Help"), QStringLiteral("Opens Help file"));
    bar->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.cmdNewSearch, ui.cmdCWBack,
                                                      ui.cmdCWForward, ui.cmdCWHelp})
        bar->addWidget(w);
    ui.pnlWatcher = named(new QFrame(this), "pnlWatcher");
    ui.pnlWatcher->setFrameShape(QFrame::StyledPanel);
    page->addWidget(ui.pnlWatcher, 1);
    auto* inner = new QVBoxLayout(ui.pnlWatcher);
    inner->setContentsMargins(0, 0, 0, 0);
    ui.HTML2 = named(new htmlview::THTMLViewer(ui.pnlWatcher), "HTML2");
    ui.HTML2->SetHistoryMaxCount(kHistoryPages);
    ui.HTML2->SetViewImages(false);
    inner->addWidget(ui.HTML2);

    ui.mnuHTML2 = named(new QMenu(this), "mnuHTML2");
    ui.mnuFont2 = ui.mnuHTML2->addAction(QStringLiteral("Font..."));
    ui.mnuBackColor2 = ui.mnuHTML2->addAction(QStringLiteral("Background Color..."));
    ui.mnuLoadBrowser = ui.mnuHTML2->addAction(QStringLiteral("Load HTML into Browser"));

    openOutside = [](const QString& address) {
        return QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
    };

    connect(ui.cmdNewSearch, &QPushButton::clicked, this, &TCacheWatcherPage::cmdNewSearchClick);
    connect(ui.cmdCWBack, &QToolButton::clicked, this, &TCacheWatcherPage::cmdCWBackClick);
    connect(ui.cmdCWForward, &QToolButton::clicked, this, &TCacheWatcherPage::cmdCWForwardClick);
    connect(ui.cmdCWHelp, &QPushButton::clicked, this, &TCacheWatcherPage::cmdCWHelpClick);
    // Handled once the display's own event is over: a search loads another page, which
    // deletes the form's widgets, among them the one still sending the submission.
    connect(ui.HTML2, &htmlview::THTMLViewer::formSubmitted, this,
            [this](const htmlview::FormSubmission& submission) {
                QTimer::singleShot(0, this, [this, submission] { HTML2FormSubmit(submission); });
            });
    connect(ui.HTML2, &htmlview::THTMLViewer::historyChanged, this,
            &TCacheWatcherPage::HTML2HistoryChange);
    connect(ui.HTML2, &htmlview::THTMLViewer::hotSpotCovered, this, [this](const QString& url) {
        LinkContext context;
        context.currentFile = ui.HTML2->CurrentFile().toStdString();
        context.base = ui.HTML2->Base().toStdString();
        context.programFolder = host_.environment().home;
        host_.setStatusText(q(hotSpotStatusText(context, url.toStdString())));
    });
    ui.HTML2->SetHotSpotClickHandler([this](const QString& url) { return HTML2HotSpotClick(url); });
}

TCacheWatcherPage::~TCacheWatcherPage() = default;

cachewatch::CacheWatcher* TCacheWatcherPage::watcher() {
    IndexingCore* core = host_.core();
    if (core != watcherCore_) {
        watcher_.reset();
        watcherCore_ = core;
        if (core)
            watcher_ = std::make_unique<cachewatch::CacheWatcher>(
                *core, host_.environment().home, cachewatch::userCacheRoot(processEnvironment()));
    }
    return watcher_.get();
}

void TCacheWatcherPage::showHtml(const std::string& html) {
    ui.HTML2->LoadFromString(
        q(html), QString::fromStdString(host_.environment().home.string()) + QStringLiteral("/"));
}

void TCacheWatcherPage::ShowCacheWatcherStartPage() {
    cachewatch::CacheWatcher* cw = watcher();
    if (!cw) return;
    const cachewatch::StartPage start = cw->startPage();
    if (start.formFile.empty()) {
        showHtml(start.html);
        return;
    }
    const QString file = q(start.formFile.string());
    if (!ui.HTML2->LoadFromFile(file))
        showMessageBox(kCannotOpenFile + file, MessageIcon::Warning, MessageButtons::Ok, this);
}

void TCacheWatcherPage::CreateCacheWatcherIndex() {
    cachewatch::CacheWatcher* cw = watcher();
    if (!cw) return;
    // The mirror is brought up to date here; the Indexes page builds with its own
    // language and word lists.
    const auto request = cw->indexRequest(IndexRequest{}, true);
    if (!request) return;  // no cache was found
    emit createIndexRequested(q(request->name), q(request->scope));
}

void TCacheWatcherPage::HTML2FormSubmit(const htmlview::FormSubmission& submission) {
    cachewatch::CacheWatcher* cw = watcher();
    if (!cw) return;
    cachewatch::FormFields fields;
    for (const auto& [name, value] : submission.fields)
        fields.emplace_back(name.toStdString(), value.toStdString());
    const cachewatch::FormDecision decision = cachewatch::decideFormSubmission(
        submission.action.toStdString(), fields, cw->indexPosition() >= 0);
    switch (decision.step) {
        case cachewatch::FormStep::Nothing:
            return;
        case cachewatch::FormStep::CreateIndex:
            host_.showPage(pageIndexes);
            CreateCacheWatcherIndex();
            if (cw->indexPosition() >= 0) host_.showPage(pageWatcher);
            [[fallthrough]];
        case cachewatch::FormStep::ShowStartPage:
            ShowCacheWatcherStartPage();
            ui.HTML2->setFocus();
            return;
        case cachewatch::FormStep::ShowCreatePage:
            ShowCacheWatcherStartPage();  // the offer to create it, or why it cannot be
            return;
        case cachewatch::FormStep::Search:
            runSearch(q(decision.query));
            return;
    }
}

void TCacheWatcherPage::runSearch(const QString& query) {
    cachewatch::CacheWatcher* cw = watcher();
    IndexingCore* core = host_.core();
    int position = cw->indexPosition();
    if (core->catalogue.opened() != position)
        emit indexSelectionRequested(position);
    else
        emit clearResultsRequested(true);
    position = cw->indexPosition();  // opening may have found it broken and let it go
    if (position < 0) {
        ShowCacheWatcherStartPage();
        return;
    }
    const auto definition = IndexDefinition::load(core->catalogue.definitionFile(position));
    const bool rawText = definition && definition->filesAsText;
    cachewatch::SearchPage result;
    {
        CursorScope busy(CursorShape::Hourglass);
        result = cw->runSearch(position, query.toStdString(), rawText);
    }
    host_.setStatusText(QString());
    if (!result.file.empty())
        ui.HTML2->LoadFromFile(q(result.file.string()));  // a page that fails stays as it was
    else
        showHtml(result.html);
}

bool TCacheWatcherPage::HTML2HotSpotClick(const QString& url) {
    LinkContext context;
    context.currentFile = ui.HTML2->CurrentFile().toStdString();
    context.base = ui.HTML2->Base().toStdString();
    context.programFolder = host_.environment().home;
    const ResolvedLink link = ResolveLink(context, url.toStdString());
    switch (link.kind) {
        case LinkKind::Ignore:
            return true;
        case LinkKind::Anchor:
            ui.HTML2->PositionTo(q(link.anchor));
            return true;
        case LinkKind::openOutsideProgram: {
            bool opened = false;
            {
                CursorScope starting(CursorShape::AppStart);
                opened = openOutside && openOutside(q(link.target));
            }
            if (!opened)
                showMessageBox(QStringLiteral("There is no application associated\rwith the given "
                                              "filename extension"),
                               MessageIcon::Warning, MessageButtons::Ok, this);
            return true;
        }
        case LinkKind::LocalFile:
            loadPage(q(link.target), q(link.anchor));
            return true;
    }
    return true;
}

void TCacheWatcherPage::loadPage(const QString& file, const QString& anchor) {
    host_.setStatusText(QStringLiteral("Loading the file..."));
    const bool loaded = QFileInfo(file).isFile() && ui.HTML2->LoadFromFile(file);
    host_.setStatusText(QString());
    if (!loaded) {
        showMessageBox(kCannotOpenFile + file, MessageIcon::Warning, MessageButtons::Ok, this);
        return;
    }
    if (!anchor.isEmpty()) ui.HTML2->PositionTo(anchor);
}

void TCacheWatcherPage::HTML2HistoryChange() {
    cachewatch::CacheWatcher* cw = watcher();
    if (!cw) return;
    std::vector<std::string> history;
    for (const QString& entry : ui.HTML2->History()) history.push_back(entry.toStdString());
    const auto buttons = cw->resultPages().historyChanged(history, ui.HTML2->HistoryIndex());
    ui.cmdCWBack->setEnabled(buttons.back);
    ui.cmdCWForward->setEnabled(buttons.forward);
}

void TCacheWatcherPage::cacheFoldersChanged() {
    if (cachewatch::CacheWatcher* cw = watcher()) cw->refreshMirrorAndIndex();
}

QStringList TCacheWatcherPage::cacheFoldersToWatch() {
    QStringList folders;
    if (cachewatch::CacheWatcher* cw = watcher())
        for (const auto& folder : cw->foldersToWatch())
            folders << QString::fromStdString(folder.string());
    return folders;
}

void TCacheWatcherPage::cmdNewSearchClick() {
    ShowCacheWatcherStartPage();
    ui.HTML2->setFocus();
}

// A step that cannot be made is ignored, as the history buttons only offer possible ones.
void TCacheWatcherPage::cmdCWBackClick() {
    const int next = ui.HTML2->HistoryIndex() + 1;
    if (next < ui.HTML2->History().size()) ui.HTML2->SetHistoryIndex(next);
    ui.HTML2->setFocus();
}

void TCacheWatcherPage::cmdCWForwardClick() {
    const int next = ui.HTML2->HistoryIndex() - 1;
    if (next >= 0) ui.HTML2->SetHistoryIndex(next);
    ui.HTML2->setFocus();
}

void TCacheWatcherPage::cmdCWHelpClick() {
    CursorScope starting(CursorShape::AppStart);
    host_.showHelp(24);
}

void TCacheWatcherPage::applyFont() {
    const Settings& settings = host_.settings();
    applyViewSetting(*ui.HTML2, settings.cacheWatcherFont, settings.cacheWatcherBackColor,
                     window()->palette());
}

void TCacheWatcherPage::clearHistory() { ui.HTML2->ClearHistory(); }

bool TCacheWatcherPage::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::AltModifier) return false;
    if (key == Qt::Key_F5 && ui.cmdCWForward->isEnabled()) return cmdCWForwardClick(), true;
    if (key == Qt::Key_F4 && ui.cmdCWBack->isEnabled()) return cmdCWBackClick(), true;
    return false;
}

}  // namespace vellumar
