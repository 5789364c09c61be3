// Placeholder until the overlay lands.
#include "Overlay.h"

int32_t BoxStyleIndex(float) { return 0; }
bool SwitchOn(float value) { return value >= 0.5f; }
void DrawOverlay(const std::vector<TrackedBlob>&, const OverlaySettings&, OverlayDrawList&) {}
void DrawTargetBox(const TrackedBlob&, int32_t, OverlayDrawList&) {}
void DrawGlyph(char, float, float, float, OverlayDrawList&) {}
void DrawText(const char*, float, float, float, OverlayDrawList&) {}
