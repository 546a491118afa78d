#include "planning/draw_surface.h"

#include <QFontMetrics>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <QStringList>
#include <utility>

namespace planning {

QColor toQColor(COLORREF colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

namespace {

QRect toQRect(const Rect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

int qtFlags(unsigned flags) {
    int f = (flags & kTextCentre) ? Qt::AlignHCenter : Qt::AlignLeft;
    f |= (flags & kTextVCentre) ? Qt::AlignVCenter : Qt::AlignTop;
    if (flags & kTextSingleLine) f |= Qt::TextSingleLine;
    return f;
}

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, QRegion painted) : painter_(painter), painted_(std::move(painted)) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    applyPen();
}

PainterSurface::~PainterSurface() { painter_.restore(); }

bool PainterSurface::shows(const Rect& rect) const {
    return painted_.isEmpty() || painted_.intersects(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void PainterSurface::applyPen() {
    QPen pen(toQColor(pen_.colour));
    pen.setWidth(pen_.width);
    // A solid pen of a device context wider than one pixel is a round brush dragged along
    // the line: round joins and round ends.
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
}

Pen PainterSurface::selectPen(const Pen& pen) {
    const Pen previous = pen_;
    pen_ = pen;
    applyPen();
    return previous;
}

void PainterSurface::fillRect(const Rect& rect, COLORREF brush) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    painter_.fillRect(toQRect(rect), toQColor(brush));
}

void PainterSurface::polyline(const std::vector<QPoint>& points) {
    if (points.size() < 2) return;
    painter_.drawPolyline(points.data(), static_cast<int>(points.size()));
}

void PainterSurface::line(QPoint from, QPoint to) { painter_.drawLine(from, to); }

void PainterSurface::textOut(int x, int y, const QString& text) {
    const QFontMetrics fm(painter_.font());
    const QRect box(x, y, fm.horizontalAdvance(text), fm.height());
    if (!transparent_) painter_.fillRect(box, Qt::white);
    painter_.setPen(toQColor(textColour_));
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
    applyPen();
}

void PainterSurface::drawText(const Rect& rect, const QString& text, unsigned flags) {
    const QRect box = toQRect(rect);
    if (box.isEmpty()) return;
    painter_.save();
    painter_.setClipRect(box, Qt::IntersectClip);
    const int f = qtFlags(flags);
    if (!transparent_) painter_.fillRect(painter_.boundingRect(box, f, text), Qt::white);
    painter_.setPen(toQColor(textColour_));
    painter_.drawText(box, f, text);
    painter_.restore();
}

int PainterSurface::lineHeight() const { return painter_.fontMetrics().height(); }

// A paint of the planning measures the same texts row after row (the room names for each
// row's panel, each name halved until it fits): the widths are kept by font and device, on the
// window's thread, where every paint runs.
int PainterSurface::textWidth(const QString& text) const {
    static QHash<QString, int> widths;
    if (!(painter_.font() == measuredFont_) || fontKey_.isEmpty()) {
        measuredFont_ = painter_.font();
        const QPaintDevice* device = painter_.device();
        fontKey_ = measuredFont_.key() + u'\x1f' + QString::number(device ? device->logicalDpiX() : 0) + u'\x1f';
    }
    const QString key = fontKey_ + text;
    const auto it = widths.constFind(key);
    if (it != widths.cend()) return *it;
    if (widths.size() > kKeptWidths) widths.clear();
    const int width = painter_.fontMetrics().horizontalAdvance(text);
    widths.insert(key, width);
    return width;
}

}  // namespace planning
