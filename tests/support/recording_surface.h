// A drawing surface that records what was drawn instead of painting it: the planning tests
// check the operations rather than pixels.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <vector>

#include "planning/draw_surface.h"

namespace planning {

// What was drawn, in order, with the state in force at each operation.
struct DrawOp {
    enum Kind { Fill, Polyline, Line, TextOut, DrawText };
    Kind kind = Fill;
    Rect rect;                   // Fill, DrawText
    std::vector<QPoint> points;  // Polyline, Line; TextOut: the one point
    COLORREF colour = 0;         // Fill: the brush; texts: the text colour
    Pen pen;                     // Polyline, Line
    QString text;
    bool transparent = false;  // texts
    unsigned flags = 0;        // DrawText
    bool operator==(const DrawOp&) const = default;
};

class RecordingSurface final : public DrawSurface {
public:
    Pen selectPen(const Pen& pen) override;
    Pen currentPen() const override { return pen_; }
    void fillRect(const Rect& rect, COLORREF brush) override;
    void polyline(const std::vector<QPoint>& points) override;
    void line(QPoint from, QPoint to) override;
    void setTextColour(COLORREF colour) override { textColour_ = colour; }
    void setTransparentText(bool transparent) override { transparent_ = transparent; }
    void textOut(int x, int y, const QString& text) override;
    void drawText(const Rect& rect, const QString& text, unsigned flags) override;
    int lineHeight() const override { return kRecordedLineHeight; }
    // Texts measure charWidth pixels a character; 0 (the default) lets every text fit.
    int textWidth(const QString& text) const override { return charWidth * static_cast<int>(text.size()); }
    int charWidth = 0;
    // The line height the recording answers: that of the dialog font at 96 dpi.
    static constexpr int kRecordedLineHeight = 13;

    std::vector<DrawOp> ops;
    // Every text drawn, in order.
    QStringList texts() const;
    std::vector<DrawOp> opsOf(DrawOp::Kind kind) const;

private:
    Pen pen_ = kStockBlackPen;
    COLORREF textColour_ = kBlack;
    bool transparent_ = false;
};

}  // namespace planning
