#include "planning/contrast.h"

#include <algorithm>
#include <cmath>

namespace planning {

namespace {

double linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

COLORREF scaled(COLORREF colour, double factor) {
    auto channel = [factor](unsigned c) { return static_cast<unsigned>(std::lround(c * factor)); };
    return rgb(channel(redOf(colour)), channel(greenOf(colour)), channel(blueOf(colour)));
}

}  // namespace

double relativeLuminance(COLORREF colour) {
    return 0.2126 * linear(redOf(colour)) + 0.7152 * linear(greenOf(colour)) + 0.0722 * linear(blueOf(colour));
}

double contrastRatio(COLORREF a, COLORREF b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

COLORREF textColourOn(COLORREF background) {
    constexpr COLORREF kBlackText = 0x000000;
    constexpr COLORREF kWhiteText = 0xFFFFFF;
    return contrastRatio(kBlackText, background) >= contrastRatio(kWhiteText, background) ? kBlackText : kWhiteText;
}

COLORREF readableOn(COLORREF colour, COLORREF background) {
    if (contrastRatio(colour, background) >= kReadableContrast) return colour;
    // Darken in small steps; black (factor 0) always ends it on a light background.
    for (int step = 99; step >= 0; --step) {
        const COLORREF darker = scaled(colour, step / 100.0);
        if (contrastRatio(darker, background) >= kReadableContrast) return darker;
    }
    return textColourOn(background);
}

COLORREF paperTint(COLORREF colour) {
    constexpr double kShare = 1.0 / 3.0;
    auto tint = [](unsigned c) { return static_cast<unsigned>(std::lround(255.0 - (255.0 - c) * kShare)); };
    return rgb(tint(redOf(colour)), tint(greenOf(colour)), tint(blueOf(colour)));
}

}  // namespace planning
