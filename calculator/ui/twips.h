// Screen measures: the program keeps positions and sizes in twips (1/1440 inch) and shows them in
// pixels of the screen's logical resolution.
#pragma once

#include <QtGlobal>
#include <cmath>

namespace gearsheet {

// Pixels for a length in twips at `dpi` dots per inch; absurd lengths are clamped so that the
// result stays a usable coordinate.
inline int TwipsToPixels(double twips, int dpi) {
    constexpr double kLimit = 1 << 24;
    double px = std::nearbyint(twips * dpi / 1440.0);
    if (!(px > -kLimit))
        px = -kLimit;  // also catches NaN
    if (px > kLimit)
        px = kLimit;
    return static_cast<int>(px);
}

// Twips for a length in pixels at `dpi`; TwipsToPixels turns it back into the same pixels.
inline float PixelsToTwips(int pixels, int dpi) {
    return static_cast<float>(static_cast<double>(pixels) * 1440.0 / dpi);
}

}  // namespace gearsheet
