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
    ui.txtExpr = new QLineEdit(this);
    ui.txtExpr->setReadOnly(true);
    layout->addWidget(ui.txtExpr);
    auto* strip = new QHBoxLayout;
    ui.txtWords = new QLineEdit(this);
    strip->addWidget(new QLabel(QStringLiteral("Select element and enter expression:"), this));
    strip->addWidget(ui.txtWords, 1);
    layout->addLayout(strip);
    ui.trt = new QTreeWidget(this);
    ui.trt->header()->hide();
    ui.trt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(ui.trt, 1);
    auto* bottom = new QHBoxLayout;
    ui.chFull = new QCheckBox(QStringLiteral("&Full path"), this);
    ui.chFull->setChecked(true);
    ui.chkNew = new QCheckBox(QStringLiteral("&New query"), this);
    ui.chkNew->setChecked(true);
    ui.OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    ui.OKBtn->setDefault(true);
    ui.CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    bottom->addWidget(ui.chFull);
    bottom->addWidget(ui.chkNew);
    bottom->addStretch(1);
    bottom->addWidget(ui.OKBtn);
    bottom->addWidget(ui.CancelBtn);
    layout->addLayout(bottom);
    // Hook: building the element tree and the expression arrives with refining searches.
    connect(ui.OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 380);
}

}  // namespace vellumar
