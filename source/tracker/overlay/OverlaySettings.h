// The parameter values the overlay reads each frame, and how it reads them:
// the box style by index, the switches at one half.
#pragma once

#include <cstdint>

// As the host stored them.
struct OverlaySettings {
    float boxStyle;
    float showBlobs;
    float showNetwork;
    float showLabels;
    float showContours;
    float hueShift;
};

enum BoxStyle : int32_t { kBoxRectangle = 0, kBoxCorners = 1, kBoxBrackets = 2, kBoxDashed = 3 };

// trunc(value + 0.5); 0, 1, 2 name their styles, every other index is "Dashed".
int32_t BoxStyleIndex(float value);
// On at 0.5 and above; a value that is not a number is off.
bool SwitchOn(float value);
