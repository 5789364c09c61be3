// Placeholder: replaced by the real tests of BlobDetection.
#include <gtest/gtest.h>

TEST(BlobDetection, Placeholder) {}
