#include "search/ui/TfrmTags.h"

#include "search/RefiningSearch.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

namespace vellumar {

namespace {
constexpr int kNodeRole = Qt::UserRole;
}

TfrmTags::TfrmTags(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTags"));
    setWindowTitle(QStringLiteral("Advanced search"));
    auto* layout = new QVBoxLayout(this);
    ui.txtExpr = new QLineEdit(this);
    ui.txtExpr->setObjectName(QStringLiteral("txtExpr"));
    ui.txtExpr->setReadOnly(true);
    layout->addWidget(ui.txtExpr);
    // pnT: the words' edit stretches to the strip's right edge.
    auto* strip = new QHBoxLayout;
    ui.txtWords = new QLineEdit(this);
    ui.txtWords->setObjectName(QStringLiteral("txtWords"));
    auto* label = new QLabel(QStringLiteral("Select element and enter expression:"), this);
    label->setBuddy(ui.txtWords);
    strip->addWidget(label);
    strip->addWidget(ui.txtWords, 1);
    layout->addLayout(strip);
    ui.trt = new QTreeWidget(this);
    ui.trt->setObjectName(QStringLiteral("trt"));
    ui.trt->header()->hide();
    ui.trt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.trt->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(ui.trt, 1);
    auto* bottom = new QHBoxLayout;
    ui.chFull = new QCheckBox(QStringLiteral("&Full path"), this);
    ui.chFull->setObjectName(QStringLiteral("chFull"));
    ui.chFull->setChecked(true);
    ui.chkNew = new QCheckBox(QStringLiteral("&New query"), this);
    ui.chkNew->setObjectName(QStringLiteral("chkNew"));
    ui.chkNew->setChecked(true);
    ui.OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    ui.OKBtn->setObjectName(QStringLiteral("OKBtn"));
    ui.OKBtn->setDefault(true);
    ui.CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    ui.CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    bottom->addWidget(ui.chFull);
    bottom->addWidget(ui.chkNew);
    bottom->addStretch(1);
    bottom->addWidget(ui.OKBtn);
    bottom->addWidget(ui.CancelBtn);
    layout->addLayout(bottom);
    connect(ui.trt, &QTreeWidget::currentItemChanged, this, [this] { trtChange(); });
    connect(ui.txtWords, &QLineEdit::textChanged, this, [this] { txtWordsChange(); });
    connect(ui.chFull, &QCheckBox::clicked, this, &TfrmTags::chFullClick);
    connect(ui.OKBtn, &QPushButton::clicked, this, &TfrmTags::OKBtnClick);
    connect(ui.CancelBtn, &QPushButton::clicked, this, &TfrmTags::CancelBtnClick);
    resize(420, 380);
}

bool TfrmTags::FormShow(vellcore::IndexObject* index) {
    confirmed_ = false;
    query_.clear();
    if (ui.trt->topLevelItemCount() > 0) return true;  // built once per index
    path_.clear();
    ui.txtWords->clear();
    ui.txtExpr->clear();
    if (!index || index->GetTagCount() <= 0) return false;
    auto tree = buildElementTree(*index);
    if (!tree) return false;
    tree_ = std::move(*tree);
    fillTree();
    return true;
}

void TfrmTags::fillTree() {
    // Parents come before their children, so each node's parent item exists already.
    std::vector<QTreeWidgetItem*> items(tree_.size(), nullptr);
    for (std::size_t n = 0; n < tree_.size(); ++n) {
        const ElementNode& node = tree_[n];
        const QStringList caption{QString::fromStdString(node.name)};
        auto* item = node.parent < 0 ? new QTreeWidgetItem(ui.trt, caption)
                                     : new QTreeWidgetItem(
                                           items[static_cast<std::size_t>(node.parent)], caption);
        item->setData(0, kNodeRole, static_cast<int>(n));
        items[n] = item;
    }
    ui.trt->expandAll();
}

void TfrmTags::clearTree() {
    ui.trt->clear();
    tree_.clear();
    path_.clear();
}

void TfrmTags::trtChange() {
    const QTreeWidgetItem* item = ui.trt->currentItem();
    if (!item) return;
    const int node = item->data(0, kNodeRole).toInt();
    path_ = QString::fromStdString(elementPathOf(tree_, node, ui.chFull->isChecked()));
    txtWordsChange();
}

void TfrmTags::txtWordsChange() {
    ui.txtExpr->setText(QString::fromStdString(
        elementExpression(path_.toStdString(), ui.txtWords->text().toStdString())));
}

void TfrmTags::chFullClick() { trtChange(); }

void TfrmTags::OKBtnClick() {
    query_ = QString::fromStdString(advancedSearchQuery(
        ui.chkNew->isChecked(), currentQuery_.toStdString(), ui.txtExpr->text().toStdString()));
    confirmed_ = true;
    accept();
}

void TfrmTags::CancelBtnClick() { reject(); }

}  // namespace vellumar
