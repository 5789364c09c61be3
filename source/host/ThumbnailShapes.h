// The thumbnail's shapes, in drawing order, as plain data.
#pragma once

#include <cstdint>

enum class ThumbnailShapeKind { Fill, Disc, Circle, Line };

struct ThumbnailShape {
    ThumbnailShapeKind kind;
    int32_t a, b, c, d;  // disc and circle: centre x, y and radius; line: x0, y0, x1, y1
    uint8_t r, g, bl, alpha;
};

constexpr int32_t kThumbnailWidth = 160;
constexpr int32_t kThumbnailHeight = 120;

constexpr ThumbnailShape kThumbnailShapes[] = {
    {ThumbnailShapeKind::Fill, 0, 0, 0, 0, 0, 0, 0, 255},
    // the blob: a dark magenta mass of three discs, the last drawn on top
    {ThumbnailShapeKind::Disc, 78, 58, 22, 0, 63, 0, 32, 255},
    {ThumbnailShapeKind::Disc, 84, 55, 18, 0, 85, 0, 42, 255},
    {ThumbnailShapeKind::Disc, 76, 63, 16, 0, 85, 0, 42, 255},
    // the pink tracking ring
    {ThumbnailShapeKind::Circle, 80, 60, 25, 0, 255, 0, 128, 255},
    // crosshair ticks, 12 to 20 pixels from the ring's centre
    {ThumbnailShapeKind::Line, 80, 40, 80, 48, 57, 255, 20, 255},
    {ThumbnailShapeKind::Line, 80, 72, 80, 80, 57, 255, 20, 255},
    {ThumbnailShapeKind::Line, 60, 60, 68, 60, 57, 255, 20, 255},
    {ThumbnailShapeKind::Line, 92, 60, 100, 60, 57, 255, 20, 255},
    // grey corner marks, 8 pixels in, arms of 13 pixels
    {ThumbnailShapeKind::Line, 8, 8, 20, 8, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 8, 8, 8, 20, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 151, 8, 139, 8, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 151, 8, 151, 20, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 8, 111, 20, 111, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 8, 111, 8, 99, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 151, 111, 139, 111, 80, 80, 80, 255},
    {ThumbnailShapeKind::Line, 151, 111, 151, 99, 80, 80, 80, 255},
};
