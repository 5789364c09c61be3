// Blob detection: the foreground mask, a run-based 4-connected labelling that
// sums each blob up as it goes, and the cell-by-cell stack fill.
#include "BlobDetection.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#define ZAO_MASK_SSE2 1
#include <emmintrin.h>
#endif

namespace {

ComponentStats UncountedStats(int32_t gridWidth, int32_t gridHeight)
{
    return ComponentStats{gridWidth, gridHeight, 0, 0, 0, 0, 0};
}

// The luma terms depend on one byte each, so they are tabulated once per call
// with exactly the per-cell operations; the sum is still formed per cell in
// the stated order, so the result is bit-for-bit that of the direct formula.
struct LumaTerms {
    float r[256];
    float g[256];
    float b[256];

    LumaTerms()
    {
        for (int value = 0; value < 256; ++value) {
            const float channel = static_cast<float>(value);
            r[value] = channel / 255.0f * 0.299f;
            g[value] = channel / 255.0f * 0.587f;
            b[value] = channel / 255.0f * 0.114f;
        }
    }

    float Luma(const uint8_t* cell) const { return (r[cell[0]] + g[cell[1]]) + b[cell[2]]; }
};

#if ZAO_MASK_SSE2
// Above `above` the luma surely exceeds the threshold, below `below` it
// surely does not. A NaN threshold is exceeded by nothing.
struct SureLimits {
    int32_t above = INT32_MAX;
    int32_t below = INT32_MAX;
};

SureLimits SureLimitsFor(float threshold)
{
    SureLimits limits;
    if (threshold == threshold) {
        const float clamped = threshold > 2.0f ? 2.0f : (threshold < -1.0f ? -1.0f : threshold);
        const double scaled = static_cast<double>(clamped) * 255000.0;
        limits.above = static_cast<int32_t>(std::floor(scaled + 1.0));
        limits.below = static_cast<int32_t>(std::ceil(scaled - 1.0));
    }
    return limits;
}

// L of four cells (16 bytes); the alpha byte meets weight 0.
inline __m128i WeighFourCells(const uint8_t* cells)
{
    const __m128i weights = _mm_setr_epi16(299, 587, 114, 0, 299, 587, 114, 0);
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells));
    const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), weights);
    const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(bytes, zero), weights);
    const __m128 lowF = _mm_castsi128_ps(low);
    const __m128 highF = _mm_castsi128_ps(high);
    const __m128i even = _mm_castps_si128(_mm_shuffle_ps(lowF, highF, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(lowF, highF, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_add_epi32(even, odd);
}

// Masks whole blocks of 16 cells by L; the cells in the band go to exact.
// Returns how many cells it covered.
template <typename Exact>
size_t MaskBlocksByL(const uint8_t* grid, size_t cellCount, float threshold, uint8_t flip, uint8_t* mask,
                     Exact exact)
{
    const SureLimits limits = SureLimitsFor(threshold);
    const __m128i above = _mm_set1_epi32(limits.above);
    const __m128i below = _mm_set1_epi32(limits.below);
    const __m128i flipBytes = _mm_set1_epi8(static_cast<char>(flip));
    const __m128i ones = _mm_set1_epi8(1);
    size_t i = 0;
    for (; i + 16 <= cellCount; i += 16) {
        const uint8_t* cells = grid + 4 * i;
        const __m128i l0 = WeighFourCells(cells);
        const __m128i l1 = WeighFourCells(cells + 16);
        const __m128i l2 = WeighFourCells(cells + 32);
        const __m128i l3 = WeighFourCells(cells + 48);
        const __m128i sure = _mm_packs_epi16(
            _mm_packs_epi32(_mm_cmpgt_epi32(l0, above), _mm_cmpgt_epi32(l1, above)),
            _mm_packs_epi32(_mm_cmpgt_epi32(l2, above), _mm_cmpgt_epi32(l3, above)));
        const __m128i surelyNot = _mm_packs_epi16(
            _mm_packs_epi32(_mm_cmplt_epi32(l0, below), _mm_cmplt_epi32(l1, below)),
            _mm_packs_epi32(_mm_cmplt_epi32(l2, below), _mm_cmplt_epi32(l3, below)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mask + i), _mm_xor_si128(_mm_and_si128(sure, ones), flipBytes));
        unsigned undecided = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(sure, surelyNot))) & 0xFFFFu;
        while (undecided) {
            const unsigned bit = undecided & (0u - undecided);
            undecided ^= bit;
            size_t k = 0;
            while ((bit >> k) != 1u)
                ++k;
            exact(i + k);
        }
    }
    return i;
}
#endif

