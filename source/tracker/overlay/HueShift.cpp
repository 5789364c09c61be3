// Hue rotation of the overlay colour through HSV and back, in single precision
// and in the order of operations that the pixels depend on.
#include "HueShift.h"

#include <cmath>

#include "analysis/Truncation.h"

void HueShift(float& red, float& green, float& blue, float shift)
{
    // Written as a negated test so that a shift that is not a number also
    // leaves the colour untouched.
    if (!(shift >= 0.001f))
        return;

    const float maxValue = red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
    const float minValue = red < green ? (red < blue ? red : blue) : (green < blue ? green : blue);
    const float delta = maxValue - minValue;
    const float saturation = maxValue > 0.0f ? delta / maxValue : 0.0f;

    float hue = 0.0f;
    if (delta > 0.0001f) {
        if (maxValue == red) {
            hue = (green - blue) / delta;
            if (blue > green)
                hue += 6.0f;
        } else if (maxValue == green) {
            hue = (blue - red) / delta + 2.0f;
        } else {
            hue = (red - green) / delta + 4.0f;
        }
        hue = hue / 6.0f;
    }

    const float shifted = std::fmod(hue + shift, 1.0f);
    // An infinite shift has no remainder; keep the colour rather than write NaN.
    if (!std::isfinite(shifted))
        return;

    const float k = shifted * 6.0f;
    int32_t sector = TruncateToInt32(k);
    const float fraction = k - static_cast<float>(sector);
    sector = sector % 6;

    const float v = maxValue;
    const float p = (1.0f - saturation) * v;
    const float q = (1.0f - fraction * saturation) * v;
    const float t = (1.0f - (1.0f - fraction) * saturation) * v;

    switch (sector) {
    case 0: red = v; green = t; blue = p; break;
    case 1: red = q; green = v; blue = p; break;
    case 2: red = p; green = v; blue = t; break;
    case 3: red = p; green = q; blue = v; break;
    case 4: red = t; green = p; blue = v; break;
    default: red = v; green = p; blue = q; break;
    }
}
