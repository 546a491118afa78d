// What the charts' axes show, apart from the charts so that it can be checked without a
// window: a value scale that ends near the highest bar in whole steps, and the period labels
// that fit under the bars.
#pragma once

#include <vector>

#include "sales/chart_numbers.h"

namespace sales {

// From 0 to `top` in `steps` equal whole steps: the labels, written without decimals, never
// repeat. `top` is the first step at or above the highest value (and `atLeast`); a value that
// is no finite number, or none above 0, gives the small empty scale 0 to 5.
struct ValueScale {
    double top = 5;
    int steps = 5;
    bool operator==(const ValueScale&) const = default;
};
ValueScale valueScale(double highest, double atLeast = 0);

// The periods whose labels are written when each label needs `labelWidth` pixels (its gap
// included) and the axis has `axisWidth`: all of them when they fit; otherwise every n-th,
// n from a few round steps (per day: 2, then the Mondays every 1, 2, 4 or 8 weeks; per week:
// 2, 4, 8, 13, 26; per month: 2, 3, 6, 12, then whole years).
std::vector<int> shownLabels(const ChartNumbers& numbers, int labelWidth, int axisWidth);

}  // namespace sales
