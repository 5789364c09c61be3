// The batched overlay against one draw per primitive, pixel for pixel, on
// scenes that use every element; and the draw calls of a heavy frame.
#include <cstring>
#include <utility>

#include "EffectHarness.h"
#include "GlTestContext.h"
#include "hostkit/DrawCallCounter.h"

namespace {

using testsupport::EffectHarness;
using testsupport::GlTest;
using testsupport::Image;
using testsupport::TwentyTargets;

struct Settings {
    float boxStyle;
    float hueShift;
    float network;
    float contours;
    float labels;
};

class OverlayPixelsTest : public GlTest {
protected:
    Image Render(const Image& input, const Settings& settings, uint32_t batchSize, float maxBlobs = 1.0f,
                 bool lineQuads = false)
    {
        EffectHarness harness;
        ZudArazOdudave& effect = harness.effect;
        effect.Overlay().ForceLineQuads(lineQuads);
        EXPECT_TRUE(harness.Init(input.width, input.height));
        effect.SetFloatParameter(kMaxBlobs, maxBlobs);
        effect.SetFloatParameter(kBoxStyle, settings.boxStyle);
        effect.SetFloatParameter(kHueShift, settings.hueShift);
        effect.SetFloatParameter(kShowNetwork, settings.network);
        effect.SetFloatParameter(kShowContours, settings.contours);
        effect.SetFloatParameter(kShowLabels, settings.labels);
        effect.Overlay().SetBatchSize(batchSize);
        EXPECT_EQ(harness.Frame(input), 0u);
        targetCount = effect.Targets().size();
        return harness.Output();
    }

    size_t targetCount = 0;
};

TEST_F(OverlayPixelsTest, BatchedOverlayDrawsTheSamePixelsAsOnePrimitivePerDraw)
{
    const Image scene = TwentyTargets(320, 240);
    const Settings cases[] = {
        {0.0f, 0.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 0.25f, 1.0f, 0.0f, 1.0f}, {2.0f, 0.5f, 0.0f, 1.0f, 1.0f},
        {3.0f, 0.75f, 1.0f, 1.0f, 0.0f}, {3.0f, 0.9f, 1.0f, 1.0f, 1.0f},
    };
    for (const Settings& settings : cases) {
        SCOPED_TRACE(settings.boxStyle);
        const Image literal = Render(scene, settings, 1);
        EXPECT_EQ(targetCount, 20u);
        const Image batched = Render(scene, settings, kUnlimitedBatch);
        const Image small = Render(scene, settings, 7);
        size_t differing = 0;
        for (size_t i = 0; i < literal.pixels.size(); ++i)
            differing += literal.pixels[i] != batched.pixels[i] || literal.pixels[i] != small.pixels[i];
        EXPECT_EQ(differing, 0u);
        // The overlay really drew: the output differs from the input.
        EXPECT_NE(literal.pixels, scene.pixels);
    }
}

// Where a context draws no wide lines (forward-compatible ones) each line is
// the quad a 3-pixel line covers; here both run in one context that has both.
TEST_F(OverlayPixelsTest, LinesAsQuadsCoverWhatThreePixelLinesCover)
{
    const Settings cases[] = {
        {0.0f, 0.0f, 1.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f, 1.0f, 0.0f},
        {3.0f, 0.6f, 1.0f, 1.0f, 1.0f},
    };
    for (const auto& size : {std::pair<uint32_t, uint32_t>{320, 240}, {97, 61}}) {
        const Image scene = TwentyTargets(size.first, size.second);
        for (const Settings& settings : cases) {
            SCOPED_TRACE(testing::Message() << size.first << "x" << size.second << " style " << settings.boxStyle);
            for (uint32_t batchSize : {1u, kUnlimitedBatch}) {
                const Image wide = Render(scene, settings, batchSize);
                const Image quads = Render(scene, settings, batchSize, 1.0f, true);
                size_t differing = 0;
                for (size_t i = 0; i < wide.pixels.size(); i += 4)
                    differing += std::memcmp(&wide.pixels[i], &quads.pixels[i], 4) != 0;
                EXPECT_EQ(differing, 0u) << "batch size " << batchSize;
            }
        }
    }
}

TEST_F(OverlayPixelsTest, SemiTransparentInputUnderTheOverlayMatchesToo)
{
    Image scene = TwentyTargets(200, 150);
    for (size_t i = 3; i < scene.pixels.size(); i += 8)
        scene.pixels[i] = 90;
    const Settings settings{2.0f, 0.3f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(Render(scene, settings, 1).pixels, Render(scene, settings, kUnlimitedBatch).pixels);
}

TEST_F(OverlayPixelsTest, MoreThanTheStreamBufferHoldsIsDrawnInPiecesWithTheSamePixels)
{
    // "Max Blobs" 10: 191 one-cell targets and about 18,000 network lines,
    // several buffers full of rectangles and of lines.
    const Image scene = testsupport::GridCheckerboard(320, 240);
    const Settings heavy{3.0f, 0.4f, 1.0f, 1.0f, 1.0f};
    const Image literal = Render(scene, heavy, 1, 10.0f);
    ASSERT_EQ(targetCount, 191u);
    EXPECT_EQ(Render(scene, heavy, kUnlimitedBatch, 10.0f).pixels, literal.pixels);
}

TEST_F(OverlayPixelsTest, HeavyFrameNeedsAtMostThirtyDrawCallsForTheOverlay)
{
    const Image scene = TwentyTargets(640, 480);
    const Settings heavy{3.0f, 0.0f, 1.0f, 1.0f, 1.0f};
    hostkit::ResetDrawCallCount();
    Render(scene, heavy, kUnlimitedBatch);
    ASSERT_EQ(targetCount, 20u);
    const uint64_t batched = hostkit::DrawCallCount() - 1;  // less the pass-through
    EXPECT_LE(batched, 30u);
    hostkit::ResetDrawCallCount();
    Render(scene, heavy, 1);
    const uint64_t literal = hostkit::DrawCallCount() - 1;
    EXPECT_GT(literal, 10000u) << "one draw per line and per glyph cell";
    RecordProperty("BatchedDrawCalls", static_cast<int>(batched));
    RecordProperty("LiteralDrawCalls", static_cast<int>(literal));
}

}  // namespace
