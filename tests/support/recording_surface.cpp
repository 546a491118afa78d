#include "tests/support/recording_surface.h"

namespace planning {

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
