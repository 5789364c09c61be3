// The one place where overlay primitives become GL calls: each batch of a
// plan is one upload at byte 0 of the stream buffer and one draw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "OverlayBatches.h"
#include "OverlayDrawList.h"

struct OverlayGlObjects {
    uint32_t program;  // flat colour from the "Color" uniform
    int32_t colorLocation;
    uint32_t vertexArray;  // position only, from buffer
    uint32_t vertexColorProgram;  // colour per vertex
    uint32_t vertexColorArray;  // position and colour, from buffer
    uint32_t buffer;
    size_t bufferBytes;
};

// Expects program current and blending set; leaves vertex array 0 bound,
// program current and the buffer bound to GL_ARRAY_BUFFER.
void SubmitOverlay(const OverlayDrawList& list, const OverlayBatchPlan& plan, const OverlayGlObjects& gl);
