// The one place where overlay primitives become GL calls: the streaming
// uploader that uploads and draws each chunk of the batcher, and the literal
// sink that uploads and draws every primitive by itself, the reference path.
#pragma once

#include <cstddef>
#include <cstdint>

#include "overlay/OverlayBatches.h"
#include "overlay/OverlayDrawList.h"
#include "overlay/WideLineQuads.h"

// The stream buffer, one allocation for the life of the GL objects:
// rectangle vertices from byte 0, line vertices from kOverlayLineOffset, with
// room for every line as a quad (three times its two ends) where a context
// draws no wide lines.
constexpr size_t kOverlayLineOffset = 192 * 1024;
constexpr size_t kOverlayLineRegionBytes = 64 * 1024;
constexpr size_t kOverlayStreamBytes = kOverlayLineOffset + 3 * kOverlayLineRegionBytes;
static_assert(kOverlayLineOffset % sizeof(OverlayLineVertex) == 0, "lines start on a whole vertex");
constexpr uint32_t kOverlayRectVertexCapacity = kOverlayLineOffset / sizeof(OverlayVertex);
constexpr uint32_t kOverlayLineVertexCapacity = kOverlayLineRegionBytes / sizeof(OverlayLineVertex);
static_assert(kOverlayLineVertexCapacity / kLineVertexCount * kLineQuadVertexCount * sizeof(OverlayLineVertex) <=
                  kOverlayStreamBytes - kOverlayLineOffset,
              "every line's quad fits");

// The overlay's GL names and uniform locations, found once when they are made.
struct OverlayGlObjects {
    uint32_t program;  // flat colour from the "Color" uniform
    int32_t colorLocation;
    uint32_t vertexArray;  // position only, from buffer
    uint32_t vertexColorProgram;  // red, green, blue from its "Color" uniform, alpha per vertex
    int32_t vertexColorLocation;
    uint32_t vertexColorArray;  // position and alpha, from buffer
    uint32_t buffer;
    size_t lineOffset;  // bytes; where line vertices go, a multiple of their size
};

// This frame's lines, where the context draws no 3-pixel lines (or a test
// asks): each goes out as a quad over the host's viewport, built in staging
// (room for three times the batcher's line vertices), and glLineWidth is
// never called.
struct OverlayLineQuads {
    bool on;
    OverlayViewport viewport;
    OverlayLineVertex* staging;
};

// The line width of every overlay line, in pixels.
constexpr float kOverlayLineWidth = 3.0f;

// Each chunk: rectangle vertices uploaded at byte 0, line vertices at
// lineOffset, then one draw per batch. Expects program current and blending
// set; Finish leaves program current, vertex array 0 bound and the buffer
// bound to GL_ARRAY_BUFFER.
class OverlayChunkUploader final : public OverlayChunkReceiver {
public:
    OverlayChunkUploader(const OverlayGlObjects& gl_, const OverlayLineQuads& quads_) : gl(gl_), quads(quads_) {}
    void Draw(const OverlayChunk& chunk) override;
    void Finish();

private:
    enum class Mode { Unset, Flat, VertexColor };
    OverlayGlObjects gl;
    OverlayLineQuads quads;
    Mode mode = Mode::Unset;
    bool colorSet = false;
    OverlayColor color{0.0f, 0.0f, 0.0f, 0.0f};
    bool lineColorSet = false;
    OverlayColor lineColor{0.0f, 0.0f, 0.0f, 0.0f};
};

// One buffer write at byte 0 and one draw per line (or its quad) or rectangle, the colour
// through the "Color" uniform: the design every batching is measured against.
class LiteralOverlaySink {
public:
    // Binds the vertex array; Finish binds vertex array 0.
    LiteralOverlaySink(const OverlayGlObjects& gl, const OverlayLineQuads& quads);
    void SetColor(float r, float g, float b, float a);
    void DrawLine(float x0, float y0, float x1, float y1);
    void DrawRect(float x, float y, float w, float h);
    void Finish();

private:
    OverlayGlObjects gl;
    OverlayLineQuads quads;
};

void DrawGlyph(char ch, float x, float y, float size, LiteralOverlaySink& sink);
