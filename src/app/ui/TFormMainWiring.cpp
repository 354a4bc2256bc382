// TFormMain's wiring: every line where one page's announcement reaches another page's
// handler or the frame. A page never calls another page; a new cross-page step is a
// signal on one page, a handler on the other, and one line here.
#include "app/ui/TFormMain.h"
#include "app/ui/TFormOptions.h"
#include "index/IndexingCore.h"
#include "index/ui/TIndexesPage.h"
#include "monitor/ui/TCacheWatcherPage.h"
#include "monitor/ui/TMonitoringPage.h"
#include "search/ui/TResultList.h"
#include "search/ui/TSearchPage.h"
#include "viewer/ui/TViewerPane.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

namespace vellumar {

void TFormMain::wirePages() {
    // The Search page.
    connect(searchPage_, &TSearchPage::indexOpened, indexesPage_, &TIndexesPage::showOpenedIndex);
    connect(searchPage_, &TSearchPage::clearResultsRequested, resultList_,
            &TResultList::ClearResults);
    connect(searchPage_, &TSearchPage::updateRequested, indexesPage_,
            &TIndexesPage::cmdUpdateClick);
    connect(searchPage_, &TSearchPage::aboutClicked, this, &TFormMain::cmdAboutClick);
    connect(searchPage_, &TSearchPage::closeClicked, this, &TFormMain::cmdCloseClick);
    connect(searchPage_, &TSearchPage::queryFocusChanged, this, [this](bool hasFocus) {
        // The query box enables the clipboard buttons while it has the focus.
        for (QToolButton* b : {ui.btnCut, ui.btnCopy, ui.btnPaste}) b->setEnabled(hasFocus);
    });
    connect(searchPage_, &TSearchPage::searchRunning, resultList_, &TResultList::searchRunning);
    // The viewer learns the new query before the list selects a file for it to show.
    connect(searchPage_, &TSearchPage::resultsReady, this,
            [this] { viewerPane_->setLastQuery(searchPage_->lastQuery()); });
    connect(searchPage_, &TSearchPage::resultsReady, resultList_, &TResultList::showFoundPage);
    // The viewer history: positions kept before a search, searches that found nothing.
    connect(searchPage_, &TSearchPage::searchStarting, viewerPane_,
            &TViewerPane::rememberPositions);
    connect(searchPage_, &TSearchPage::searchFoundNothing, viewerPane_,
            [this](const QString& query) {
                viewerPane_->setLastQuery(query);
                viewerPane_->recordSearchWithoutResults(query);
            });

    // The result list.
    connect(resultList_, &TResultList::resultsCleared, this, [this](bool clearExpression) {
        if (clearExpression) searchPage_->clearQuery();
        viewerPane_->clearPreview();
    });
    connect(resultList_, &TResultList::updateFileRequested, indexesPage_,
            &TIndexesPage::updateFile);
    connect(resultList_, &TResultList::previewRequested, viewerPane_, &TViewerPane::EntriesDelay);

    // The viewer pane.
    connect(viewerPane_, &TViewerPane::copyRequested, this, &TFormMain::mnuCopyClick);
    connect(viewerPane_, &TViewerPane::listedFilesWanted, this,
            [this](QStringList& files) { files << resultList_->listedFiles(); });
    connect(viewerPane_, &TViewerPane::viewedFileModified, resultList_,
            &TResultList::markViewedModified);
    connect(viewerPane_, &TViewerPane::viewedFileLeft, resultList_, &TResultList::deselectViewed);
    connect(viewerPane_, &TViewerPane::historySearchRequested, searchPage_, &TSearchPage::runQuery);
    connect(viewerPane_, &TViewerPane::historyFileRequested, this,
            [this](const QString& name) { resultList_->selectListedFile(name); });
    connect(viewerPane_, &TViewerPane::searchSelectedWordRequested, searchPage_,
            &TSearchPage::searchForSelectedWord);
    connect(viewerPane_, &TViewerPane::searchWithinFoundRequested, searchPage_,
            &TSearchPage::searchWithinFound);

    // The Indexes page.
    connect(indexesPage_, &TIndexesPage::indexChosen, searchPage_, &TSearchPage::useIndex);
    connect(indexesPage_, &TIndexesPage::indexCreated, this, [this](int position) {
        searchPage_->showCreatedIndex(position);
        if (!state_.searchEnabled) EnableSearch();
    });
    connect(indexesPage_, &TIndexesPage::clearResultsRequested, resultList_,
            &TResultList::ClearResults);
    connect(indexesPage_, &TIndexesPage::viewerHistoryInvalidated, viewerPane_,
            &TViewerPane::clearHistory);
    connect(indexesPage_, &TIndexesPage::formatFiltersShown, viewerPane_,
            &TViewerPane::setFormatMenusVisible);
    connect(indexesPage_, &TIndexesPage::removeAllowed, ui.mnuRemove, &QAction::setEnabled);
    connect(indexesPage_, &TIndexesPage::searchUpdateAllowed, searchPage_,
            &TSearchPage::setUpdateEnabled);
    connect(indexesPage_, &TIndexesPage::buildEnded, this, &TFormMain::appendUnwatchableFolders);
    connect(indexesPage_, &TIndexesPage::catalogueReloaded, this, [this] {
        updateAutomaticIndexes(true);
        if (searchPage_->indexCount() == 0) return;
        searchPage_->selectIndex(0);
        searchPage_->cmbUsedIndexClick();
    });

    // The Monitoring page: an automatic update keeps searches and builds off while it runs,
    // and a change it made reaches the statistics and the listed results.
    connect(monitoringPage_, &TMonitoringPage::automaticUpdateRunning, this, [this](bool running) {
        indexesPage_->showAutomaticUpdate(running);
        setBusyPictures(running);
        searchPage_->setUpdateEnabled(!running);
        running ? searchPage_->indexBuildStarted() : searchPage_->indexBuildFinished();
    });
    connect(monitoringPage_, &TMonitoringPage::indexAutoUpdated, indexesPage_,
            &TIndexesPage::showAutoUpdatedIndex);
    connect(monitoringPage_, &TMonitoringPage::indexAutoUpdated, this, [this](int position) {
        if (core_ && position == core_->catalogue.opened()) resultList_->MarkChangedResults();
    });
    connect(indexesPage_, &TIndexesPage::catalogueReloaded, monitoringPage_,
            &TMonitoringPage::applyMonitoringFilter);
    connect(monitoringPage_, &TMonitoringPage::cacheFoldersChanged, watcherPage_,
            &TCacheWatcherPage::cacheFoldersChanged);

    // The Cache Watcher page.
    connect(watcherPage_, &TCacheWatcherPage::createIndexRequested, indexesPage_,
            &TIndexesPage::createNamedIndex);
    connect(watcherPage_, &TCacheWatcherPage::indexSelectionRequested, indexesPage_,
            &TIndexesPage::showIndex);
    connect(watcherPage_, &TCacheWatcherPage::clearResultsRequested, resultList_,
            &TResultList::ClearResults);
}

void TFormMain::appendUnwatchableFolders() {
    // After a build the status line also tells of folders the system refused to watch.
    const QString unwatchable = monitoringPage_->showUnwatchableFolders();
    if (unwatchable.isEmpty()) return;
    const QString status = statusText();
    setStatusText(status.isEmpty() ? unwatchable : status + QStringLiteral("  ") + unwatchable);
}

void TFormMain::wireOptions(TFormOptions& options) {
    // The dialog's buttons run the pages' handlers.
    connect(&options, &TFormOptions::customizeLanguages, indexesPage_,
            &TIndexesPage::cmdCustLangsClick);
    connect(&options, &TFormOptions::exportDictionary, indexesPage_,
            &TIndexesPage::btnExportDidClick);
    connect(&options, &TFormOptions::editDictionary, indexesPage_, &TIndexesPage::btnEditDicClick);
    connect(&options, &TFormOptions::editStopWords, indexesPage_, &TIndexesPage::btnEditSwClick);
    connect(&options, &TFormOptions::chooseFont, viewerPane_, &TViewerPane::cmdFontClick);
    connect(&options, &TFormOptions::chooseBackColor, viewerPane_, &TViewerPane::cmdBackColorClick);
}

}  // namespace vellumar
