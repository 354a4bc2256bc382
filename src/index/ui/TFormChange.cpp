#include "index/ui/TFormChange.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace vellumar {

TFormChange::TFormChange(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormChange"));
    setWindowTitle(QStringLiteral("Browse for Indexes Folder"));
    auto* layout = new QVBoxLayout(this);
    // Hook: the volume box, the folder tree and the read-only folder box arrive with the
    // folder dialogs.
    layout->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(2); });
    layout->addWidget(buttons);
}

QStringList TFormChange::definitionFiles() const {
    if (folder_.trimmed().isEmpty()) return {};
    QDir dir(folder_);
    // File-name patterns compare without regard to case; only plain files are listed.
    const QStringList all = dir.entryList(QDir::Files | QDir::Hidden);
    QStringList names;
    for (const QString& name : all)
        if (name.endsWith(definitionFileExtension(), Qt::CaseInsensitive)) names << name;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int byCase = a.compare(b, Qt::CaseInsensitive);
        return byCase != 0 ? byCase < 0 : a < b;
    });
    return names;
}

}  // namespace vellumar
