#include "lang/ui/LanguageCombo.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "lang/TLanguageList.h"

namespace vellumar {

int refillLanguageCombo(QComboBox& box, TLanguageList& list,
                        const std::filesystem::path& programFolder, UserInterface& ui) {
    const std::string remembered =
        box.currentIndex() >= 0 ? box.currentText().toStdString() : std::string();
    // The refill is not a user's choice: cmbLanguageChange must not ask anything.
    const QSignalBlocker blocker(box);
    box.clear();  // before the list frees the entries the items point to
    const int selected = list.FillLanguageList(programFolder, ui, remembered);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TLangStorage& lang = list.at(i);
        box.addItem(QString::fromStdString(lang.Name()),
                    QVariant::fromValue(reinterpret_cast<quintptr>(&lang)));
    }
    box.setCurrentIndex(selected);
    return selected;
}

const TLangStorage* LanguageOfItem(const QComboBox& box, int index) {
    if (index < 0) index = box.currentIndex();
    if (index < 0 || index >= box.count()) return nullptr;
    return reinterpret_cast<const TLangStorage*>(box.itemData(index).value<quintptr>());
}

bool selectLanguageByName(QComboBox& box, const std::string& name) {
    const int index =
        box.findText(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
    box.setCurrentIndex(index);
    return index >= 0;
}

}  // namespace vellumar
