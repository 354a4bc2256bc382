// Draws the items of the result list: the file name, after the modified or deleted
// picture when the item has one (the picture is the item's kPictureRole, an ItemPicture).
// Rows are one text line high, so a page of hundreds of names stays compact.
//
// Owned by the result list's view; main thread only.
#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

#include "search/ResultPager.h"

namespace vellumar {

inline constexpr int kPictureRole = Qt::UserRole + 1;

class ResultItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The picture of a kind (imgModified, imgDeleted); a null pixmap for none.
    static QPixmap picture(ItemPicture kind, int size);

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace vellumar
