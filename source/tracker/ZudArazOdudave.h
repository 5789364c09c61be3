// The blob-tracker effect: ten parameters, the frame pipeline that samples the
// input onto an analysis grid and finds its bright regions, and the overlay
// drawn on top.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "../ffglex/ScreenQuad.h"
#include "../ffglex/ShaderProgram.h"
#include "../host/PluginInstance.h"
#include "analysis/BlobDetection.h"
#include "analysis/BufferTrim.h"
#include "gl/ContextFacts.h"
#include "gl/GpuGridSampler.h"
#include "analysis/GridSampling.h"
#include "overlay/OverlaySettings.h"
#include "overlay/OverlayBatches.h"
#include "gl/OverlaySubmitter.h"
#include "analysis/TargetList.h"
#include "TrackerParameters.h"

// Test seams: replacement shader sources (null keeps the built-in ones).
struct TrackerShaderOverride {
    const char* passThroughVertex = nullptr;
    const char* passThroughFragment = nullptr;
    const char* overlayVertex = nullptr;
    const char* overlayFragment = nullptr;
};

class ZudArazOdudave : public CFFGLPlugin {
public:
    ZudArazOdudave();
    ~ZudArazOdudave() override;

    uint32_t InitGL(const ViewportRecord* viewport) override;
    uint32_t DeInitGL() override;
    uint32_t ProcessOpenGL(const FrameInput* frame) override;
    uint32_t SetFloatParameter(uint32_t number, float value) override;
    float GetFloatParameter(uint32_t number) override;

    // Rebuilds targets from the grid with the current parameter values.
    void DetectBlobs(const uint8_t* gridBytes, int32_t width, int32_t height);

    const std::vector<TrackedBlob>& Targets() const { return targets; }
    // Primitives per draw call; 1 reproduces one upload and one draw per primitive.
    void SetOverlayBatchSize(uint32_t primitivesPerBatch) { overlayBatchSize = primitivesPerBatch; }
    static TrackerShaderOverride shaderOverride;

    // The frame's first stage, also a seam for benchmarks: sizes the grid for
    // the texture and fills it by the road the texture allows (leaves the
    // read framebuffer bound to one of the effect's own). False when memory runs out.
    bool SampleInputGrid(const TextureInfo& texture);
    // The grid of the last frame, how it was filled, and a switch that makes
    // every readable frame take the whole read-back (the reference road).
    const std::vector<uint8_t>& Grid() const { return grid; }
    GridRoad LastGridRoad() const { return lastGridRoad; }
    void ForceFullReadback(bool force) { forceFullReadback = force; }
    // Draws lines as quads even where wide lines are available, to compare the two.
    void ForceLineQuads(bool force) { forceLineQuads = force; }
    const ContextFacts& Facts() const { return contextFacts; }
    // Bytes held between frames by the buffers that follow the frame size.
    size_t FrameSizedBytes() const;

    // The overlay stage of a frame on the current targets and parameters: the
    // overlay program in use for its length, blending as the caller set it.
    void DrawOverlay();
    // Bench and test seam: the same layout and batching, streamed into any
    // target instead of GL (it reserves the staging memory if need be).
    void StreamOverlay(OverlayChunkTarget& target);

private:
    // Sizes the grid and its source indices for this frame; false when memory runs out.
    bool PrepareGrid(uint32_t imageWidth, uint32_t imageHeight);
    // Fills the grid by the road the input allows; false when memory runs out.
    bool FillGrid(const TextureInfo& texture);

    // Reserves the overlay's staging memory, before any GL draw of the frame,
    // so that running out of memory fails the frame before it draws.
    void PrepareOverlay();
    OverlaySettings CurrentOverlaySettings() const;
    bool LineQuads() const { return !contextFacts.wideLines || forceLineQuads; }
    // Index 0's viewport as the host set it, read at most once a frame.
    const float* HostViewport();
    void ReleaseReadback();

    ffglex::ShaderProgram passThroughShader;
    ffglex::ShaderProgram overlayShader;
    ffglex::ScreenQuad screenQuad;
    uint32_t readFbo = 0;
    uint32_t overlayVao = 0;
    uint32_t overlayVbo = 0;
    std::vector<uint8_t> grid;
    int32_t gridWidth = 0;
    int32_t gridHeight = 0;
    std::vector<TrackedBlob> targets;

    float parameters[kParameterCount];

    // Kept between frames so that steady-state frames allocate nothing.
    std::vector<uint8_t> readback;
    DetectionWorkspace detection;
    OverlayBatcher overlayBatcher;
    ffglex::ShaderProgram overlayVertexColorShader;
    uint32_t overlayVertexColorVao = 0;
    // The overlay's programs, uniform locations and vertex arrays, found once in InitGL.
    OverlayGlObjects overlayObjects{};
    uint32_t overlayBatchSize = kUnlimitedBatch;
    // Where lines go out as quads: the batcher's line vertices, three times over.
    std::unique_ptr<OverlayLineVertex[]> lineQuadStaging;

    ContextFacts contextFacts{};
    // "InputTexture" and "MaxUV" of the pass-through program, found once in InitGL.
    int32_t passThroughLocations[2] = {-1, -1};
    float hostViewport[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool hostViewportKnown = false;

    GpuGridSampler gridSampler;
    std::vector<int32_t> sourceIndices;
    int32_t sourceIndexKey[2] = {0, 0};  // the image size the indices were made for
    uint32_t sourceIndexVersion = 0;
    BufferTrim readbackTrim;
    BufferTrim gridTrim;
    GridRoad lastGridRoad = GridRoad::Empty;
    bool forceFullReadback = false;
    bool forceLineQuads = false;
};

// The factory the registration record hands to the dispatch.
uint32_t CreateZudArazOdudave(CFFGLPlugin** instanceSlot);
