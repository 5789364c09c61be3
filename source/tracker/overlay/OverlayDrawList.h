// What the overlay draws, as plain data: lines and filled rectangles in the
// unit square, each with the colour that was current when it was added. The
// overlay code fills it without GL; one submitter turns it into draw calls.
#pragma once

#include <cstdint>
#include <vector>

enum class PrimitiveKind : uint8_t { Line, Rect };

struct OverlayColor {
    float r, g, b, a;
};

inline bool operator==(const OverlayColor& p, const OverlayColor& q)
{
    return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a;
}

struct OverlayVertex {
    float x, y;
};

struct OverlayPrimitive {
    PrimitiveKind kind;
    uint32_t colorIndex;  // into Colors()
    uint32_t firstVertex;  // into Vertices(): 2 for a line, 6 for a rectangle
};

constexpr uint32_t kLineVertexCount = 2;
constexpr uint32_t kRectVertexCount = 6;

// A rectangle from (x0, y0) to (x1, y1) as two triangles, the one vertex
// order every sink uses: (x0, y0), (x1, y0), (x1, y1), (x0, y0), (x1, y1), (x0, y1).
inline void WriteRectVertices(float x0, float y0, float x1, float y1, OverlayVertex* v)
{
    v[0] = {x0, y0};
    v[1] = {x1, y0};
    v[2] = {x1, y1};
    v[3] = {x0, y0};
    v[4] = {x1, y1};
    v[5] = {x0, y1};
}

inline uint32_t VertexCount(PrimitiveKind kind)
{
    return kind == PrimitiveKind::Line ? kLineVertexCount : kRectVertexCount;
}

class OverlayDrawList {
public:
    void Clear();

    // Plays the part of the "Color" uniform: later primitives take this colour.
    void SetColor(float r, float g, float b, float a);
    // Two vertices, drawn as a 3-pixel line.
    void DrawLine(float x0, float y0, float x1, float y1);
    // Six vertices, two triangles: (x, y), (x + w, y), (x + w, y + h), (x, y), (x + w, y + h), (x, y + h).
    void DrawRect(float x, float y, float w, float h);

    const std::vector<OverlayPrimitive>& Primitives() const { return primitives; }
    const std::vector<OverlayVertex>& Vertices() const { return vertices; }
    const std::vector<OverlayColor>& Colors() const { return colors; }

private:
    uint32_t CurrentColor();

    std::vector<OverlayPrimitive> primitives;
    std::vector<OverlayVertex> vertices;
    std::vector<OverlayColor> colors;
    bool colorPending = true;
    OverlayColor pendingColor{0.0f, 0.0f, 0.0f, 0.0f};
};
