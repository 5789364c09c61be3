// Reduces a read-back frame to the analysis grid by nearest sampling, in the
// exact single-precision arithmetic the detection results depend on.
#pragma once

#include <cstdint>

struct GridSize {
    int32_t width;
    int32_t height;
};

// 0.3 of the image in each direction, truncated, never below 16 x 16.
GridSize GridSizeFor(uint32_t imageWidth, uint32_t imageHeight);

// The source column (or row) that grid column c samples: trunc(c / gridSize * imageSize),
// divided first, all in float, clamped to the last pixel.
int32_t SampledIndex(int32_t gridIndex, int32_t gridSize, int32_t imageSize);

// Copies the sampled RGBA pixels of an image (rows of exactly width x 4 bytes,
// bottom row first) into grid (gridWidth x gridHeight x 4 bytes).
void SampleGrid(const uint8_t* image, int32_t imageWidth, int32_t imageHeight, uint8_t* grid, int32_t gridWidth,
                int32_t gridHeight);
