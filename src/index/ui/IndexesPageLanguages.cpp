// The Indexes page's handlers of index languages: filling the language box (and, the
// first time, the word-list boxes), refilling it on focus, recreating an index with
// another language, and starting the language maker.
#include "index/IndexingCore.h"
#include "index/ui/TIndexesPage.h"
#include "lang/LanguageActions.h"
#include "lang/TLanguageList.h"
#include "lang/ui/LanguageCombo.h"
#include "platform/ProgramSetup.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PageHost.h"

#include <QComboBox>
#include <QPushButton>

#include <algorithm>
#include <system_error>

namespace vellumar {

namespace {

// Shows each distinct message once. The language box is refilled whenever it gets the
// focus, and the box that reports a broken .LNG file takes the focus away and gives it
// back: reported every time, the message would come back for ever.
class ReportOnce : public UserInterface {
  public:
    ReportOnce(UserInterface& ui, std::vector<std::string>& shown) : ui_(ui), shown_(shown) {}
    void processPendingMessages() override { ui_.processPendingMessages(); }
    void showStatus(const std::string& text) override { ui_.showStatus(text); }
    MessageResult showMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override {
        if (std::find(shown_.begin(), shown_.end(), text) != shown_.end()) return MessageResult::Ok;
        shown_.push_back(text);
        return ui_.showMessage(text, icon, buttons);
    }

  private:
    UserInterface& ui_;
    std::vector<std::string>& shown_;
};

}  // namespace

void TIndexesPage::FillLanguageList() {
    refillLanguageCombo(*ui.cmbLanguage, host_.languages(), host_.environment().home,
                        host_.userInterface());
    ui.cmbLanguage->raise();
    if (!wordListsFilled_) {
        wordListsFilled_ = true;
        fillWordListBoxes();
    }
}

void TIndexesPage::cmbLanguageEnter() {
    if (host_.state().indexingBusy) return;
    // New .LNG files appear; the selection stays.
    ReportOnce once(host_.userInterface(), languageProblemsShown_);
    refillLanguageCombo(*ui.cmbLanguage, host_.languages(), host_.environment().home, once);
    // An existing index whose language is not (or no longer) listed shows none.
    IndexingCore* core = host_.core();
    if (core && shownIndex_ >= 0 && creationOptionsLocked_)
        if (const vellcore::IndexObject* index = core->catalogue.object(shownIndex_))
            selectLanguageByName(*ui.cmbLanguage, index->GetLanguageName());
}

void TIndexesPage::cmbLanguageChange() {
    IndexingCore* core = host_.core();
    if (!core || host_.state().indexingBusy) return;
    Catalogue& catalogue = core->catalogue;
    const int position = ui.cmbIndexName->currentIndex();
    const vellcore::IndexObject* shown = catalogue.object(position);
    const bool creating = !showsExistingIndex() || !shown;
    const LanguageChange change = decideLanguageChange(creating, host_.userInterface());
    if (change == LanguageChange::ForNewIndex) return;
    if (change == LanguageChange::Keep) {
        selectLanguageByName(*ui.cmbLanguage, shown->GetLanguageName());
        return;
    }

    const QString name = QString::fromStdString(catalogue.name(position));
    if (!dropIndexToRecreate(position)) {
        selectLanguageByName(*ui.cmbLanguage, shown->GetLanguageName());
        return;
    }
    // The notes stay in their box: the index is made again with them.
    showNewIndexState();
    enableIndexOptionControls();
    selectInBox(ui.cmbIndexName, -1);
    ui.cmbIndexName->setEditText(name);
    cmdUpdateClick(ui.cmdUpdate);  // same name, scope and options; the chosen language
}

void TIndexesPage::cmdCustLangsClick() {
    CursorScope starting(CursorShape::AppStart);
    startLanguageMaker(host_.environment().home, host_.userInterface());
}

}  // namespace vellumar
