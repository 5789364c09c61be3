// Lines as quads, in window pixels: which pixel centres a quad covers, for
// the ends the diamond-exit rule decides. (Pixel equality with a driver's own
// wide lines is OverlayPixelsTest's.)
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tracker/overlay/WideLineQuads.h"

namespace {

constexpr OverlayViewport kViewport{0.0f, 0.0f, 100.0f, 50.0f};

// Pixels whose centre lies inside the quad's parallelogram (corners 0, 1, 2, 5).
std::set<std::pair<int, int>> Covered(float x0, float y0, float x1, float y1)
{
    OverlayVertex quad[kLineQuadVertexCount];
    WideLineQuad(kViewport, 3.0f, {x0 / kViewport.width, y0 / kViewport.height},
                 {x1 / kViewport.width, y1 / kViewport.height}, quad);
    std::set<std::pair<int, int>> pixels;
    const int order[4] = {0, 1, 2, 5};
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            // Inside: on the same side of all four edges, whichever way they wind.
            int positive = 0, negative = 0;
            for (int e = 0; e < 4; ++e) {
                const OverlayVertex p = quad[order[e]], q = quad[order[(e + 1) % 4]];
                const float cross = ((q.x - p.x) * kViewport.width) * ((py - p.y * kViewport.height)) -
                                    ((q.y - p.y) * kViewport.height) * ((px - p.x * kViewport.width));
                positive += cross > 0.0f;
                negative += cross < 0.0f;
            }
            if (positive == 4 || negative == 4)
                pixels.insert({x, y});
        }
    return pixels;
}

std::set<std::pair<int, int>> Block(int x0, int x1, int y0, int y1)
{
    std::set<std::pair<int, int>> pixels;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            pixels.insert({x, y});
    return pixels;
}

TEST(WideLineQuadsTest, EndsFollowTheDiamondExitRuleAndTheWidthSpansThreePixels)
{
    struct Case {
        const char* what;
        float x0, y0, x1, y1;
        std::set<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        // Starts inside its first diamond, ends inside its last: first drawn, last not.
        {"horizontal, centred", 2.3f, 10.5f, 7.3f, 10.5f, Block(2, 6, 9, 11)},
        // The same line drawn the other way: the first column is 7's, 2's is the last.
        {"horizontal, reversed", 7.3f, 10.5f, 2.3f, 10.5f, Block(3, 7, 9, 11)},
        // Starts past its first centre outside the diamond: that column is skipped.
        {"starts past the centre", 2.8f, 10.1f, 7.8f, 10.1f, Block(3, 7, 9, 11)},
        {"vertical", 20.5f, 3.2f, 20.5f, 8.2f, Block(19, 21, 3, 7)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Covered(c.x0, c.y0, c.x1, c.y1), c.expected) << c.what;
}

TEST(WideLineQuadsTest, LinesThatLeaveNoFragmentAndEmptyViewportsDrawNothing)
{
    // Inside one diamond from start to end, a point, and a viewport of no size.
    EXPECT_TRUE(Covered(5.4f, 5.5f, 5.6f, 5.5f).empty());
    EXPECT_TRUE(Covered(5.0f, 5.0f, 5.0f, 5.0f).empty());
    OverlayVertex quad[kLineQuadVertexCount];
    WideLineQuad({0.0f, 0.0f, 0.0f, 10.0f}, 3.0f, {0.1f, 0.1f}, {0.9f, 0.9f}, quad);
    for (const OverlayVertex& v : quad) {
        EXPECT_EQ(v.x, 0.1f);
        EXPECT_EQ(v.y, 0.1f);
    }
}

}  // namespace
