#include "dialog/dialog_units.h"

#include <QFontMetricsF>
#include <cmath>

namespace dlg {

namespace {
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr double kAlphabetLetters = 52.0;
constexpr double kUnitsAcross = 4.0;
constexpr double kUnitsDown = 8.0;

int edge(int units, double base, double unitsPerBase) {
    return static_cast<int>(std::lround(units * base / unitsPerBase));
}
}  // namespace

BaseUnits dialogBaseUnits(const QFontMetricsF& metrics) {
    return {metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) / kAlphabetLetters, metrics.height()};
}

QRect dialogUnitsToPixels(const BaseUnits& base, int x, int y, int w, int h) {
    const int left = edge(x, base.x, kUnitsAcross);
    const int top = edge(y, base.y, kUnitsDown);
    return QRect(left, top, edge(x + w, base.x, kUnitsAcross) - left, edge(y + h, base.y, kUnitsDown) - top);
}

}  // namespace dlg
