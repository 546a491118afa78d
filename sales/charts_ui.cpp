#include "sales/charts_ui.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHorizontalStackedBarSeries>
#include <QScrollArea>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace sales {
namespace {

// The rooms keep their colours from one chart to the next.
QColor roomColour(const QString& code) {
    if (code == QLatin1String("KQ")) return QColor(0x2E, 0x86, 0xC1);
    if (code == QLatin1String("ZOD")) return QColor(0xE6, 0x7E, 0x22);
    if (code == QLatin1String("ZAZ")) return QColor(0x27, 0xAE, 0x60);
    return QColor(0x95, 0xA5, 0xA6);
}

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
            double most, const QString& valueTitle) {
    chart->addSeries(series);
    auto* values = new QValueAxis();
    values->setRange(0, std::max(1.0, most * 1.05));
    values->applyNiceNumbers();
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->setTitleText(valueTitle);
    chart->addAxis(categories, categorySide);
    // Beside the bars' categories; above a list of performances, which scrolls.
    chart->addAxis(values, categorySide == Qt::AlignBottom ? Qt::AlignLeft : Qt::AlignTop);
    series->attachAxis(categories);
    series->attachAxis(values);
}

QBarCategoryAxis* categoryAxis(const QStringList& labels) {
    auto* axis = new QBarCategoryAxis();
    axis->append(labels);
    if (labels.size() > 16) axis->setLabelsAngle(-90);
    return axis;
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
    fillArea_ = new QScrollArea(fills);
    fillArea_->setWidgetResizable(true);
    fillView_ = newView(fillArea_);
    fillArea_->setWidget(fillView_);
    fillsLayout->addWidget(fillNote_);
    fillsLayout->addWidget(fillArea_, 1);
    tabs_->addTab(fills, QStringLiteral("Remplissage"));

    redraw_.setSingleShot(true);
    redraw_.setInterval(kRedrawDelayMs);
    connect(&redraw_, &QTimer::timeout, this, &ChartsWindow::redrawNow);
    resize(900, 640);
}

void ChartsWindow::setNumbers(ChartNumbers numbers, const QString& scope, const QString& stale) {
    numbers_ = std::move(numbers);
    scope_->setText(scope);
    stale_->setText(stale);
    stale_->setVisible(!stale.isEmpty());
    redraw_.start();
}

void ChartsWindow::redrawNow() {
    redraw_.stop();
    drawSeats();
    drawTakings();
    drawFills();
}

void ChartsWindow::drawSeats() {
    const QString unit = numbers_.perMonth ? QStringLiteral("mois") : QStringLiteral("jour");
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
        QChart* chart = freshChart(w.view, QString::fromUtf8(w.title).arg(unit));
        auto* series = new QStackedBarSeries();
        for (const RoomSeries& r : numbers_.rooms) {
            auto* set = new QBarSet(r.code);
            set->setColor(roomColour(r.code));
            for (int64_t seats : w.paid ? r.paid : r.reserved) set->append(static_cast<qreal>(seats));
            series->append(set);
        }
        attach(chart, series, categoryAxis(numbers_.periodLabels), Qt::AlignBottom, most, QStringLiteral("places"));
    }
}

void ChartsWindow::drawTakings() {
    QChart* chart = freshChart(takingsView_, numbers_.perMonth ? QStringLiteral("Recettes par mois (€)")
                                                                : QStringLiteral("Recettes par jour (€)"));
    auto* series = new QBarSeries();
    auto* reserved = new QBarSet(QStringLiteral("Réservé"));
    auto* paid = new QBarSet(QStringLiteral("Payé"));
    reserved->setColor(QColor(0x85, 0xC1, 0xE9));
    paid->setColor(QColor(0x1F, 0x61, 0x8D));
    double most = 0;
    for (std::size_t p = 0; p < numbers_.periods.size(); ++p) {
        reserved->append(numbers_.reservedEuros[p]);
        paid->append(numbers_.paidEuros[p]);
        most = std::max({most, numbers_.reservedEuros[p], numbers_.paidEuros[p]});
    }
    series->append(reserved);
    series->append(paid);
    attach(chart, series, categoryAxis(numbers_.periodLabels), Qt::AlignBottom, most, QStringLiteral("€"));
}

void ChartsWindow::drawFills() {
    QChart* chart = freshChart(fillView_, QStringLiteral("Remplissage par représentation (% de la jauge)"));
    auto* series = new QHorizontalStackedBarSeries();
    auto* paid = new QBarSet(QStringLiteral("Payées"));
    auto* unpaid = new QBarSet(QStringLiteral("Réservées non payées"));
    paid->setColor(QColor(0x1F, 0x61, 0x8D));
    unpaid->setColor(QColor(0x85, 0xC1, 0xE9));
    QStringList labels;
    double most = 100;
    // The first performance on top: a horizontal axis lists its categories from the bottom.
    for (auto it = numbers_.fills.rbegin(); it != numbers_.fills.rend(); ++it) {
        paid->append(std::max(0.0, it->paidRate));
        unpaid->append(std::max(0.0, it->reservedRate - std::max(0.0, it->paidRate)));
        most = std::max(most, it->reservedRate);
        // Two performances with the same text still need two categories.
        QString label = it->label.size() > kFillLabelLength ? it->label.left(kFillLabelLength - 1) + u'…' : it->label;
        while (labels.contains(label)) label += u' ';
        labels << label;
    }
    series->append(paid);
    series->append(unpaid);
    auto* axis = new QBarCategoryAxis();
    axis->append(labels);
    // Cut to a length of our own above: Qt would otherwise cut every label to "...".
    axis->setTruncateLabels(false);
    chart->legend()->setAlignment(Qt::AlignTop);
    attach(chart, series, axis, Qt::AlignLeft, most, QStringLiteral("%"));
    fillView_->setMinimumHeight(120 + kFillRowHeight * static_cast<int>(numbers_.fills.size()));
    fillNote_->setText(numbers_.withoutCapacity == 0
                           ? QString()
                           : QStringLiteral("%1 représentation(s) sans jauge connue : la liste des salles du programme "
                                            "ne donne pas la capacité de leur salle (code KQ, ZOD ou ZAZ).")
                                 .arg(numbers_.withoutCapacity));
    fillNote_->setVisible(numbers_.withoutCapacity > 0);
}

}  // namespace sales
