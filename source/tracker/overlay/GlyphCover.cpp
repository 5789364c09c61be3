// Merging a glyph's cells: rows are runs of joinable cells, found with bit
// operations on the row word, and runs grow downward into the rows below.
// Opaque covers of placements where every join holds come from a table.
#include "GlyphCover.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace {

// Bit p of a row word is column 15 - p.
inline int HighestBit(uint32_t bits)
{
#if defined(_MSC_VER)
    unsigned long index;
    _BitScanReverse(&index, bits);
    return static_cast<int>(index);
#else
    return 31 - __builtin_clz(bits);
#endif
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

// The first and last inked rows of every glyph, found once.
struct InkRows {
    int8_t first, last;  // first > last for a blank glyph
};

const InkRows* InkRowTable()
{
    static const auto table = [] {
        struct Table {
            InkRows rows[kGlyphCount];
        } t;
        for (int g = 0; g < kGlyphCount; ++g) {
            t.rows[g] = {kGlyphRows, -1};
            for (int r = 0; r < kGlyphRows; ++r)
                if (GlyphTable[g][r] != 0) {
                    t.rows[g].first = static_cast<int8_t>(std::min<int>(t.rows[g].first, r));
                    t.rows[g].last = static_cast<int8_t>(r);
                }
        }
        return t;
    }();
    return table.rows;
}

}  // namespace

namespace {

// The opaque cover: each run not yet covered grows down through every row
// below that holds all of its cells; what it covers there needs nothing
// more. Calls box(highBit, lowBit, topRow, bottomRow) for each rectangle.
template <typename Box>
void CoverOpaque(const uint16_t* glyph, int firstRow, int lastRow, uint32_t joins, uint32_t rowJoins, Box box)
{
    uint32_t covered[kGlyphRows];
    for (int r = firstRow; r <= lastRow; ++r)
        covered[r] = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        const uint32_t bits = glyph[r];
        if ((bits & ~covered[r]) == 0)
            continue;
        ForEachRun(bits, joins, [&](uint32_t mask, int high, int low) {
            if ((mask & ~covered[r]) == 0)
                return;
            int last = r;
            while (last < lastRow && (rowJoins >> (last + 1) & 1u) && (glyph[last + 1] & mask) == mask)
                covered[++last] |= mask;
            box(high, low, r, last);
        });
    }
}

// Every glyph's opaque cover for a placement where all the joins it can use
// hold (most label placements): cells as indices, found once.
struct OpaqueCover {
    uint32_t columnJoinsUsed;  // joins between inked neighbours in a row
    uint32_t rowJoinsUsed;  // rows sharing ink with the row above
    int count;
    struct {
        int8_t high, low, top, bottom;
    } boxes[kMaxGlyphBoxes];
};

const OpaqueCover* OpaqueCoverTable()
{
    static const std::unique_ptr<OpaqueCover[]> table = [] {
        std::unique_ptr<OpaqueCover[]> covers(new OpaqueCover[kGlyphCount]);
        for (int g = 0; g < kGlyphCount; ++g) {
            OpaqueCover& cover = covers[g];
            const uint16_t* glyph = GlyphTable[g];
            cover.columnJoinsUsed = cover.rowJoinsUsed = 0;
            for (int r = 0; r < kGlyphRows; ++r) {
                cover.columnJoinsUsed |= glyph[r] & (static_cast<uint32_t>(glyph[r]) << 1);
                if (r > 0 && (glyph[r] & glyph[r - 1]) != 0)
                    cover.rowJoinsUsed |= 1u << r;
            }
            cover.count = 0;
            const InkRows ink = InkRowTable()[g];
            CoverOpaque(glyph, ink.first, ink.last, 0xFFFFu, 0xFFFFFFu, [&](int high, int low, int top, int bottom) {
                cover.boxes[cover.count++] = {static_cast<int8_t>(high), static_cast<int8_t>(low),
                                              static_cast<int8_t>(top), static_cast<int8_t>(bottom)};
            });
        }
        return covers;
    }();
    return table.get();
}

// One glyph placed: its rows, the edges of its columns and rows, and which
// neighbouring columns and rows share an edge.
struct PlacedGlyph {
    const uint16_t* rows;
    int firstRow, lastRow;
    float left[kGlyphColumns], right[kGlyphColumns];
    const float* bottom;
    const float* top;
    uint32_t columnJoins, rowJoins;
};

// A cell without area (or with a coordinate that is not a number) has no
// extent to merge with: every cell stays as it is.
int CoverEachCell(const PlacedGlyph& g, OverlayBox* boxes)
{
    int count = 0;
    for (int r = g.firstRow; r <= g.lastRow; ++r)
        for (int i = 0; i < kGlyphColumns; ++i)
            if (g.rows[r] & (0x8000u >> i))
                boxes[count++] = {g.left[i], g.bottom[r], g.right[i], g.top[r]};
    return count;
}