// The mask is decided first on the exact integer L = 299 R + 587 G + 114 B.
// The single-precision luma is L / 255000 up to rounding on non-negative
// values: three roundings per term (its constant, division and product) and
// two sums, a relative error below 5 x 2^-24, under 0.08 in units of L since
// L <= 255000. Cells whose L lies more than 1 from threshold x 255000 are
// therefore decided by L alone; the few in that band, and grids without
// SSE2, get the single-precision luma itself.
void BuildMask(const uint8_t* grid, size_t cellCount, float threshold, float invert, uint8_t* mask)
{
    static const LumaTerms terms;
    // A NaN invert is not >= 0.5, so it leaves the mask uninverted.
    const uint8_t flip = invert >= 0.5f ? 1 : 0;
    auto exact = [&](size_t i) {
        mask[i] = static_cast<uint8_t>(static_cast<uint8_t>(terms.Luma(grid + 4 * i) > threshold) ^ flip);
    };
    size_t i = 0;
#if ZAO_MASK_SSE2
    i = MaskBlocksByL(grid, cellCount, threshold, flip, mask, exact);
#endif
    for (; i < cellCount; ++i)
        exact(i);
}

// Writes the run bounds of one mask row: every change between background and
// foreground is a bound, so runs come out as (first, one past last) pairs.
// The store is unconditional and the cursor advances only on a change, which
// keeps noisy rows free of branch misses; uniform 8-cell stretches are skipped.
int32_t* ExtractRowRuns(const uint8_t* row, int32_t gridWidth, int32_t* out)
{
    constexpr uint64_t kAllForeground = 0x0101010101010101ull;
    uint8_t previous = 0;
    int32_t x = 0;
    for (; x + 8 <= gridWidth; x += 8) {
        uint64_t word;
        std::memcpy(&word, row + x, sizeof word);
        if (word == (previous ? kAllForeground : 0))
            continue;
        for (int32_t k = 0; k < 8; ++k) {
            const uint8_t current = row[x + k];
            *out = x + k;
            out += current ^ previous;
            previous = current;
        }
    }
    for (; x < gridWidth; ++x) {
        const uint8_t current = row[x];
        *out = x;
        out += current ^ previous;
        previous = current;
    }
    if (previous)
        *out++ = gridWidth;
    return out;
}

// Path halving; every parent index is at most its child's, so each set's root
// is its lowest run, which is the run holding the blob's first cell.
int32_t FindRoot(int32_t* parents, int32_t run)
{
    while (parents[run] != run) {
        parents[run] = parents[parents[run]];
        run = parents[run];
    }
    return run;
}

// The runs of every row in order; rowFirstRun[y] is the index of row y's
// first run and rowFirstRun[height] the run count, which it returns.
int32_t FindRuns(const uint8_t* mask, size_t width, size_t height, int32_t* bounds, int32_t* rowFirstRun)
{
    int32_t* boundsEnd = bounds;
    for (size_t y = 0; y < height; ++y) {
        rowFirstRun[y] = static_cast<int32_t>((boundsEnd - bounds) / 2);
        boundsEnd = ExtractRowRuns(mask + y * width, static_cast<int32_t>(width), boundsEnd);
    }
    const int32_t runCount = static_cast<int32_t>((boundsEnd - bounds) / 2);
    rowFirstRun[height] = runCount;
    return runCount;
}

// Two runs of neighbouring rows touch when their column ranges overlap;
// runs of one row never touch each other. Merging keeps the lower root.
// Returns the number of sets, one per component.
int32_t JoinTouchingRuns(const int32_t* bounds, const int32_t* rowFirstRun, size_t height, int32_t* parents)
{
    for (int32_t run = rowFirstRun[0]; run < rowFirstRun[1]; ++run)
        parents[run] = run;
    int32_t rootCount = rowFirstRun[height];
    for (size_t y = 1; y < height; ++y) {
        int32_t below = rowFirstRun[y - 1];
        const int32_t belowEnd = rowFirstRun[y];
        const int32_t rowEnd = rowFirstRun[y + 1];
        for (int32_t run = belowEnd; run < rowEnd; ++run) {
            const int32_t first = bounds[2 * run];
            const int32_t end = bounds[2 * run + 1];
            while (below < belowEnd && bounds[2 * below + 1] <= first)
                ++below;
            int32_t root = run;
            int32_t next = below;
            for (; next < belowEnd && bounds[2 * next] < end; ++next) {
                const int32_t other = FindRoot(parents, next);
                if (root == run) {
                    root = other;
                    --rootCount;
                } else if (other != root) {
                    --rootCount;
                    if (other < root) {
                        parents[root] = other;
                        root = other;
                    } else {
                        parents[other] = root;
                    }
                }
            }
            parents[run] = root;
            // The last run overlapped may reach on under the next run of this row.
            if (next > below)
                below = next - 1;
        }
    }
    return rootCount;
}

