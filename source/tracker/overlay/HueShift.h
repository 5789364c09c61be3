// Rotates a colour around the colour circle through HSV, in single precision.
#pragma once

// The overlay's base colour, a hot pink; every element starts from it.
constexpr float kOverlayBaseRed = 1.0f;
constexpr float kOverlayBaseGreen = 0.078f;
constexpr float kOverlayBaseBlue = 0.576f;

// shift is a fraction of the full circle; below 0.001 (or not a number) the
// colour is left exactly as it was.
void HueShift(float& red, float& green, float& blue, float shift);
