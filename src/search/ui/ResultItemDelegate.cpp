#include "search/ui/ResultItemDelegate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace vellumar {

QPixmap ResultItemDelegate::picture(ItemPicture kind, int size) {
    if (kind == ItemPicture::None || size <= 0) return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
    if (kind == ItemPicture::Modified) {
        // imgModified: an amber page with a pencil stroke.
        p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1));
        p.setBrush(QColor(0xff, 0xd0, 0x40));
        p.drawRoundedRect(box.adjusted(1, 0, -1, 0), 1.5, 1.5);
        p.setPen(QPen(QColor(0x40, 0x28, 0x00), size / 8.0 + 0.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(size * 0.3, size * 0.75), QPointF(size * 0.72, size * 0.28));
    } else {
        // imgDeleted: a red disc with a white cross.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xc8, 0x1e, 0x1e));
        p.drawEllipse(box);
        p.setPen(QPen(Qt::white, size / 7.0 + 0.6, Qt::SolidLine, Qt::RoundCap));
        const double a = size * 0.3, b = size * 0.7;
        p.drawLine(QPointF(a, a), QPointF(b, b));
        p.drawLine(QPointF(a, b), QPointF(b, a));
    }
    return pixmap;
}

QSize ResultItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(QFontMetrics(option.font).height() + 2);
    return size;
}

void ResultItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const auto kind = static_cast<ItemPicture>(index.data(kPictureRole).toInt());
    if (kind == ItemPicture::None) return;
    const int size = QFontMetrics(option->font).height() - 2;
    // The same picture on a selected row: a tinted one would hide the red of "deleted".
    const QPixmap pixmap = picture(kind, size);
    option->icon = QIcon(pixmap);
    option->icon.addPixmap(pixmap, QIcon::Selected);
    option->decorationSize = QSize(size, size);
    option->features |= QStyleOptionViewItem::HasDecoration;
}

}  // namespace vellumar
