// A small drawing layer in the manner of a Windows device context: a current pen, solid
// brushes, rectangle fills, outlines and single-line texts with a text colour and an opaque
// or transparent background. The planning area draws through it so that tests can record
// what was drawn instead of looking at pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "followup/followup_status.h"

class QPainter;

namespace planning {

// Colours as the stored data and the follow-up rules give them: 0x00BBGGRR, red in the low byte.
using followup::blueOf;
using followup::COLORREF;
using followup::greenOf;
using followup::redOf;
using followup::rgb;

QColor toQColor(COLORREF colour);

inline constexpr COLORREF kBlack = 0x000000;
inline constexpr COLORREF kWhite = 0xFFFFFF;
inline constexpr COLORREF kStockGrey = 0x808080;       // the stock grey brush
inline constexpr COLORREF kStockLightGrey = 0xC0C0C0;  // the stock light grey brush

struct Pen {
    int width = 1;
    COLORREF colour = kBlack;
    bool operator==(const Pen&) const = default;
};
inline constexpr Pen kStockWhitePen{1, kWhite};
inline constexpr Pen kStockBlackPen{1, kBlack};

// The rectangle of a fill or a text in device terms: right and bottom are excluded.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

enum TextFlags : unsigned {
    kTextLeft = 0,
    kTextTop = 0,
    kTextCentre = 1u << 0,   // centred horizontally
    kTextVCentre = 1u << 1,  // centred vertically (single line)
    kTextSingleLine = 1u << 2,
};

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    // Selects a pen for outlines and lines and returns the one it replaces.
    virtual Pen selectPen(const Pen& pen) = 0;
    virtual Pen currentPen() const = 0;
    // Fills with a solid brush; right and bottom excluded. An empty or inverted rectangle
    // fills nothing.
    virtual void fillRect(const Rect& rect, COLORREF brush) = 0;
    // Lines with the current pen from point to point.
    virtual void polyline(const std::vector<QPoint>& points) = 0;
    virtual void line(QPoint from, QPoint to) = 0;
    virtual void setTextColour(COLORREF colour) = 0;
    // Transparent (true) or opaque (false) text background; the opaque background is white.
    virtual void setTransparentText(bool transparent) = 0;
    // Text with its top-left corner at (x, y).
    virtual void textOut(int x, int y, const QString& text) = 0;
    // Text placed in a rectangle by the flags, clipped to it.
    virtual void drawText(const Rect& rect, const QString& text, unsigned flags) = 0;
    // The height of a line of text in the current font.
    virtual int lineHeight() const = 0;
    // The width of a text in the current font.
    virtual int textWidth(const QString& text) const = 0;
    // Whether what is drawn in this rectangle would be seen: a paint of part of a control may
    // skip what lies wholly outside that part.
    virtual bool shows(const Rect&) const { return true; }

    // Paper: light fills under dark texts, which print readably and spare the ink; the
    // screen keeps the planning's own colours.
    void setPaper(bool paper) { paper_ = paper; }
    bool paper() const { return paper_; }

private:
    bool paper_ = false;
};

// The screen: a QPainter on an owner-drawn control. Starts as a fresh device context does:
// black pen, black text on an opaque white background.
class PainterSurface final : public DrawSurface {
public:
    // painted, when given, is the part of the control this paint covers.
    explicit PainterSurface(QPainter& painter, QRegion painted = {});
    ~PainterSurface() override;

    Pen selectPen(const Pen& pen) override;
    Pen currentPen() const override { return pen_; }
    void fillRect(const Rect& rect, COLORREF brush) override;
    void polyline(const std::vector<QPoint>& points) override;
    void line(QPoint from, QPoint to) override;
    void setTextColour(COLORREF colour) override { textColour_ = colour; }
    void setTransparentText(bool transparent) override { transparent_ = transparent; }
    void textOut(int x, int y, const QString& text) override;
    void drawText(const Rect& rect, const QString& text, unsigned flags) override;
    int lineHeight() const override;
    int textWidth(const QString& text) const override;
    bool shows(const Rect& rect) const override;

private:
    static constexpr qsizetype kKeptWidths = 20000;
    void applyPen();
    QPainter& painter_;
    QRegion painted_;
    mutable QFont measuredFont_;
    mutable QString fontKey_;
    Pen pen_ = kStockBlackPen;
    COLORREF textColour_ = kBlack;
    bool transparent_ = false;
};

}  // namespace planning
