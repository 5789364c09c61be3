// Placeholder: replaced by the real tests of TargetList.
#include <gtest/gtest.h>

TEST(TargetList, Placeholder) {}
