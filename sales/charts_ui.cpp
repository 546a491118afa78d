#include "sales/charts_ui.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHorizontalStackedBarSeries>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "sales/chart_axes.h"

namespace sales {
namespace {

// The rooms keep their colours from one chart to the next.
QColor roomColour(const QString& code) {
    if (code == QLatin1String("KQ")) return QColor(0x2E, 0x86, 0xC1);
    if (code == QLatin1String("ZOD")) return QColor(0xE6, 0x7E, 0x22);
    if (code == QLatin1String("ZAZ")) return QColor(0x27, 0xAE, 0x60);
    return QColor(0x95, 0xA5, 0xA6);
}

// What the fill chart takes besides its rows: title, legend, scale and margins.
constexpr int kFillChrome = 120;
// Room kept between two period labels.
constexpr int kLabelGap = 14;
// The plot's width before a chart was laid out: the view less the scale and the legend.
constexpr int kPlotChrome = 170;

QChartView* newView(QWidget* parent) {
    auto* view = new QChartView(new QChart(), parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->legend()->setAlignment(Qt::AlignRight);
    view->chart()->setAnimationOptions(QChart::NoAnimation);
    return view;
}

// A fresh chart in the view, with its title; the old one goes with its series and axes.
QChart* freshChart(QChartView* view, const QString& title) {
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignRight);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    return chart;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* categories, Qt::Alignment categorySide,
            const ValueScale& scale, const QString& valueTitle) {
    chart->addSeries(series);
    auto* values = new QValueAxis();
    values->setRange(0, scale.top);
    values->setTickCount(scale.steps + 1);
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->setTitleText(valueTitle);
    chart->addAxis(categories, categorySide);
    chart->addAxis(values, categorySide == Qt::AlignBottom ? Qt::AlignLeft : Qt::AlignTop);
    series->attachAxis(categories);
    series->attachAxis(values);
}

// The periods under the bars: a bar stands at each whole number, and only the labels that
// fit are written, each under its bar.
QCategoryAxis* periodAxis(const ChartNumbers& numbers, int width) {
    auto* axis = new QCategoryAxis();
    const int count = static_cast<int>(numbers.periodLabels.size());
    axis->setRange(-0.5, std::max(0, count) - 0.5);
    axis->setStartValue(-0.5);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setGridLineVisible(false);
    int widest = 0;
    const QFontMetrics metrics(axis->labelsFont());
    for (const QString& label : numbers.periodLabels) widest = std::max(widest, metrics.horizontalAdvance(label));
    for (int i : shownLabels(numbers, widest + kLabelGap, width)) axis->append(numbers.periodLabels[i], i);
    return axis;
}

double finiteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

// The width the plot of a chart in this view has: as laid out when the view is shown, else
// the view's less the scale and the legend.
int plotWidth(const QChartView* view) {
    const QRectF plot = view->chart()->plotArea();
    if (view->isVisible() && plot.width() > 0) return static_cast<int>(plot.width());
    return view->width() - kPlotChrome;
}

}  // namespace

ChartsWindow::ChartsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Graphiques"));
    setObjectName(QStringLiteral("sales_charts"));
    auto* layout = new QVBoxLayout(this);
    scope_ = new QLabel(this);
    stale_ = new QLabel(this);
    stale_->setStyleSheet(QStringLiteral("color: #B03A2E; font-weight: bold"));
    stale_->setVisible(false);
    tabs_ = new QTabWidget(this);
    layout->addWidget(scope_);
    layout->addWidget(stale_);
    layout->addWidget(tabs_, 1);

    auto* seats = new QWidget(tabs_);
    auto* seatsLayout = new QVBoxLayout(seats);
    reservedView_ = newView(seats);
    paidView_ = newView(seats);
    seatsLayout->addWidget(reservedView_);
    seatsLayout->addWidget(paidView_);
    tabs_->addTab(seats, QStringLiteral("Places par jour"));

    takingsView_ = newView(tabs_);
    tabs_->addTab(takingsView_, QStringLiteral("Recettes par jour"));

