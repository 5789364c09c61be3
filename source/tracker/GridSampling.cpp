// Grid size and nearest sampling.
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

void SampleGrid(const uint8_t* image, int32_t imageWidth, int32_t imageHeight, uint8_t* grid, int32_t gridWidth,
                int32_t gridHeight)
{
    // Columns are the same for every row: work them out once.
    std::vector<int32_t> columns(static_cast<size_t>(gridWidth));
    for (int32_t c = 0; c < gridWidth; ++c)
        columns[c] = SampledIndex(c, gridWidth, imageWidth);
    for (int32_t r = 0; r < gridHeight; ++r) {
        const int32_t sy = SampledIndex(r, gridHeight, imageHeight);
        const uint8_t* sourceRow = image + static_cast<size_t>(sy) * static_cast<size_t>(imageWidth) * 4;
        uint8_t* gridRow = grid + static_cast<size_t>(r) * static_cast<size_t>(gridWidth) * 4;
        for (int32_t c = 0; c < gridWidth; ++c)
            std::memcpy(gridRow + static_cast<size_t>(c) * 4, sourceRow + static_cast<size_t>(columns[c]) * 4, 4);
    }
}
