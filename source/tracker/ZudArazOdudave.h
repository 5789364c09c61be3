// The blob-tracker effect: ten parameters, the frame pipeline that samples the
// input onto an analysis grid and finds its bright regions, and the overlay
// drawn on top.
#pragma once

#include <cstdint>
#include <vector>

#include "ffglex/ScreenQuad.h"
#include "ffglex/ShaderProgram.h"
#include "host/PluginInstance.h"
#include "TrackerParameters.h"
#include "analysis/BlobDetection.h"
#include "analysis/TargetList.h"
#include "gl/ContextFacts.h"
#include "gl/FrameViewport.h"
#include "gl/InputGrid.h"
#include "gl/OverlayRenderer.h"
#include "overlay/OverlaySettings.h"

// Test seams: replacement shader sources (null keeps the built-in ones).
struct TrackerShaderOverride {
    const char* passThroughVertex = nullptr;
    const char* passThroughFragment = nullptr;
    const char* overlayVertex = nullptr;
    const char* overlayFragment = nullptr;
};

// Owns the parameters, the pass-through and the order of a frame's steps;
// the grid's GL belongs to InputGrid, the overlay's to OverlayRenderer.
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

    // The frame's first stage, also a seam for benchmarks: sizes the grid for
    // the texture and fills it by the road the texture allows (leaves the
    // read framebuffer bound to one of the effect's own). False when memory runs out.
    bool SampleInputGrid(const TextureInfo& texture);
    // The overlay stage of a frame on the current targets and parameters: the
    // overlay program in use for its length, blending as the caller set it.
    void DrawOverlay();
    OverlaySettings CurrentOverlaySettings() const;
    // Bytes held between frames by the buffers that follow the frame size.
    size_t FrameSizedBytes() const;

    // Test and bench seams: the two owners of the frame's GL, and replacement
    // shader sources (null keeps the built-in ones).
    InputGrid& Input() { return inputGrid; }
    OverlayRenderer& Overlay() { return overlay; }
    const ContextFacts& Facts() const { return contextFacts; }
    static TrackerShaderOverride shaderOverride;

private:
    // Draws the input unchanged into the bound framebuffer.
    void DrawPassThrough(const TextureInfo& texture);

    float parameters[kParameterCount];
    ffglex::ShaderProgram passThroughShader;
    // "InputTexture" and "MaxUV" of the pass-through program, found in InitGL.
    int32_t passThroughLocations[2] = {-1, -1};
    ffglex::ScreenQuad screenQuad;
    ContextFacts contextFacts{};
    FrameViewport hostViewport;
    InputGrid inputGrid;
    // Kept between frames so that steady-state frames allocate nothing.
    DetectionWorkspace detection;
    std::vector<TrackedBlob> targets;
    OverlayRenderer overlay;
};

// The factory the registration record hands to the dispatch.
uint32_t CreateZudArazOdudave(CFFGLPlugin** instanceSlot);
