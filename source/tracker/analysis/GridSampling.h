// Reduces a frame to the analysis grid by nearest sampling, in the exact
// single-precision arithmetic the detection results depend on, and chooses
// how a frame's grid is read: sampled on the GPU, read back whole, or not at all.
#pragma once

#include <cstddef>
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

// The source column of every grid column, then the source row of every grid
// row: gridWidth + gridHeight entries, shared by both sampling roads.
void FillSourceIndices(int32_t imageWidth, int32_t imageHeight, int32_t gridWidth, int32_t gridHeight,
                       int32_t* sourceIndices);

// Copies the sampled RGBA pixels of an image (rows of exactly imageWidth x 4
// bytes, bottom row first) into grid (gridWidth x gridHeight x 4 bytes).
void SampleGrid(const uint8_t* image, int32_t imageWidth, const int32_t* sourceIndices, uint8_t* grid,
                int32_t gridWidth, int32_t gridHeight);
// The same from the lower-left readWidth x readHeight of the image only (rows
// of readWidth x 4 bytes): cells whose source pixel lies outside it are zero.
void SampleGridWithin(const uint8_t* image, int32_t readWidth, int32_t readHeight, const int32_t* sourceIndices,
                      uint8_t* grid, int32_t gridWidth, int32_t gridHeight);
// The same, working the indices out itself (allocates; for tests and tools).
void SampleGrid(const uint8_t* image, int32_t imageWidth, int32_t imageHeight, uint8_t* grid, int32_t gridWidth,
                int32_t gridHeight);

// How one frame's grid is filled.
enum class GridRoad : uint8_t {
    Empty,         // the input cannot be read: the grid is all zero bytes
    Gpu,           // each cell fetched on the GPU, only the grid read back
    FullReadback,  // the whole image read back and sampled on the CPU
};

// What GL reports about the input texture, gathered by the frame pipeline.
struct InputTextureDescription {
    bool readable;              // level 0 attached to a complete read framebuffer
    bool linearEncoding;        // not sRGB: a fetch would decode what a read returns raw
    bool unsignedNormalized;    // the red component's type
    int32_t componentBits[4];   // red, green, blue, alpha; 0 for a missing component
    int32_t baseLevel;
    bool identitySwizzle;
    int32_t levelWidth;         // level 0
    int32_t levelHeight;
    bool integerComponents;     // a read into bytes fails on these, leaving nothing written
};

// Limits of the GPU road's own objects on this context.
struct GpuGridLimits {
    int32_t maxSurfaceSize;         // renderbuffer width and height
    int32_t maxSourceIndexCount;   // texels of a buffer texture
};

// The GPU road only where a fetch returns the very bytes a read would: 8-bit
// unsigned-normalised linear colour at base level 0, unswizzled, with the
// whole image inside level 0. Everything else that can be read into bytes is
// read whole; integer formats cannot be, and give the zero grid.
GridRoad ChooseGridRoad(const InputTextureDescription& texture, int32_t imageWidth, int32_t imageHeight, GridSize grid,
                        const GpuGridLimits& limits);
