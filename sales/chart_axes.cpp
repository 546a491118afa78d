#include "sales/chart_axes.h"

#include <algorithm>
#include <cmath>

namespace sales {

namespace {

constexpr int kMostSteps = 8;

}  // namespace

ValueScale valueScale(double highest, double atLeast) {
    double most = std::isfinite(highest) ? highest : 0;
    if (std::isfinite(atLeast)) most = std::max(most, atLeast);
    if (!(most > 0)) return {};
    // Steps of 1, 2, 2.5 (from 25 up, so that the labels stay whole) and 5 times a power of ten.
    for (double power = 1; std::isfinite(power); power *= 10) {
        for (double unit : {1.0, 2.0, 2.5, 5.0}) {
            const double step = unit * power;
            if (step < 10 && unit == 2.5) continue;
            if (!std::isfinite(step)) return {};
            const double steps = std::ceil(most / step);
            if (steps <= kMostSteps) return {steps * step, static_cast<int>(std::max(1.0, steps))};
        }
    }
    return {};
}

std::vector<int> shownLabels(const ChartNumbers& numbers, int labelWidth, int axisWidth) {
    const int count = static_cast<int>(numbers.periods.size());
    std::vector<int> shown;
    const int fit = std::max(1, axisWidth / std::max(1, labelWidth));
    if (count <= fit) {
        for (int i = 0; i < count; ++i) shown.push_back(i);
        return shown;
    }
    const int needed = (count + fit - 1) / fit;
    std::vector<int> steps;
    switch (numbers.period) {
    case ChartPeriod::Day: steps = {2, 7, 14, 28, 56}; break;
    case ChartPeriod::Week: steps = {2, 4, 8, 13, 26}; break;
    case ChartPeriod::Month: steps = {2, 3, 6, 12, 24, 60, 120}; break;
    }
    const auto found = std::find_if(steps.begin(), steps.end(), [needed](int s) { return s >= needed; });
    const int step = found == steps.end() ? needed : *found;
    int first = 0;
    // Whole weeks start on a Monday, where a reader looks for them.
    if (numbers.period == ChartPeriod::Day && step % 7 == 0)
        while (first < count - 1 && numbers.periods[static_cast<std::size_t>(first)].dayOfWeek() != Qt::Monday) ++first;
    for (int i = first; i < count; i += step) shown.push_back(i);
    return shown;
}

}  // namespace sales
