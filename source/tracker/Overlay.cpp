// The overlay of one frame as draw-list primitives: the geometry and colour of
// the title, target boxes, crosshairs, labels, size bars, contours and network.
#include "Overlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "GlyphTable.h"
#include "HueShift.h"
#include "Truncation.h"

namespace {

constexpr char kTitle[] = "KVR RIROZIVID v3.0";
constexpr float kTitleX = 0.01f;
constexpr float kTitleY = 0.96f;
constexpr float kTitleSize = 0.007f;
constexpr float kLabelSize = 0.012f;
constexpr float kBoxPadding = 0.09f;
constexpr float kContourInset = 0.003f;

struct PaddedBox {
    float x0, y0, x1, y1;
};

PaddedBox PadBox(const TrackedBlob& target)
{
    return {target.x - kBoxPadding, target.y - kBoxPadding, (target.x + target.width) + kBoxPadding,
            (target.y + target.height) + kBoxPadding};
}

// Every element starts from the base colour, so a repeated call can never
// rotate an already rotated colour.
OverlayColor OverlayHue(float shift)
{
    OverlayColor color{kOverlayBaseRed, kOverlayBaseGreen, kOverlayBaseBlue, 1.0f};
    HueShift(color.r, color.g, color.b, shift);
    return color;
}

void DrawCrosshair(float cx, float cy, OverlayDrawList& list)
{
    list.DrawLine(cx - 0.008f, cy, cx - 0.0012f, cy);
    list.DrawLine(cx + 0.0012f, cy, cx + 0.008f, cy);
    list.DrawLine(cx, cy - 0.008f, cx, cy - 0.0012f);
    list.DrawLine(cx, cy + 0.0012f, cx, cy + 0.008f);
    list.DrawRect(cx - 0.002f, cy - 0.002f, 0.004f, 0.004f);
}

void DrawLabel(const TrackedBlob& target, const PaddedBox& box, OverlayDrawList& list)
{
    char label[128];
    std::snprintf(label, sizeof label, "TGT-%03d", static_cast<int>(target.id));
    const float ly = box.y1 + 0.005f;
    DrawText(label, box.x0, ly, kLabelSize, list);
    // Half length at 500 cells; the product comes first, then the quotient.
    const float barLength = 0.06f * target.area / (target.area + 500.0f);
    list.DrawRect(box.x0, ly - 0.004f, barLength, 0.002f);
}

void DrawContour(const PaddedBox& box, OverlayDrawList& list)
{
    const float cx0 = box.x0 + kContourInset;
    const float cy0 = box.y0 + kContourInset;
    const float cx1 = box.x1 - kContourInset;
    const float cy1 = box.y1 - kContourInset;
    list.DrawLine(cx0, cy1, cx1, cy1);
    list.DrawLine(cx1, cy1, cx1, cy0);
    list.DrawLine(cx1, cy0, cx0, cy0);
    list.DrawLine(cx0, cy0, cx0, cy1);
}

void DrawNetwork(const std::vector<TrackedBlob>& targets, float shift, OverlayDrawList& list)
{
    for (size_t i = 0; i < targets.size(); ++i) {
        for (size_t j = i + 1; j < targets.size(); ++j) {
            const float dx = targets[j].centerX - targets[i].centerX;
            const float dy = targets[j].centerY - targets[i].centerY;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.0f)
                continue;
            const OverlayColor color = OverlayHue(shift);
            list.SetColor(color.r, color.g, color.b, (1.0f - d) * (1.0f - d));
            list.DrawLine(targets[i].centerX, targets[i].centerY, targets[j].centerX, targets[j].centerY);
        }
    }
}

} // namespace

int32_t BoxStyleIndex(float value) { return TruncateToInt32(value + 0.5f); }

bool SwitchOn(float value) { return value >= 0.5f; }

