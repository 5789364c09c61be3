// Tests of the overlay layout: box styles, padded boxes, labels, size bars,
// contours, the network's distance rule, the switches, colours and glyph text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tracker/overlay/GlyphTable.h"
#include "tracker/overlay/HueShift.h"
#include "tracker/overlay/OverlayLayout.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNear = 1e-6f;

struct Line {
    float x0, y0, x1, y1;
    OverlayColor color;
};

struct Rect {
    float left, bottom, right, top;
    OverlayColor color;
};

std::vector<Line> Lines(const OverlayDrawList& list)
{
    std::vector<Line> lines;
    for (const OverlayPrimitive& p : list.Primitives()) {
        if (p.kind != PrimitiveKind::Line)
            continue;
        const OverlayVertex& a = list.Vertices()[p.firstVertex];
        const OverlayVertex& b = list.Vertices()[p.firstVertex + 1];
        lines.push_back({a.x, a.y, b.x, b.y, list.Colors()[p.colorIndex]});
    }
    return lines;
}

std::vector<Rect> Rects(const OverlayDrawList& list)
{
    std::vector<Rect> rects;
    for (const OverlayPrimitive& p : list.Primitives()) {
        if (p.kind != PrimitiveKind::Rect)
            continue;
        // Vertex 0 is the lower-left corner and vertex 2 the upper-right one.
        const OverlayVertex& lowerLeft = list.Vertices()[p.firstVertex];
        const OverlayVertex& upperRight = list.Vertices()[p.firstVertex + 2];
        rects.push_back({lowerLeft.x, lowerLeft.y, upperRight.x, upperRight.y, list.Colors()[p.colorIndex]});
    }
    return rects;
}

TrackedBlob Target(float x, float y, float width, float height, float area = 10.0f, int32_t id = 1)
{
    return {x, y, width, height, x + width * 0.5f, y + height * 0.5f, area, id};
}

TrackedBlob Centred(float cx, float cy, int32_t id = 1) { return {cx, cy, 0.0f, 0.0f, cx, cy, 1.0f, id}; }

OverlaySettings Settings(float boxStyle, float blobs, float network, float labels, float contours, float hue = 0.0f)
{
    return {boxStyle, blobs, network, labels, contours, hue};
}

size_t TitleRectCount()
{
    OverlayDrawList title;
    overlaylayout::LayOutText("KVR RIROZIVID v3.0", 0.01f, 0.96f, 0.007f, title);
    return title.Primitives().size();
}

// The primitives a frame adds after its title.
std::vector<OverlayPrimitive> AfterTitle(const OverlayDrawList& list)
{
    const size_t skip = TitleRectCount();
    return {list.Primitives().begin() + static_cast<std::ptrdiff_t>(skip), list.Primitives().end()};
}

void ExpectLine(const Line& line, float x0, float y0, float x1, float y1)
{
    EXPECT_NEAR(line.x0, x0, kNear);
    EXPECT_NEAR(line.y0, y0, kNear);
    EXPECT_NEAR(line.x1, x1, kNear);
    EXPECT_NEAR(line.y1, y1, kNear);
}

void ExpectSameRects(const std::vector<Rect>& actual, const std::vector<Rect>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].left, expected[i].left) << i;
        EXPECT_EQ(actual[i].bottom, expected[i].bottom) << i;
        EXPECT_EQ(actual[i].right, expected[i].right) << i;
        EXPECT_EQ(actual[i].top, expected[i].top) << i;
    }
}

// --- parameter rules -------------------------------------------------------

