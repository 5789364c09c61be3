// Placeholder: replaced by the real tests of GlyphTable.
#include <gtest/gtest.h>

TEST(GlyphTable, Placeholder) {}
