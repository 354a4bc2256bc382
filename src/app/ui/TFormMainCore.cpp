// TFormMain's long-lived objects of index management: the core (notifier, parser sets,
// indexer, catalogue, builder) with its main-thread dispatcher, the listener that carries
// the catalogue's changes into both index boxes and a build's busy state into the frame
// and the Indexes page, and that busy state itself.
#include "app/ui/Icons.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TTrayIcon.h"
#include "index/IndexingCore.h"
#include "index/IndexingCoreSetup.h"
#include "index/ui/TIndexesPage.h"
#include "lang/TLanguageList.h"
#include "monitor/ui/QtMainThreadDispatcher.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/QtUserInterface.h"
#include "search/ui/TSearchPage.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QMenu>
#include <QThread>

namespace vellumar {

class TFormMain::CoreListener : public CatalogueListener, public BuildListener {
  public:
    explicit CoreListener(TFormMain& window) : w_(window) {}

    // A catalogue change is not the user's choice in the boxes: they keep their current
    // item (or none) and their change handlers stay silent.
    void indexInserted(int position, const std::string& name) override {
        const QString text = QString::fromStdString(name);
        w_.searchPage_->indexInserted(position, text);
        w_.indexesPage_->indexInserted(position, text);
    }
    void indexRemoved(int position) override {
        w_.searchPage_->indexRemoved(position);
        w_.indexesPage_->indexRemoved(position);
    }
    void buildStarted() override { w_.buildStarted(); }
    void buildFinished() override { w_.buildFinished(); }
    void requestChanged(const IndexRequest& request) override {
        w_.indexesPage_->showBuildRequest(request);
    }

  private:
    TFormMain& w_;
};

void TFormMain::CoreListenerDeleter::operator()(CoreListener* listener) const { delete listener; }

void TFormMain::createCoreObjects() {
    // Both parser sets start with the table of the list's first language.
    const textfold::CharTable firstTable =
        languages_->size() > 0 ? languages_->at(0).CharacterTable() : textfold::englishTable();
    dispatcher_ = std::make_unique<QtMainThreadDispatcher>();
    core_ = std::make_unique<IndexingCore>(
        *userInterface_, *dispatcher_, progressThrottle_,
        indexingCoreSettings(environment_, folders_, settings_.indexFolder, firstTable));
    // The window writes this home's indexes; `vellumar-cli watch` is refused while it runs.
    // When the watcher holds the home already, every write asks again and is refused with
    // the program's message until the watcher ends.
    core_->homeLock.TryAcquire();
    // An automatic update on the notifier thread shows its progress the way that thread
    // reaches the main thread, so that a main thread waiting for the notifier still
    // serves it (quitting, or changing a monitoring option, during an update).
    userInterface_->setOtherThreadRunner(
        [notifier = &core_->notifier](const std::function<void()>& work) {
            notifier->RunInMainThread(work);
        });
    coreListener_.reset(new CoreListener(*this));
    core_->catalogue.setListener(coreListener_.get());
    core_->builder.setListener(coreListener_.get());
    core_->indexer.setDocumentListener([this](const vellcore::IndexObject& index) {
        // Only the window's own builds show their progress here; an automatic update on
        // the notifier thread must not touch the controls.
        if (QThread::currentThread() != thread() || !state_.indexingBusy) return;
        indexesPage_->showStatistics(index);
        emit documentStored(index.GetRecordCount());
    });
}

void TFormMain::releaseCoreObjects() {
    if (core_) {
        core_->catalogue.setListener(nullptr);
        core_->builder.setListener(nullptr);
        core_->indexer.setDocumentListener({});
    }
    // The core's destructor detaches the events, clears the notifier and waits for its
    // thread, serving its last main-thread calls (through the runner, which goes with it).
    core_.reset();
    userInterface_->setOtherThreadRunner({});
    coreListener_.reset();
    dispatcher_.reset();
    // The language list stays until the window goes: the language box's items point at
    // its entries.
}

void TFormMain::requestCancel() {
    if (!core_) return;
    core_->cancel = true;
    core_->notifier.SetAborted(true);
}

bool TFormMain::cancelFlag() const { return core_ && core_->cancel.load(); }
bool TFormMain::notifierAborted() const { return core_ && core_->notifier.Aborted(); }

void TFormMain::setBusyPictures(bool busy) {
    const QIcon icon = sunIcon(busy);
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
    ui.TrayIcon1->setIcon(icon);
}

void TFormMain::DisableIndexControls() {
    state_.indexingBusy = true;
    ui.mnuCreate->setEnabled(false);
    ui.mnuRemove->setEnabled(false);
    ui.mnuEdit->setEnabled(false);
    ui.mnuOptions->setEnabled(false);
    ui.pnlBar->setEnabled(false);
    ui.mnuCancel->setEnabled(true);
    setBusyPictures(true);
    indexesPage_->showBusy(true);
}

void TFormMain::EnableIndexControls() {
    state_.indexingBusy = false;
    ui.mnuCreate->setEnabled(true);
    ui.mnuEdit->setEnabled(true);
    ui.mnuOptions->setEnabled(true);
    ui.pnlBar->setEnabled(true);
    ui.mnuCancel->setEnabled(false);
    setBusyPictures(false);
    indexesPage_->showBusy(false);  // "&Remove" follows the page's selection
}

void TFormMain::buildStarted() {
    DisableIndexControls();
    setScreenCursor(CursorShape::AppStart);
    searchPage_->indexBuildStarted();
}

void TFormMain::buildFinished() {
    setScreenCursor(CursorShape::Default);
    EnableIndexControls();
    searchPage_->indexBuildFinished();
    state_.firstRun = false;
}

}  // namespace vellumar
