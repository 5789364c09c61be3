// Few rectangles that draw one glyph placement with exactly the pixels of its
// cells, one rectangle per inked cell. For the streaming overlay batcher.
#pragma once

#include "GlyphTable.h"

// Lower-left (x0, y0), upper-right (x1, y1), in overlay coordinates.
struct OverlayBox {
    float x0, y0, x1, y1;
};

// The most a glyph can need: every cell of every row on its own.
constexpr int kMaxGlyphBoxes = kGlyphRows * kGlyphColumns;

// Writes the rectangles covering the inked cells of ch at (x, y), size S,
// into boxes and returns their count. Every edge is a cell edge as the cell
// itself computes it. Cells join only across edges that are bit-identical,
// so each pixel is still covered once; with overlapHidden (one opaque colour,
// where covering a pixel twice gives the same pixel) they also join where
// neighbouring cells overlap, and rectangles may overlap each other.
int CoverGlyph(char ch, float x, float y, float size, bool overlapHidden, OverlayBox* boxes);
