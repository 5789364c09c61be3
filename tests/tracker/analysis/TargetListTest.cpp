// Tests of the target list: the two parameter rules, the size filter, ids in
// discovery order surviving the sort and cut, and each target's fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tracker/analysis/BlobDetection.h"
#include "tracker/analysis/TargetList.h"

#include "DetectionPrinters.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

float Below(float value) { return std::nextafter(value, -kInf); }

// A horizontal run of cellCount cells in row y starting at column x.
ComponentStats RowBlob(int32_t x, int32_t y, int32_t cellCount)
{
    const int64_t last = x + cellCount - 1;
    return ComponentStats{x, y, static_cast<int32_t>(last), y, (x + last) * cellCount / 2,
                          static_cast<int64_t>(y) * cellCount, cellCount};
}

std::vector<TrackedBlob> Build(const std::vector<ComponentStats>& components, float minSize, float maxBlobs,
                               int32_t gridWidth = 64, int32_t gridHeight = 48)
{
    std::vector<TrackedBlob> targets;
    BuildTargetList(components, gridWidth, gridHeight, minSize, maxBlobs, targets);
    return targets;
}

std::vector<int32_t> Ids(const std::vector<TrackedBlob>& targets)
{
    std::vector<int32_t> ids;
    for (const TrackedBlob& t : targets)
        ids.push_back(t.id);
    return ids;
}