TEST(Overlay, BoxStyleRoundsToTheNearestIndexAndNotANumberIsRectangle)
{
    struct Case {
        float value;
        int32_t index;
    };
    const Case cases[] = {
        {0.0f, kBoxRectangle}, {0.49f, kBoxRectangle}, {0.5f, kBoxCorners}, {1.0f, kBoxCorners},
        {1.49f, kBoxCorners},  {1.5f, kBoxBrackets},   {2.49f, kBoxBrackets}, {2.5f, kBoxDashed},
        {3.0f, kBoxDashed},    {7.0f, 7},              {-0.7f, kBoxRectangle}, {-2.0f, -1},
        {kNaN, kBoxRectangle}, {kInf, INT32_MAX},      {1e10f, INT32_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BoxStyleIndex(c.value), c.index) << c.value;
}

TEST(Overlay, SwitchesAreOnFromOneHalfAndNotANumberIsOff)
{
    struct Case {
        float value;
        bool on;
    };
    const Case cases[] = {{0.0f, false}, {0.49f, false}, {0.4999999f, false}, {0.5f, true}, {1.0f, true},
                          {kInf, true},  {-kInf, false}, {kNaN, false}};
    for (const Case& c : cases)
        EXPECT_EQ(SwitchOn(c.value), c.on) << c.value;
}

TEST(Overlay, BoxStyleValueSelectsHowManyBoxLinesAreDrawn)
{
    // With labels, contours and network off a target adds its box lines and the
    // four crosshair arms.
    struct Case {
        float value;
        size_t boxLines;
    };
    const Case cases[] = {{0.0f, 4},  {kNaN, 4},   {1.0f, 8},    {1.49f, 8}, {1.5f, 6},
                          {2.0f, 6},  {3.0f, 32},  {3.7f, 32},   {100.0f, 32}, {-2.0f, 32}};
    for (const Case& c : cases) {
        OverlayDrawList list;
        overlaylayout::LayOutOverlay({Target(0.3f, 0.3f, 0.2f, 0.2f)}, Settings(c.value, 1, 0, 0, 0), list);
        EXPECT_EQ(Lines(list).size(), c.boxLines + 4) << c.value;
    }
}

// --- target boxes ----------------------------------------------------------

TEST(Overlay, RectangleRunsClockwiseAroundThePaddedBox)
{
    OverlayDrawList list;
    overlaylayout::LayOutTargetBox(Target(0.2f, 0.3f, 0.1f, 0.2f), kBoxRectangle, list);
    const std::vector<Line> lines = Lines(list);
    ASSERT_EQ(lines.size(), 4u);
    ExpectLine(lines[0], 0.11f, 0.59f, 0.39f, 0.59f);
    ExpectLine(lines[1], 0.39f, 0.59f, 0.39f, 0.21f);
    ExpectLine(lines[2], 0.39f, 0.21f, 0.11f, 0.21f);
    ExpectLine(lines[3], 0.11f, 0.21f, 0.11f, 0.59f);
}

TEST(Overlay, OneCellBlobStillGetsAPaddedBoxOfPointEighteen)
{
    OverlayDrawList list;
    overlaylayout::LayOutTargetBox(Centred(0.5f, 0.25f), kBoxRectangle, list);
    const std::vector<Line> lines = Lines(list);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(lines[0].x1 - lines[0].x0, 0.18f, kNear);
    EXPECT_NEAR(lines[3].y1 - lines[3].y0, 0.18f, kNear);
    ExpectLine(lines[0], 0.41f, 0.34f, 0.59f, 0.34f);
}

TEST(Overlay, CornersAreQuarterSidesLeavingEachCorner)
{
    OverlayDrawList list;
    overlaylayout::LayOutTargetBox(Target(0.2f, 0.3f, 0.1f, 0.2f), kBoxCorners, list);
    const std::vector<Line> lines = Lines(list);
    ASSERT_EQ(lines.size(), 8u);
    const float cw = 0.28f * 0.25f, ch = 0.38f * 0.25f;
    ExpectLine(lines[0], 0.11f, 0.59f, 0.11f + cw, 0.59f);
    ExpectLine(lines[1], 0.11f, 0.59f, 0.11f, 0.59f - ch);
    ExpectLine(lines[2], 0.39f, 0.59f, 0.39f - cw, 0.59f);
    ExpectLine(lines[3], 0.39f, 0.59f, 0.39f, 0.59f - ch);
    ExpectLine(lines[4], 0.11f, 0.21f, 0.11f + cw, 0.21f);
    ExpectLine(lines[5], 0.11f, 0.21f, 0.11f, 0.21f + ch);
    ExpectLine(lines[6], 0.39f, 0.21f, 0.39f - cw, 0.21f);
    ExpectLine(lines[7], 0.39f, 0.21f, 0.39f, 0.21f + ch);
}

TEST(Overlay, BracketsOpenLeftAndCloseRightOverTheFullHeight)
{
    OverlayDrawList list;
    overlaylayout::LayOutTargetBox(Target(0.2f, 0.3f, 0.1f, 0.2f), kBoxBrackets, list);
    const std::vector<Line> lines = Lines(list);
    ASSERT_EQ(lines.size(), 6u);
    const float bw = 0.28f * 0.3f;
    ExpectLine(lines[0], 0.11f + bw, 0.59f, 0.11f, 0.59f);
    ExpectLine(lines[1], 0.11f, 0.59f, 0.11f, 0.21f);
    ExpectLine(lines[2], 0.11f, 0.21f, 0.11f + bw, 0.21f);
    ExpectLine(lines[3], 0.39f - bw, 0.59f, 0.39f, 0.59f);
    ExpectLine(lines[4], 0.39f, 0.59f, 0.39f, 0.21f);
    ExpectLine(lines[5], 0.39f, 0.21f, 0.39f - bw, 0.21f);
}

TEST(Overlay, DashedSidesCarryEightFifteenthDashesFromTheLowCorner)
{
    OverlayDrawList list;
    overlaylayout::LayOutTargetBox(Target(0.2f, 0.3f, 0.1f, 0.2f), kBoxDashed, list);
    const std::vector<Line> lines = Lines(list);
    ASSERT_EQ(lines.size(), 32u);
    const float w = 0.28f, h = 0.38f;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const float sx = 0.11f + w * (2.0f * static_cast<float>(i)) / 15.0f;
        const float ex = 0.11f + w * (2.0f * static_cast<float>(i) + 1.0f) / 15.0f;
        const float sy = 0.21f + h * (2.0f * static_cast<float>(i)) / 15.0f;
        const float ey = 0.21f + h * (2.0f * static_cast<float>(i) + 1.0f) / 15.0f;
        ExpectLine(lines[4 * i + 0], sx, 0.59f, ex, 0.59f);  // top
        ExpectLine(lines[4 * i + 1], sx, 0.21f, ex, 0.21f);  // bottom
        ExpectLine(lines[4 * i + 2], 0.11f, sy, 0.11f, ey);  // left
        ExpectLine(lines[4 * i + 3], 0.39f, sy, 0.39f, ey);  // right
    }
}

