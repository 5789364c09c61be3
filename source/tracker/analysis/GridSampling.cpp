// Grid size, source indices, nearest sampling and the choice of road.
#include "GridSampling.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Truncation.h"

GridSize GridSizeFor(uint32_t imageWidth, uint32_t imageHeight)
{
    const int32_t w = TruncateToInt32(static_cast<float>(imageWidth) * 0.3f);
    const int32_t h = TruncateToInt32(static_cast<float>(imageHeight) * 0.3f);
    return {std::max(16, w), std::max(16, h)};
}

int32_t SampledIndex(int32_t gridIndex, int32_t gridSize, int32_t imageSize)
{
    const float position = static_cast<float>(gridIndex) / static_cast<float>(gridSize) * static_cast<float>(imageSize);
    return std::min(static_cast<int32_t>(position), imageSize - 1);
}

void FillSourceIndices(int32_t imageWidth, int32_t imageHeight, int32_t gridWidth, int32_t gridHeight,
                       int32_t* sourceIndices)
{
    for (int32_t c = 0; c < gridWidth; ++c)
        sourceIndices[c] = SampledIndex(c, gridWidth, imageWidth);
    for (int32_t r = 0; r < gridHeight; ++r)
        sourceIndices[gridWidth + r] = SampledIndex(r, gridHeight, imageHeight);
}

void SampleGrid(const uint8_t* image, int32_t imageWidth, const int32_t* sourceIndices, uint8_t* grid,
                int32_t gridWidth, int32_t gridHeight)
{
    const int32_t* columns = sourceIndices;
    const int32_t* rows = sourceIndices + gridWidth;
    for (int32_t r = 0; r < gridHeight; ++r) {
        const uint8_t* sourceRow = image + static_cast<size_t>(rows[r]) * static_cast<size_t>(imageWidth) * 4;
        uint8_t* gridRow = grid + static_cast<size_t>(r) * static_cast<size_t>(gridWidth) * 4;
        for (int32_t c = 0; c < gridWidth; ++c)
            std::memcpy(gridRow + static_cast<size_t>(c) * 4, sourceRow + static_cast<size_t>(columns[c]) * 4, 4);
    }
}

void SampleGridWithin(const uint8_t* image, int32_t readWidth, int32_t readHeight, const int32_t* sourceIndices,
                      uint8_t* grid, int32_t gridWidth, int32_t gridHeight)
{
    const int32_t* columns = sourceIndices;
    const int32_t* rows = sourceIndices + gridWidth;
    for (int32_t r = 0; r < gridHeight; ++r) {
        uint8_t* gridRow = grid + static_cast<size_t>(r) * static_cast<size_t>(gridWidth) * 4;
        if (rows[r] >= readHeight) {
            std::memset(gridRow, 0, static_cast<size_t>(gridWidth) * 4);
            continue;
        }
        const uint8_t* sourceRow = image + static_cast<size_t>(rows[r]) * static_cast<size_t>(readWidth) * 4;
        for (int32_t c = 0; c < gridWidth; ++c) {
            if (columns[c] < readWidth)
                std::memcpy(gridRow + static_cast<size_t>(c) * 4, sourceRow + static_cast<size_t>(columns[c]) * 4, 4);
            else
                std::memset(gridRow + static_cast<size_t>(c) * 4, 0, 4);
        }
    }
}

void SampleGrid(const uint8_t* image, int32_t imageWidth, int32_t imageHeight, uint8_t* grid, int32_t gridWidth,
                int32_t gridHeight)
{
    std::vector<int32_t> sourceIndices(static_cast<size_t>(gridWidth) + static_cast<size_t>(gridHeight));
    FillSourceIndices(imageWidth, imageHeight, gridWidth, gridHeight, sourceIndices.data());
    SampleGrid(image, imageWidth, sourceIndices.data(), grid, gridWidth, gridHeight);
}

GridRoad ChooseGridRoad(const InputTextureDescription& texture, int32_t imageWidth, int32_t imageHeight, GridSize grid,
                        const GpuGridLimits& limits)
{
    if (!texture.readable || texture.integerComponents)
        return GridRoad::Empty;
    // Only 8-bit channels convert to the grid's bytes and back without any
    // rounding that a driver could do differently on its read and write paths.
    const int32_t* bits = texture.componentBits;
    bool eightBit = bits[0] == 8;
    for (int channel = 1; channel < 4; ++channel)
        eightBit = eightBit && (bits[channel] == 0 || bits[channel] == 8);
    const bool exact = eightBit && texture.unsignedNormalized && texture.linearEncoding && texture.baseLevel == 0 &&
                       texture.identitySwizzle;
    // A read of pixels outside level 0 is undefined, a fetch of them is 0: only the read road stays as it was.
    const bool inside = texture.levelWidth >= imageWidth && texture.levelHeight >= imageHeight;
    const bool fits = grid.width <= limits.maxSurfaceSize && grid.height <= limits.maxSurfaceSize &&
                      static_cast<int64_t>(grid.width) + grid.height <= limits.maxSourceIndexCount;
    return exact && inside && fits ? GridRoad::Gpu : GridRoad::FullReadback;
}
