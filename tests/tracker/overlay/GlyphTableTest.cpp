// Tests of the bitmap font: the tabled glyphs row for row, and the design rules
// (rows used, descenders, stroke width, ink) checked over every glyph.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "tracker/overlay/GlyphTable.h"

namespace {

const uint16_t* Glyph(char ch) { return GlyphTable[static_cast<unsigned char>(ch) - 32u]; }

bool HasInk(char ch, int row) { return Glyph(ch)[row] != 0; }

int TopInkRow(char ch)
{
    for (int row = 0; row < kGlyphRows; ++row)
        if (HasInk(ch, row))
            return row;
    return -1;
}

int BottomInkRow(char ch)
{
    for (int row = kGlyphRows - 1; row >= 0; --row)
        if (HasInk(ch, row))
            return row;
    return -1;
}

std::string Printable()
{
    std::string all;
    for (int c = 32; c <= 126; ++c)
        all += static_cast<char>(c);
    return all;
}

std::string Ascii(char ch)
{
    std::string art;
    for (int row = 0; row < kGlyphRows; ++row) {
        for (int column = 0; column < kGlyphColumns; ++column)
            art += (Glyph(ch)[row] >> (15 - column)) & 1u ? '#' : '.';
        art += '\n';
    }
    return art;
}

TEST(GlyphTable, TabledGlyphsHoldExactlyTheirRowsFourToEighteen)
{
    struct Case {
        char ch;
        uint16_t rows[15];
    };
    const Case cases[] = {
        {' ', {0}},
        {'-', {0, 0, 0, 0, 0, 0, 0, 0, 0x07E0, 0x07E0, 0x07E0, 0, 0, 0, 0}},
        {'.', {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0380, 0x0380, 0x0380}},
        {'0', {0x07C0, 0x0FE0, 0x0EE0, 0x1C70, 0x1C70, 0x1C70, 0x1C70, 0x1C70, 0x1C70, 0x1C70, 0x1C70, 0x1C70,
               0x0EE0, 0x0FE0, 0x07C0}},
        {'1', {0x01C0, 0x01C0, 0x03C0, 0x0FC0, 0x1FC0, 0x1DC0, 0x09C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0,
               0x01C0, 0x01C0, 0x01C0}},
        {'2', {0x07C0, 0x0FE0, 0x1C70, 0x1C70, 0x0070, 0x0070, 0x00F0, 0x01E0, 0x03E0, 0x07C0, 0x0F80, 0x0F00,
               0x1E00, 0x1FF0, 0x3FF0}},
        {'3', {0x07C0, 0x0FE0, 0x1CE0, 0x1C70, 0x0070, 0x00E0, 0x03C0, 0x03E0, 0x0070, 0x0070, 0x0070, 0x1C70,
               0x1CF0, 0x0FE0, 0x07C0}},
        {'4', {0x00E0, 0x00E0, 0x01E0, 0x03E0, 0x03E0, 0x07E0, 0x0EE0, 0x0EE0, 0x1CE0, 0x18E0, 0x3FF8, 0x3FF8,
               0x00E0, 0x00E0, 0x00E0}},
        {'5', {0x0FF0, 0x0FF0, 0x0E00, 0x0E00, 0x0C00, 0x0FC0, 0x1FE0, 0x1C70, 0x0070, 0x0038, 0x0038, 0x1C70,
               0x1E70, 0x0FE0, 0x07C0}},
        {'6', {0x03C0, 0x0FE0, 0x0E70, 0x1C60, 0x1C00, 0x1FC0, 0x1FE0, 0x1E70, 0x1C70, 0x1C30, 0x1C30, 0x1C70,
               0x0E70, 0x0FE0, 0x03C0}},
        {'7', {0x1FF0, 0x1FF0, 0x0070, 0x00E0, 0x01E0, 0x01C0, 0x01C0, 0x0380, 0x0380, 0x0300, 0x0700, 0x0700,
               0x0700, 0x0700, 0x0700}},
        {'8', {0x07C0, 0x0FE0, 0x1CF0, 0x1C70, 0x1C70, 0x0CE0, 0x0FE0, 0x0FE0, 0x1C70, 0x1C70, 0x1C70, 0x1C70,
               0x1C70, 0x0FE0, 0x07C0}},
        {'9', {0x0780, 0x0FE0, 0x1CE0, 0x1C70, 0x1870, 0x1870, 0x1C70, 0x1CF0, 0x0FF0, 0x07F0, 0x0070, 0x1C70,
               0x1CE0, 0x0FE0, 0x0780}},
        {'G', {0x07E0, 0x1FF8, 0x3FFC, 0x3C3C, 0x7818, 0x7000, 0x7000, 0x70FC, 0x70FC, 0x70FC, 0x781C, 0x3C3C,
               0x3FFC, 0x1FF8, 0x07E0}},
        {'T', {0x3FFC, 0x3FFC, 0x3FFC, 0x01C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0, 0x01C0,
               0x01C0, 0x01C0, 0x01C0}},
        {'A', {0x0780, 0x0780, 0x07C0, 0x0FC0, 0x0FC0, 0x1CE0, 0x1CE0, 0x1CF0, 0x3870, 0x3FF0, 0x3FF8, 0x7FF8,
               0x703C, 0xF03C, 0xE01C}},
        {'B', {0x3FF0, 0x3FF8, 0x3FFC, 0x383C, 0x381C, 0x3838, 0x3FF8, 0x3FF0, 0x3FFC, 0x381C, 0x381E, 0x381C,
               0x3FFC, 0x3FFC, 0x3FF0}},
        {'C', {0x03F0, 0x0FF8, 0x1FFC, 0x1E3C, 0x3C18, 0x3800, 0x3800, 0x3800, 0x3800, 0x3800, 0x3C18, 0x1E3C,
               0x1FFC, 0x0FF8, 0x03E0}},
        {'K', {0x703C, 0x7078, 0x70F0, 0x71E0, 0x73C0, 0x7F80, 0x7F80, 0x7FC0, 0x7DE0, 0x78E0, 0x78F0, 0x7070,
               0x7078, 0x703C, 0x703C}},
        {'L', {0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00, 0x1E00,
               0x1FFC, 0x1FFC, 0x1FFC}},
        {'O', {0x07E0, 0x1FF0, 0x3FF8, 0x3C3C, 0x781C, 0x701E, 0x700E, 0x700E, 0x700E, 0x701E, 0x781C, 0x3C3C,
               0x3FF8, 0x1FF0, 0x07E0}},
        {'R', {0x7FE0, 0x7FF0, 0x7FF8, 0x7038, 0x7038, 0x7078, 0x7FF8, 0x7FF0, 0x7FC0, 0x71E0, 0x70F0, 0x70F0,
               0x7078, 0x703C, 0x703C}},
        {'V', {0x701C, 0x781C, 0x383C, 0x3838, 0x3C38, 0x1C78, 0x1C70, 0x1E70, 0x0EF0, 0x0EE0, 0x0FE0, 0x07C0,
               0x07C0, 0x07C0, 0x0380}},
        {'v', {0, 0, 0, 0, 0x3838, 0x1C70, 0x1C70, 0x1C70, 0x0EE0, 0x0EE0, 0x0FE0, 0x07C0, 0x07C0, 0x0380, 0x0380}},
        {'!', {0x0380, 0x0380, 0x0380, 0x0380, 0x0380, 0x0380, 0x0380, 0x0300, 0x0300, 0x0300, 0x0300, 0, 0x0380,
               0x0380, 0x0380}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("glyph '") + c.ch + "'\n" + Ascii(c.ch));
        for (int row = 0; row < kGlyphRows; ++row) {
            const uint16_t expected = row >= 4 && row <= 18 ? c.rows[row - 4] : 0;
            EXPECT_EQ(Glyph(c.ch)[row], expected) << "row " << row;
        }
    }
}

TEST(GlyphTable, EveryPrintableGlyphButTheSpaceHasInk)
{
    for (char ch : Printable().substr(1))
        EXPECT_GE(TopInkRow(ch), 0) << "glyph '" << ch << "'";
}

TEST(GlyphTable, RowsZeroToTwoAreEmptyRowThreeIsTheDollarsAndRowTwentyThreeTheAts)
{
    for (char ch : Printable()) {
        SCOPED_TRACE(std::string("glyph '") + ch + "'\n" + Ascii(ch));
        for (int row = 0; row < 3; ++row)
            EXPECT_FALSE(HasInk(ch, row)) << "row " << row;
        EXPECT_EQ(HasInk(ch, 3), ch == '$');
        EXPECT_EQ(HasInk(ch, 23), ch == '@');
    }
}

TEST(GlyphTable, GlyphsKeepToTheirVerticalBands)
{
    struct Band {
        const char* chars;
        int firstTop;  // the top ink row lies in firstTop..lastTop
        int lastTop;
        int bottom;  // the bottom ink row is exactly this one
    };
    const Band bands[] = {
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 4, 4, 18},
        {"acemnorsuvwxz", 8, 8, 18},  // lower case without ascenders: x-height from row 8
        {"bdfhiklt", 4, 4, 18},       // ascenders and the dot of i rise to the capital height
        {"gpqy", 8, 8, 22},           // descenders reach row 22
        {"j", 4, 4, 22},
        {"()[]{}|", 4, 4, 22},        // brackets and the bar reach row 22
        {"_", 21, 21, 22},
    };
    for (const Band& band : bands) {
        for (const char* p = band.chars; *p; ++p) {
            SCOPED_TRACE(std::string("glyph '") + *p + "'\n" + Ascii(*p));
            EXPECT_GE(TopInkRow(*p), band.firstTop);
            EXPECT_LE(TopInkRow(*p), band.lastTop);
            EXPECT_EQ(BottomInkRow(*p), band.bottom);
        }
    }
    // "_" is exactly two full-height rows, nothing else.
    for (int row = 0; row < kGlyphRows; ++row)
        EXPECT_EQ(HasInk('_', row), row == 21 || row == 22) << "row " << row;
}