TEST(Overlay, DashedLastDashStartsAtFourteenFifteenthsAndNeverPassesTheFarCorner)
{
    // x = 0, width 0.05 is a box whose unclamped last dash ends one rounding
    // step past the corner; the others land on it or just short of it.
    struct Case {
        float x, width;
    };
    const Case cases[] = {{0.0f, 0.05f}, {0.0f, 0.07f}, {0.0f, 0.0f}, {0.0f, 0.04f}, {0.2f, 0.1f},
                          {0.37f, 0.29f}, {0.5f, 0.0f}, {0.9f, 0.09f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "x " << c.x << " width " << c.width);
        OverlayDrawList list;
        overlaylayout::LayOutTargetBox(Target(c.x, c.x, c.width, c.width), kBoxDashed, list);
        const std::vector<Line> lines = Lines(list);
        ASSERT_EQ(lines.size(), 32u);
        const float x0 = c.x - 0.09f;
        const float x1 = (c.x + c.width) + 0.09f;
        const Line& top = lines[28];
        const Line& right = lines[31];
        EXPECT_NEAR(top.x0, x0 + (x1 - x0) * 14.0f / 15.0f, kNear);
        EXPECT_LE(top.x1, x1);
        EXPECT_NEAR(top.x1, x1, 1e-7f);
        EXPECT_NEAR(right.y0, x0 + (x1 - x0) * 14.0f / 15.0f, kNear);
        EXPECT_LE(right.y1, x1);
        EXPECT_NEAR(right.y1, x1, 1e-7f);
    }
    // Where the sum overshoots, the clamp puts the end exactly on the corner.
    OverlayDrawList list;
    overlaylayout::LayOutTargetBox(Target(0.0f, 0.0f, 0.05f, 0.05f), kBoxDashed, list);
    const float x1 = (0.0f + 0.05f) + 0.09f;
    EXPECT_EQ(Lines(list)[28].x1, x1);
    EXPECT_EQ(Lines(list)[31].y1, x1);
}

