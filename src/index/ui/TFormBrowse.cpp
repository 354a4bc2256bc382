#include "index/ui/TFormBrowse.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace vellumar {

TFormBrowse::TFormBrowse(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormBrowse"));
    setWindowTitle(QStringLiteral("Add Folders To be Indexed"));
    auto* layout = new QVBoxLayout(this);
    // Hook: the folder and file lists, the file types and the scope box arrive with the
    // folder dialogs.
    layout->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(2); });
    layout->addWidget(buttons);
}

}  // namespace vellumar
