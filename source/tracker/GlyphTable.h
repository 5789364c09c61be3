// The built-in bitmap font: 95 printable ASCII glyphs, 16 x 24 cells each.
// Row 0 is the top row; bit 15 of a row is its leftmost column.
#pragma once

#include <cstdint>

constexpr int kGlyphCount = 95;
constexpr int kGlyphRows = 24;
constexpr int kGlyphColumns = 16;

extern const uint16_t GlyphTable[kGlyphCount][kGlyphRows];

// The glyph of a character: ch - 32 for 32..126, the blank glyph 0 otherwise.
inline int GlyphIndex(char ch)
{
    const unsigned index = static_cast<unsigned char>(static_cast<unsigned char>(ch) - 32u);
    return index <= 94u ? static_cast<int>(index) : 0;
}
