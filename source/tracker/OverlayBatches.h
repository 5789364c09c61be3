// Groups the overlay's primitives into few draw calls without changing a
// pixel. Within a run of primitives of one colour and alpha the order is
// invisible (each covered pixel receives the same blend once per primitive,
// in any order), so the run's lines and rectangles become one draw each, and
// rectangles that share an edge exactly are merged (glyph cells). Consecutive
// runs of lines in changing colours (the network) share one draw with the
// colour carried per vertex. No GL here: the plan is plain data that tests read.
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
