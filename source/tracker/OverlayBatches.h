// Groups the overlay's primitives into few draw calls without changing a
// pixel. Consecutive primitives of one kind and colour share a draw; a run of
// lines whose colour changes from line to line (the network) is one draw with
// the colour carried per vertex. A run of primitives in one opaque colour
// (alpha exactly 1) may be drawn in any order, since every pixel it touches
// ends as that colour, so its lines and its rectangles become one draw each.
// No GL here: the plan is plain data that tests read.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "OverlayDrawList.h"

constexpr uint32_t kUnlimitedBatch = std::numeric_limits<uint32_t>::max();

struct OverlayBatch {
    PrimitiveKind kind;
    bool perVertexColor;  // vertices come from coloredVertices, else from vertices with one colour
    uint32_t colorIndex;  // into the draw list's colours, when not per vertex
    uint32_t firstVertex;  // into the plan's vertices or coloredVertices
    uint32_t vertexCount;
};

struct OverlayColoredVertex {
    float x, y;
    float r, g, b, a;
};

struct OverlayBatchPlan {
    std::vector<OverlayVertex> vertices;
    std::vector<OverlayColoredVertex> coloredVertices;
    std::vector<OverlayBatch> batches;
};

// maxPrimitives bounds the primitives of one batch; 1 keeps one primitive per
// draw in the original order and never reorders. bufferBytes bounds the bytes
// of one batch so that it fits the stream buffer.
void PlanOverlayBatches(const OverlayDrawList& list, uint32_t maxPrimitives, uint32_t bufferBytes,
                        OverlayBatchPlan& plan);
