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
class QScrollArea;
QT_END_NAMESPACE

namespace sales {

class ChartsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ChartsWindow(QWidget* parent = nullptr);

    // The numbers to draw, with a line that says what the view keeps and the stale marking
    // (empty when the figures are current). Drawn shortly after, once for several calls:
    // typing in a filter asks on every key.
    void setNumbers(ChartNumbers numbers, const QString& scope, const QString& stale);
    // Draws what was last given, now.
    void redrawNow();

    const ChartNumbers& numbers() const { return numbers_; }

    static constexpr int kRedrawDelayMs = 150;
    static constexpr int kFillRowHeight = 22;
    static constexpr int kFillLabelLength = 40;

private:
    void drawSeats();
    void drawTakings();
    void drawFills();

    ChartNumbers numbers_;
    QLabel* scope_;
    QLabel* stale_;
    QTabWidget* tabs_;
    QChartView* reservedView_;
    QChartView* paidView_;
    QChartView* takingsView_;
    QChartView* fillView_;
    QScrollArea* fillArea_;
    QLabel* fillNote_;
    QTimer redraw_;
};

}  // namespace sales