void DrawOverlay(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, OverlayDrawList& list)
{
    const OverlayColor color = OverlayHue(settings.hueShift);
    list.SetColor(color.r, color.g, color.b, 0.7f);
    DrawText(kTitle, kTitleX, kTitleY, kTitleSize, list);

    if (targets.empty())
        return;

    const bool showBlobs = SwitchOn(settings.showBlobs);
    if (showBlobs) {
        const int32_t style = BoxStyleIndex(settings.boxStyle);
        const bool showLabels = SwitchOn(settings.showLabels);
        for (const TrackedBlob& target : targets) {
            list.SetColor(color.r, color.g, color.b, 1.0f);
            DrawTargetBox(target, style, list);
            DrawCrosshair(target.centerX, target.centerY, list);
            if (showLabels)
                DrawLabel(target, PadBox(target), list);
        }
    }

    if (showBlobs && SwitchOn(settings.showContours)) {
        list.SetColor(color.r, color.g, color.b, 0.6f);
        for (const TrackedBlob& target : targets)
            DrawContour(PadBox(target), list);
    }

    // Lines between near targets do not depend on the boxes being shown.
    if (SwitchOn(settings.showNetwork) && targets.size() >= 2)
        DrawNetwork(targets, settings.hueShift, list);
}

void DrawTargetBox(const TrackedBlob& target, int32_t styleIndex, OverlayDrawList& list)
{
    const PaddedBox box = PadBox(target);
    const float x0 = box.x0, y0 = box.y0, x1 = box.x1, y1 = box.y1;
    switch (styleIndex) {
    case kBoxRectangle:
        list.DrawLine(x0, y1, x1, y1);
        list.DrawLine(x1, y1, x1, y0);
        list.DrawLine(x1, y0, x0, y0);
        list.DrawLine(x0, y0, x0, y1);
        break;
    case kBoxCorners: {
        const float cw = (x1 - x0) * 0.25f;
        const float ch = (y1 - y0) * 0.25f;
        list.DrawLine(x0, y1, x0 + cw, y1);
        list.DrawLine(x0, y1, x0, y1 - ch);
        list.DrawLine(x1, y1, x1 - cw, y1);
        list.DrawLine(x1, y1, x1, y1 - ch);
        list.DrawLine(x0, y0, x0 + cw, y0);
        list.DrawLine(x0, y0, x0, y0 + ch);
        list.DrawLine(x1, y0, x1 - cw, y0);
        list.DrawLine(x1, y0, x1, y0 + ch);
        break;
    }
    case kBoxBrackets: {
        const float bw = (x1 - x0) * 0.3f;
        list.DrawLine(x0 + bw, y1, x0, y1);
        list.DrawLine(x0, y1, x0, y0);
        list.DrawLine(x0, y0, x0 + bw, y0);
        list.DrawLine(x1 - bw, y1, x1, y1);
        list.DrawLine(x1, y1, x1, y0);
        list.DrawLine(x1, y0, x1 - bw, y0);
        break;
    }
    default: {
        // Eight dashes and seven gaps of a fifteenth each; the clamp keeps a
        // rounded-up last dash from running past the far corner.
        const float dx = (x1 - x0) / 15.0f;
        const float dy = (y1 - y0) / 15.0f;
        for (int i = 0; i < 8; ++i) {
            const float sx = (static_cast<float>(i) * dx) * 2.0f + x0;
            const float ex = std::min(x1, sx + dx);
            const float sy = (static_cast<float>(i) * dy) * 2.0f + y0;
            const float ey = std::min(y1, sy + dy);
            list.DrawLine(sx, y1, ex, y1);
            list.DrawLine(sx, y0, ex, y0);
            list.DrawLine(x0, sy, x0, ey);
            list.DrawLine(x1, sy, x1, ey);
        }
        break;
    }
    }
}

void DrawGlyph(char ch, float x, float y, float size, OverlayDrawList& list)
{
    const uint16_t* rows = GlyphTable[GlyphIndex(ch)];
    const float h = size * 1.5f;
    const float rowStep = h / 24.0f;
    const float cell = size * 0.0625f;
    for (int r = 1; r <= kGlyphRows; ++r) {
        const unsigned bits = rows[r - 1];
        if (bits == 0)
            continue;
        const float yr = (y + h) - static_cast<float>(r) * rowStep;
        for (int i = 0; i < kGlyphColumns; ++i)
            if (bits & (0x8000u >> i))
                list.DrawRect(x + static_cast<float>(i) * cell, yr, cell, rowStep);
    }
}

void DrawText(const char* text, float x, float y, float size, OverlayDrawList& list)
{
    // Each position is computed from its index, not accumulated, so rounding
    // does not drift along the line.
    for (int k = 0; text[k] != '\0'; ++k)
        DrawGlyph(text[k], static_cast<float>(k) * size + x, y, size, list);
}
