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
    ui.lblWelcome = new QLabel(QStringLiteral("Welcome to the Vellumar Wizard"), this);
    QFont banner = ui.lblWelcome->font();
    banner.setPointSize(banner.pointSize() + 4);
    banner.setBold(true);
    ui.lblWelcome->setFont(banner);
    layout->addWidget(ui.lblWelcome);
    // Hook: the wizard's pages (screen1 .. screen6) arrive with the index wizard.
    layout->addStretch(1);
    ui.lblBottom = new QLabel(QStringLiteral("       To continue, click Next"), this);
    layout->addWidget(ui.lblBottom);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ui.btnBack = new QPushButton(QStringLiteral("< &Back"), this);
    ui.btnBack->setEnabled(false);
    ui.btnNext = new QPushButton(QStringLiteral("&Next >"), this);
    ui.btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(ui.btnBack);
    buttons->addWidget(ui.btnNext);
    buttons->addWidget(ui.btnCancel);
    layout->addLayout(buttons);
    connect(ui.btnCancel, &QPushButton::clicked, this, [this] { done(1); });
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
