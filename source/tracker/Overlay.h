// The tracking display of one frame: title, target boxes in four styles,
// crosshairs, labels with size bars, contour frames and network lines, all in
// one hue-shifted colour. Laid out into the reference draw list, or streamed
// into the frame's batcher (the layout itself is in OverlayLayout.h).
#pragma once

#include <cstdint>
#include <vector>

#include "OverlayDrawList.h"
#include "TargetList.h"

// The parameter values the overlay reads each frame, as the host stored them.
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

class OverlayBatcher;

// Appends the whole overlay of one frame to list (which it does not clear).
void DrawOverlay(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, OverlayDrawList& list);
// The same primitives, in the same order, streamed into a batcher between its Begin and End.
void DrawOverlay(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, OverlayBatcher& batcher);
// The box of one target on its padded box.
void DrawTargetBox(const TrackedBlob& target, int32_t styleIndex, OverlayDrawList& list);
// One glyph of size S with its lower-left corner at (x, y): one rectangle per inked cell.
void DrawGlyph(char ch, float x, float y, float size, OverlayDrawList& list);
// Glyphs side by side, S apart, up to the terminator.
void DrawText(const char* text, float x, float y, float size, OverlayDrawList& list);
