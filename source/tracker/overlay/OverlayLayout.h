// The overlay's layout, written once for every sink it is drawn into: the
// reference draw list, the streaming batcher of a frame and the literal GL
// path. A sink offers SetColor, DrawLine and DrawRect, and a DrawGlyph
// overload (sink last) that draws one glyph in its own way.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "GlyphTable.h"
#include "HueShift.h"
#include "OverlayDrawList.h"
#include "OverlaySettings.h"
#include "analysis/TargetList.h"

namespace overlaylayout {

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

inline PaddedBox PadBox(const TrackedBlob& target)
{
    return {target.x - kBoxPadding, target.y - kBoxPadding, (target.x + target.width) + kBoxPadding,
            (target.y + target.height) + kBoxPadding};
}

// Every element starts from the base colour, so a repeated call can never
// rotate an already rotated colour; the result is the same for every call.
inline OverlayColor OverlayHue(float shift)
{
    OverlayColor color{kOverlayBaseRed, kOverlayBaseGreen, kOverlayBaseBlue, 1.0f};
    HueShift(color.r, color.g, color.b, shift);
    return color;
}

// "TGT-%03d" without the formatter: at least three digits, zero-padded, the
// sign counted in the width. Returns the text's length (at most 15).
int FormatLabel(int32_t id, char* text);

// One rectangle per inked cell, top row first, left to right.
template <typename Sink> void DrawGlyphCells(char ch, float x, float y, float size, Sink& sink)
{
    const uint16_t* rows = GlyphTable[GlyphIndex(ch)];
    const GlyphMetrics metrics = GlyphMetricsFor(size);
    const float h = metrics.height;
    const float rowStep = metrics.rowStep;
    const float cell = metrics.cell;
    for (int r = 1; r <= kGlyphRows; ++r) {
        const unsigned bits = rows[r - 1];
        if (bits == 0)
            continue;
        const float yr = (y + h) - static_cast<float>(r) * rowStep;
        for (int i = 0; i < kGlyphColumns; ++i)
            if (bits & (0x8000u >> i))
                sink.DrawRect(x + static_cast<float>(i) * cell, yr, cell, rowStep);
    }
}

}  // namespace overlaylayout

// The reference draw list's way to a glyph: one rectangle per inked cell.
inline void DrawGlyph(char ch, float x, float y, float size, OverlayDrawList& list)
{
    overlaylayout::DrawGlyphCells(ch, x, y, size, list);
}

namespace overlaylayout {

template <typename Sink> void LayOutText(const char* text, float x, float y, float size, Sink& sink)
{
    // Each position is computed from its index, not accumulated, so rounding
    // does not drift along the line.
    for (int k = 0; text[k] != '\0'; ++k)
        DrawGlyph(text[k], static_cast<float>(k) * size + x, y, size, sink);
}

template <typename Sink> void LayOutTargetBox(const TrackedBlob& target, int32_t styleIndex, Sink& sink)
{
    const PaddedBox box = PadBox(target);
    const float x0 = box.x0, y0 = box.y0, x1 = box.x1, y1 = box.y1;
    switch (styleIndex) {
    case kBoxRectangle:
        sink.DrawLine(x0, y1, x1, y1);
        sink.DrawLine(x1, y1, x1, y0);
        sink.DrawLine(x1, y0, x0, y0);
        sink.DrawLine(x0, y0, x0, y1);
        break;
    case kBoxCorners: {
        const float cw = (x1 - x0) * 0.25f;
        const float ch = (y1 - y0) * 0.25f;
        sink.DrawLine(x0, y1, x0 + cw, y1);
        sink.DrawLine(x0, y1, x0, y1 - ch);
        sink.DrawLine(x1, y1, x1 - cw, y1);
        sink.DrawLine(x1, y1, x1, y1 - ch);
        sink.DrawLine(x0, y0, x0 + cw, y0);
        sink.DrawLine(x0, y0, x0, y0 + ch);
        sink.DrawLine(x1, y0, x1 - cw, y0);
        sink.DrawLine(x1, y0, x1, y0 + ch);
        break;
    }
    case kBoxBrackets: {
        const float bw = (x1 - x0) * 0.3f;
        sink.DrawLine(x0 + bw, y1, x0, y1);
        sink.DrawLine(x0, y1, x0, y0);
        sink.DrawLine(x0, y0, x0 + bw, y0);
        sink.DrawLine(x1 - bw, y1, x1, y1);
        sink.DrawLine(x1, y1, x1, y0);
        sink.DrawLine(x1, y0, x1 - bw, y0);
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
            sink.DrawLine(sx, y1, ex, y1);
            sink.DrawLine(sx, y0, ex, y0);
            sink.DrawLine(x0, sy, x0, ey);
            sink.DrawLine(x1, sy, x1, ey);
        }
        break;
    }
    }
}

