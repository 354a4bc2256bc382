#include "monitor/ui/TCacheWatcherPage.h"

#include "platform/Settings.h"
#include "platform/ui/PageHost.h"
#include "platform/ui/Widgets.h"
#include "viewer/ui/ViewColors.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace vellumar {

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
    ui.HTML2 = named(new QTextBrowser(ui.pnlWatcher), "HTML2");
    ui.HTML2->setOpenLinks(false);  // links and forms are the program's to resolve; no network
    inner->addWidget(ui.HTML2);

    ui.mnuHTML2 = named(new QMenu(this), "mnuHTML2");
    ui.mnuFont2 = ui.mnuHTML2->addAction(QStringLiteral("Font..."));
    ui.mnuBackColor2 = ui.mnuHTML2->addAction(QStringLiteral("Background Color..."));
    ui.mnuLoadBrowser = ui.mnuHTML2->addAction(QStringLiteral("Load HTML into Browser"));

    connect(ui.cmdNewSearch, &QPushButton::clicked, this, &TCacheWatcherPage::cmdNewSearchClick);
    connect(ui.cmdCWBack, &QToolButton::clicked, this, &TCacheWatcherPage::cmdCWBackClick);
    connect(ui.cmdCWForward, &QToolButton::clicked, this, &TCacheWatcherPage::cmdCWForwardClick);
    connect(ui.cmdCWHelp, &QPushButton::clicked, this, &TCacheWatcherPage::cmdCWHelpClick);
}

void TCacheWatcherPage::ShowCacheWatcherStartPage() {}  // Hook: the Cache Watcher start page.
void TCacheWatcherPage::cmdNewSearchClick() {}          // Hook: the Cache Watcher.
void TCacheWatcherPage::cmdCWBackClick() {}             // Hook: the Cache Watcher's page history.
void TCacheWatcherPage::cmdCWForwardClick() {}          // Hook: the Cache Watcher's page history.
void TCacheWatcherPage::cmdCWHelpClick() { host_.showHelp(24); }

void TCacheWatcherPage::applyFont() {
    const Settings& settings = host_.settings();
    applyViewSetting(*ui.HTML2, settings.cacheWatcherFont, settings.cacheWatcherBackColor,
                     window()->palette());
}

void TCacheWatcherPage::clearHistory() { ui.HTML2->clearHistory(); }

bool TCacheWatcherPage::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::AltModifier) return false;
    if (key == Qt::Key_F5 && ui.cmdCWForward->isEnabled()) return cmdCWForwardClick(), true;
    if (key == Qt::Key_F4 && ui.cmdCWBack->isEnabled()) return cmdCWBackClick(), true;
    return false;
}

}  // namespace vellumar
