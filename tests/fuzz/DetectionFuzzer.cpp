// libFuzzer harness for blob detection and the target list: fuzzed grids and
// parameter values, checked against a plain breadth-first labelling.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "tracker/analysis/BlobDetection.h"
#include "tracker/analysis/TargetList.h"

#include "ReferenceLabelling.h"

namespace {

[[noreturn]] void Fail(const char* what, long long a, long long b = 0)
{
    std::fprintf(stderr, "DetectionFuzzer: %s (%lld, %lld)\n", what, a, b);
    std::abort();
}

#define FUZZ_CHECK(condition, ...)                                                                                     \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            Fail(#condition, __VA_ARGS__);                                                                           \
    } while (0)

struct PlainLabelling {
    std::vector<uint8_t> mask;
    std::vector<int32_t> labels;
    std::vector<ComponentStats> components;
};

PlainLabelling Label(const std::vector<uint8_t>& grid, int32_t w, int32_t h, float threshold, float invert)
{
    PlainLabelling out;
    out.mask = reference::Mask(grid.data(), w, h, threshold, invert);
    reference::Labelling labelling = reference::Label(out.mask, w, h);
    out.labels = std::move(labelling.labels);
    out.components = std::move(labelling.components);
    return out;
}

bool Same(const ComponentStats& a, const ComponentStats& b)
{
    return a.minX == b.minX && a.minY == b.minY && a.maxX == b.maxX && a.maxY == b.maxY && a.sumX == b.sumX &&
           a.sumY == b.sumY && a.cellCount == b.cellCount;
}