// --- per-target elements ---------------------------------------------------

TEST(Overlay, CrosshairArmsLeaveAGapAroundTheCentreDot)
{
    OverlayDrawList list;
    overlaylayout::LayOutOverlay({Centred(0.4f, 0.6f)}, Settings(0, 1, 0, 0, 0), list);
    const std::vector<Line> lines = Lines(list);
    ASSERT_EQ(lines.size(), 8u);
    ExpectLine(lines[4], 0.392f, 0.6f, 0.3988f, 0.6f);
    ExpectLine(lines[5], 0.4012f, 0.6f, 0.408f, 0.6f);
    ExpectLine(lines[6], 0.4f, 0.592f, 0.4f, 0.5988f);
    ExpectLine(lines[7], 0.4f, 0.6012f, 0.4f, 0.608f);
    const Rect dot = Rects(list).back();
    EXPECT_NEAR(dot.left, 0.398f, kNear);
    EXPECT_NEAR(dot.bottom, 0.598f, kNear);
    EXPECT_NEAR(dot.right, 0.402f, kNear);
    EXPECT_NEAR(dot.top, 0.602f, kNear);
}

TEST(Overlay, LabelSpellsTheZeroPaddedIdAboveThePaddedBox)
{
    struct Case {
        int32_t id;
        const char* text;
    };
    const Case cases[] = {{7, "TGT-007"}, {1234, "TGT-1234"}, {0, "TGT-000"}, {-5, "TGT--05"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TrackedBlob target = Target(0.3f, 0.2f, 0.1f, 0.1f, 500.0f, c.id);
        OverlayDrawList list;
        overlaylayout::LayOutOverlay({target}, Settings(0, 1, 0, 1, 0), list);
        std::vector<Rect> rects = Rects(list);
        // Title cells, then the centre dot, the label cells and the size bar.
        const size_t first = TitleRectCount() + 1;
        ASSERT_GT(rects.size(), first + 1);
        const std::vector<Rect> label(rects.begin() + static_cast<std::ptrdiff_t>(first), rects.end() - 1);

        OverlayDrawList expected;
        overlaylayout::LayOutText(c.text, 0.3f - 0.09f, ((0.2f + 0.1f) + 0.09f) + 0.005f, 0.012f, expected);
        ExpectSameRects(label, Rects(expected));
    }
}

TEST(Overlay, LabelTgt007IsFiveHundredSeventeenCells)
{
    OverlayDrawList list;
    overlaylayout::LayOutText("TGT-007", 0.1f, 0.1f, 0.012f, list);
    EXPECT_EQ(list.Primitives().size(), 517u);
}

TEST(Overlay, LabelTextIsWhatTheFormatterWouldWrite)
{
    const int32_t ids[] = {0, 1, 7, 42, 999, 1000, 1234, -1, -7, -42, -100, INT32_MAX, INT32_MIN};
    for (int32_t id : ids) {
        char expected[32], text[16];
        std::snprintf(expected, sizeof expected, "TGT-%03d", static_cast<int>(id));
        EXPECT_EQ(overlaylayout::FormatLabel(id, text), static_cast<int>(std::strlen(expected)));
        EXPECT_STREQ(text, expected);
    }
}

TEST(Overlay, SizeBarGrowsTowardPointZeroSixAndIsHalfAtFiveHundredCells)
{
    struct Case {
        float area;
        float length;
    };
    const Case cases[] = {{500.0f, 0.03f}, {1.0f, 0.06f / 501.0f}, {1500.0f, 0.045f}, {1e6f, 0.06f * 1e6f / 1000500.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area);
        OverlayDrawList list;
        overlaylayout::LayOutOverlay({Target(0.5f, 0.4f, 0.0f, 0.1f, c.area, 3)}, Settings(0, 1, 0, 1, 0), list);
        const Rect bar = Rects(list).back();
        const float ly = ((0.4f + 0.1f) + 0.09f) + 0.005f;
        EXPECT_NEAR(bar.right - bar.left, c.length, 1e-7f);
        EXPECT_NEAR(bar.left, 0.41f, kNear);
        EXPECT_NEAR(bar.bottom, ly - 0.004f, kNear);
        EXPECT_NEAR(bar.top - bar.bottom, 0.002f, 1e-7f);
    }
}

TEST(Overlay, SizeBarTakesTheProductBeforeTheQuotient)
{
    // At x = 0.09 the bar starts at exactly 0, so its right edge is its length.
    // For 2 cells the two orders of (0.06 x area) / (area + 500) differ in the last bit.
    for (float area : {1.0f, 2.0f, 4.0f, 500.0f}) {
        SCOPED_TRACE(area);
        OverlayDrawList list;
        overlaylayout::LayOutOverlay({Target(0.09f, 0.4f, 0.0f, 0.0f, area, 1)}, Settings(0, 1, 0, 1, 0), list);
        const Rect bar = Rects(list).back();
        ASSERT_EQ(bar.left, 0.0f);
        EXPECT_EQ(bar.right, (0.06f * area) / (area + 500.0f));
    }
    const volatile float ratio = 2.0f / 502.0f;
    EXPECT_NE((0.06f * 2.0f) / 502.0f, 0.06f * ratio);
}

TEST(Overlay, ContourFramesSitInsideThePaddedBoxAtAlphaPointSix)
{
    OverlayDrawList list;
    overlaylayout::LayOutOverlay({Target(0.2f, 0.3f, 0.1f, 0.2f), Centred(0.7f, 0.7f)}, Settings(0, 1, 0, 0, 1), list);
    const std::vector<Line> lines = Lines(list);
    // Two targets of box and crosshair (8 lines each), then the two frames.
    ASSERT_EQ(lines.size(), 16u + 8u);
    ExpectLine(lines[16], 0.113f, 0.587f, 0.387f, 0.587f);
    ExpectLine(lines[17], 0.387f, 0.587f, 0.387f, 0.213f);
    ExpectLine(lines[18], 0.387f, 0.213f, 0.113f, 0.213f);
    ExpectLine(lines[19], 0.113f, 0.213f, 0.113f, 0.587f);
    ExpectLine(lines[20], 0.613f, 0.787f, 0.787f, 0.787f);
    for (size_t i = 16; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].color.a, 0.6f) << i;
}

