// Tests of the overlay colour's hue rotation: the guard below 0.001, the
// quarter turns of the base pink, a full turn, grey, and shifts that are not numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tracker/overlay/HueShift.h"

namespace {

struct Rgb {
    float r, g, b;
};

Rgb Shifted(Rgb color, float shift)
{
    HueShift(color.r, color.g, color.b, shift);
    return color;
}

const Rgb kBase{kOverlayBaseRed, kOverlayBaseGreen, kOverlayBaseBlue};

TEST(HueShift, ShiftsBelowTheGuardOrNotANumberLeaveTheColourBitForBit)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float shift : {0.0f, 0.0009f, 0.00099999f, -0.5f, -inf, nan, inf}) {
        SCOPED_TRACE(shift);
        const Rgb out = Shifted(kBase, shift);
        EXPECT_EQ(out.r, 1.0f);
        EXPECT_EQ(out.g, 0.078f);
        EXPECT_EQ(out.b, 0.576f);
    }
}

TEST(HueShift, RotatesTheBasePinkAroundTheCircle)
{
    struct Case {
        float shift;
        Rgb expected;
        float tolerance;
    };
    const Case cases[] = {
        {0.001f, {1.0f, 0.078f, 0.570468f}, 2e-6f},  // the guard value already converts
        {0.25f, {1.0f, 0.963f, 0.078f}, 1e-3f},      // yellow
        {0.5f, {0.078f, 1.0f, 0.502f}, 1e-3f},       // green
        {0.75f, {0.078f, 0.115f, 1.0f}, 1e-3f},      // blue
        {1.0f, {1.0f, 0.078f, 0.5759996f}, 2e-7f},   // back to pink, up to rounding
        {2.25f, {1.0f, 0.963f, 0.078f}, 1e-3f},      // whole turns drop out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shift);
        const Rgb out = Shifted(kBase, c.shift);
        EXPECT_NEAR(out.r, c.expected.r, c.tolerance);
        EXPECT_NEAR(out.g, c.expected.g, c.tolerance);
        EXPECT_NEAR(out.b, c.expected.b, c.tolerance);
    }
}

TEST(HueShift, KeepsValueAndSaturationWhileTheHueMoves)
{
    for (float shift : {0.1f, 0.3f, 0.45f, 0.6f, 0.85f}) {
        SCOPED_TRACE(shift);
        const Rgb out = Shifted(kBase, shift);
        const float maxValue = std::fmax(out.r, std::fmax(out.g, out.b));
        const float minValue = std::fmin(out.r, std::fmin(out.g, out.b));
        EXPECT_NEAR(maxValue, 1.0f, 1e-6f);
        EXPECT_NEAR(minValue, 0.078f, 1e-6f);
    }
}

TEST(HueShift, GreyAndBlackStayAsTheyAreForAnyShift)
{
    for (float level : {0.0f, 0.25f, 0.5f, 1.0f}) {
        for (float shift : {0.001f, 0.3f, 0.5f, 0.99f, 1.0f, 7.5f}) {
            SCOPED_TRACE(::testing::Message() << "level " << level << " shift " << shift);
            const Rgb out = Shifted({level, level, level}, shift);
            EXPECT_EQ(out.r, level);
            EXPECT_EQ(out.g, level);
            EXPECT_EQ(out.b, level);
        }
    }
}

TEST(HueShift, PrimariesLandInEachOfTheSixSectors)
{
    // Red turned by sixths walks the sectors 0..5: yellow, green, cyan, blue, magenta.
    struct Case {
        float shift;
        Rgb expected;
    };
    const Case cases[] = {
        {1.0f / 6.0f, {1.0f, 1.0f, 0.0f}}, {2.0f / 6.0f, {0.0f, 1.0f, 0.0f}}, {3.0f / 6.0f, {0.0f, 1.0f, 1.0f}},
        {4.0f / 6.0f, {0.0f, 0.0f, 1.0f}}, {5.0f / 6.0f, {1.0f, 0.0f, 1.0f}}, {0.05f, {1.0f, 0.3f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shift);
        const Rgb out = Shifted({1.0f, 0.0f, 0.0f}, c.shift);
        EXPECT_NEAR(out.r, c.expected.r, 1e-5f);
        EXPECT_NEAR(out.g, c.expected.g, 1e-5f);
        EXPECT_NEAR(out.b, c.expected.b, 1e-5f);
    }
}

} // namespace
