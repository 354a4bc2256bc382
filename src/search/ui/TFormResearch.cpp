#include "search/ui/TFormResearch.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellumar {

TFormResearch::TFormResearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormResearch"));
    setWindowTitle(QStringLiteral("Search among Files Found"));
    auto* layout = new QVBoxLayout(this);
    ui.cmbSearchExpr = new QComboBox(this);
    ui.cmbSearchExpr->setEditable(true);
    auto* label = new QLabel(QStringLiteral("Enter search expression:"), this);
    label->setBuddy(ui.cmbSearchExpr);
    layout->addWidget(label);
    layout->addWidget(ui.cmbSearchExpr);
    ui.cmdOK = new QPushButton(QStringLiteral("OK"), this);
    ui.cmdOK->setDefault(true);
    layout->addWidget(ui.cmdOK, 0, Qt::AlignRight);
    // Hook: joining the expression with the last search arrives with refining searches.
    connect(ui.cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vellumar
