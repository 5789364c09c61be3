// Uploads and draws the planned batches. Uniform-colour batches use the
// overlay program; per-vertex batches switch to its per-vertex twin and back.
// When the whole plan fits the stream buffer it is uploaded once and each
// batch draws from its own offset: a renderer that must wait for earlier draws
// before a buffer is rewritten then waits once a frame, not once a batch.
#include "OverlaySubmitter.h"

#include "../ffglex/GlHeaders.h"

namespace {

size_t RoundUp(size_t value, size_t multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

}  // namespace

void SubmitOverlay(const OverlayDrawList& list, const OverlayBatchPlan& plan, const OverlayGlObjects& gl)
{
    const std::vector<OverlayColor>& colors = list.Colors();
    const size_t plainBytes = plan.vertices.size() * sizeof(OverlayVertex);
    const size_t coloredOffset = RoundUp(plainBytes, sizeof(OverlayColoredVertex));
    const size_t coloredBytes = plan.coloredVertices.size() * sizeof(OverlayColoredVertex);
    const bool uploadOnce = plan.batches.size() > 1 && coloredOffset + coloredBytes <= gl.bufferBytes;

    bool vertexColorMode = false;
    bool colorSet = false;
    uint32_t currentColor = 0;
    glBindVertexArray(gl.vertexArray);
    if (uploadOnce) {
        glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
        if (plainBytes != 0)
            glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(plainBytes), plan.vertices.data());
        if (coloredBytes != 0)
            glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(coloredOffset),
                            static_cast<GLsizeiptr>(coloredBytes), plan.coloredVertices.data());
    }
    for (const OverlayBatch& batch : plan.batches) {
        if (batch.perVertexColor != vertexColorMode) {
            vertexColorMode = batch.perVertexColor;
            glUseProgram(vertexColorMode ? gl.vertexColorProgram : gl.program);
            glBindVertexArray(vertexColorMode ? gl.vertexColorArray : gl.vertexArray);
        }
        GLint first = 0;
        if (!vertexColorMode && (!colorSet || batch.colorIndex != currentColor)) {
            const OverlayColor& c = colors[batch.colorIndex];
            glUniform4f(gl.colorLocation, c.r, c.g, c.b, c.a);
            currentColor = batch.colorIndex;
            colorSet = true;
        }
        if (uploadOnce) {
            first = static_cast<GLint>(vertexColorMode
                                           ? coloredOffset / sizeof(OverlayColoredVertex) + batch.firstVertex
                                           : batch.firstVertex);
        } else {
            // Each batch rewrites the buffer from byte 0 and draws from vertex 0.
            glBindBuffer(GL_ARRAY_BUFFER, gl.buffer);
            if (vertexColorMode)
                glBufferSubData(GL_ARRAY_BUFFER, 0, batch.vertexCount * sizeof(OverlayColoredVertex),
                                &plan.coloredVertices[batch.firstVertex]);
            else
                glBufferSubData(GL_ARRAY_BUFFER, 0, batch.vertexCount * sizeof(OverlayVertex),
                                &plan.vertices[batch.firstVertex]);
        }
        if (batch.kind == PrimitiveKind::Line) {
            glLineWidth(3.0f);
            glDrawArrays(GL_LINES, first, static_cast<GLsizei>(batch.vertexCount));
        } else {
            glDrawArrays(GL_TRIANGLES, first, static_cast<GLsizei>(batch.vertexCount));
        }
    }
    if (vertexColorMode)
        glUseProgram(gl.program);
    glBindVertexArray(0);
}
