#include "index/ui/TFormWizard.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumar {

TFormWizard::TFormWizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormWizard"));
    setWindowTitle(QStringLiteral("Index wizard"));
    auto* layout = new QVBoxLayout(this);
    lblWelcome = new QLabel(QStringLiteral("Welcome to the Vellumar Wizard"), this);
    QFont banner = lblWelcome->font();
    banner.setPointSize(banner.pointSize() + 4);
    banner.setBold(true);
    lblWelcome->setFont(banner);
    layout->addWidget(lblWelcome);
    // Hook: the wizard's pages (screen1 .. screen6) arrive with the index wizard.
    layout->addStretch(1);
    lblBottom = new QLabel(QStringLiteral("       To continue, click Next"), this);
    layout->addWidget(lblBottom);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnBack = new QPushButton(QStringLiteral("< &Back"), this);
    btnBack->setEnabled(false);
    btnNext = new QPushButton(QStringLiteral("&Next >"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(btnBack);
    buttons->addWidget(btnNext);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(1); });
    resize(480, 320);
}

void TFormWizard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        done(2);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace vellumar