// --- network ---------------------------------------------------------------

TEST(Overlay, NetworkFadesWithDistanceAndStopsBeyondOne)
{
    struct Case {
        TrackedBlob a, b;
        bool drawn;
        float alpha;
    };
    const Case cases[] = {
        {Centred(0.2f, 0.5f), Centred(0.7f, 0.5f), true, 0.25f},
        {Centred(0.0f, 0.5f), Centred(1.0f, 0.5f), true, 0.0f},  // exactly one: drawn, invisible
        {Centred(0.0f, 0.0f), Centred(0.72f, 0.96f), false, 0.0f},  // 1.2 apart
        {Centred(0.3f, 0.3f), Centred(0.3f, 0.3f), true, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.a.centerX << "," << c.a.centerY << " to " << c.b.centerX << ","
                                          << c.b.centerY);
        OverlayDrawList list;
        overlaylayout::LayOutOverlay({c.a, c.b}, Settings(0, 0, 1, 0, 0), list);
        const std::vector<Line> lines = Lines(list);
        ASSERT_EQ(lines.size(), c.drawn ? 1u : 0u);
        if (!c.drawn)
            continue;
        ExpectLine(lines[0], c.a.centerX, c.a.centerY, c.b.centerX, c.b.centerY);
        EXPECT_NEAR(lines[0].color.a, c.alpha, 1e-6f);
    }
}

