// Tests of blob detection: the foreground rule, connectivity, discovery order,
// statistics, and agreement with a deliberately plain labelling on random grids.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tracker/analysis/BlobDetection.h"
#include "tracker/analysis/TargetList.h"

#include "DetectionPrinters.h"
#include "ReferenceLabelling.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

struct Grid {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> bytes;

    Grid(int32_t w, int32_t h, Rgb fill = kBlack, uint8_t alpha = 255)
        : width(w), height(h), bytes(static_cast<size_t>(w) * h * 4)
    {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                Set(x, y, fill, alpha);
    }

    void Set(int32_t x, int32_t y, Rgb c, uint8_t alpha = 255)
    {
        uint8_t* cell = &bytes[(static_cast<size_t>(y) * width + x) * 4];
        cell[0] = c.r;
        cell[1] = c.g;
        cell[2] = c.b;
        cell[3] = alpha;
    }

    std::vector<ComponentStats> Components(float threshold = 0.4f, float invert = 0.0f) const
    {
        return ExtractComponents(bytes.data(), width, height, threshold, invert);
    }
};

// rows[0] is row 0; '#' is white, anything else black.
Grid FromArt(const std::vector<std::string>& rows)
{
    Grid grid(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < grid.height; ++y)
        for (int32_t x = 0; x < grid.width; ++x)
            if (rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#')
                grid.Set(x, y, kWhite);
    return grid;
}

ComponentStats Stats(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY, int64_t sumX, int64_t sumY,
                     int32_t cellCount)
{
    return ComponentStats{minX, minY, maxX, maxY, sumX, sumY, cellCount};
}

using reference::Labelling;

std::vector<uint8_t> ReferenceMask(const Grid& grid, float threshold, float invert)
{
    return reference::Mask(grid.bytes.data(), grid.width, grid.height, threshold, invert);
}

Labelling ReferenceLabelling(const Grid& grid, float threshold, float invert)
{
    return reference::Label(ReferenceMask(grid, threshold, invert), grid.width, grid.height);
}

std::vector<ComponentStats> ReferenceComponents(const Grid& grid, float threshold, float invert)
{
    return ReferenceLabelling(grid, threshold, invert).components;
}

// The scan of the stated algorithm, with statistics gathered by the fill.
Labelling FloodFillLabelling(const std::vector<uint8_t>& mask, int32_t w, int32_t h)
{
    Labelling result{std::vector<int32_t>(mask.size(), 0), {}};
    std::vector<int32_t> stack;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y * w + x);
            if (!mask[i] || result.labels[i])
                continue;
            ComponentStats stats;
            const int32_t label = static_cast<int32_t>(result.components.size()) + 1;
            FloodFillComponent(mask.data(), result.labels.data(), w, h, x, y, label, stack, &stats);
            result.components.push_back(stats);
        }
    return result;
}

int32_t CountForeground(const Grid& grid, float threshold, float invert)
{
    int32_t cells = 0;
    for (const ComponentStats& s : grid.Components(threshold, invert))
        cells += s.cellCount;
    return cells;
}

// ---------------------------------------------------------------------------

TEST(BlobDetection, ForegroundRuleAtThresholdAndInvertBoundaries)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Rgb colour;
        float threshold;
        float invert;
        bool foreground;
    };
    const Case cases[] = {
        {"grey 102 has luma equal to 0.4: background", {102, 102, 102}, 0.4f, 0.0f, false},
        {"grey 103 lies above 0.4", {103, 103, 103}, 0.4f, 0.0f, true},
        {"inverted, luma equal to the threshold counts", {102, 102, 102}, 0.4f, 1.0f, true},
        {"inverted, grey 103 is background", {103, 103, 103}, 0.4f, 1.0f, false},
        {"threshold 1.0 excludes white", {255, 255, 255}, 1.0f, 0.0f, false},
        {"threshold 0.0 inverted marks black", {0, 0, 0}, 0.0f, 1.0f, true},
        {"threshold 0.0 inverted excludes any red", {1, 0, 0}, 0.0f, 1.0f, false},
        {"threshold 0.0 inverted excludes any green", {0, 1, 0}, 0.0f, 1.0f, false},
        {"threshold 0.0 inverted excludes any blue", {0, 0, 1}, 0.0f, 1.0f, false},
        {"threshold 0.0 keeps the dimmest blue", {0, 0, 1}, 0.0f, 0.0f, true},
        {"threshold is not scaled to bytes", {200, 200, 200}, 102.0f, 0.0f, false},
        {"invert 0.5 is on", {0, 0, 0}, 0.4f, 0.5f, true},
        {"invert just below 0.5 is off", {0, 0, 0}, 0.4f, std::nextafter(0.5f, 0.0f), false},
        {"NaN invert is off", {0, 0, 0}, 0.4f, nan, false},
        {"NaN threshold, not inverted: nothing is above it", {255, 255, 255}, nan, 0.0f, false},
        {"NaN threshold, inverted: everything", {255, 255, 255}, nan, 1.0f, true},
        {"negative threshold marks black", {0, 0, 0}, -1.0f, 0.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Grid grid(3, 2, c.colour);
        EXPECT_EQ(CountForeground(grid, c.threshold, c.invert), c.foreground ? 6 : 0);
    }
}

