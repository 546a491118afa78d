#include "planning/draw_surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStringList>

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

PainterSurface::PainterSurface(QPainter& painter) : painter_(painter) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    applyPen();
}

PainterSurface::~PainterSurface() { painter_.restore(); }

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

int PainterSurface::textWidth(const QString& text) const { return painter_.fontMetrics().horizontalAdvance(text); }

Pen RecordingSurface::selectPen(const Pen& pen) {
    const Pen previous = pen_;
    pen_ = pen;
    return previous;
}

void RecordingSurface::fillRect(const Rect& rect, COLORREF brush) {
    DrawOp op;
    op.kind = DrawOp::Fill;
    op.rect = rect;
    op.colour = brush;
    ops.push_back(op);
}

void RecordingSurface::polyline(const std::vector<QPoint>& points) {
    DrawOp op;
    op.kind = DrawOp::Polyline;
    op.points = points;
    op.pen = pen_;
    ops.push_back(op);
}

void RecordingSurface::line(QPoint from, QPoint to) {
    DrawOp op;
    op.kind = DrawOp::Line;
    op.points = {from, to};
    op.pen = pen_;
    ops.push_back(op);
}

void RecordingSurface::textOut(int x, int y, const QString& text) {
    DrawOp op;
    op.kind = DrawOp::TextOut;
    op.points = {QPoint(x, y)};
    op.colour = textColour_;
    op.text = text;
    op.transparent = transparent_;
    ops.push_back(op);
}

void RecordingSurface::drawText(const Rect& rect, const QString& text, unsigned flags) {
    DrawOp op;
    op.kind = DrawOp::DrawText;
    op.rect = rect;
    op.colour = textColour_;
    op.text = text;
    op.transparent = transparent_;
    op.flags = flags;
    ops.push_back(op);
}

QStringList RecordingSurface::texts() const {
    QStringList out;
    for (const auto& op : ops) {
        if (op.kind == DrawOp::TextOut || op.kind == DrawOp::DrawText) out << op.text;
    }
    return out;
}

std::vector<DrawOp> RecordingSurface::opsOf(DrawOp::Kind kind) const {
    std::vector<DrawOp> out;
    for (const auto& op : ops) {
        if (op.kind == kind) out.push_back(op);
    }
    return out;
}

}  // namespace planning