TEST(GlyphTable, NothingButDescendersBracketsAndSymbolsDropsBelowTheBaseline)
{
    // Letters and digits without descenders end on row 18; below it only the
    // descenders, brackets, bar, underscore and a few symbols with tails may ink.
    const char* belowAllowed = "gjpqy()[]{}|_,;$@";
    for (char ch : Printable()) {
        if (std::strchr(belowAllowed, ch))
            continue;
        SCOPED_TRACE(std::string("glyph '") + ch + "'\n" + Ascii(ch));
        EXPECT_LE(BottomInkRow(ch), 18);
    }
}

TEST(GlyphTable, StrokesAreAtLeastTwoCellsWide)
{
    // No row holds an isolated single cell; the tabled "1" is the one given
    // exception, its flag tapering to a point on row 10.
    for (char ch : Printable()) {
        SCOPED_TRACE(std::string("glyph '") + ch + "'\n" + Ascii(ch));
        for (int row = 0; row < kGlyphRows; ++row) {
            if (ch == '1' && row == 10)
                continue;
            const unsigned bits = Glyph(ch)[row];
            const unsigned left = (bits << 1) & 0xFFFFu;
            const unsigned right = bits >> 1;
            EXPECT_EQ(bits & ~left & ~right, 0u) << "row " << row;
        }
    }
    EXPECT_EQ(Glyph('1')[10], 0x09C0);
}

TEST(GlyphTable, IndexOfAPrintableCharacterIsItsPlaceAndOfAnyOtherTheSpace)
{
    EXPECT_EQ(GlyphIndex(' '), 0);
    EXPECT_EQ(GlyphIndex('!'), 1);
    EXPECT_EQ(GlyphIndex('~'), 94);
    for (int value : {0, 9, 31, 127, 128, 200, 255})
        EXPECT_EQ(GlyphIndex(static_cast<char>(value)), 0) << value;
}

} // namespace