template <typename Sink> void LayOutCrosshair(float cx, float cy, Sink& sink)
{
    sink.DrawLine(cx - 0.008f, cy, cx - 0.0012f, cy);
    sink.DrawLine(cx + 0.0012f, cy, cx + 0.008f, cy);
    sink.DrawLine(cx, cy - 0.008f, cx, cy - 0.0012f);
    sink.DrawLine(cx, cy + 0.0012f, cx, cy + 0.008f);
    sink.DrawRect(cx - 0.002f, cy - 0.002f, 0.004f, 0.004f);
}

template <typename Sink> void LayOutLabel(const TrackedBlob& target, const PaddedBox& box, Sink& sink)
{
    char label[16];
    FormatLabel(target.id, label);
    const float ly = box.y1 + 0.005f;
    LayOutText(label, box.x0, ly, kLabelSize, sink);
    // Half length at 500 cells; the product comes first, then the quotient.
    const float barLength = 0.06f * target.area / (target.area + 500.0f);
    sink.DrawRect(box.x0, ly - 0.004f, barLength, 0.002f);
}

template <typename Sink> void LayOutContour(const PaddedBox& box, Sink& sink)
{
    const float cx0 = box.x0 + kContourInset;
    const float cy0 = box.y0 + kContourInset;
    const float cx1 = box.x1 - kContourInset;
    const float cy1 = box.y1 - kContourInset;
    sink.DrawLine(cx0, cy1, cx1, cy1);
    sink.DrawLine(cx1, cy1, cx1, cy0);
    sink.DrawLine(cx1, cy0, cx0, cy0);
    sink.DrawLine(cx0, cy0, cx0, cy1);
}

template <typename Sink>
void LayOutNetwork(const std::vector<TrackedBlob>& targets, const OverlayColor& color, Sink& sink)
{
    const size_t count = targets.size();
    for (size_t i = 0; i < count; ++i) {
        const TrackedBlob& from = targets[i];
        for (size_t j = i + 1; j < count; ++j) {
            const float dx = targets[j].centerX - from.centerX;
            const float dy = targets[j].centerY - from.centerY;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.0f)
                continue;
            sink.SetColor(color.r, color.g, color.b, (1.0f - d) * (1.0f - d));
            sink.DrawLine(from.centerX, from.centerY, targets[j].centerX, targets[j].centerY);
        }
    }
}

template <typename Sink>
void LayOutOverlay(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, Sink& sink)
{
    const OverlayColor color = OverlayHue(settings.hueShift);
    sink.SetColor(color.r, color.g, color.b, 0.7f);
    LayOutText(kTitle, kTitleX, kTitleY, kTitleSize, sink);

    if (targets.empty())
        return;

    const bool showBlobs = SwitchOn(settings.showBlobs);
    if (showBlobs) {
        const int32_t style = BoxStyleIndex(settings.boxStyle);
        const bool showLabels = SwitchOn(settings.showLabels);
        for (const TrackedBlob& target : targets) {
            sink.SetColor(color.r, color.g, color.b, 1.0f);
            LayOutTargetBox(target, style, sink);
            LayOutCrosshair(target.centerX, target.centerY, sink);
            if (showLabels)
                LayOutLabel(target, PadBox(target), sink);
        }
    }

    if (showBlobs && SwitchOn(settings.showContours)) {
        sink.SetColor(color.r, color.g, color.b, 0.6f);
        for (const TrackedBlob& target : targets)
            LayOutContour(PadBox(target), sink);
    }

    // Lines between near targets do not depend on the boxes being shown. Each
    // line starts from the base colour again, which gives the same colour.
    if (SwitchOn(settings.showNetwork) && targets.size() >= 2)
        LayOutNetwork(targets, color, sink);
}

}  // namespace overlaylayout
