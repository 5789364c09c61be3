// Placeholder until the font lands.
#include "GlyphTable.h"

const uint16_t GlyphTable[kGlyphCount][kGlyphRows] = {};
