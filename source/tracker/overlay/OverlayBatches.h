// Streams the overlay into few draws without changing a pixel, in memory
// fixed once: primitives collect in two staging arrays (rectangles with one
// colour a draw, lines with their alpha per vertex) and whenever one is full,
// or the frame ends, what has collected is handed to a receiver that uploads and
// draws it, and collecting starts again. No GL here.
//
// Why the order may change: within a span of primitives of one colour and
// alpha every covered pixel receives the same blend once per primitive, in
// any order, so a span's lines and rectangles are drawn apart; spans keep their
// order. Consecutive spans' lines share one draw, their alpha per vertex.
// Glyph cells merge into few rectangles (GlyphCover.h).
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "GlyphCover.h"
#include "OverlayDrawList.h"

constexpr uint32_t kUnlimitedBatch = std::numeric_limits<uint32_t>::max();

// A line's end: its colour's red, green and blue are its batch's.
struct OverlayLineVertex {
    float x, y;
    float alpha;
};

struct OverlayBatch {
    PrimitiveKind kind;
    uint32_t firstVertex;  // into the chunk's rectangle or line vertices
    uint32_t vertexCount;
    uint32_t primitiveCount;
    OverlayColor color;  // of a rectangle batch; a line batch's alpha is per vertex
};

// What collected since the last hand-over; the batches draw in their order.
struct OverlayChunk {
    const OverlayVertex* rectVertices;
    uint32_t rectVertexCount;
    const OverlayLineVertex* lineVertices;
    uint32_t lineVertexCount;
    const OverlayBatch* batches;
    uint32_t batchCount;
};

class OverlayChunkReceiver {
public:
    virtual void Draw(const OverlayChunk& chunk) = 0;

protected:
    ~OverlayChunkReceiver() = default;
};

class OverlayBatcher {
public:
    // The staging arrays, allocated once (std::bad_alloc when that fails);
    // asking again for the same sizes does nothing.
    void Reserve(uint32_t rectVertexCapacity, uint32_t lineVertexCapacity);
    bool Reserved() const { return rectCapacity != 0; }

    // maxPrimitives bounds the primitives of one draw (at least 1).
    void Begin(OverlayChunkReceiver& receiver, uint32_t maxPrimitives);
    // Hands over what is left; the receiver has then seen every primitive.
    void End();

    void SetColor(float r, float g, float b, float a);
    void DrawLine(float x0, float y0, float x1, float y1);
    void DrawRect(float x, float y, float w, float h);
    // The pixels of one DrawRect per inked cell, in fewer rectangles.
    void DrawGlyph(char ch, float x, float y, float size);

private:
    struct Bin {
        uint32_t first = 0;
        uint32_t primitives = 0;
    };

    void EnterSpan();
    void AppendRect(float x0, float y0, float x1, float y1);
    void CloseBin(PrimitiveKind kind);
    void CloseBins();
    void Flush();

    static constexpr uint32_t kMaxBatches = 64;

    std::unique_ptr<OverlayVertex[]> rects;
    std::unique_ptr<OverlayLineVertex[]> lines;
    uint32_t rectCapacity = 0;
    uint32_t lineCapacity = 0;
    uint32_t rectCount = 0;
    uint32_t lineCount = 0;
    OverlayBatch batches[kMaxBatches];
    uint32_t batchCount = 0;

    OverlayChunkReceiver* receiver = nullptr;
    uint32_t maxPrimitives = kUnlimitedBatch;
    OverlayColor color{0.0f, 0.0f, 0.0f, 0.0f};
    OverlayColor spanColor{0.0f, 0.0f, 0.0f, 0.0f};
    bool inSpan = false;
    Bin rectBin;
    Bin lineBin;
    // The row edges of the text line being drawn, kept while y and size stay.
    GlyphRowEdges glyphRows;
    bool glyphRowsSet = false;
};

// The layout's way to a glyph (see OverlayLayout.h).
inline void DrawGlyph(char ch, float x, float y, float size, OverlayBatcher& batcher)
{
    batcher.DrawGlyph(ch, x, y, size);
}