// In run order each set's root comes first, so components are created in
// discovery order, and a parent's slot already holds its component index
// when its children are reached. The records are written in place into a
// list sized once: appending record by record costs more than the labelling
// itself when every blob is a single cell.
void SumComponents(const int32_t* bounds, const int32_t* rowFirstRun, size_t height, int32_t* parents,
                   ComponentStats* components)
{
    int32_t nextComponent = 0;
    for (size_t y = 0; y < height; ++y) {
        const int32_t rowY = static_cast<int32_t>(y);
        for (int32_t run = rowFirstRun[y]; run < rowFirstRun[y + 1]; ++run) {
            const int32_t first = bounds[2 * run];
            const int32_t last = bounds[2 * run + 1] - 1;
            const int32_t length = last - first + 1;
            const int64_t sumX = (static_cast<int64_t>(first) + last) * length / 2;
            const int64_t sumY = static_cast<int64_t>(rowY) * length;
            const int32_t parent = parents[run];
            if (parent == run) {
                parents[run] = nextComponent;
                ComponentStats& stats = components[nextComponent++];
                stats.minX = first;
                stats.minY = rowY;
                stats.maxX = last;
                stats.maxY = rowY;
                stats.sumX = sumX;
                stats.sumY = sumY;
                stats.cellCount = length;
                continue;
            }
            const int32_t index = parents[parent];
            parents[run] = index;
            ComponentStats& stats = components[index];
            if (first < stats.minX)
                stats.minX = first;
            if (last > stats.maxX)
                stats.maxX = last;
            stats.maxY = rowY;
            stats.sumX += sumX;
            stats.sumY += sumY;
            stats.cellCount += length;
        }
    }
}

} // namespace

void ExtractComponents(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight, float threshold, float invert,
                       DetectionWorkspace& workspace)
{
    // The component list keeps its old records until it is resized at the
    // end, so that a frame like the last one writes its records only once.
    // Cell indices are signed 32-bit; a grid beyond that range cannot be indexed.
    const int64_t cellCount64 =
        gridWidth > 0 && gridHeight > 0 ? static_cast<int64_t>(gridWidth) * gridHeight : 0;
    if (cellCount64 == 0 || cellCount64 > INT32_MAX) {
        workspace.components.clear();
        return;
    }
    const size_t cellCount = static_cast<size_t>(cellCount64);
    const size_t width = static_cast<size_t>(gridWidth);
    const size_t height = static_cast<size_t>(gridHeight);

    // Buffers only grow, so once sizes settle a frame allocates nothing and
    // pays for no clearing: every slot read below was written in this call.
    if (workspace.mask.size() < cellCount)
        workspace.mask.resize(cellCount);
    // A row of w cells holds at most w bounds plus the one that closes it.
    const size_t boundCapacity = (width + 1) * height;
    if (workspace.runBounds.size() < boundCapacity)
        workspace.runBounds.resize(boundCapacity);
    if (workspace.rowFirstRun.size() < height + 1)
        workspace.rowFirstRun.resize(height + 1);

    BuildMask(grid, cellCount, threshold, invert, workspace.mask.data());
    int32_t* bounds = workspace.runBounds.data();
    int32_t* rowFirstRun = workspace.rowFirstRun.data();
    const int32_t runCount = FindRuns(workspace.mask.data(), width, height, bounds, rowFirstRun);
    if (runCount == 0) {
        workspace.components.clear();
        return;
    }
    if (workspace.runParents.size() < static_cast<size_t>(runCount))
        workspace.runParents.resize(static_cast<size_t>(runCount));
    int32_t* parents = workspace.runParents.data();
    const int32_t rootCount = JoinTouchingRuns(bounds, rowFirstRun, height, parents);
    workspace.components.resize(static_cast<size_t>(rootCount));
    SumComponents(bounds, rowFirstRun, height, parents, workspace.components.data());
}

std::vector<ComponentStats> ExtractComponents(const uint8_t* grid, int32_t gridWidth, int32_t gridHeight,
                                              float threshold, float invert)
{
    DetectionWorkspace workspace;
    ExtractComponents(grid, gridWidth, gridHeight, threshold, invert, workspace);
    return std::move(workspace.components);
}

void FloodFillComponent(const uint8_t* mask, int32_t* labels, int32_t gridWidth, int32_t gridHeight, int32_t startX,
                        int32_t startY, int32_t label, std::vector<int32_t>& fillStack, ComponentStats* stats)
{
    if (stats)
        *stats = UncountedStats(gridWidth, gridHeight);
    fillStack.clear();
    fillStack.push_back(startY * gridWidth + startX);
    while (!fillStack.empty()) {
        const int32_t i = fillStack.back();
        fillStack.pop_back();
        // A cell can be pushed once per neighbour that found it; later copies are stale.
        if (labels[i] != 0)
            continue;
        labels[i] = label;
        const int32_t x = i % gridWidth;
        const int32_t y = i / gridWidth;
        if (stats) {
            if (x < stats->minX)
                stats->minX = x;
            if (y < stats->minY)
                stats->minY = y;
            if (x > stats->maxX)
                stats->maxX = x;
            if (y > stats->maxY)
                stats->maxY = y;
            stats->sumX += x;
            stats->sumY += y;
            ++stats->cellCount;
        }
        if (x > 0 && mask[i - 1] && labels[i - 1] == 0)
            fillStack.push_back(i - 1);
        if (x < gridWidth - 1 && mask[i + 1] && labels[i + 1] == 0)
            fillStack.push_back(i + 1);
        if (y > 0 && mask[i - gridWidth] && labels[i - gridWidth] == 0)
            fillStack.push_back(i - gridWidth);
        if (y < gridHeight - 1 && mask[i + gridWidth] && labels[i + gridWidth] == 0)
            fillStack.push_back(i + gridWidth);
    }
}