TEST(Overlay, NetworkJoinsEveryNearPairOuterIndexFirst)
{
    const std::vector<TrackedBlob> targets{Centred(0.1f, 0.1f, 1), Centred(0.2f, 0.1f, 2), Centred(0.9f, 0.9f, 3),
                                           Centred(0.15f, 0.2f, 4)};
    OverlayDrawList list;
    overlaylayout::LayOutOverlay(targets, Settings(0, 0, 1, 0, 0), list);
    const std::vector<Line> lines = Lines(list);
    // The far target 2 is 1.13, 1.06 and 1.03 from the others: all its pairs are skipped.
    ASSERT_EQ(lines.size(), 3u);
    ExpectLine(lines[0], 0.1f, 0.1f, 0.2f, 0.1f);
    ExpectLine(lines[1], 0.1f, 0.1f, 0.15f, 0.2f);
    ExpectLine(lines[2], 0.2f, 0.1f, 0.15f, 0.2f);
}

TEST(Overlay, ASingleTargetHasNoNetworkLine)
{
    OverlayDrawList list;
    overlaylayout::LayOutOverlay({Centred(0.5f, 0.5f)}, Settings(0, 0, 1, 0, 0), list);
    EXPECT_EQ(list.Primitives().size(), TitleRectCount());
}

TEST(Overlay, NetworkLinesTakeTheShiftedColourOfTheBase)
{
    const float shift = 0.25f;
    float r = kOverlayBaseRed, g = kOverlayBaseGreen, b = kOverlayBaseBlue;
    HueShift(r, g, b, shift);
    OverlayDrawList list;
    overlaylayout::LayOutOverlay({Centred(0.2f, 0.5f), Centred(0.7f, 0.5f), Centred(0.2f, 0.9f)}, Settings(0, 1, 1, 1, 1, shift), list);
    std::vector<Line> lines = Lines(list);
    ASSERT_GE(lines.size(), 3u);
    for (size_t i = lines.size() - 3; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].color.r, r) << i;
        EXPECT_EQ(lines[i].color.g, g) << i;
        EXPECT_EQ(lines[i].color.b, b) << i;
    }
}

// --- switches and colours --------------------------------------------------

TEST(Overlay, WithoutTargetsOnlyTheTitleIsDrawnWhateverTheSwitches)
{
    for (float on : {0.0f, 1.0f}) {
        for (float style : {0.0f, 3.0f}) {
            OverlayDrawList list;
            overlaylayout::LayOutOverlay({}, Settings(style, on, on, on, on, 0.3f), list);
            EXPECT_EQ(list.Primitives().size(), TitleRectCount());
            EXPECT_TRUE(Lines(list).empty());
        }
    }
}

