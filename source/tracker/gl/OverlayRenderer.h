// The overlay's GL and the memory it streams through: the flat-colour
// program and its twin with alpha per vertex, their vertex arrays over one
// stream buffer, the batcher's staging and, where lines go out as quads, the
// quads' staging. Made in Create (InitGL), released in Release (DeInitGL);
// Draw lays the targets out and submits them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ffglex/ShaderProgram.h"
#include "analysis/TargetList.h"
#include "overlay/OverlayBatches.h"
#include "overlay/OverlaySettings.h"
#include "FrameViewport.h"
#include "OverlaySubmitter.h"

class OverlayRenderer {
public:
    // wideLines: the context draws 3-pixel lines (ContextFacts); elsewhere
    // lines go out as the quads they cover.
    bool Create(const char* vertexSource, const char* fragmentSource, bool wideLines);
    void Release();

    // Reserves the staging memory a draw needs (std::bad_alloc when it cannot),
    // so that running out fails the frame before it draws anything.
    void Prepare();
    // The overlay of targets with settings, the flat program current for its
    // length, blending as the caller set it; vertex array 0 at the end.
    void Draw(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings, FrameViewport& viewport);

    // Bench and test seams: the same layout and batching streamed into any
    // receiver instead of GL; primitives per draw call (1 reproduces one
    // upload and one draw per primitive); lines as quads even where wide
    // lines are available, to compare the two.
    void Stream(const std::vector<TrackedBlob>& targets, const OverlaySettings& settings,
                OverlayChunkReceiver& receiver);
    void SetBatchSize(uint32_t primitivesPerBatch) { batchSize = primitivesPerBatch; }
    void ForceLineQuads(bool force) { forceLineQuads = force; }

private:
    bool LineQuads() const { return !wideLines || forceLineQuads; }

    ffglex::ShaderProgram program;
    ffglex::ShaderProgram vertexColorProgram;
    OverlayGlObjects objects{};
    OverlayBatcher batcher;
    uint32_t batchSize = kUnlimitedBatch;
    // Where lines go out as quads: the batcher's line vertices, three times over.
    std::unique_ptr<OverlayLineVertex[]> lineQuadStaging;
    bool wideLines = false;
    bool forceLineQuads = false;
};
