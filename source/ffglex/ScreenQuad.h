// Two triangles covering the viewport, each vertex with a texture coordinate:
// what the pass-through draws every frame. Release is explicit; the
// destructor never calls GL.
#pragma once

#include <cstdint>

namespace ffglex {

class ScreenQuad {
public:
    ScreenQuad() = default;
    ScreenQuad(const ScreenQuad&) = delete;
    ScreenQuad& operator=(const ScreenQuad&) = delete;

    // flipped turns the image upside down (v = 0 at the top edge).
    bool Create(bool flipped);
    void Draw() const;
    void Release();

    uint32_t VertexArray() const { return vao; }
    uint32_t Buffer() const { return vbo; }

private:
    uint32_t vao = 0;
    uint32_t vbo = 0;
};

}  // namespace ffglex