TEST(BlobDetection, ForegroundRuleMatchesTheFormulaForEveryColour)
{
    // One grid per red value: colour (r, g, b) at cell (2g, 2b), black between,
    // so every foreground colour is a single-cell blob at a known place.
    struct Case {
        const char* what;
        float threshold;
        int redStep;
    };
    const uint8_t probe[4] = {17, 200, 3, 255};
    const float probeLuma = reference::Luma(probe);
    const Case cases[] = {
        {"default threshold, all colours", 0.4f, 1},
        {"threshold equal to a colour's luma", probeLuma, 5},
        {"just below a colour's luma", std::nextafter(probeLuma, 0.0f), 5},
        {"just above a colour's luma", std::nextafter(probeLuma, 1.0f), 5},
        {"one half", 0.5f, 3},
        {"near white", std::nextafter(1.0f, 0.0f), 3},
    };
    DetectionWorkspace workspace;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int r = 0; r < 256; r += c.redStep) {
            Grid grid(512, 512);
            std::vector<std::pair<int32_t, int32_t>> expected;
            for (int b = 0; b < 256; ++b)
                for (int g = 0; g < 256; ++g) {
                    const Rgb colour{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
                    grid.Set(2 * g, 2 * b, colour);
                    const uint8_t cell[4] = {colour.r, colour.g, colour.b, 255};
                    if (reference::Luma(cell) > c.threshold)
                        expected.emplace_back(2 * g, 2 * b);
                }
            ExtractComponents(grid.bytes.data(), grid.width, grid.height, c.threshold, 0.0f, workspace);
            std::vector<std::pair<int32_t, int32_t>> actual;
            for (const ComponentStats& s : workspace.components)
                actual.emplace_back(s.minX, s.minY);
            ASSERT_EQ(actual, expected) << "red " << r;
        }
    }
}

TEST(BlobDetection, AlphaByteHasNoInfluence)
{
    std::mt19937 random(7);
    Grid opaque(23, 17);
    Grid varied(23, 17);
    for (int32_t y = 0; y < 17; ++y)
        for (int32_t x = 0; x < 23; ++x) {
            const Rgb c{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                        static_cast<uint8_t>(random())};
            opaque.Set(x, y, c, 255);
            // Alpha that would flip the outcome if it were read in place of a channel.
            varied.Set(x, y, c, static_cast<uint8_t>((x + y) % 2 ? 0 : 255));
        }
    const auto expected = opaque.Components(0.5f, 0.0f);
    ASSERT_GT(expected.size(), 3u);
    EXPECT_EQ(varied.Components(0.5f, 0.0f), expected);
    EXPECT_EQ(varied.Components(0.5f, 1.0f), opaque.Components(0.5f, 1.0f));
}

TEST(BlobDetection, ConnectivityIsFourNeighbourWithoutWrap)
{
    struct Case {
        const char* what;
        std::vector<std::string> art;
        std::vector<ComponentStats> expected;
    };
    const Case cases[] = {
        {"corner contact makes two blobs", {"#.", ".#"}, {Stats(0, 0, 0, 0, 0, 0, 1), Stats(1, 1, 1, 1, 1, 1, 1)}},
        {"anti-diagonal corner contact", {".#", "#."}, {Stats(1, 0, 1, 0, 1, 0, 1), Stats(0, 1, 0, 1, 0, 1, 1)}},
        {"last column does not run on into the next row", {"..#", "#.."},
         {Stats(2, 0, 2, 0, 2, 0, 1), Stats(0, 1, 0, 1, 0, 1, 1)}},
        {"first column does not reach back to the previous row's end", {"#..", "..#"},
         {Stats(0, 0, 0, 0, 0, 0, 1), Stats(2, 1, 2, 1, 2, 1, 1)}},
        {"top and bottom rows do not wrap", {"#", ".", "#"}, {Stats(0, 0, 0, 0, 0, 0, 1), Stats(0, 2, 0, 2, 0, 2, 1)}},
        {"vertical contact connects", {".#.", ".#."}, {Stats(1, 0, 1, 1, 2, 1, 2)}},
        {"horizontal contact connects", {"##"}, {Stats(0, 0, 1, 0, 1, 0, 2)}},
        {"no foreground gives no blob", {"...", "..."}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FromArt(c.art).Components(), c.expected);
    }
}

