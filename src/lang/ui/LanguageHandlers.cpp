// TFormMain's handlers of index languages: filling the language box (and, the first
// time, the word-list boxes), refilling it on focus, recreating an index with another
// language, and starting the language maker.
#include "app/ui/TFormMain.h"
#include "index/IndexingCore.h"
#include "lang/LanguageActions.h"
#include "lang/TLanguageList.h"
#include "lang/ui/LanguageCombo.h"
#include "monitor/MonitorLock.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtUserInterface.h"

#include <QComboBox>
#include <QPlainTextEdit>
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

void TFormMain::FillLanguageList() {
    RefillLanguageCombo(*cmbLanguage, *languages_, environment_.home, *userInterface);
    if (!wordListsFilled_) {
        wordListsFilled_ = true;
        fillWordListBoxes();
    }
}

void TFormMain::cmbLanguageEnter() {
    if (indexingBusy) return;
    // New .LNG files appear; the selection stays.
    ReportOnce ui(*userInterface, languageProblemsShown_);
    RefillLanguageCombo(*cmbLanguage, *languages_, environment_.home, ui);
    // An existing index whose language is not (or no longer) listed shows none.
    if (core_ && shownIndex >= 0 && creationOptionsLocked_)
        if (const vellcore::IndexObject* index = core_->catalogue.object(shownIndex))
            SelectLanguageByName(*cmbLanguage, index->GetLanguageName());
}

void TFormMain::cmbLanguageChange() {
    if (!core_ || indexingBusy) return;
    Catalogue& catalogue = core_->catalogue;
    const int position = cmbIndexName->currentIndex();
    const vellcore::IndexObject* shown = catalogue.object(position);
    const bool creating = cmdUpdate->text() == QStringLiteral("&Create") || !shown;
    const LanguageChange change = DecideLanguageChange(creating, *userInterface);
    if (change == LanguageChange::ForNewIndex) return;
    if (change == LanguageChange::Keep) {
        SelectLanguageByName(*cmbLanguage, shown->GetLanguageName());
        return;
    }

    const QString name = QString::fromStdString(catalogue.name(position));
    bool deleted = false;
    {
        CursorScope busy(CursorShape::Hourglass);
        const MonitorLock lock(core_->notifier);
        deleted = catalogue.object(position)->DeleteIndexFiles();
        if (deleted) {
            std::error_code ec;
            std::filesystem::remove(catalogue.definitionFile(position), ec);
            catalogue.erase(position);  // both boxes and the notifier's scope too
        }
    }
    if (!deleted) {
        ShowMessage(QString::fromLatin1(kIndexInUseMessage), MessageIcon::Warning,
                    MessageButtons::Ok, this);
        SelectLanguageByName(*cmbLanguage, shown->GetLanguageName());
        return;
    }
    // Hook: the viewer history is cleared here (viewer history).
    // The notes stay in their box: the index is made again with them.
    showNewIndexState();
    enableIndexOptionControls();
    selectInBox(cmbIndexName, -1);
    cmbIndexName->setEditText(name);
    cmdUpdateClick(cmdUpdate);  // same name, scope and options; the chosen language
}

void TFormMain::cmdCustLangsClick() {
    CursorScope starting(CursorShape::AppStart);
    StartLanguageMaker(environment_.home, *userInterface);
}

}  // namespace vellumar
