// The analysis grid and every GL object that fills it: the read framebuffer
// the host's input is attached to, the GPU road's sampler, the source indices
// both roads sample by, and the whole read-back of the CPU road, each buffer
// kept between frames and trimmed after a run of much smaller ones. Objects
// are made in Create (InitGL) and released in Release (DeInitGL).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ffglex/ScreenQuad.h"
#include "analysis/BufferTrim.h"
#include "analysis/GridSampling.h"
#include "FrameViewport.h"
#include "GpuGridSampler.h"

class InputGrid {
public:
    // clipDistances: how many the host can enable; the GPU road's draw writes them all.
    bool Create(int32_t clipDistances);
    void Release();

    // Sizes the grid for an image of width x height in texture (a 2D texture
    // name or 0) and fills it by the road the texture allows; leaves the read
    // framebuffer bound to one of ours. False when memory runs out.
    // *startedAfresh is set when the grid gave its memory back after a run of
    // smaller frames, so that the caller may do the same.
    bool Sample(uint32_t texture, uint32_t width, uint32_t height, const ffglex::ScreenQuad& quad,
                FrameViewport& viewport, bool* startedAfresh);

    // Row-major RGBA cells, row 0 the bottom row of the frame.
    const std::vector<uint8_t>& Cells() const { return cells; }
    int32_t Width() const { return size.width; }
    int32_t Height() const { return size.height; }
    // Bytes held between frames by the buffers that follow the frame size.
    size_t FrameSizedBytes() const;
    // Gives the whole read-back's memory back, as a failed frame does.
    void ReleaseReadback() { ReleaseBuffer(readback); }

    // Test seams: how the last frame was filled, and a switch that makes every
    // readable frame take the whole read-back (the reference road).
    GridRoad LastRoad() const { return lastRoad; }
    void ForceFullReadback(bool force) { forceFullReadback = force; }

private:
    bool Prepare(uint32_t imageWidth, uint32_t imageHeight, bool* startedAfresh);
    bool Fill(uint32_t texture, int32_t width, int32_t height, const ffglex::ScreenQuad& quad,
              FrameViewport& viewport);

    uint32_t readFramebuffer = 0;
    GpuGridSampler gpuSampler;
    std::vector<uint8_t> cells;
    GridSize size{0, 0};
    // Which input pixel each grid column and row takes; they follow from the
    // image size alone, so they are made again only when it changes, and the
    // version tells the GPU road when to upload them again.
    std::vector<int32_t> sourceIndices;
    int32_t sourceIndexKey[2] = {0, 0};
    uint32_t sourceIndexVersion = 0;
    std::vector<uint8_t> readback;
    BufferTrim cellTrim;
    BufferTrim readbackTrim;
    GridRoad lastRoad = GridRoad::Empty;
    bool forceFullReadback = false;
};
