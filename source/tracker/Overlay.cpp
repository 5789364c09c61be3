// The overlay's entry points for the reference draw list and the frame's
// batcher, and the label text.
#include "Overlay.h"

#include "OverlayBatches.h"
#include "OverlayLayout.h"
#include "Truncation.h"

int32_t BoxStyleIndex(float value) { return TruncateToInt32(value + 0.5f); }

bool SwitchOn(float value) { return value >= 0.5f; }

int overlaylayout::FormatLabel(int32_t id, char* text)
{
    char* out = text;
    *out++ = 'T';
    *out++ = 'G';
    *out++ = 'T';
    *out++ = '-';
    // The magnitude in unsigned arithmetic, so that the smallest int32 has one too.
    uint32_t magnitude = static_cast<uint32_t>(id);
    if (id < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    char digits[10];
    int digitCount = 0;
    do {
        digits[digitCount++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    for (int width = digitCount + (id < 0 ? 1 : 0); width < 3; ++width)
        *out++ = '0';
    while (digitCount > 0)
        *out++ = digits[--digitCount];
    *out = '\0';
    return static_cast<int>(out - text);
}

void DrawOverlay(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, OverlayDrawList& list)
{
    overlaylayout::LayOutOverlay(targets, settings, list);
}

void DrawOverlay(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, OverlayBatcher& batcher)
{
    overlaylayout::LayOutOverlay(targets, settings, batcher);
}

void DrawTargetBox(const TrackedBlob& target, int32_t styleIndex, OverlayDrawList& list)
{
    overlaylayout::LayOutTargetBox(target, styleIndex, list);
}

void DrawGlyph(char ch, float x, float y, float size, OverlayDrawList& list)
{
    overlaylayout::DrawGlyphCells(ch, x, y, size, list);
}

void DrawText(const char* text, float x, float y, float size, OverlayDrawList& list)
{
    overlaylayout::LayOutText(text, x, y, size, list);
}
