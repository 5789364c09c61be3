// The GPU road of grid sampling: one fragment per grid cell fetches the texel
// the CPU sampling would copy, into a small RGBA8 surface (a renderbuffer) of the effect's own,
// and only that surface is read back. Objects are made in Create (InitGL) and
// released in Release (DeInitGL); the surface and the index table follow the
// frame size. Every piece of host state the draw touches is given back.
#pragma once

#include <cstdint>

#include "ffglex/ScreenQuad.h"
#include "ffglex/ShaderProgram.h"
#include "analysis/BufferTrim.h"
#include "analysis/GridSampling.h"

class GpuGridSampler {
public:
    GpuGridSampler() = default;
    GpuGridSampler(const GpuGridSampler&) = delete;
    GpuGridSampler& operator=(const GpuGridSampler&) = delete;

    // clipDistances: how many the host can enable; the grid draw writes them all.
    bool Create(const char* vertexSource, const char* fragmentSource, int32_t clipDistances);
    void Release();

    GpuGridLimits Limits() const { return limits; }

    // Fills gridBytes (grid.width x grid.height x 4) from texture, by
    // sourceIndices as FillSourceIndices made them for this frame's sizes;
    // they are uploaded again only when indexVersion differs from the last
    // frame's. hostViewport is index 0's as the host left it, given back
    // after the draw. Leaves our surface bound for reading and sampler 0 on unit 0.
    void Sample(uint32_t texture, GridSize grid, const int32_t* sourceIndices, uint32_t indexVersion,
                const ffglex::ScreenQuad& quad, const float hostViewport[4], uint8_t* gridBytes);

private:
    void ResizeSurface(GridSize grid);
    void UploadSourceIndices(const int32_t* sourceIndices, int32_t count);

    ffglex::ShaderProgram program;
    int32_t gridWidthLocation = -1;
    uint32_t framebuffer = 0;
    uint32_t renderbuffer = 0;
    uint32_t sampler = 0;
    uint32_t indexBuffer = 0;
    uint32_t indexTexture = 0;
    GpuGridLimits limits{0, 0};
    // The surface and the index table keep their size while frames fit, so
    // that alternating sizes do not reallocate GPU memory every frame.
    GridSize surfaceSize{0, 0};
    BufferTrim surfaceTrim;
    int32_t indexCapacity = 0;
    uint32_t uploadedIndexVersion = 0;
};

