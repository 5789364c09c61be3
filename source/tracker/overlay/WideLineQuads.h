// A wide aliased line as two triangles, for contexts that draw no line wider
// than one pixel (forward-compatible core contexts refuse glLineWidth above 1).
// The quad covers what GL's wide-line rule gives: the fragments of the
// one-pixel line (diamond-exit rule), each repeated across the minor axis to
// the width, centred on the line. No GL here.
#pragma once

#include "OverlayDrawList.h"

// The viewport the overlay is drawn into, in window pixels.
struct OverlayViewport {
    float x, y, width, height;
};

constexpr int kLineQuadVertexCount = 6;

// Writes the six vertices of the line's quad (two triangles) in the overlay's
// unit-square coordinates. A line that covers no fragment gives six copies of
// one point, which draw nothing.
void WideLineQuad(const OverlayViewport& viewport, float width, OverlayVertex from, OverlayVertex to,
                  OverlayVertex quad[kLineQuadVertexCount]);