void CheckComponents(const std::vector<ComponentStats>& actual, const std::vector<ComponentStats>& expected)
{
    FUZZ_CHECK(actual.size() == expected.size(), static_cast<long long>(actual.size()),
               static_cast<long long>(expected.size()));
    for (size_t i = 0; i < actual.size(); ++i)
        FUZZ_CHECK(Same(actual[i], expected[i]), static_cast<long long>(i));
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The target of one component in the stated single-precision steps.
TrackedBlob PlainTarget(const ComponentStats& s, int32_t w, int32_t h, int32_t id)
{
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(h);
    const float count = static_cast<float>(s.cellCount);
    return TrackedBlob{static_cast<float>(s.minX) / fw,
                       static_cast<float>(s.minY) / fh,
                       static_cast<float>(s.maxX - s.minX) / fw,
                       static_cast<float>(s.maxY - s.minY) / fh,
                       (static_cast<float>(s.sumX) / count) / fw,
                       (static_cast<float>(s.sumY) / count) / fh,
                       count,
                       id};
}

// Truncation toward zero where it is defined; the library's saturating rule elsewhere.
int32_t PlainTruncate(float value, int32_t (*library)(float))
{
    if (std::isfinite(value) && value > -2147483520.0f && value < 2147483520.0f)
        return static_cast<int32_t>(value);
    return library(value);
}

void CheckTargets(const std::vector<TrackedBlob>& targets, const std::vector<ComponentStats>& components, int32_t w,
                  int32_t h, float minSize, float maxBlobs)
{
    const int32_t minCells = MinCells(minSize);
    const int32_t maxTargets = MaxTargets(maxBlobs);
    FUZZ_CHECK(minCells == PlainTruncate((minSize * 0.09f) * 100.0f, MinCells), minCells);
    FUZZ_CHECK(maxTargets >= 1 && maxTargets == std::max(1, PlainTruncate(maxBlobs * 19.0f + 1.0f, MaxTargets)),
               maxTargets);

    // Kept blobs in discovery order: id k belongs to the k-th of them.
    std::vector<TrackedBlob> kept;
    for (const ComponentStats& s : components)
        if (s.cellCount >= minCells)
            kept.push_back(PlainTarget(s, w, h, static_cast<int32_t>(kept.size()) + 1));
    const size_t expectedLength = std::min(kept.size(), static_cast<size_t>(maxTargets));
    FUZZ_CHECK(targets.size() == expectedLength, static_cast<long long>(targets.size()),
               static_cast<long long>(expectedLength));

    std::vector<bool> seen(kept.size() + 1, false);
    for (size_t i = 0; i < targets.size(); ++i) {
        const TrackedBlob& t = targets[i];
        FUZZ_CHECK(t.id >= 1 && static_cast<size_t>(t.id) <= kept.size(), t.id);
        FUZZ_CHECK(!seen[static_cast<size_t>(t.id)], t.id);
        seen[static_cast<size_t>(t.id)] = true;
        if (i > 0)
            FUZZ_CHECK(targets[i - 1].area >= t.area, static_cast<long long>(i));
        const TrackedBlob& e = kept[static_cast<size_t>(t.id - 1)];
        FUZZ_CHECK(SameBits(t.x, e.x) && SameBits(t.y, e.y) && SameBits(t.width, e.width) &&
                       SameBits(t.height, e.height) && SameBits(t.centerX, e.centerX) &&
                       SameBits(t.centerY, e.centerY) && SameBits(t.area, e.area),
                   t.id);
        const float fields[] = {t.x, t.y, t.width, t.height, t.centerX, t.centerY};
        for (float f : fields)
            FUZZ_CHECK(f >= 0.0f && f <= 1.0f, t.id);
        FUZZ_CHECK(t.x + t.width <= 1.0f && t.y + t.height <= 1.0f, t.id);
        FUZZ_CHECK(t.area >= 1.0f, t.id);
    }
    // The cut keeps the largest: nothing dropped is larger than the smallest kept.
    if (!targets.empty()) {
        const float smallest = targets.back().area;
        for (const TrackedBlob& k : kept)
            if (!seen[static_cast<size_t>(k.id)])
                FUZZ_CHECK(k.area <= smallest, k.id);
    }
}

float SpecialFloat(FuzzedDataProvider& data)
{
    static const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                                     -std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(),
                                     std::numeric_limits<float>::max(),
                                     -std::numeric_limits<float>::max(),
                                     std::numeric_limits<float>::denorm_min(),
                                     1e30f,
                                     -1e30f,
                                     3e9f,
                                     -3e9f,
                                     2147483648.0f,
                                     -2147483648.0f,
                                     0.0f,
                                     -0.0f,
                                     1.0f,
                                     0.5f,
                                     std::nextafter(0.5f, 0.0f),
                                     0.4f,
                                     0.1f,
                                     std::nextafter(1.0f, 0.0f),
                                     2.0f,
                                     -1.0f};
    return specials[data.ConsumeIntegralInRange<size_t>(0, sizeof specials / sizeof specials[0] - 1)];
}

