// Text that stays readable on its background: the contrast ratio of two colours as the web's
// accessibility guidelines define it (relative luminance of the sRGB channels), and the text
// colour the planning uses on each follow-up colour. The backgrounds keep their colours; the
// text adapts to them.
#pragma once

#include "planning/draw_surface.h"

namespace planning {

// The smallest contrast ratio at which ordinary text reads well.
inline constexpr double kReadableContrast = 4.5;

// 0 for black to 1 for white.
double relativeLuminance(COLORREF colour);
// From 1 (the same colour) to 21 (black on white); the order of the two does not matter.
double contrastRatio(COLORREF a, COLORREF b);

// Black or white, whichever reads better on the background (one of them always reaches
// kReadableContrast).
COLORREF textColourOn(COLORREF background);

// `colour` itself when it reads on the background; otherwise the same hue darkened just
// enough to reach kReadableContrast (for coloured text on a light background).
COLORREF readableOn(COLORREF colour, COLORREF background);

// The printed palette: a status colour as a light tint (a third of it on white), on which
// black text and the planning's dark texts read at kReadableContrast or more; the light
// panels that replace the screen's greys.
COLORREF paperTint(COLORREF colour);
inline constexpr COLORREF kPaperPanel = 0xF4F4F4;
inline constexpr COLORREF kPaperBand = 0xE4E4E4;
inline constexpr COLORREF kPaperOutline = 0x909090;

}  // namespace planning
