#include "resources/app_icon.h"

#include <QPainter>
#include <QPen>
#include <QPixmap>

namespace res {
namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor night(0x22, 0x1a, 0x4a);

    p.setPen(Qt::NoPen);
    p.setBrush(night);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);

    // A theatre ticket, slightly tilted, with its two punched notches.
    p.translate(16, 16);
    p.rotate(-12);
    p.setBrush(QColor(0xf6, 0xc9, 0x45));
    p.drawRoundedRect(QRectF(-13, -7.5, 26, 15), 1.5, 1.5);
    p.setBrush(night);
    p.drawEllipse(QPointF(-13, 0), 2.6, 2.6);
    p.drawEllipse(QPointF(13, 0), 2.6, 2.6);

    // The stub's perforation and a red seat mark.
    p.setPen(QPen(QColor(0x9a, 0x6b, 0x12), 1.0, Qt::DotLine));
    p.drawLine(QPointF(5.5, -6.5), QPointF(5.5, 6.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0x1f, 0x2f));
    p.drawRoundedRect(QRectF(-8.5, -4, 10, 8), 1.5, 1.5);
    p.setBrush(QColor(0xf6, 0xc9, 0x45));
    p.drawRect(QRectF(-6.5, -1, 6, 1.6));
    return pixmap;
}

}  // namespace

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) icon.addPixmap(drawIcon(size));
    return icon;
}

}  // namespace res
