// Grid size and nearest sampling of the read-back frame.
#include <gtest/gtest.h>

#include <vector>

#include "tracker/analysis/GridSampling.h"

namespace {

TEST(GridSize, IsThreeTenthsOfTheImageTruncatedAndAtLeastSixteen)
{
    struct Case {
        uint32_t width, height;
        int32_t gridWidth, gridHeight;
    };
    const Case cases[] = {
        {1920, 1080, 576, 324}, {53, 53, 16, 16}, {60, 60, 18, 18}, {40, 30, 16, 16},
        {3840, 2160, 1152, 648}, {1, 1, 16, 16},  {57, 56, 17, 16}, {0xFFFFFFFFu, 100, 1288490240, 30},
    };
    for (const Case& c : cases) {
        const GridSize size = GridSizeFor(c.width, c.height);
        EXPECT_EQ(size.width, c.gridWidth) << c.width;
        EXPECT_EQ(size.height, c.gridHeight) << c.height;
    }
}

TEST(GridSampling, SixteenColumnsOverFortyPixelsSampleTheseColumns)
{
    const int32_t expected[16] = {0, 2, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 30, 32, 35, 37};
    for (int32_t c = 0; c < 16; ++c)
        EXPECT_EQ(SampledIndex(c, 16, 40), expected[c]) << c;
}

TEST(GridSampling, DividesBeforeMultiplying)
{
    // 9 / 57 * 190 is 29.99... in float; 9 * 190 / 57 would be exactly 30.
    EXPECT_EQ(SampledIndex(9, 57, 190), 29);
    EXPECT_EQ(SampledIndex(63, 87, 290), 209);
}

TEST(GridSampling, NeverReadsPastTheLastRowOrColumn)
{
    for (int32_t size = 1; size <= 300; ++size) {
        const int32_t grid = GridSizeFor(static_cast<uint32_t>(size), 1).width;
        for (int32_t c = 0; c < grid; ++c) {
            const int32_t index = SampledIndex(c, grid, size);
            ASSERT_GE(index, 0);
            ASSERT_LE(index, size - 1) << size << " " << c;
        }
    }
}

TEST(GridSampling, CopiesTheFourBytesOfEachSampledPixelRowZeroAtTheBottom)
{
    const int32_t width = 40, height = 20;
    std::vector<uint8_t> image(static_cast<size_t>(width) * height * 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = &image[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
            p[3] = static_cast<uint8_t>(x + y);
        }
    std::vector<uint8_t> grid(16 * 16 * 4, 0xAA);
    SampleGrid(image.data(), width, height, grid.data(), 16, 16);
    for (int32_t r = 0; r < 16; ++r)
        for (int32_t c = 0; c < 16; ++c) {
            const uint8_t* cell = &grid[(static_cast<size_t>(r) * 16 + c) * 4];
            const int32_t sx = SampledIndex(c, 16, width), sy = SampledIndex(r, 16, height);
            EXPECT_EQ(cell[0], sx);
            EXPECT_EQ(cell[1], sy);
            EXPECT_EQ(cell[2], 7);
            EXPECT_EQ(cell[3], sx + sy);
        }
    // Twenty rows onto sixteen: row 15 samples trunc(15 / 16 * 20) = 18.
    EXPECT_EQ(grid[(15 * 16) * 4 + 1], 18);
}

TEST(GridRoadChoice, GpuOnlyForExactReadableTexturesThatHoldTheImageAndFitTheLimits)
{
    const InputTextureDescription rgba8{true, true, true, {8, 8, 8, 8}, 0, true, 1920, 1080, false};
    const GpuGridLimits limits{16384, 65536};
    const GridSize grid = GridSizeFor(1920, 1080);
    struct Case {
        const char* what;
        InputTextureDescription facts;
        GpuGridLimits limits;
        GridRoad road;
    };
    std::vector<Case> cases(10, Case{"RGBA8", rgba8, limits, GridRoad::Gpu});
    cases[1] = {"unreadable", rgba8, limits, GridRoad::Empty};
    cases[1].facts.readable = false;
    cases[2] = {"R8", rgba8, limits, GridRoad::Gpu};
    cases[2].facts.componentBits[1] = cases[2].facts.componentBits[2] = cases[2].facts.componentBits[3] = 0;
    cases[3] = {"10-bit", rgba8, limits, GridRoad::FullReadback};
    cases[3].facts.componentBits[0] = 10;
    cases[4] = {"sRGB", rgba8, limits, GridRoad::FullReadback};
    cases[4].facts.linearEncoding = false;
    cases[5] = {"float", rgba8, limits, GridRoad::FullReadback};
    cases[5].facts.unsignedNormalized = false;
    cases[6] = {"level 0 smaller than the image", rgba8, limits, GridRoad::FullReadback};
    cases[6].facts.levelHeight = 1079;
    cases[7] = {"grid wider than a target may be", rgba8, {575, 65536}, GridRoad::FullReadback};
    cases[8] = {"more source indices than a buffer texture holds", rgba8, {16384, 899}, GridRoad::FullReadback};
    cases[9] = {"integer components", rgba8, limits, GridRoad::Empty};
    cases[9].facts.integerComponents = true;
    for (const Case& c : cases)
        EXPECT_EQ(ChooseGridRoad(c.facts, 1920, 1080, grid, c.limits), c.road) << c.what;
}

}  // namespace
