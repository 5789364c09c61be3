// The quad's vertex tables and attribute layout: u, v, x, y, z per vertex.
#include "ScreenQuad.h"

#include "GlHeaders.h"
#include "ScopedBindings.h"

namespace ffglex {

namespace {

// (upper left, upper right, lower left) and (lower left, upper right, lower right).
constexpr float kPlainVertices[6][5] = {
    {0.0f, 1.0f, -1.0f, 1.0f, 0.0f},  {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},  {0.0f, 0.0f, -1.0f, -1.0f, 0.0f},
    {0.0f, 0.0f, -1.0f, -1.0f, 0.0f}, {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},  {1.0f, 0.0f, 1.0f, -1.0f, 0.0f},
};
constexpr float kFlippedVertices[6][5] = {
    {0.0f, 0.0f, -1.0f, 1.0f, 0.0f},  {1.0f, 0.0f, 1.0f, 1.0f, 0.0f},  {0.0f, 1.0f, -1.0f, -1.0f, 0.0f},
    {0.0f, 1.0f, -1.0f, -1.0f, 0.0f}, {1.0f, 0.0f, 1.0f, 1.0f, 0.0f},  {1.0f, 1.0f, 1.0f, -1.0f, 0.0f},
};
static_assert(sizeof(kPlainVertices) == 120, "six 20-byte vertices");

constexpr GLsizei kStride = 5 * sizeof(float);

}  // namespace

bool ScreenQuad::Create(bool flipped)
{
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    if (vao == 0 || vbo == 0) {
        glDeleteBuffers(1, &vbo);
        vbo = 0;
        glDeleteVertexArrays(1, &vao);
        vao = 0;
        return false;
    }
    ScopedVertexArrayBinding vertexArrayScope(vao);
    ScopedVBOBinding bufferScope(vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kPlainVertices), flipped ? kFlippedVertices : kPlainVertices,
                 GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, kStride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, kStride, nullptr);
    return true;
}

void ScreenQuad::Draw() const
{
    if (vao == 0 || vbo == 0)
        return;
    ScopedVertexArrayBinding vertexArrayScope(vao);
    glDrawArrays(GL_TRIANGLES, 0, 6);
}

void ScreenQuad::Release()
{
    // Name 0 is skipped rather than passed to GL: same result, and a quad that
    // never got GL objects can be released without touching GL at all.
    if (vbo != 0) {
        glDeleteBuffers(1, &vbo);
        vbo = 0;
    }
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        vao = 0;
    }
}

}  // namespace ffglex
