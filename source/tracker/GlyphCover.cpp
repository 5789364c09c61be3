// Merging a glyph's cells: rows are runs of joinable cells, found with bit
// operations on the row word, and runs grow downward into the rows below.
#include "GlyphCover.h"

#include <cstdint>

namespace {

// Bit p of a row word is column 15 - p.
inline int HighestBit(uint32_t bits)
{
    return 31 - __builtin_clz(bits);
}

inline float Column(int bit, const float* edges)
{
    return edges[15 - bit];
}

// The runs of a row: cells side by side whose shared edge joins. joins has
// bit p set when the cell of bit p joins the cell of bit p - 1. Calls
// run(mask, highBit, lowBit) for each run, leftmost first.
template <typename Run> void ForEachRun(uint32_t bits, uint32_t joins, Run run)
{
    const uint32_t continues = bits & (bits << 1) & joins;
    uint32_t starts = bits & ~(continues >> 1);
    uint32_t ends = bits & ~continues;
    while (starts != 0) {
        const int high = HighestBit(starts);
        const int low = HighestBit(ends & ((2u << high) - 1u));
        run(((2u << high) - 1u) & ~((1u << low) - 1u), high, low);
        starts &= ~(1u << high);
        ends &= ~(1u << low);
    }
}

}  // namespace

int CoverGlyph(char ch, float x, float y, float size, bool overlapHidden, OverlayBox* boxes)
{
    const uint16_t* glyph = GlyphTable[GlyphIndex(ch)];
    // The same single-precision steps as drawing cell by cell.
    const float h = size * 1.5f;
    const float rowStep = h / 24.0f;
    const float cell = size * 0.0625f;
    float left[kGlyphColumns], right[kGlyphColumns];
    float bottom[kGlyphRows], top[kGlyphRows];
    bool positive = true;
    for (int i = 0; i < kGlyphColumns; ++i) {
        left[i] = x + static_cast<float>(i) * cell;
        right[i] = left[i] + cell;
        positive = positive && left[i] < right[i];
    }
    for (int r = 0; r < kGlyphRows; ++r) {
        bottom[r] = (y + h) - static_cast<float>(r + 1) * rowStep;
        top[r] = bottom[r] + rowStep;
        positive = positive && bottom[r] < top[r];
    }

    int count = 0;
    if (!positive) {
        // A cell without area (or with a coordinate that is not a number) has
        // no extent to merge with: every cell stays as it is.
        for (int r = 0; r < kGlyphRows; ++r)
            for (int i = 0; i < kGlyphColumns; ++i)
                if (glyph[r] & (0x8000u >> i))
                    boxes[count++] = {left[i], bottom[r], right[i], top[r]};
        return count;
    }

    uint32_t joins = 0;
    for (int i = 0; i + 1 < kGlyphColumns; ++i) {
        const bool join = overlapHidden ? right[i] >= left[i + 1] : right[i] == left[i + 1];
        if (join)
            joins |= 1u << (15 - i);
    }
    // rowJoins bit r: row r joins the row above it.
    uint32_t rowJoins = 0;
    for (int r = 1; r < kGlyphRows; ++r) {
        const bool join = overlapHidden ? top[r] >= bottom[r - 1] : top[r] == bottom[r - 1];
        if (join)
            rowJoins |= 1u << r;
    }

    if (overlapHidden) {
        // Each run not yet covered grows down through every row below that
        // holds all of its cells; what it covers there needs nothing more.
        uint32_t covered[kGlyphRows] = {};
        for (int r = 0; r < kGlyphRows; ++r) {
            const uint32_t bits = glyph[r];
            if ((bits & ~covered[r]) == 0)
                continue;
            ForEachRun(bits, joins, [&](uint32_t mask, int high, int low) {
                if ((mask & ~covered[r]) == 0)
                    return;
                int last = r;
                while (last + 1 < kGlyphRows && (rowJoins >> (last + 1) & 1u) && (glyph[last + 1] & mask) == mask)
                    covered[++last] |= mask;
                boxes[count++] = {Column(high, left), bottom[last], Column(low, right), top[r]};
            });
        }
        return count;
    }

    // Bit-identical seams only: a run continues the rectangle of the row
    // above when it spans the same cells, so no pixel is covered twice.
    struct Open {
        uint32_t mask;
        int box;
    };
    Open open[kGlyphColumns];
    int openCount = 0;
    for (int r = 0; r < kGlyphRows; ++r) {
        Open next[kGlyphColumns];
        int nextCount = 0;
        const bool joinsAbove = (rowJoins >> r) & 1u;
        ForEachRun(glyph[r], joins, [&](uint32_t mask, int high, int low) {
            if (joinsAbove)
                for (int k = 0; k < openCount; ++k)
                    if (open[k].mask == mask) {
                        boxes[open[k].box].y0 = bottom[r];
                        next[nextCount++] = open[k];
                        return;
                    }
            boxes[count] = {Column(high, left), bottom[r], Column(low, right), top[r]};
            next[nextCount++] = {mask, count++};
        });
        for (int k = 0; k < nextCount; ++k)
            open[k] = next[k];
        openCount = nextCount;
    }
    return count;
}
