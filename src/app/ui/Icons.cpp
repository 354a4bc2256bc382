#include "app/ui/Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QtMath>

namespace vellumar {

QIcon sunIcon(bool busy) {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor color = busy ? QColor(220, 40, 30) : QColor(245, 190, 20);
        p.setPen(QPen(color, size / 16.0 + 0.5));
        const QPointF centre(size / 2.0, size / 2.0);
        for (int ray = 0; ray < 8; ++ray) {
            const double angle = ray * M_PI / 4;
            p.drawLine(centre + QPointF(std::cos(angle), std::sin(angle)) * size * 0.30,
                       centre + QPointF(std::cos(angle), std::sin(angle)) * size * 0.47);
        }
        p.setBrush(color);
        p.drawEllipse(centre, size * 0.24, size * 0.24);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon toolIcon(const char* themeName, const QString& glyph) {
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (!themed.isNull()) return themed;
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(40, 60, 110));
    p.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

}  // namespace vellumar