    auto* fills = new QWidget(tabs_);
    auto* fillsLayout = new QVBoxLayout(fills);
    fillNote_ = new QLabel(fills);
    fillNote_->setWordWrap(true);
    fillNote_->setObjectName(QStringLiteral("charts_fill_note"));
    // The scale stays on top while the rows scroll under it: the bar moves the rows in view.
    auto* fillRow = new QHBoxLayout;
    fillView_ = newView(fills);
    fillView_->viewport()->installEventFilter(this);
    fillScroll_ = new QScrollBar(Qt::Vertical, fills);
    fillScroll_->setObjectName(QStringLiteral("charts_fill_scroll"));
    connect(fillScroll_, &QScrollBar::valueChanged, this, &ChartsWindow::showFillRows);
    fillRow->addWidget(fillView_, 1);
    fillRow->addWidget(fillScroll_);
    fillsLayout->addWidget(fillNote_);
    fillsLayout->addLayout(fillRow, 1);
    tabs_->addTab(fills, QStringLiteral("Remplissage"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    // A hidden chart has no size to fit its labels and rows to: each is drawn again once shown.
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        if (drawn_) redrawNow();
    });

    redraw_.setSingleShot(true);
    redraw_.setInterval(kRedrawDelayMs);
    connect(&redraw_, &QTimer::timeout, this, &ChartsWindow::redrawNow);
    resize(900, 640);
}

void ChartsWindow::setNumbers(ChartNumbers numbers, const QString& scope, const QString& stale) {
    scope_->setText(scope);
    stale_->setText(stale);
    stale_->setVisible(!stale.isEmpty());
    if (drawn_ && numbers == numbers_) return;
    numbers_ = std::move(numbers);
    redraw_.start();
}

void ChartsWindow::redrawNow() {
    redraw_.stop();
    drawn_ = true;
    const QString unit = periodWord(numbers_.period);
    tabs_->setTabText(0, QStringLiteral("Places par ") + unit);
    tabs_->setTabText(1, QStringLiteral("Recettes par ") + unit);
    drawSeats();
    drawTakings();
    drawFills();
}

void ChartsWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The labels that fit and the fill rows in view follow the size.
    if (drawn_) redraw_.start();
}

