#include "resources/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace res {
namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // Night-blue frame with a lit stage.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x1a, 0x4a));
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    p.setBrush(QColor(0xf6, 0xd3, 0x6b));
    p.drawRect(QRectF(6, 9, 20, 17));

    // The two curtains, drawn back at the middle.
    p.setBrush(QColor(0xc0, 0x1f, 0x2f));
    QPainterPath left;
    left.moveTo(4, 5);
    left.lineTo(16, 5);
    left.cubicTo(11, 10, 9, 18, 11, 27);
    left.lineTo(4, 27);
    left.closeSubpath();
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(28, 5);
    right.lineTo(16, 5);
    right.cubicTo(21, 10, 23, 18, 21, 27);
    right.lineTo(28, 27);
    right.closeSubpath();
    p.drawPath(right);

    // The valance and the boards.
    p.setBrush(QColor(0x8e, 0x12, 0x20));
    p.drawRect(QRectF(4, 4, 24, 3));
    p.setBrush(QColor(0x7a, 0x4a, 0x1e));
    p.drawRect(QRectF(3, 26, 26, 3));
    return pixmap;
}

}  // namespace

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) icon.addPixmap(drawIcon(size));
    return icon;
}

}  // namespace res