TEST(Overlay, SwitchCombinationsDecideWhichElementsAppear)
{
    const std::vector<TrackedBlob> targets{Target(0.2f, 0.2f, 0.1f, 0.1f, 40.0f, 2), Target(0.4f, 0.3f, 0.1f, 0.1f, 30.0f, 1)};
    struct Case {
        const char* name;
        OverlaySettings settings;
        size_t lines;
        bool labels;
    };
    const Case cases[] = {
        {"everything off", Settings(0, 0, 0, 0, 0), 0, false},
        {"blobs off, contours and labels on", Settings(0, 0, 0, 1, 1), 0, false},
        {"blobs off, network on", Settings(0, 0, 1, 1, 1), 1, false},
        {"blobs on", Settings(0, 1, 0, 0, 0), 2 * 8, false},
        {"blobs and labels", Settings(0, 1, 0, 1, 0), 2 * 8, true},
        {"blobs and contours", Settings(0, 1, 0, 0, 1), 2 * 8 + 2 * 4, false},
        {"labels on, switch values not a number", Settings(0, kNaN, kNaN, 1, kNaN), 0, false},
        {"all on", Settings(0, 1, 1, 1, 1), 2 * 8 + 2 * 4 + 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OverlayDrawList list;
        overlaylayout::LayOutOverlay(targets, c.settings, list);
        EXPECT_EQ(Lines(list).size(), c.lines);
        // Without labels each shown target adds only its centre dot as a rectangle.
        const size_t rects = Rects(list).size() - TitleRectCount();
        const bool blobs = SwitchOn(c.settings.showBlobs);
        if (c.labels)
            EXPECT_GT(rects, 2u * 2u);
        else
            EXPECT_EQ(rects, blobs ? 2u : 0u);
    }
}

TEST(Overlay, TitleSpansItsLineInAlphaPointSevenOfTheShiftedColour)
{
    float r = kOverlayBaseRed, g = kOverlayBaseGreen, b = kOverlayBaseBlue;
    HueShift(r, g, b, 0.5f);
    OverlayDrawList list;
    overlaylayout::LayOutOverlay({}, Settings(1, 1, 1, 1, 1, 0.5f), list);
    const std::vector<Rect> rects = Rects(list);
    ASSERT_FALSE(rects.empty());
    float left = 1.0f, right = 0.0f, bottom = 1.0f, top = 0.0f;
    for (const Rect& rect : rects) {
        EXPECT_EQ(rect.color, (OverlayColor{r, g, b, 0.7f}));
        left = std::fmin(left, rect.left);
        right = std::fmax(right, rect.right);
        bottom = std::fmin(bottom, rect.bottom);
        top = std::fmax(top, rect.top);
    }
    // "K" inks from column 1 and "0" ends on column 11 of the eighteenth glyph.
    EXPECT_NEAR(left, 0.01f + 0.007f / 16.0f, kNear);
    EXPECT_NEAR(right, 0.01f + 17.0f * 0.007f + 12.0f * 0.007f / 16.0f, kNear);
    EXPECT_GE(bottom, 0.96f - kNear);
    EXPECT_LE(top, 0.9705f + kNear);
    ExpectSameRects(rects, [] {
        OverlayDrawList title;
        for (int k = 0; k < 18; ++k)
            DrawGlyph("KVR RIROZIVID v3.0"[k], static_cast<float>(k) * 0.007f + 0.01f, 0.96f, 0.007f, title);
        return Rects(title);
    }());
}

TEST(Overlay, EachTargetDrawsBoxCrosshairLabelAndBarInOneColourOfAlphaOne)
{
    const float shift = 0.75f;
    float r = kOverlayBaseRed, g = kOverlayBaseGreen, b = kOverlayBaseBlue;
    HueShift(r, g, b, shift);
    const std::vector<TrackedBlob> targets{Target(0.2f, 0.2f, 0.1f, 0.1f, 40.0f, 12), Target(0.6f, 0.5f, 0.1f, 0.2f, 30.0f, 3),
                                           Centred(0.5f, 0.1f, 101)};
    for (float style : {0.0f, 1.0f, 2.0f, 3.0f}) {
        SCOPED_TRACE(style);
        OverlayDrawList list;
        overlaylayout::LayOutOverlay(targets, Settings(style, 1, 0, 1, 0, shift), list);
        const std::vector<OverlayPrimitive> after = AfterTitle(list);
        ASSERT_FALSE(after.empty());
        for (const OverlayPrimitive& p : after)
            EXPECT_EQ(list.Colors()[p.colorIndex], (OverlayColor{r, g, b, 1.0f}));
    }
}

// --- glyphs and text -------------------------------------------------------

TEST(Overlay, EveryGlyphStaysInsideItsBoxOfSByOneAndAHalfS)
{
    // At size 0.007 and (0.01, 0.96) the box is x 0.01..0.017, y 0.96..0.9705;
    // "W" inks both outer columns and "@" the bottom row, so the font fills it.
    float left = 1.0f, right = 0.0f, bottom = 1.0f;
    for (int c = 33; c <= 126; ++c) {
        SCOPED_TRACE(static_cast<char>(c));
        OverlayDrawList list;
        DrawGlyph(static_cast<char>(c), 0.01f, 0.96f, 0.007f, list);
        ASSERT_FALSE(list.Primitives().empty());
        for (const Rect& rect : Rects(list)) {
            EXPECT_GE(rect.left, 0.01f - kNear);
            EXPECT_LE(rect.right, 0.017f + kNear);
            EXPECT_GE(rect.bottom, 0.96f - kNear);
            EXPECT_LE(rect.top, 0.9705f + kNear);
            EXPECT_NEAR(rect.right - rect.left, 0.007f / 16.0f, 1e-8f);
            EXPECT_NEAR(rect.top - rect.bottom, 0.007f / 16.0f, 1e-8f);
            left = std::fmin(left, rect.left);
            right = std::fmax(right, rect.right);
            bottom = std::fmin(bottom, rect.bottom);
        }
    }
    EXPECT_NEAR(left, 0.01f, kNear);
    EXPECT_NEAR(right, 0.017f, kNear);
    EXPECT_NEAR(bottom, 0.96f, kNear);
}

TEST(Overlay, GlyphDrawsOneCellPerInkedBitTopRowFirstLeftToRight)
{
    OverlayDrawList list;
    DrawGlyph('.', 0.2f, 0.3f, 0.016f, list);
    // "." is columns 6..8 on rows 16..18: nine cells of 0.001.
    const std::vector<Rect> rects = Rects(list);
    ASSERT_EQ(rects.size(), 9u);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const Rect& rect = rects[static_cast<size_t>(row * 3 + column)];
            EXPECT_NEAR(rect.left, 0.2f + 0.001f * static_cast<float>(6 + column), kNear);
            EXPECT_NEAR(rect.top, 0.3f + 0.024f - 0.001f * static_cast<float>(16 + row), kNear);
        }
    }
}

