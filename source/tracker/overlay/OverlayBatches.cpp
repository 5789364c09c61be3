// The streaming batcher: spans of one colour, two open bins per span, and the
// hand-over whenever staging or the batch list fills.
#include "OverlayBatches.h"

#include <algorithm>
#include <cstring>

namespace {

bool SameRgb(const OverlayColor& p, const OverlayColor& q)
{
    return p.r == q.r && p.g == q.g && p.b == q.b;
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

void OverlayBatcher::Reserve(uint32_t rectVertexCapacity, uint32_t lineVertexCapacity)
{
    // Whole primitives only: six vertices a rectangle, two a line.
    rectVertexCapacity -= rectVertexCapacity % kRectVertexCount;
    lineVertexCapacity -= lineVertexCapacity % kLineVertexCount;
    if (rectVertexCapacity == rectCapacity && lineVertexCapacity == lineCapacity)
        return;
    rects.reset();
    lines.reset();
    rectCapacity = lineCapacity = 0;
    rects.reset(new OverlayVertex[std::max<uint32_t>(rectVertexCapacity, kRectVertexCount)]);
    lines.reset(new OverlayLineVertex[std::max<uint32_t>(lineVertexCapacity, kLineVertexCount)]);
    rectCapacity = std::max<uint32_t>(rectVertexCapacity, kRectVertexCount);
    lineCapacity = std::max<uint32_t>(lineVertexCapacity, kLineVertexCount);
}

void OverlayBatcher::Begin(OverlayChunkReceiver& receiver_, uint32_t maxPrimitives_)
{
    receiver = &receiver_;
    maxPrimitives = std::max<uint32_t>(1, maxPrimitives_);
    rectCount = lineCount = batchCount = 0;
    color = spanColor = {0.0f, 0.0f, 0.0f, 0.0f};
    inSpan = false;
    rectBin = lineBin = Bin{};
}

void OverlayBatcher::End()
{
    Flush();
    inSpan = false;
    receiver = nullptr;
}

void OverlayBatcher::SetColor(float r, float g, float b, float a)
{
    color = {r, g, b, a};
}

// A primitive in a colour other than the span's starts a new span: what the
// last span left open is drawn first.
void OverlayBatcher::EnterSpan()
{
    if (inSpan && color == spanColor)
        return;
    CloseBins();
    if (batchCount + 2 > kMaxBatches)
        Flush();
    spanColor = color;
    inSpan = true;
}

void OverlayBatcher::DrawLine(float x0, float y0, float x1, float y1)
{
    EnterSpan();
    if (lineCount + kLineVertexCount > lineCapacity)
        Flush();
    if (lineBin.primitives == 0)
        lineBin.first = lineCount;
    lines[lineCount++] = {x0, y0, spanColor.a};
    lines[lineCount++] = {x1, y1, spanColor.a};
    if (++lineBin.primitives == maxPrimitives) {
        CloseBin(PrimitiveKind::Line);
        if (batchCount + 2 > kMaxBatches)
            Flush();
    }
}

void OverlayBatcher::DrawRect(float x, float y, float w, float h)
{
    EnterSpan();
    AppendRect(x, y, x + w, y + h);
}

void OverlayBatcher::DrawGlyph(char ch, float x, float y, float size)
{
    EnterSpan();
    if (!glyphRowsSet || !SameBits(y, glyphRows.y) || !SameBits(size, glyphRows.size)) {
        ComputeGlyphRowEdges(y, size, glyphRows);
        glyphRowsSet = true;
    }
    OverlayBox boxes[kMaxGlyphBoxes];
    // Alpha 1 replaces what is below, so a pixel covered twice looks as if covered once.
    const int count = CoverGlyph(ch, x, glyphRows, spanColor.a == 1.0f, boxes);
    for (int i = 0; i < count; ++i)
        AppendRect(boxes[i].x0, boxes[i].y0, boxes[i].x1, boxes[i].y1);
}

void OverlayBatcher::AppendRect(float x0, float y0, float x1, float y1)
{
    if (rectCount + kRectVertexCount > rectCapacity)
        Flush();
    if (rectBin.primitives == 0)
        rectBin.first = rectCount;
    WriteRectVertices(x0, y0, x1, y1, &rects[rectCount]);
    rectCount += kRectVertexCount;
    if (++rectBin.primitives == maxPrimitives) {
        CloseBin(PrimitiveKind::Rect);
        if (batchCount + 2 > kMaxBatches)
            Flush();
    }
}

// Appends an open bin as a batch, or extends the last batch with it: lines
// of the same red, green and blue (alpha travels with them), rectangles of
// the same colour.
void OverlayBatcher::CloseBin(PrimitiveKind kind)
{
    Bin& bin = kind == PrimitiveKind::Line ? lineBin : rectBin;
    if (bin.primitives == 0)
        return;
    const uint32_t vertices = bin.primitives * VertexCount(kind);
    if (batchCount != 0) {
        OverlayBatch& last = batches[batchCount - 1];
        if (last.kind == kind && last.firstVertex + last.vertexCount == bin.first &&
            bin.primitives <= maxPrimitives - last.primitiveCount &&
            SameRgb(last.color, spanColor) && (kind == PrimitiveKind::Line || last.color.a == spanColor.a)) {
            last.vertexCount += vertices;
            last.primitiveCount += bin.primitives;
            bin = Bin{};
            return;
        }
    }
    batches[batchCount++] = {kind, bin.first, vertices, bin.primitives, spanColor};
    bin = Bin{};
}

// The span's two bins, the kind of the last batch first so that it may extend it.
void OverlayBatcher::CloseBins()
{
    const bool linesFirst = batchCount != 0 && batches[batchCount - 1].kind == PrimitiveKind::Line;
    CloseBin(linesFirst ? PrimitiveKind::Line : PrimitiveKind::Rect);
    CloseBin(linesFirst ? PrimitiveKind::Rect : PrimitiveKind::Line);
}

// The span stays open: what follows in its colour starts new bins.
void OverlayBatcher::Flush()
{
    CloseBins();
    if (batchCount != 0 && receiver != nullptr)
        receiver->Draw({rects.get(), rectCount, lines.get(), lineCount, batches, batchCount});
    rectCount = lineCount = batchCount = 0;
}
