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
    cmbSearchExpr = new QComboBox(this);
    cmbSearchExpr->setEditable(true);
    auto* label = new QLabel(QStringLiteral("Enter search expression:"), this);
    label->setBuddy(cmbSearchExpr);
    layout->addWidget(label);
    layout->addWidget(cmbSearchExpr);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    // Hook: joining the expression with the last search arrives with refining searches.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vellumar
