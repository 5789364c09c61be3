// Appending primitives; a colour is stored once per change, not per primitive.
#include "OverlayDrawList.h"

#include <cstddef>

void OverlayDrawList::Clear()
{
    primitives.clear();
    vertices.clear();
    colors.clear();
    colorPending = true;
    pendingColor = {0.0f, 0.0f, 0.0f, 0.0f};
}

void OverlayDrawList::SetColor(float r, float g, float b, float a)
{
    pendingColor = {r, g, b, a};
    colorPending = true;
}

uint32_t OverlayDrawList::CurrentColor()
{
    if (colorPending) {
        if (colors.empty() || !(colors.back() == pendingColor))
            colors.push_back(pendingColor);
        colorPending = false;
    }
    return static_cast<uint32_t>(colors.size() - 1);
}

void OverlayDrawList::DrawLine(float x0, float y0, float x1, float y1)
{
    const uint32_t color = CurrentColor();
    primitives.push_back({PrimitiveKind::Line, color, static_cast<uint32_t>(vertices.size())});
    vertices.push_back({x0, y0});
    vertices.push_back({x1, y1});
}

void OverlayDrawList::DrawRect(float x, float y, float w, float h)
{
    const uint32_t color = CurrentColor();
    primitives.push_back({PrimitiveKind::Rect, color, static_cast<uint32_t>(vertices.size())});
    const size_t first = vertices.size();
    vertices.resize(first + kRectVertexCount);
    WriteRectVertices(x, y, x + w, y + h, &vertices[first]);
}