TEST(BlobDetection, AllForegroundGridIsOneBlobWithExactSums)
{
    const int32_t sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {16, 16}, {57, 31}, {576, 324}, {1152, 648}};
    for (const auto& size : sizes) {
        const int64_t w = size[0];
        const int64_t h = size[1];
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Grid grid(size[0], size[1], kWhite);
        const auto components = grid.Components();
        ASSERT_EQ(components.size(), 1u);
        EXPECT_EQ(components[0], Stats(0, 0, size[0] - 1, size[1] - 1, h * w * (w - 1) / 2, w * h * (h - 1) / 2,
                                       static_cast<int32_t>(w * h)));
    }
}

TEST(BlobDetection, BlobsAreListedInRowMajorOrderOfTheirFirstCell)
{
    struct Case {
        const char* what;
        std::vector<std::string> art;
        std::vector<ComponentStats> expected;
    };
    const Case cases[] = {
        // U: two strokes from row 0 joined in row 2; the dot between them and the
        // dot on the right are found in row 0 after the U's left stroke.
        {"U listed at its left stroke, before what lies between its strokes",
         {"#.#.#.#", "#...#..", "#####.."},
         {Stats(0, 0, 4, 2, 0 + 4 + 0 + 4 + 0 + 1 + 2 + 3 + 4, 0 + 0 + 1 + 1 + 2 * 5, 9), Stats(2, 0, 2, 0, 2, 0, 1),
          Stats(6, 0, 6, 0, 6, 0, 1)}},
        // Lowest rows 3 (large, left) and 2 (small, right): row 2 comes first.
        {"blob starting in the lower row first, whatever its column and size",
         {"..........", "..........", ".........#", "####......", "####......", "####......"},
         {Stats(9, 2, 9, 2, 9, 2, 1), Stats(0, 3, 3, 5, 3 * 6, 4 * 12, 12)}},
        // A blob whose lowest row holds two separate pieces that join later is
        // one record, found at the leftmost of them.
        {"pieces merged above keep the left piece's place",
         {"#.#.#", "#.#.#", "#####"},
         {Stats(0, 0, 4, 2, 0 * 3 + 2 * 3 + 4 * 3 + 1 + 3, 0 + 0 + 0 + 1 + 1 + 1 + 2 * 5, 11)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FromArt(c.art).Components(), c.expected);
    }
}

TEST(BlobDetection, EmptyOrNegativeSizesGiveNoBlobsWithoutReadingTheGrid)
{
    const int32_t sizes[][2] = {{0, 0}, {0, 5}, {5, 0}, {-1, 4}, {4, -1}, {-3, -3}, {INT32_MIN, 1}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]));
        DetectionWorkspace workspace;
        ExtractComponents(nullptr, size[0], size[1], 0.4f, 1.0f, workspace);
        EXPECT_TRUE(workspace.components.empty());
        EXPECT_EQ(workspace.components.capacity(), 0u);
        EXPECT_EQ(workspace.mask.capacity(), 0u);
        EXPECT_EQ(workspace.runBounds.capacity(), 0u);
        EXPECT_TRUE(ExtractComponents(nullptr, size[0], size[1], 0.4f, 1.0f).empty());
    }
}

TEST(BlobDetection, WorkspaceReuseAcrossSizesMatchesFreshCalls)
{
    std::mt19937 random(11);
    DetectionWorkspace workspace;
    const int32_t sizes[][2] = {{64, 48}, {5, 3}, {1, 40}, {40, 1}, {64, 48}, {17, 90}, {0, 0}, {3, 3}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]));
        Grid grid(size[0], size[1]);
        for (int32_t y = 0; y < size[1]; ++y)
            for (int32_t x = 0; x < size[0]; ++x)
                if (random() % 2)
                    grid.Set(x, y, kWhite);
        ExtractComponents(grid.bytes.data(), grid.width, grid.height, 0.4f, 0.0f, workspace);
        EXPECT_EQ(workspace.components, ReferenceComponents(grid, 0.4f, 0.0f));
    }
}

