// Placeholder: replaced by the real tests of Overlay.
#include <gtest/gtest.h>

TEST(Overlay, Placeholder) {}
