// Placeholder: replaced by the real tests of OverlayBatches.
#include <gtest/gtest.h>

TEST(OverlayBatches, Placeholder) {}