TEST(BlobDetection, FloodFillLabelsExactlyTheBlobAndGathersItsStatistics)
{
    // Three blobs; B is already labelled, as a scan would leave it.
    const std::vector<std::string> art = {
        "##..#.#",
        ".#..#.#",
        ".####.#",
        "......#",
    };
    const int32_t w = 7;
    const int32_t h = 4;
    std::vector<uint8_t> mask(static_cast<size_t>(w * h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            mask[static_cast<size_t>(y * w + x)] = art[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#';
    std::vector<int32_t> labels(mask.size(), 0);
    for (int32_t y = 0; y < h; ++y)
        labels[static_cast<size_t>(y * w + 6)] = 9;

    std::vector<int32_t> stack = {3, 3, 3}; // stale content from an earlier fill
    ComponentStats stats{-5, -5, 99, 99, 123, 456, 789};
    FloodFillComponent(mask.data(), labels.data(), w, h, 4, 0, 2, stack, &stats);

    const std::vector<std::string> expectedLabels = {
        "2200209",
        "0200209",
        "0222209",
        "0000009",
    };
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            EXPECT_EQ(labels[static_cast<size_t>(y * w + x)],
                      expectedLabels[static_cast<size_t>(y)][static_cast<size_t>(x)] - '0')
                << "cell " << x << "," << y;
    // Cells (0,0) (1,0) (4,0) (1,1) (4,1) (1,2) (2,2) (3,2) (4,2).
    EXPECT_EQ(stats, Stats(0, 0, 4, 2, 0 + 1 + 4 + 1 + 4 + 1 + 2 + 3 + 4, 0 + 0 + 0 + 1 + 1 + 2 * 4, 9));
    EXPECT_TRUE(stack.empty());

    // Without a record the labels are the same.
    std::vector<int32_t> again(mask.size(), 0);
    FloodFillComponent(mask.data(), again.data(), w, h, 1, 2, 2, stack);
    for (size_t i = 0; i < mask.size(); ++i)
        EXPECT_EQ(again[i], labels[i] == 2 ? 2 : 0) << "cell " << i;
}

TEST(BlobDetection, RandomGridsMatchPlainLabellingExactly)
{
    std::mt19937 random(20240611);
    const int32_t sizes[][2] = {{1, 1},  {1, 2},  {2, 1},  {1, 37}, {37, 1}, {2, 2},  {3, 5},   {8, 8},
                                {9, 7},  {16, 3}, {3, 16}, {31, 2}, {33, 33}, {64, 9}, {100, 60}, {17, 1}};
    const float invertValues[] = {0.0f, 1.0f, 0.5f};
    int checkedBlobs = 0;
    for (int round = 0; round < 40; ++round) {
        for (const auto& size : sizes) {
            // A small palette per grid makes many cells share a luma, and the
            // threshold is often exactly one of those lumas, so ties are common.
            const int paletteSize = 1 + static_cast<int>(random() % 6);
            std::vector<Rgb> palette;
            for (int i = 0; i < paletteSize; ++i)
                palette.push_back(
                    {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())});
            Grid grid(size[0], size[1]);
            const int pattern = static_cast<int>(random() % 4);
            for (int32_t y = 0; y < grid.height; ++y)
                for (int32_t x = 0; x < grid.width; ++x) {
                    size_t pick = random() % palette.size();
                    if (pattern == 1)
                        pick = static_cast<size_t>((x + y) % 2) % palette.size(); // checkerboard
                    else if (pattern == 2 && random() % 4 != 0)
                        pick = 0; // sparse: mostly the first colour
                    grid.Set(x, y, palette[pick], static_cast<uint8_t>(random()));
                }
            const uint8_t* tieCell = &grid.bytes[4 * (random() % (grid.bytes.size() / 4))];
            const float tie = reference::Luma(tieCell);
            const float thresholds[] = {tie, std::nextafter(tie, 2.0f), std::nextafter(tie, -1.0f),
                                        static_cast<float>(random() % 1001) / 1000.0f};
            for (float threshold : thresholds) {
                for (float invert : invertValues) {
                    SCOPED_TRACE(std::to_string(grid.width) + "x" + std::to_string(grid.height) + " threshold " +
                                 std::to_string(threshold) + " invert " + std::to_string(invert));
                    const Labelling reference = ReferenceLabelling(grid, threshold, invert);
                    const auto& expected = reference.components;
                    ASSERT_EQ(grid.Components(threshold, invert), expected);
                    const Labelling filled =
                        FloodFillLabelling(ReferenceMask(grid, threshold, invert), grid.width, grid.height);
                    ASSERT_EQ(filled.components, expected);
                    ASSERT_EQ(filled.labels, reference.labels);
                    checkedBlobs += static_cast<int>(expected.size());

                    // End to end, detection is these components through the list builder.
                    const DetectionParameters parameters{threshold, invert,
                                                         static_cast<float>(random() % 40) / 160.0f,
                                                         static_cast<float>(random() % 21) / 20.0f};
                    DetectionWorkspace workspace;
                    std::vector<TrackedBlob> targets;
                    DetectTargets(grid.bytes.data(), grid.width, grid.height, parameters, workspace, targets);
                    std::vector<TrackedBlob> built;
                    BuildTargetList(expected, grid.width, grid.height, parameters.minSize, parameters.maxBlobs,
                                    built);
                    ASSERT_EQ(targets, built);
                }
            }
        }
    }
    EXPECT_GT(checkedBlobs, 10000);
}

} // namespace