void ChartsWindow::keyPressEvent(QKeyEvent* event) {
    // Escape closes, as it does a dialog.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ChartsWindow::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the fill rates moves them as the scroll bar does.
    if (watched == fillView_->viewport() && event->type() == QEvent::Wheel) {
        QApplication::sendEvent(fillScroll_, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ChartsWindow::drawSeats() {
    const QString unit = periodWord(numbers_.period);
    struct Which {
        QChartView* view;
        const char* title;
        bool paid;
    };
    double most = 0;
    for (std::size_t p = 0; p < numbers_.periods.size(); ++p) {
        int64_t reserved = 0;
        for (const RoomSeries& r : numbers_.rooms) reserved += std::max<int64_t>(0, r.reserved[p]);
        most = std::max(most, static_cast<double>(reserved));
    }
    // Both charts on one scale, so that paid bars read against the reserved ones.
    for (const Which& w : {Which{reservedView_, "Places réservées par %1 et par salle", false},
                           Which{paidView_, "Places payées par %1 et par salle", true}}) {
        QCategoryAxis* periods = periodAxis(numbers_, plotWidth(w.view));
        QChart* chart = freshChart(w.view, QString::fromUtf8(w.title).arg(unit));
        auto* series = new QStackedBarSeries();
        for (const RoomSeries& r : numbers_.rooms) {
            auto* set = new QBarSet(r.code);
            set->setColor(roomColour(r.code));
            for (int64_t seats : w.paid ? r.paid : r.reserved)
                set->append(static_cast<qreal>(std::max<int64_t>(0, seats)));
            series->append(set);
        }
        attach(chart, series, periods, Qt::AlignBottom, valueScale(most), QStringLiteral("places"));
    }
}

void ChartsWindow::drawTakings() {
    QCategoryAxis* periods = periodAxis(numbers_, plotWidth(takingsView_));
    QString title = QStringLiteral("Recettes par %1 (€)").arg(periodWord(numbers_.period));
    if (numbers_.unreadableTakings > 0)
        title += QStringLiteral(" — %1 montant(s) illisible(s) laissé(s) de côté").arg(numbers_.unreadableTakings);
    QChart* chart = freshChart(takingsView_, title);
    auto* series = new QBarSeries();
    auto* reserved = new QBarSet(QStringLiteral("Réservé"));
    auto* paid = new QBarSet(QStringLiteral("Payé"));
    reserved->setColor(QColor(0x85, 0xC1, 0xE9));
    paid->setColor(QColor(0x1F, 0x61, 0x8D));
    double most = 0;
    for (std::size_t p = 0; p < numbers_.periods.size(); ++p) {
        const double r = finiteOrZero(numbers_.reservedEuros[p]);
        const double d = finiteOrZero(numbers_.paidEuros[p]);
        reserved->append(r);
        paid->append(d);
        most = std::max({most, r, d});
    }
    series->append(reserved);
    series->append(paid);
    attach(chart, series, periods, Qt::AlignBottom, valueScale(most), QStringLiteral("€"));
}

void ChartsWindow::drawFills() {
    QChart* chart = freshChart(fillView_, QStringLiteral("Remplissage par représentation (% de la jauge)"));
    auto* series = new QHorizontalStackedBarSeries();
    auto* paid = new QBarSet(QStringLiteral("Payées"));
    auto* unpaid = new QBarSet(QStringLiteral("Réservées non payées"));
    paid->setColor(QColor(0x1F, 0x61, 0x8D));
    unpaid->setColor(QColor(0x85, 0xC1, 0xE9));
    QStringList labels;
    double most = 0;
    // The first performance on top: a horizontal axis lists its categories from the bottom.
    for (auto it = numbers_.fills.rbegin(); it != numbers_.fills.rend(); ++it) {
        const double paidRate = std::max(0.0, finiteOrZero(it->paidRate));
        const double reservedRate = std::max(0.0, finiteOrZero(it->reservedRate));
        paid->append(paidRate);
        unpaid->append(std::max(0.0, reservedRate - paidRate));
        most = std::max(most, reservedRate);
        // Two performances with the same text still need two categories.
        QString label = it->label.size() > kFillLabelLength ? it->label.left(kFillLabelLength - 1) + u'…' : it->label;
        while (labels.contains(label)) label += u' ';
        labels << label;
    }
    series->append(paid);
    series->append(unpaid);
    fillAxis_ = new QBarCategoryAxis();
    fillAxis_->append(labels);
    // Cut to a length of our own above: Qt would otherwise cut every label to "...".
    fillAxis_->setTruncateLabels(false);
    chart->legend()->setAlignment(Qt::AlignTop);
    // A full room reads against 100 %, and an overbooked one still fits.
    attach(chart, series, fillAxis_, Qt::AlignLeft, valueScale(most, 100), QStringLiteral("%"));
    const int rows = static_cast<int>(labels.size());
    const int inView = std::max(1, (fillView_->height() - kFillChrome) / kFillRowHeight);
    {
        const QSignalBlocker quiet(fillScroll_);
        fillScroll_->setRange(0, std::max(0, rows - inView));
        fillScroll_->setPageStep(inView);
    }
    fillScroll_->setVisible(rows > inView);
    showFillRows();
    fillNote_->setText(fillNote());
    fillNote_->setVisible(!fillNote_->text().isEmpty());
}

void ChartsWindow::showFillRows() {
    if (!fillAxis_ || fillAxis_->count() == 0) return;
    const QStringList labels = fillAxis_->categories();
    const int rows = static_cast<int>(labels.size());
    const int inView = fillScroll_->pageStep();
    // The scroll counts from the top, where the last category stands.
    const int top = rows - 1 - std::clamp(fillScroll_->value(), 0, std::max(0, rows - inView));
    const int bottom = std::max(0, top - inView + 1);
    fillAxis_->setRange(labels[bottom], labels[top]);
}

QString ChartsWindow::fillNote() const {
    if (numbers_.withoutCapacity == 0) return {};
    const QString count = QStringLiteral("%1 représentation(s) sans jauge connue : ").arg(numbers_.withoutCapacity);
    switch (numbers_.capacitySource) {
    case RoomCapacities::Source::Unreachable:
        return count + QStringLiteral("le serveur du programme, qui donne la capacité des salles, ne répond pas.");
    case RoomCapacities::Source::Refused:
        return count + QStringLiteral("la liste des salles du programme n'a pas pu être lue.");
    case RoomCapacities::Source::NotRead:
        return count + QStringLiteral("la liste des salles du programme est en cours de lecture.");
    case RoomCapacities::Source::Read: break;
    }
    QStringList rooms;
    for (const QString& code : numbers_.roomsWithoutCapacity)
        rooms << (code == QLatin1String("?") ? QStringLiteral("sans code") : code);
    return count + QStringLiteral("la liste des salles du programme ne donne pas la capacité de la salle (code %1).")
                       .arg(rooms.join(QStringLiteral(", ")));
}

}  // namespace sales