// A parameter value: raw bits, a special value, a fraction in [0, 1], or a
// luma of the grid's palette (exact, or one step either side) to provoke ties.
float ParameterValue(FuzzedDataProvider& data, const std::vector<float>& lumas)
{
    switch (data.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: {
        const uint32_t bits = data.ConsumeIntegral<uint32_t>();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    case 1:
        return SpecialFloat(data);
    case 2:
        return static_cast<float>(data.ConsumeIntegralInRange<int>(0, 1000)) / 1000.0f;
    default: {
        const float luma = lumas[data.ConsumeIntegralInRange<size_t>(0, lumas.size() - 1)];
        const int step = data.ConsumeIntegralInRange<int>(-1, 1);
        return step == 0 ? luma : std::nextafter(luma, step > 0 ? 2.0f : -1.0f);
    }
    }
}

int32_t GridSide(FuzzedDataProvider& data)
{
    // Mostly 1..256; now and then a size that must give an empty list unread.
    if (data.ConsumeIntegralInRange<int>(0, 31) == 0) {
        static const int32_t degenerate[] = {0, -1, -256, std::numeric_limits<int32_t>::min()};
        return degenerate[data.ConsumeIntegralInRange<size_t>(0, 3)];
    }
    return data.ConsumeIntegralInRange<int32_t>(1, 256);
}

// One grid, its parameters, and every check; the workspace comes from the caller
// so that a second grid in the same input runs on the first one's buffers.
void RunOne(FuzzedDataProvider& data, DetectionWorkspace& workspace, std::vector<TrackedBlob>& targets)
{
    const int32_t w = GridSide(data);
    const int32_t h = GridSide(data);

    // A small palette makes blobs and equal lumas likely from few input bytes.
    const size_t paletteSize = data.ConsumeIntegralInRange<size_t>(1, 8);
    std::vector<uint8_t> palette(paletteSize * 4);
    for (uint8_t& byte : palette)
        byte = data.ConsumeIntegral<uint8_t>();
    std::vector<float> lumas;
    for (size_t i = 0; i < paletteSize; ++i)
        lumas.push_back(reference::Luma(&palette[4 * i]));

    DetectionParameters parameters;
    parameters.threshold = ParameterValue(data, lumas);
    parameters.invert = ParameterValue(data, lumas);
    parameters.minSize = ParameterValue(data, lumas);
    parameters.maxBlobs = ParameterValue(data, lumas);

    if (w <= 0 || h <= 0) {
        ExtractComponents(nullptr, w, h, parameters.threshold, parameters.invert, workspace);
        FUZZ_CHECK(workspace.components.empty(), w, h);
        DetectTargets(nullptr, w, h, parameters, workspace, targets);
        FUZZ_CHECK(targets.empty(), w, h);
        return;
    }

    // Cells pick palette entries from the remaining bytes, three bits each, in
    // runs so that the input can describe large blobs; alpha is fuzzed apart.
    const size_t cells = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<uint8_t> grid(cells * 4);
    const bool rawBytes = data.ConsumeBool();
    size_t cell = 0;
    while (cell < cells) {
        if (rawBytes) {
            for (int k = 0; k < 4; ++k)
                grid[4 * cell + k] = data.ConsumeIntegral<uint8_t>();
            ++cell;
            continue;
        }
        const uint8_t code = data.ConsumeIntegral<uint8_t>();
        const size_t pick = (code & 7u) % paletteSize;
        const size_t run = data.remaining_bytes() == 0 ? cells - cell : 1u + (code >> 3);
        for (size_t k = 0; k < run && cell < cells; ++k, ++cell) {
            std::memcpy(&grid[4 * cell], &palette[4 * pick], 3);
            grid[4 * cell + 3] = static_cast<uint8_t>(cell * 37u);
        }
    }

    const PlainLabelling plain = Label(grid, w, h, parameters.threshold, parameters.invert);

    ExtractComponents(grid.data(), w, h, parameters.threshold, parameters.invert, workspace);
    CheckComponents(workspace.components, plain.components);
    CheckComponents(ExtractComponents(grid.data(), w, h, parameters.threshold, parameters.invert), plain.components);

    // The cell-by-cell fill labels exactly the same cells and gathers the same records.
    std::vector<int32_t> labels(cells, 0);
    std::vector<int32_t> stack;
    size_t found = 0;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            if (!plain.mask[i] || labels[i])
                continue;
            ComponentStats stats;
            FloodFillComponent(plain.mask.data(), labels.data(), w, h, x, y, static_cast<int32_t>(found) + 1, stack,
                               &stats);
            FUZZ_CHECK(found < plain.components.size(), static_cast<long long>(found));
            FUZZ_CHECK(Same(stats, plain.components[found]), static_cast<long long>(found));
            ++found;
        }
    FUZZ_CHECK(found == plain.components.size(), static_cast<long long>(found));
    FUZZ_CHECK(labels == plain.labels, w, h);

    DetectTargets(grid.data(), w, h, parameters, workspace, targets);
    CheckTargets(targets, plain.components, w, h, parameters.minSize, parameters.maxBlobs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    DetectionWorkspace workspace;
    std::vector<TrackedBlob> targets;
    // Up to three grids through one workspace: buffers carry over, results must not.
    const int rounds = data.ConsumeIntegralInRange<int>(1, 3);
    for (int round = 0; round < rounds; ++round)
        RunOne(data, workspace, targets);
    return 0;
}