TEST(TargetList, MinCellsFollowsSinglePrecisionProducts)
{
    struct Case {
        float minSize;
        int32_t cells;
    };
    const Case cases[] = {
        {0.0f, 0}, {0.1f, 0}, {0.12f, 1}, {0.25f, 2}, {0.5f, 4}, {0.75f, 6}, {1.0f, 9},
        // 0.1111111 still truncates to 0; the first float that reaches 1 is 0.111111104.
        {0.1111111f, 0}, {0.111111104f, 1}, {Below(0.111111104f), 0},
        {0.9999999f, 9}, {Below(0.9999999f), 8},
        {2.0f, 18}, {-1.0f, -9}, {-0.0f, 0},
        {kNaN, 0}, {kInf, INT32_MAX}, {-kInf, INT32_MIN}, {1e9f, INT32_MAX}, {-1e9f, INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MinCells(c.minSize), c.cells) << "Min Size " << c.minSize;

    // Each count k from 1 to 9 is first reached just below k / 9.
    const float firstReaching[] = {0.111111104f, 0.222222209f, 0.333333313f, 0.444444418f, 0.555555522f,
                                   0.666666627f, 0.777777731f, 0.888888836f, 0.999999881f};
    for (int32_t k = 1; k <= 9; ++k) {
        const float value = firstReaching[k - 1];
        EXPECT_EQ(MinCells(value), k) << value;
        EXPECT_EQ(MinCells(Below(value)), k - 1) << Below(value);
        EXPECT_LT(value, static_cast<float>(k) / 9.0f);
    }
}

TEST(TargetList, MaxTargetsFollowsSinglePrecisionAndIsAtLeastOne)
{
    struct Case {
        float maxBlobs;
        int32_t targets;
    };
    const Case cases[] = {
        {0.0f, 1}, {0.05f, 1}, {0.1f, 2}, {0.5f, 10}, {0.95f, 19}, {1.0f, 20},
        {0.0526315756f, 2}, {Below(0.0526315756f), 1}, {Below(1.0f), 19}, {1.05263162f, 21},
        {2.0f, 39}, {-1.0f, 1}, {-0.0f, 1},
        {kNaN, 1}, {kInf, INT32_MAX}, {-kInf, 1}, {1e9f, INT32_MAX}, {-1e9f, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaxTargets(c.maxBlobs), c.targets) << "Max Blobs " << c.maxBlobs;
}

TEST(TargetList, IdsFollowDiscoveryAndSurviveSortAndCut)
{
    // P (5 cells), Q (30), R (1), in that order of discovery.
    const std::vector<ComponentStats> pqr = {RowBlob(0, 0, 5), RowBlob(10, 1, 30), RowBlob(0, 2, 1)};
    struct Case {
        const char* what;
        float minSize;
        float maxBlobs;
        std::vector<int32_t> ids;
    };
    const Case cases[] = {
        {"R dropped by minCells 2, Q first with its id 2", 0.25f, 0.5f, {2, 1}},
        {"Max Blobs 0 keeps only the largest", 0.25f, 0.0f, {2}},
        {"every blob kept at the default", 0.1f, 0.5f, {2, 1, 3}},
        {"default, cut to one", 0.1f, 0.0f, {2}},
        {"cut to two drops R", 0.1f, 0.1f, {2, 1}},
        {"minCells 6 keeps Q alone, renumbered as first kept", 0.75f, 1.0f, {1}},
        {"minCells above every size keeps nothing", 1e9f, 1.0f, {}},
        {"negative minCells keeps everything", -1.0f, 1.0f, {2, 1, 3}},
        {"NaN Max Blobs keeps one", 0.1f, kNaN, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Ids(Build(pqr, c.minSize, c.maxBlobs)), c.ids);
    }

    // With more blobs than places the ids still count every kept blob, small ones included.
    std::vector<ComponentStats> many;
    for (int32_t i = 0; i < 30; ++i)
        many.push_back(RowBlob(0, i, 1 + (i * 7) % 30)); // sizes 1..30, each once, shuffled
    const auto top = Build(many, 0.1f, 0.1f);
    ASSERT_EQ(top.size(), 2u);
    // Size 30 is blob i with 7i = 29 mod 30, i = 17; size 29 is i = 4.
    EXPECT_EQ(Ids(top), (std::vector<int32_t>{18, 5}));
    EXPECT_EQ(top[0].area, 30.0f);
    EXPECT_EQ(top[1].area, 29.0f);
}

TEST(TargetList, SizeFilterAndCutAtTheirBoundaries)
{
    struct Case {
        const char* what;
        std::vector<int32_t> sizes;
        float minSize;
        float maxBlobs;
        std::vector<float> areas;
    };
    const Case cases[] = {
        {"Min Size 1.0 drops 8 cells, keeps 9", {8, 9, 8, 10}, 1.0f, 1.0f, {10, 9}},
        {"first value reaching 1 drops nothing of size 1", {1, 1}, 0.111111104f, 1.0f, {1, 1}},
        {"Min Size 0.12 drops nothing", {1, 2}, 0.12f, 1.0f, {2, 1}},
        {"Min Size 0.25 drops size 1", {1, 2, 3}, 0.25f, 1.0f, {3, 2}},
        {"Max Blobs 0 keeps exactly one", {4, 7, 5}, 0.0f, 0.0f, {7}},
        {"Max Blobs 0.05 keeps one, 0.0526315756 two", {4, 7, 5}, 0.0f, 0.05f, {7}},
        {"Max Blobs 0.0526315756 keeps two", {4, 7, 5}, 0.0f, 0.0526315756f, {7, 5}},
        {"fewer blobs than places keeps all", {3, 1, 2}, 0.0f, 1.0f, {3, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ComponentStats> components;
        for (size_t i = 0; i < c.sizes.size(); ++i)
            components.push_back(RowBlob(0, static_cast<int32_t>(i), c.sizes[i]));
        std::vector<float> areas;
        for (const TrackedBlob& t : Build(components, c.minSize, c.maxBlobs))
            areas.push_back(t.area);
        EXPECT_EQ(areas, c.areas);
    }

    // Max Blobs 1.0 keeps 20 of 25, 2.0 keeps 39 of 50, and 1e9 keeps all.
    const float maxBlobs[] = {1.0f, 2.0f, 1e9f};
    const size_t blobs[] = {25, 50, 50};
    const size_t kept[] = {20, 39, 50};
    for (int i = 0; i < 3; ++i) {
        std::vector<ComponentStats> components;
        for (size_t j = 0; j < blobs[i]; ++j)
            components.push_back(RowBlob(0, static_cast<int32_t>(j), static_cast<int32_t>(j % 5) + 1));
        EXPECT_EQ(Build(components, 0.0f, maxBlobs[i]).size(), kept[i]) << "Max Blobs " << maxBlobs[i];
    }
}

TEST(TargetList, FieldsOfSingleCellBlobs)
{
    struct Case {
        int32_t gridWidth, gridHeight, x, y;
    };
    const Case cases[] = {{16, 16, 0, 0}, {16, 16, 15, 15}, {576, 324, 575, 0}, {576, 324, 123, 321}, {1, 1, 0, 0},
                          {3, 7, 2, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " in " + std::to_string(c.gridWidth) + "x" +
                     std::to_string(c.gridHeight));
        const auto targets = Build({RowBlob(c.x, c.y, 1)}, 0.1f, 0.5f, c.gridWidth, c.gridHeight);
        ASSERT_EQ(targets.size(), 1u);
        const float x = static_cast<float>(c.x) / static_cast<float>(c.gridWidth);
        const float y = static_cast<float>(c.y) / static_cast<float>(c.gridHeight);
        EXPECT_EQ(targets[0], (TrackedBlob{x, y, 0.0f, 0.0f, x, y, 1.0f, 1}));
    }
}

TEST(TargetList, AllForegroundGridGivesOneFullTarget)
{
    const int32_t sizes[][2] = {{16, 16}, {1, 1}, {1, 5}, {5, 1}, {57, 31}, {576, 324}};
    for (const auto& size : sizes) {
        const int32_t w = size[0];
        const int32_t h = size[1];
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        std::vector<uint8_t> grid(static_cast<size_t>(w) * h * 4, 255);
        DetectionWorkspace workspace;
        std::vector<TrackedBlob> targets;
        DetectTargets(grid.data(), w, h, DetectionParameters{0.4f, 0.0f, 0.1f, 0.5f}, workspace, targets);
        ASSERT_EQ(targets.size(), 1u);
        const float fw = static_cast<float>(w);
        const float fh = static_cast<float>(h);
        const TrackedBlob expected{0.0f,
                                   0.0f,
                                   static_cast<float>(w - 1) / fw,
                                   static_cast<float>(h - 1) / fh,
                                   (static_cast<float>(w - 1) / 2.0f) / fw,
                                   (static_cast<float>(h - 1) / 2.0f) / fh,
                                   static_cast<float>(w * h),
                                   1};
        EXPECT_EQ(targets[0], expected);
        EXPECT_LE(targets[0].x + targets[0].width, (fw - 1.0f) / fw);
    }
}

TEST(TargetList, CentresDivideTheSumsBeforeTheGridSize)
{
    // A record whose quotients round, so dividing in another order or in
    // integers would show.
    const ComponentStats blob{0, 1, 2, 2, 9, 9, 5};
    const auto targets = Build({blob}, 0.0f, 0.5f, 3, 3);
    ASSERT_EQ(targets.size(), 1u);
    const float expected = (9.0f / 5.0f) / 3.0f;
    EXPECT_EQ(targets[0].centerX, expected);
    EXPECT_EQ(targets[0].centerY, expected);
    // The alternatives really differ from it in single precision.
    EXPECT_NE(expected, 9.0f / (5.0f * 3.0f));
    EXPECT_NE(expected, (9.0f / 3.0f) / 5.0f);
    EXPECT_NE(expected, static_cast<float>(9 / 5) / 3.0f);
}

TEST(TargetList, EmptyInputGivesEmptyListKeepingStorage)
{
    std::vector<TrackedBlob> targets(12, TrackedBlob{1, 1, 1, 1, 1, 1, 1, 1});
    const size_t capacity = targets.capacity();
    DetectionWorkspace workspace;
    std::vector<uint8_t> black(16 * 16 * 4, 0);
    DetectTargets(black.data(), 16, 16, DetectionParameters{0.4f, 0.0f, 0.1f, 0.5f}, workspace, targets);
    EXPECT_TRUE(targets.empty());
    EXPECT_EQ(targets.capacity(), capacity);

    targets.assign(3, TrackedBlob{});
    DetectTargets(nullptr, 0, 0, DetectionParameters{0.4f, 0.0f, 0.1f, 0.5f}, workspace, targets);
    EXPECT_TRUE(targets.empty());
}

TEST(TargetList, KeptWorkspaceGivesTheSameTargetsAsAFreshOne)
{
    std::mt19937 random(5);
    DetectionWorkspace kept;
    std::vector<TrackedBlob> keptTargets;
    const int32_t sizes[][2] = {{96, 54}, {16, 16}, {200, 3}, {96, 54}, {3, 200}, {17, 29}, {0, 0}, {96, 54}};
    for (const auto& size : sizes) {
        const int32_t w = size[0];
        const int32_t h = size[1];
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        std::vector<uint8_t> grid(static_cast<size_t>(w) * h * 4);
        for (uint8_t& byte : grid)
            byte = static_cast<uint8_t>(random() % 3 == 0 ? 255 : 0);
        const DetectionParameters parameters{0.3f, static_cast<float>(random() % 2), 0.1f, 0.5f};
        DetectTargets(grid.data(), w, h, parameters, kept, keptTargets);
        DetectionWorkspace fresh;
        std::vector<TrackedBlob> freshTargets;
        DetectTargets(grid.data(), w, h, parameters, fresh, freshTargets);
        EXPECT_EQ(keptTargets, freshTargets);
        if (w * h > 0) {
            EXPECT_FALSE(freshTargets.empty());
        }
    }
}

// Plain reference: convert every kept blob, stable sort by area, cut.
std::vector<TrackedBlob> ReferenceTargets(const std::vector<ComponentStats>& components, int32_t gridWidth,
                                          int32_t gridHeight, float minSize, float maxBlobs)
{
    const int32_t minCells = TruncateToInt32((minSize * 0.09f) * 100.0f);
    const int32_t maxTargets = std::max(1, TruncateToInt32(maxBlobs * 19.0f + 1.0f));
    const float w = static_cast<float>(gridWidth);
    const float h = static_cast<float>(gridHeight);
    std::vector<TrackedBlob> targets;
    for (const ComponentStats& s : components) {
        if (s.cellCount < minCells)
            continue;
        const float n = static_cast<float>(s.cellCount);
        targets.push_back(TrackedBlob{static_cast<float>(s.minX) / w, static_cast<float>(s.minY) / h,
                                      static_cast<float>(s.maxX - s.minX) / w, static_cast<float>(s.maxY - s.minY) / h,
                                      (static_cast<float>(s.sumX) / n) / w, (static_cast<float>(s.sumY) / n) / h, n,
                                      static_cast<int32_t>(targets.size()) + 1});
    }
    std::stable_sort(targets.begin(), targets.end(),
                     [](const TrackedBlob& a, const TrackedBlob& b) { return a.area > b.area; });
    if (targets.size() > static_cast<size_t>(maxTargets))
        targets.resize(static_cast<size_t>(maxTargets));
    return targets;
}

TEST(TargetList, RandomListsMatchPlainSortAndCut)
{
    std::mt19937 random(99);
    for (int round = 0; round < 3000; ++round) {
        // Few distinct sizes, so equal areas meet the cut often.
        const size_t blobs = random() % 60;
        const int32_t sizeRange = 1 + static_cast<int32_t>(random() % 12);
        std::vector<ComponentStats> components;
        for (size_t i = 0; i < blobs; ++i) {
            const int32_t x = static_cast<int32_t>(random() % 50);
            const int32_t y = static_cast<int32_t>(random() % 40);
            const int32_t n = 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(sizeRange));
            components.push_back(ComponentStats{x, y, x + static_cast<int32_t>(random() % 14),
                                                y + static_cast<int32_t>(random() % 8),
                                                static_cast<int64_t>(random() % 4000),
                                                static_cast<int64_t>(random() % 3000), n});
        }
        const float minSize = static_cast<float>(random() % 130) / 100.0f - 0.1f;
        const float maxBlobs = static_cast<float>(random() % 120) / 100.0f;
        SCOPED_TRACE("round " + std::to_string(round));

        const auto expected = ReferenceTargets(components, 64, 48, minSize, maxBlobs);
        const auto full = ReferenceTargets(components, 64, 48, minSize, 1e9f);
        const auto actual = Build(components, minSize, maxBlobs);
        ASSERT_EQ(actual.size(), expected.size());
        if (actual.empty())
            continue;
        // Same area sequence; strictly above the cut's area the same targets;
        // at the cut's area any of the tied targets, each at most once.
        const float cutArea = expected.back().area;
        std::vector<int32_t> seen;
        for (size_t i = 0; i < actual.size(); ++i) {
            ASSERT_EQ(actual[i].area, expected[i].area) << i;
            if (actual[i].area > cutArea) {
                const auto match = std::find(expected.begin(), expected.end(), actual[i]);
                EXPECT_NE(match, expected.end()) << actual[i];
            } else {
                const auto match = std::find(full.begin(), full.end(), actual[i]);
                EXPECT_NE(match, full.end()) << actual[i];
            }
            EXPECT_EQ(std::count(seen.begin(), seen.end(), actual[i].id), 0) << actual[i];
            seen.push_back(actual[i].id);
        }
    }
}

} // namespace
