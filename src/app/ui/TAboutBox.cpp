#include "app/ui/TAboutBox.h"

#include "app/ui/Icons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vellumar {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(sunIcon(false).pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    auto* text = new QLabel(QStringLiteral("<b>Vellumar</b><br>Version 8.1<br><br>"
                                           "Desktop full-text search"),
                            this);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace vellumar
