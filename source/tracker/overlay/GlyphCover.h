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

// The row edges of one line of text (one y and one size), which all of its
// glyphs share, and which rows join the row above (bit r: row r).
struct GlyphRowEdges {
    float y, size;  // what they were computed for
    float bottom[kGlyphRows], top[kGlyphRows];
    uint32_t exactJoins;  // the two edges are the same float
    uint32_t overlapJoins;  // the edges meet or overlap
    bool positive;  // every row has height
};

void ComputeGlyphRowEdges(float y, float size, GlyphRowEdges& rows);

// Writes the rectangles covering the inked cells of ch at (x, y), size S,
// into boxes and returns their count. Every edge is a cell edge as the cell
// itself computes it. Cells join only across edges that are bit-identical,
// so each pixel is still covered once; with overlapHidden (one opaque colour,
// where covering a pixel twice gives the same pixel) they also join where
// neighbouring cells overlap, and rectangles may overlap each other.
int CoverGlyph(char ch, float x, const GlyphRowEdges& rows, bool overlapHidden, OverlayBox* boxes);
// The same with the row edges computed for this glyph alone.
int CoverGlyph(char ch, float x, float y, float size, bool overlapHidden, OverlayBox* boxes);
