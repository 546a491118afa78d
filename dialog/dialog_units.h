// Dialog units: the templates place every control in units of the dialog font, a quarter of
// its average character width across and an eighth of its height down, so that a dialog grows
// with its font. Computed from the real font's metrics, without the whole-pixel rounding of
// the base units that Windows applies: with a font other than the one the templates were
// drawn for (Liberation Sans for Tahoma), that rounding loses up to half a pixel per
// character, and long labels no longer fit their place.
#pragma once

#include <QRect>

class QFontMetricsF;

namespace dlg {

struct BaseUnits {
    double x = 6.0;   // the average width of the 52 letters of the alphabet, in pixels
    double y = 13.0;  // the height of a line of text, in pixels
};

BaseUnits dialogBaseUnits(const QFontMetricsF& metrics);

// A template rectangle in pixels. Each edge is rounded on its own, so that controls that
// touch in dialog units touch in pixels.
QRect dialogUnitsToPixels(const BaseUnits& base, int x, int y, int w, int h);

}  // namespace dlg
