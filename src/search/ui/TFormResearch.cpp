#include "search/ui/TFormResearch.h"

#include "search/RefiningSearch.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace vellumar {

TFormResearch::TFormResearch(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormResearch"));
    setWindowTitle(QStringLiteral("Search among Files Found"));
    auto* layout = new QVBoxLayout(this);
    ui.cmbSearchExpr = new QComboBox(this);
    ui.cmbSearchExpr->setObjectName(QStringLiteral("cmbSearchExpr"));
    ui.cmbSearchExpr->setEditable(true);
    ui.cmbSearchExpr->setInsertPolicy(QComboBox::NoInsert);
    ui.cmbSearchExpr->setMinimumContentsLength(30);
    auto* label = new QLabel(QStringLiteral("Enter search expression:"), this);
    label->setBuddy(ui.cmbSearchExpr);
    layout->addWidget(label);
    layout->addWidget(ui.cmbSearchExpr);
    ui.cmdOK = new QPushButton(QStringLiteral("OK"), this);
    ui.cmdOK->setObjectName(QStringLiteral("cmdOK"));
    ui.cmdOK->setDefault(true);
    layout->addWidget(ui.cmdOK, 0, Qt::AlignRight);
    connect(ui.cmdOK, &QPushButton::clicked, this, &TFormResearch::cmdOKClick);
}

void TFormResearch::FormActivate(const QString& selectedText, const QString& lastQuery) {
    lastQuery_ = lastQuery;
    expression_.clear();
    ui.cmbSearchExpr->setEditText(selectedText.trimmed());
    if (QLineEdit* edit = ui.cmbSearchExpr->lineEdit()) edit->selectAll();
    ui.cmbSearchExpr->setFocus();
}

void TFormResearch::cmdOKClick() {
    const QString text = ui.cmbSearchExpr->currentText().trimmed();
    if (text.isEmpty()) return;  // the dialog stays open
    expression_ =
        QString::fromStdString(researchExpression(lastQuery_.toStdString(), text.toStdString()));
    std::vector<std::string> list;
    for (int i = 0; i < ui.cmbSearchExpr->count(); ++i)
        list.push_back(ui.cmbSearchExpr->itemText(i).toStdString());
    if (rememberResearchText(list, text.toStdString())) ui.cmbSearchExpr->addItem(text);
    ui.cmbSearchExpr->setEditText(text);
    accept();
}

}  // namespace vellumar