// Where every join the glyph can use holds, the cover is the one found
// once; the joins it never uses cannot change it.
int CoverHidingOverlaps(const PlacedGlyph& g, int index, OverlayBox* boxes)
{
    const OpaqueCover& table = OpaqueCoverTable()[index];
    if ((g.columnJoins & table.columnJoinsUsed) == table.columnJoinsUsed &&
        (g.rowJoins & table.rowJoinsUsed) == table.rowJoinsUsed) {
        for (int i = 0; i < table.count; ++i) {
            const auto& b = table.boxes[i];
            boxes[i] = {Column(b.high, g.left), g.bottom[b.bottom], Column(b.low, g.right), g.top[b.top]};
        }
        return table.count;
    }
    int count = 0;
    CoverOpaque(g.rows, g.firstRow, g.lastRow, g.columnJoins, g.rowJoins,
                [&](int high, int low, int topRow, int bottomRow) {
                    boxes[count++] = {Column(high, g.left), g.bottom[bottomRow], Column(low, g.right), g.top[topRow]};
                });
    return count;
}

// Bit-identical seams only: a run continues the rectangle of the row
// above when it spans the same cells, so no pixel is covered twice.
int CoverExactSeams(const PlacedGlyph& g, OverlayBox* boxes)
{
    uint32_t masks[2][kGlyphColumns];
    int open[2][kGlyphColumns];
    int openCount = 0;
    int current = 0;
    int count = 0;
    for (int r = g.firstRow; r <= g.lastRow; ++r) {
        const uint32_t bits = g.rows[r];
        const bool joinsAbove = (g.rowJoins >> r) & 1u;
        if (joinsAbove && bits == g.rows[r - 1]) {
            // The same runs as the row above: every one of them grows.
            for (int k = 0; k < openCount; ++k)
                boxes[open[current][k]].y0 = g.bottom[r];
            continue;
        }
        const int next = current ^ 1;
        int nextCount = 0;
        ForEachRun(bits, g.columnJoins, [&](uint32_t mask, int high, int low) {
            if (joinsAbove)
                for (int k = 0; k < openCount; ++k)
                    if (masks[current][k] == mask) {
                        boxes[open[current][k]].y0 = g.bottom[r];
                        masks[next][nextCount] = mask;
                        open[next][nextCount++] = open[current][k];
                        return;
                    }
            boxes[count] = {Column(high, g.left), g.bottom[r], Column(low, g.right), g.top[r]};
            masks[next][nextCount] = mask;
            open[next][nextCount++] = count++;
        });
        current = next;
        openCount = nextCount;
    }
    return count;
}

}  // namespace

void ComputeGlyphRowEdges(float y, float size, GlyphRowEdges& rows)
{
    // The same single-precision steps as drawing cell by cell.
    const GlyphMetrics metrics = GlyphMetricsFor(size);
    const float h = metrics.height;
    const float rowStep = metrics.rowStep;
    rows.y = y;
    rows.size = size;
    rows.positive = true;
    rows.exactJoins = rows.overlapJoins = 0;
    for (int r = 0; r < kGlyphRows; ++r) {
        rows.bottom[r] = (y + h) - static_cast<float>(r + 1) * rowStep;
        rows.top[r] = rows.bottom[r] + rowStep;
        rows.positive = rows.positive && rows.bottom[r] < rows.top[r];
    }
    for (int r = 1; r < kGlyphRows; ++r) {
        rows.exactJoins |= static_cast<uint32_t>(rows.top[r] == rows.bottom[r - 1]) << r;
        rows.overlapJoins |= static_cast<uint32_t>(rows.top[r] >= rows.bottom[r - 1]) << r;
    }
}

int CoverGlyph(char ch, float x, float y, float size, bool overlapHidden, OverlayBox* boxes)
{
    GlyphRowEdges rows;
    ComputeGlyphRowEdges(y, size, rows);
    return CoverGlyph(ch, x, rows, overlapHidden, boxes);
}

int CoverGlyph(char ch, float x, const GlyphRowEdges& rows, bool overlapHidden, OverlayBox* boxes)
{
    const int index = GlyphIndex(ch);
    PlacedGlyph g;
    g.rows = GlyphTable[index];
    g.firstRow = InkRowTable()[index].first;
    g.lastRow = InkRowTable()[index].last;
    if (g.firstRow > g.lastRow)
        return 0;
    const float cell = GlyphMetricsFor(rows.size).cell;
    g.bottom = rows.bottom;
    g.top = rows.top;
    bool positive = rows.positive;
    for (int i = 0; i < kGlyphColumns; ++i) {
        g.left[i] = x + static_cast<float>(i) * cell;
        g.right[i] = g.left[i] + cell;
        positive = positive && g.left[i] < g.right[i];
    }
    if (!positive)
        return CoverEachCell(g, boxes);

    g.columnJoins = 0;
    for (int i = 0; i + 1 < kGlyphColumns; ++i) {
        const bool join = overlapHidden ? g.right[i] >= g.left[i + 1] : g.right[i] == g.left[i + 1];
        g.columnJoins |= static_cast<uint32_t>(join) << (15 - i);
    }
    g.rowJoins = overlapHidden ? rows.overlapJoins : rows.exactJoins;
    return overlapHidden ? CoverHidingOverlaps(g, index, boxes) : CoverExactSeams(g, boxes);
}
