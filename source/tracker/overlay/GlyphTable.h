// The built-in bitmap font: 95 printable ASCII glyphs, 16 x 24 cells each.
// Row 0 is the top row; bit 15 of a row is its leftmost column.
#pragma once

#include <cstdint>

constexpr int kGlyphCount = 95;
constexpr int kGlyphRows = 24;
constexpr int kGlyphColumns = 16;

// A glyph of width size stands 1.5 size tall in 24 rows of 16 cells; every
// sink takes these single-precision steps, so their edges agree to the bit.
struct GlyphMetrics {
    float height;
    float rowStep;
    float cell;
};

inline GlyphMetrics GlyphMetricsFor(float size)
{
    const float height = size * 1.5f;
    return {height, height / 24.0f, size * 0.0625f};
}

extern const uint16_t GlyphTable[kGlyphCount][kGlyphRows];

// The glyph of a character: ch - 32 for 32..126, the blank glyph 0 otherwise.
inline int GlyphIndex(char ch)
{
    const unsigned index = static_cast<unsigned char>(static_cast<unsigned char>(ch) - 32u);
    return index <= 94u ? static_cast<int>(index) : 0;
}
