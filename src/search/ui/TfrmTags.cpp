#include "search/ui/TfrmTags.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vellumar {

TfrmTags::TfrmTags(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTags"));
    setWindowTitle(QStringLiteral("Advanced search"));
    auto* layout = new QVBoxLayout(this);
    txtExpr = new QLineEdit(this);
    txtExpr->setReadOnly(true);
    layout->addWidget(txtExpr);
    auto* strip = new QHBoxLayout;
    txtWords = new QLineEdit(this);
    strip->addWidget(new QLabel(QStringLiteral("Select element and enter expression:"), this));
    strip->addWidget(txtWords, 1);
    layout->addLayout(strip);
    trt = new QTreeWidget(this);
    trt->header()->hide();
    trt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(trt, 1);
    auto* bottom = new QHBoxLayout;
    chFull = new QCheckBox(QStringLiteral("&Full path"), this);
    chFull->setChecked(true);
    chkNew = new QCheckBox(QStringLiteral("&New query"), this);
    chkNew->setChecked(true);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    bottom->addWidget(chFull);
    bottom->addWidget(chkNew);
    bottom->addStretch(1);
    bottom->addWidget(OKBtn);
    bottom->addWidget(CancelBtn);
    layout->addLayout(bottom);
    // Hook: building the element tree and the expression arrives with refining searches.
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 380);
}

}  // namespace vellumar