TEST(Overlay, DigitOneTopInkRowIsRowFour)
{
    for (float size : {0.007f, 0.012f, 0.05f}) {
        SCOPED_TRACE(size);
        const float y = 0.3f;
        OverlayDrawList list;
        DrawGlyph('1', 0.1f, y, size, list);
        const Rect first = Rects(list).front();
        EXPECT_NEAR(first.bottom, y + 1.5f * size - 5.0f * size / 16.0f, 1e-6f);
        EXPECT_NEAR(first.top, y + 1.5f * size - 4.0f * size / 16.0f, 1e-6f);
        for (const Rect& rect : Rects(list))
            EXPECT_LE(rect.top, first.top + 1e-7f);
    }
}

TEST(Overlay, TextAdvancesBySizeAndCharactersWithoutAGlyphDrawNothing)
{
    struct Case {
        std::string text;
        size_t glyphAt;  // the index of the one inked character, "A"
    };
    const Case cases[] = {{"A", 0}, {" A", 1}, {"\tA", 1}, {"\x7f" "A", 1}, {"\x80" "A", 1},
                          {"\xff\x01 A", 3}};
    const float x = 0.25f, y = 0.5f, size = 0.012f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.glyphAt);
        OverlayDrawList text;
        overlaylayout::LayOutText(c.text.c_str(), x, y, size, text);
        OverlayDrawList expected;
        DrawGlyph('A', static_cast<float>(c.glyphAt) * size + x, y, size, expected);
        ExpectSameRects(Rects(text), Rects(expected));
    }
    for (char ch : {'\t', '\x7f', '\x80', '\xff', '\0', ' '}) {
        OverlayDrawList list;
        DrawGlyph(ch, x, y, size, list);
        EXPECT_TRUE(list.Primitives().empty()) << static_cast<int>(static_cast<unsigned char>(ch));
    }
}

TEST(Overlay, RepeatedCharactersAreExactlySizeApart)
{
    OverlayDrawList list;
    overlaylayout::LayOutText("OO", 0.1f, 0.2f, 0.012f, list);
    const std::vector<Rect> rects = Rects(list);
    ASSERT_EQ(rects.size() % 2, 0u);
    const size_t half = rects.size() / 2;
    for (size_t i = 0; i < half; ++i) {
        EXPECT_NEAR(rects[half + i].left - rects[i].left, 0.012f, 1e-7f) << i;
        EXPECT_EQ(rects[half + i].bottom, rects[i].bottom) << i;
    }
}

TEST(Overlay, EmptyTextDrawsNothing)
{
    OverlayDrawList list;
    overlaylayout::LayOutText("", 0.5f, 0.5f, 0.012f, list);
    EXPECT_TRUE(list.Primitives().empty());
    EXPECT_TRUE(list.Colors().empty());
}

} // namespace
