// The "Graphiques" window of the sales overview: the figures of the view in force as
// pictures, following its range, filters and refreshes. A window no dialog template
// describes: laid out by Qt, and drawn by Qt Charts.
#pragma once

#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include "sales/chart_numbers.h"

QT_BEGIN_NAMESPACE
class QChartView;
class QBarCategoryAxis;
class QScrollBar;
QT_END_NAMESPACE

namespace sales {

class ChartsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChartsWindow(QWidget* parent = nullptr);

    // The numbers to draw, with a line that says what the view keeps and the stale marking
    // (empty when the figures are current). Drawn shortly after, once for several calls:
    // typing in a filter asks on every key; numbers equal to those drawn are not drawn again
    // (the refreshes give the same ones every ten seconds).
    void setNumbers(ChartNumbers numbers, const QString& scope, const QString& stale);
    // Draws what was last given, now.
    void redrawNow();

    const ChartNumbers& numbers() const { return numbers_; }
    // The fill rates' scroll: at 0 the first performances are on top.
    QScrollBar* fillScroll() const { return fillScroll_; }

    static constexpr int kRedrawDelayMs = 150;
    static constexpr int kFillRowHeight = 22;
    static constexpr int kFillLabelLength = 40;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawSeats();
    void drawTakings();
    void drawFills();
    // The fill rates in view: as many rows as the chart's height holds, from the scroll's.
    void showFillRows();
    QString fillNote() const;

    ChartNumbers numbers_;
    bool drawn_ = false;
    QLabel* scope_;
    QLabel* stale_;
    QTabWidget* tabs_;
    QChartView* reservedView_;
    QChartView* paidView_;
    QChartView* takingsView_;
    QChartView* fillView_;
    QBarCategoryAxis* fillAxis_ = nullptr;
    QScrollBar* fillScroll_;
    QLabel* fillNote_;
    QTimer redraw_;
};

}  // namespace sales
